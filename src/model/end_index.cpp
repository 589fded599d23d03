#include "end_index.h"

#include "wire.h"

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

struct PairKey {
    TPointKey Lo, Hi;
    friend bool operator==(const PairKey&, const PairKey&) = default;
};

PairKey PairKeyOf(const Vec3& a, const Vec3& b) {
    const TPointKey ka = PointKeyOf(a);
    const TPointKey kb = PointKeyOf(b);
    return kb < ka ? PairKey{kb, ka} : PairKey{ka, kb};
}

uint64_t HashPair(const PairKey& k) { return Mix(HashPoint(k.Lo) ^ (HashPoint(k.Hi) * 0x9E3779B97F4A7C15ULL)); }

const Vec3& EndPoint(TEndRef r) { return r.End() ? r.Wire()->P2() : r.Wire()->P1(); }

// Open addressing with linear probing over a power-of-two table kept at most half full.
template <typename SlotT, typename Match> size_t Find(const std::vector<SlotT>& slots, uint64_t hash, Match match) {
    if (slots.empty()) return NotFound;
    const size_t mask = slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        if (!slots[i].Head) return NotFound;
        if (slots[i].Hash == hash && match(slots[i].Head)) return i;
    }
}

template <typename SlotT> void Rehash(std::vector<SlotT>& slots, size_t capacity) {
    std::vector<SlotT> old;
    old.swap(slots);
    slots.assign(capacity, SlotT{});
    const size_t mask = capacity - 1;
    for (const SlotT& s : old) {
        if (!s.Head) continue;
        size_t i = s.Hash & mask;
        while (slots[i].Head) i = (i + 1) & mask;
        slots[i] = s;
    }
}

template <typename SlotT> void MakeRoom(std::vector<SlotT>& slots, size_t count) {
    if (2 * count <= slots.size()) return;
    size_t capacity = std::max<size_t>(16, slots.size());
    while (2 * count > capacity) capacity *= 2;
    Rehash(slots, capacity);
}

// Empties slot i and moves later slots of its probe run back, so no search ever stops
// early at a hole.
template <typename SlotT> void Erase(std::vector<SlotT>& slots, size_t i) {
    const size_t mask = slots.size() - 1;
    for (size_t j = i;;) {
        j = (j + 1) & mask;
        if (!slots[j].Head) break;
        const size_t home = slots[j].Hash & mask;
        const bool stays = i <= j ? (i < home && home <= j) : (i < home || home <= j);
        if (!stays) {
            slots[i] = slots[j];
            i = j;
        }
    }
    slots[i] = SlotT{};
}

} // namespace

TEndRef TEndIndex::NextAt(TEndRef r) { return r.Wire()->Links_.Next[r.End()]; }

TWire* TEndIndex::NextPair(const TWire* w) { return w->Links_.PairNext; }

void TEndIndex::Clear() {
    std::fill(Points_.begin(), Points_.end(), PointSlot{});
    std::fill(Pairs_.begin(), Pairs_.end(), PairSlot{});
    PointCount_ = 0;
    PairCount_ = 0;
}

void TEndIndex::Reserve(size_t wires) {
    // In a model of joined wires most ends are shared, so about one point comes with each
    // wire; the table doubles should a model have more.
    MakeRoom(Points_, PointCount_ + wires);
    MakeRoom(Pairs_, PairCount_ + wires);
}

void TEndIndex::Insert(TWire* w) {
    for (int e = 0; e < 2; ++e) {
        const TEndRef r(w, e);
        const TPointKey key = PointKeyOf(EndPoint(r));
        const uint64_t hash = HashPoint(key);
        TEndLinks& links = w->Links_;
        links.Prev[e] = {};
        const size_t at = Find(Points_, hash, [&](TEndRef head) { return PointKeyOf(EndPoint(head)) == key; });
        if (at != NotFound) {
            // A point already known: the end joins the front of its chain.
            const TEndRef head = Points_[at].Head;
            links.Next[e] = head;
            head.Wire()->Links_.Prev[head.End()] = r;
            Points_[at].Head = r;
            continue;
        }
        links.Next[e] = {};
        MakeRoom(Points_, PointCount_ + 1);
        const size_t mask = Points_.size() - 1;
        size_t i = hash & mask;
        while (Points_[i].Head) i = (i + 1) & mask;
        Points_[i] = {hash, r};
        ++PointCount_;
    }

    const PairKey key = PairKeyOf(w->P1(), w->P2());
    const uint64_t hash = HashPair(key);
    TEndLinks& links = w->Links_;
    links.PairPrev = nullptr;
    const size_t at = Find(Pairs_, hash, [&](TWire* head) { return PairKeyOf(head->P1(), head->P2()) == key; });
    if (at != NotFound) {
        TWire* head = Pairs_[at].Head;
        links.PairNext = head;
        head->Links_.PairPrev = w;
        Pairs_[at].Head = w;
        return;
    }
    links.PairNext = nullptr;
    MakeRoom(Pairs_, PairCount_ + 1);
    const size_t mask = Pairs_.size() - 1;
    size_t i = hash & mask;
    while (Pairs_[i].Head) i = (i + 1) & mask;
    Pairs_[i] = {hash, w};
    ++PairCount_;
}

void TEndIndex::Remove(TWire* w) {
    TEndLinks& links = w->Links_;
    for (int e = 0; e < 2; ++e) {
        const TEndRef r(w, e);
        const TEndRef prev = links.Prev[e];
        const TEndRef next = links.Next[e];
        if (next) next.Wire()->Links_.Prev[next.End()] = prev;
        if (prev) {
            prev.Wire()->Links_.Next[prev.End()] = next;
        } else {
            // The end heads its chain: the table slot follows.
            const uint64_t hash = HashPoint(PointKeyOf(EndPoint(r)));
            const size_t at = Find(Points_, hash, [&](TEndRef head) { return head == r; });
            if (at != NotFound) {
                if (next) {
                    Points_[at].Head = next;
                } else {
                    Erase(Points_, at);
                    --PointCount_;
                }
            }
        }
        links.Next[e] = links.Prev[e] = {};
    }

    TWire* prev = links.PairPrev;
    TWire* next = links.PairNext;
    if (next) next->Links_.PairPrev = prev;
    if (prev) {
        prev->Links_.PairNext = next;
    } else {
        const uint64_t hash = HashPair(PairKeyOf(w->P1(), w->P2()));
        const size_t at = Find(Pairs_, hash, [&](TWire* head) { return head == w; });
        if (at != NotFound) {
            if (next) {
                Pairs_[at].Head = next;
            } else {
                Erase(Pairs_, at);
                --PairCount_;
            }
        }
    }
    links.PairNext = links.PairPrev = nullptr;
}

TEndRef TEndIndex::FirstAt(const Vec3& p) const {
    const TPointKey key = PointKeyOf(p);
    const size_t at = Find(Points_, HashPoint(key), [&](TEndRef head) { return PointKeyOf(EndPoint(head)) == key; });
    return at == NotFound ? TEndRef{} : Points_[at].Head;
}

TWire* TEndIndex::FirstPair(const Vec3& a, const Vec3& b) const {
    const PairKey key = PairKeyOf(a, b);
    const size_t at = Find(Pairs_, HashPair(key), [&](TWire* head) { return PairKeyOf(head->P1(), head->P2()) == key; });
    return at == NotFound ? nullptr : Pairs_[at].Head;
}

} // namespace velomast
