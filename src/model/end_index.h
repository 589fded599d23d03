// Wire ends and end pairs found by exact position. Ends meet only when their coordinates
// are exactly equal, so the index is keyed by the coordinates' bits.
//
// One table slot per distinct point; the ends at a point are chained through links kept
// inside the wires. Adding or removing an end allocates nothing and costs the same however
// many ends share the point. A wire with given ends is found by walking the chains of its
// two points side by side (it is in both), so a lookup costs at most twice the shorter
// chain and no table of end pairs is kept.
#pragma once

#include "vec3.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velomast {

class TWire;

// The bits of a point's coordinates with +0 and -0 (and every NaN) made alike, so that
// coordinates that compare equal give equal keys.
struct TPointKey {
    uint64_t B[3];
    friend bool operator==(const TPointKey&, const TPointKey&) = default;
};
TPointKey PointKeyOf(const Vec3& p);

// One end of a wire: the wire's pool number and 0 for its start, 1 for its end, packed in
// one 32-bit word.
class TEndRef {
public:
    static constexpr uint32_t Nil = 0xFFFFFFFFu;
    TEndRef() = default;
    TEndRef(uint32_t wireId, int end) : Bits_(wireId * 2 + static_cast<uint32_t>(end & 1)) {}
    static TEndRef FromBits(uint32_t bits) {
        TEndRef r;
        r.Bits_ = bits;
        return r;
    }
    uint32_t Bits() const { return Bits_; }
    uint32_t WireId() const { return Bits_ >> 1; }
    int End() const { return static_cast<int>(Bits_ & 1); }
    explicit operator bool() const { return Bits_ != Nil; }
    friend bool operator==(const TEndRef&, const TEndRef&) = default;

private:
    uint32_t Bits_ = Nil;
};

// The links a wire carries for the index: one chain per end (end references); Nil ends a
// chain.
struct TEndLinks {
    uint32_t Next[2] = {TEndRef::Nil, TEndRef::Nil};
    uint32_t Prev[2] = {TEndRef::Nil, TEndRef::Nil};
};

class TWirePool;

// Memory for large tables that are filled whole at once (the end index's): blocks of 2 MB
// and more start on a huge-page boundary and ask for huge pages, which cuts the page
// faults of filling them and the TLB misses of looking keys up at random.
void* AllocateLarge(size_t bytes);
void FreeLarge(void* p);
template <typename T> struct TLargeAllocator {
    using value_type = T;
    TLargeAllocator() = default;
    template <typename U> TLargeAllocator(const TLargeAllocator<U>&) {}
    T* allocate(size_t n) { return static_cast<T*>(AllocateLarge(n * sizeof(T))); }
    void deallocate(T* p, size_t) { FreeLarge(p); }
    friend bool operator==(const TLargeAllocator&, const TLargeAllocator&) { return true; }
};

class TEndIndex {
public:
    // The index resolves wire numbers through the pool its wires come from.
    explicit TEndIndex(const TWirePool& pool) : Pool_(&pool) {}

    void Clear();
    // Room for n more wires (and as many points), so a file being read grows the tables
    // once or not at all.
    void Reserve(size_t wires);
    // Indexes the wire at its present ends; Remove must run before its ends change.
    void Insert(TWire* w);
    void Remove(TWire* w);

    // The wire an end reference names (defined with the pool).
    inline TWire* WireOf(TEndRef r) const;
    // The first end of the chain at p (walk on with NextAt), or none.
    TEndRef FirstAt(const Vec3& p) const;
    inline TEndRef NextAt(TEndRef r) const;
    // The end before r in its chain, or none when r heads it.
    inline TEndRef PrevAt(TEndRef r) const;
    // Gives the table's memory back while no lookup is due (a model just read, when the
    // first edit may be far off, or never comes). The chains stay in the wires; until
    // RestoreTable no end may be looked up, added or removed.
    void ReleaseTable();
    bool TableReleased() const { return Released_; }
    // Makes the table again from the chains: `wires` must be every wire indexed.
    void RestoreTable(const std::vector<TWire*>& wires);

    // Open addressing: the low 32 bits of the key's hash (most mismatches are told apart
    // without touching a wire) and the chain's head (an end reference).
    struct Slot {
        uint32_t Hash = 0;
        uint32_t Head = TEndRef::Nil;
    };

private:
    const TWirePool* Pool_;
    std::vector<Slot, TLargeAllocator<Slot>> Points_;
    size_t PointCount_ = 0;
    bool Released_ = false;
};

} // namespace velomast
