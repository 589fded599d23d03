#include "end_index.h"

#include "wire.h"
#include "wire_pool.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <new>
#include <utility>

#include <sys/mman.h>

#include <bit>
#include <cmath>
#include <limits>

namespace velomast {

TPointKey PointKeyOf(const Vec3& p) {
    auto bits = [](double v) {
        if (v == 0) v = 0;
        if (std::isnan(v)) v = std::numeric_limits<double>::quiet_NaN();
        return std::bit_cast<uint64_t>(v);
    };
    return TPointKey{{bits(p.X), bits(p.Y), bits(p.Z)}};
}

namespace {

constexpr size_t NotFound = static_cast<size_t>(-1);

uint64_t Mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

uint64_t HashPoint(const TPointKey& k) { return Mix(Mix(Mix(k.B[0]) ^ k.B[1]) ^ k.B[2]); }

constexpr uint32_t Nil = TEndRef::Nil;
using TSlots = std::vector<TEndIndex::Slot, TLargeAllocator<TEndIndex::Slot>>;
constexpr size_t kHugePage = size_t{2} << 20;

// Open addressing with linear probing over a power-of-two table kept at most half full.
// Returns the slot whose head matches, or NotFound; *empty (when asked) gets the empty
// slot that ended the search, where the key would go.
template <typename Match>
size_t Find(const TSlots& slots, uint32_t hash, Match match, size_t* empty = nullptr) {
    if (slots.empty()) return NotFound;
    const size_t mask = slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        if (slots[i].Head == Nil) {
            if (empty) *empty = i;
            return NotFound;
        }
        if (slots[i].Hash == hash && match(slots[i].Head)) return i;
    }
}

void Rehash(TSlots& slots, size_t capacity) {
    TSlots old;
    old.swap(slots);
    slots.assign(capacity, TEndIndex::Slot{});
    const size_t mask = capacity - 1;
    for (const TEndIndex::Slot& s : old) {
        if (s.Head == Nil) continue;
        size_t i = s.Hash & mask;
        while (slots[i].Head != Nil) i = (i + 1) & mask;
        slots[i] = s;
    }
}

void MakeRoom(TSlots& slots, size_t count) {
    if (2 * count <= slots.size()) return;
    size_t capacity = std::max<size_t>(16, slots.size());
    while (2 * count > capacity) capacity *= 2;
    Rehash(slots, capacity);
}

// Empties slot i and moves later slots of its probe run back, so no search ever stops
// early at a hole.
void Erase(TSlots& slots, size_t i) {
    const size_t mask = slots.size() - 1;
    for (size_t j = i;;) {
        j = (j + 1) & mask;
        if (slots[j].Head == Nil) break;
        const size_t home = slots[j].Hash & mask;
        const bool stays = i <= j ? (i < home && home <= j) : (i < home || home <= j);
        if (!stays) {
            slots[i] = slots[j];
            i = j;
        }
    }
    slots[i] = TEndIndex::Slot{};
}

// Unlinks r from the chain it is in; when r heads the chain, the table slot follows.
template <typename Links>
void Unlink(TSlots& slots, size_t& count, uint32_t self, uint32_t prev, uint32_t next,
            uint32_t hash, Links links) {
    if (next != Nil) *links(next).second = prev;
    if (prev != Nil) {
        *links(prev).first = next;
        return;
    }
    const size_t at = Find(slots, hash, [&](uint32_t head) { return head == self; });
    if (at == NotFound) return;
    if (next != Nil) {
        slots[at].Head = next;
    } else {
        Erase(slots, at);
        --count;
    }
}

} // namespace

void TEndIndex::Clear() {
    std::fill(Points_.begin(), Points_.end(), Slot{});
    PointCount_ = 0;
    Released_ = false;
}

void TEndIndex::ReleaseTable() {
    TSlots().swap(Points_);
    Released_ = true;
}

void TEndIndex::RestoreTable(const std::vector<TWire*>& wires) {
    if (!Released_) return;
    Released_ = false;
    MakeRoom(Points_, PointCount_);
    if (Points_.empty()) return;
    // A chain's head is the end with nothing before it, one per distinct point: it goes to
    // the first free slot of its probe run, as no other slot holds its point.
    const size_t mask = Points_.size() - 1;
    for (const TWire* w : wires) {
        for (int e = 0; e < 2; ++e) {
            if (w->Links_.Prev[e] != Nil) continue;
            const auto hash = static_cast<uint32_t>(HashPoint(PointKeyOf(e ? w->P2_ : w->P1_)));
            size_t i = hash & mask;
            while (Points_[i].Head != Nil) i = (i + 1) & mask;
            Points_[i] = {hash, TEndRef(w->Id_, e).Bits()};
        }
    }
}

void TEndIndex::Reserve(size_t wires) {
    // In a model of joined wires most ends are shared, so about one point comes with each
    // wire; the table doubles should a model have more.
    MakeRoom(Points_, PointCount_ + wires);
}

void TEndIndex::Insert(TWire* w) {
    assert(!Released_);
    const Vec3* ends[2] = {&w->P1_, &w->P2_};
    TEndLinks& links = w->Links_;
    for (int e = 0; e < 2; ++e) {
        const TEndRef r(w->Id_, e);
        const TPointKey key = PointKeyOf(*ends[e]);
        const auto hash = static_cast<uint32_t>(HashPoint(key));
        links.Prev[e] = Nil;
        MakeRoom(Points_, PointCount_ + 1);
        size_t empty = 0;
        const size_t at = Find(
            Points_, hash,
            [&](uint32_t head) {
                const TEndRef h = TEndRef::FromBits(head);
                const TWire* hw = WireOf(h);
                return PointKeyOf(h.End() ? hw->P2_ : hw->P1_) == key;
            },
            &empty);
        if (at != NotFound) {
            // A point already known: the end joins the front of its chain.
            const TEndRef head = TEndRef::FromBits(Points_[at].Head);
            links.Next[e] = head.Bits();
            WireOf(head)->Links_.Prev[head.End()] = r.Bits();
            Points_[at].Head = r.Bits();
            continue;
        }
        links.Next[e] = Nil;
        Points_[empty] = {hash, r.Bits()};
        ++PointCount_;
    }
}

void TEndIndex::Remove(TWire* w) {
    assert(!Released_);
    TEndLinks& links = w->Links_;
    for (int e = 0; e < 2; ++e) {
        const TEndRef r(w->Id_, e);
        const auto hash = static_cast<uint32_t>(HashPoint(PointKeyOf(e ? w->P2_ : w->P1_)));
        Unlink(Points_, PointCount_, r.Bits(), links.Prev[e], links.Next[e], hash, [&](uint32_t bits) {
            const TEndRef o = TEndRef::FromBits(bits);
            TEndLinks& l = WireOf(o)->Links_;
            return std::pair{&l.Next[o.End()], &l.Prev[o.End()]};
        });
        links.Next[e] = links.Prev[e] = Nil;
    }
}

void* AllocateLarge(size_t bytes) {
    void* p = nullptr;
    if (bytes >= kHugePage) {
        const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        p = std::aligned_alloc(kHugePage, rounded);
        if (p) ::madvise(p, rounded, MADV_HUGEPAGE);
    } else {
        p = std::malloc(bytes == 0 ? 1 : bytes);
    }
    if (!p) throw std::bad_alloc();
    return p;
}

void FreeLarge(void* p) { std::free(p); }

TEndRef TEndIndex::FirstAt(const Vec3& p) const {
    assert(!Released_);
    const TPointKey key = PointKeyOf(p);
    const size_t at = Find(Points_, static_cast<uint32_t>(HashPoint(key)), [&](uint32_t head) {
        const TEndRef h = TEndRef::FromBits(head);
        const TWire* hw = WireOf(h);
        return PointKeyOf(h.End() ? hw->P2_ : hw->P1_) == key;
    });
    return at == NotFound ? TEndRef{} : TEndRef::FromBits(Points_[at].Head);
}

} // namespace velomast
