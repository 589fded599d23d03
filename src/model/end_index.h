// Wire ends and end pairs found by exact position. Ends meet only when their coordinates
// are exactly equal, so the index is keyed by the coordinates' bits.
//
// One table slot per distinct point (and per distinct unordered pair of points); the ends
// at a point are chained through links kept inside the wires. Adding or removing an end
// allocates nothing and costs the same however many ends share the point.
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
    friend bool operator<(const TPointKey& a, const TPointKey& b) {
        return a.B[0] != b.B[0] ? a.B[0] < b.B[0] : a.B[1] != b.B[1] ? a.B[1] < b.B[1] : a.B[2] < b.B[2];
    }
};
TPointKey PointKeyOf(const Vec3& p);

// One end of a wire: the wire and 0 for its start, 1 for its end, packed in one word.
class TEndRef {
public:
    TEndRef() = default;
    TEndRef(TWire* w, int end) : Bits_(reinterpret_cast<uintptr_t>(w) | static_cast<uintptr_t>(end & 1)) {}
    TWire* Wire() const { return reinterpret_cast<TWire*>(Bits_ & ~uintptr_t{1}); }
    int End() const { return static_cast<int>(Bits_ & 1); }
    explicit operator bool() const { return Bits_ != 0; }
    friend bool operator==(const TEndRef&, const TEndRef&) = default;

private:
    uintptr_t Bits_ = 0;
};

// The links a wire carries for the index: one chain per end and one for its end pair.
struct TEndLinks {
    TEndRef Next[2];
    TEndRef Prev[2];
    TWire* PairNext = nullptr;
    TWire* PairPrev = nullptr;
};

class TEndIndex {
public:
    void Clear();
    // Room for n more wires (and as many points), so a file being read grows the tables
    // once or not at all.
    void Reserve(size_t wires);
    // Indexes the wire at its present ends; Remove must run before its ends change.
    void Insert(TWire* w);
    void Remove(TWire* w);

    // The first end of the chain at p (walk on with NextAt), or none.
    TEndRef FirstAt(const Vec3& p) const;
    static TEndRef NextAt(TEndRef r);
    // The first wire whose unordered end pair has the key of (a, b) (walk on with
    // NextPair), or nullptr.
    TWire* FirstPair(const Vec3& a, const Vec3& b) const;
    static TWire* NextPair(const TWire* w);
    // Calls f with the first end of every chain: each distinct point once.
    template <typename F> void ForEachPoint(F f) const {
        for (const PointSlot& s : Points_)
            if (s.Head) f(s.Head);
    }

    struct PointSlot {
        uint64_t Hash = 0;
        TEndRef Head;
    };
    struct PairSlot {
        uint64_t Hash = 0;
        TWire* Head = nullptr;
    };

private:
    std::vector<PointSlot> Points_;
    std::vector<PairSlot> Pairs_;
    size_t PointCount_ = 0;
    size_t PairCount_ = 0;
};

} // namespace velomast
