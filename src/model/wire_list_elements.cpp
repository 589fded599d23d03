// Elements and connection points of a wire list, and the element and plane filters.
#include "wire_list.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace velomast {

namespace {
// One wire being collected: how far it has got into the groups of the wires sharing its
// start and its end (each in list order), merged as they are taken. A chain keeps one
// frame per wire on the stack, so the frame is kept to 24 bytes: positions in the group
// table, not pointers.
struct CollectFrame {
    uint32_t W;      // list position
    uint32_t Ia, Ib; // the next places to look at in the two groups
    uint32_t Ha, Hb; // where the groups of the two points start
    bool StartedA = false, StartedB = false; // a wire other than W was taken from the group
    bool DoneB = false; // the wire's ends coincide: its end adds nothing to its start
};
static_assert(sizeof(CollectFrame) == 24);

// Marks the last conductor of a group; list positions stay below it.
constexpr uint32_t kLastInGroup = 0x80000000u;
} // namespace

void TWireList::RebuildElements() {
    ClearElements();
    try {
        CollectElements();
    } catch (...) {
        // Out of memory part-way: no element rather than junction fields holding groups.
        ClearElements();
        throw;
    }
    ElementsStale_ = false;
}

void TWireList::CollectElements() {
    // The ends grouped by point, one group after the other in one table: a word telling
    // how far some frame has got into the group (see below), then the point's conductors
    // as list positions in list order, the last one marked. Groups are made as the wires
    // come in list order, so the chains walked are mostly those of wires near each other
    // in memory. Frames refer to these groups, so a point where thousands of wires meet
    // costs no more memory than its group. Isolators join nothing and are left out; a
    // point where only isolators meet has no group.
    //
    // Until a wire is collected, its two junction references (cleared above) hold where
    // the groups of its ends start, plus 1, instead of a table of their own; collecting
    // the wire reads them and clears them for the connection points, and wires never
    // collected are cleared at the end.
    const size_t n = Items_.size();
    // The table holds at most two words per wire end, at 32-bit positions.
    if (n > (size_t{1} << 30)) throw std::length_error("too many wires for the element rebuild");
    auto groupField = [](TWire* w, int end) -> uint32_t& { return end ? w->EndJunctionRef : w->StartJunctionRef; };
    std::vector<uint32_t> groups;
    // Pages of the room not used are never touched.
    groups.reserve(4 * n);
    for (TWire* w : Items_) {
        for (int end = 0; end < 2; ++end) {
            if (groupField(w, end) != 0) continue;
            const auto head = static_cast<uint32_t>(groups.size());
            groups.push_back(head + 1);
            auto visit = [&](TEndRef r) {
                TWire* x = Ends_.WireOf(r);
                groupField(x, r.End()) = head + 1;
                if (x->Radius != 0) groups.push_back(x->Index_);
            };
            const TEndRef self(w->Id_, end);
            visit(self);
            for (TEndRef r = Ends_.PrevAt(self); r; r = Ends_.PrevAt(r)) visit(r);
            for (TEndRef r = Ends_.NextAt(self); r; r = Ends_.NextAt(r)) visit(r);
            const auto first = groups.begin() + static_cast<std::ptrdiff_t>(head) + 1;
            std::sort(first, groups.end());
            groups.erase(std::unique(first, groups.end()), groups.end()); // a wire with both ends here
            // Only isolators meet here: no frame ever looks at this point, whose wires keep
            // a nonzero reference until they are cleared at the end.
            if (groups.size() == size_t{head} + 1)
                groups.pop_back();
            else
                groups.back() |= kLastInGroup;
        }
    }
    // The word in front of each group: how far into it some frame has got. Every wire
    // before that mark has been taken by a frame at that point already: it belongs to the
    // element and its end there has its connection point. A frame that has made its first
    // match at a point may skip to the mark, since taking those wires again would change
    // nothing; so a point where thousands of wires meet is walked once, not once per wire.

    // Reads the wire's groups from its junction references (see above) and leaves them
    // as they are.
    auto makeFrame = [&](const TWire* w) {
        const uint32_t ha = w->StartJunctionRef - 1;
        const uint32_t hb = w->EndJunctionRef - 1;
        CollectFrame f{w->Index_, ha + 1, hb + 1, ha, hb};
        f.DoneB = VecEqual(w->P1_, w->P2_);
        return f;
    };
    constexpr uint32_t kNone = 0xFFFFFFFFu;
    auto peek = [&](uint32_t& i, uint32_t h, bool started) -> uint32_t {
        if (started) i = std::max(i, groups[h]);
        // A frame always starts at a group's first wire; past the last one it is done.
        if (i > h + 1 && (groups[i - 1] & kLastInGroup)) return kNone;
        return groups[i] & ~kLastInGroup;
    };
    auto take = [&](uint32_t& i, uint32_t h, bool& started, uint32_t self, uint32_t q) {
        ++i;
        groups[h] = std::max(groups[h], i);
        if (q != self) started = true;
    };
    // The wires touching f.W, in list order, each once, f.W itself left out. List
    // positions compare as the wires' order; kNone (no wire) comes after every one.
    auto next = [&](CollectFrame& f) -> TWire* {
        const uint32_t self = f.W;
        for (;;) {
            const uint32_t a = peek(f.Ia, f.Ha, f.StartedA);
            const uint32_t b = f.DoneB ? kNone : peek(f.Ib, f.Hb, f.StartedB);
            if (a == kNone && b == kNone) return nullptr;
            const uint32_t q = std::min(a, b);
            if (a == q) take(f.Ia, f.Ha, f.StartedA, self, q);
            if (b == q) take(f.Ib, f.Hb, f.StartedB, self, q);
            if (q != self) return Items_[q];
        }
    };

    // Collect(W, E) visits the wires touching W in list order and descends into each newly
    // joined wire before going on (depth first). The frames below replay exactly that
    // order without recursion, so chains of any length are safe.
    //
    // An element is only its stretch of ElementIds_ while the groups stand; the element
    // objects are made once the groups are gone, so the two never take memory together.
    ElementIds_.reserve(n);
    std::vector<uint32_t> elementStart;
    auto addWire = [&](TWire* w, uint32_t eref) {
        ElementIds_.push_back(w->Id_);
        w->ElementRef = eref;
    };
    std::vector<CollectFrame> stack;
    for (TWire* first : Items_) {
        if (first->OwnerTag_ != 0 || first->Radius == 0 || first->ElementRef) continue;
        elementStart.push_back(static_cast<uint32_t>(ElementIds_.size()));
        const auto eref = static_cast<uint32_t>(elementStart.size());
        addWire(first, eref);
        stack.push_back(makeFrame(first));
        first->StartJunctionRef = first->EndJunctionRef = 0;

        while (!stack.empty()) {
            CollectFrame& f = stack.back();
            TWire* q = next(f);
            if (!q) {
                stack.pop_back();
                continue;
            }
            TWire* w = Items_[f.W];
            if (q->ElementRef && q->ElementRef != eref) continue;
            const bool hadElement = q->ElementRef != 0;
            // A wire not yet collected still holds its groups: its frame is made before the
            // junction references are set, and they come back if it joins nothing here.
            CollectFrame qf{};
            uint32_t qGroups[2] = {};
            if (!hadElement) {
                qf = makeFrame(q);
                qGroups[0] = std::exchange(q->StartJunctionRef, 0);
                qGroups[1] = std::exchange(q->EndJunctionRef, 0);
            }
            bool matched = false;
            auto join = [&](int we, uint32_t& wj, const Vec3& wp, uint32_t& qj, const Vec3& qp) {
                if (!VecEqual(wp, qp)) return;
                if (!wj) {
                    Junctions.emplace_back(TCPoint{TEndRef(w->Id_, we)});
                    wj = static_cast<uint32_t>(Junctions.size());
                }
                qj = wj;
                matched = true;
            };
            join(0, w->StartJunctionRef, w->P1_, q->StartJunctionRef, q->P1_);
            join(1, w->EndJunctionRef, w->P2_, q->StartJunctionRef, q->P1_);
            join(0, w->StartJunctionRef, w->P1_, q->EndJunctionRef, q->P2_);
            join(1, w->EndJunctionRef, w->P2_, q->EndJunctionRef, q->P2_);
            if (matched && !hadElement) {
                addWire(q, eref);
                stack.push_back(qf); // invalidates f
            } else if (!hadElement) {
                q->StartJunctionRef = qGroups[0];
                q->EndJunctionRef = qGroups[1];
            }
        }
    }
    for (TWire* w : Items_)
        if (!w->ElementRef) w->StartJunctionRef = w->EndJunctionRef = 0;
    std::vector<uint32_t>().swap(groups);
    std::vector<CollectFrame>().swap(stack);

    elementStart.push_back(static_cast<uint32_t>(ElementIds_.size()));
    Elements.reserve(elementStart.size() - 1);
    for (size_t k = 0; k + 1 < elementStart.size(); ++k) {
        auto e = std::make_unique<TElement>();
        e->Index = static_cast<int32_t>(k);
        TElementWires& ew = e->ElementWires;
        ew.Pool_ = &Pool_;
        ew.Ids_ = ElementIds_.data() + elementStart[k];
        ew.Count_ = elementStart[k + 1] - elementStart[k];
        e->MeasureWires();
        Elements.push_back(std::move(e));
    }
}

void TWireList::ApplyFilter() {
    const TElement* fe = nullptr;
    if (FilterElement >= 0 && static_cast<size_t>(FilterElement) < Elements.size())
        fe = Elements[static_cast<size_t>(FilterElement)].get();
    for (TWire* w : Items_) {
        switch (FilterMode) {
        case 2:
            w->Visible = w->ElementRef ? (w->Element() == fe) : FilterElement == -1;
            break;
        case 1: {
            bool v = false;
            if (fe) {
                const Vec3& mn = fe->ElementBoxMin;
                const Vec3& mx = fe->ElementBoxMax;
                const Vec3& a = w->P1_;
                const Vec3& b = w->P2_;
                v = (mn.X == mx.X && mx.X == a.X && a.X == b.X) || (mn.Y == mx.Y && mx.Y == a.Y && a.Y == b.Y) ||
                    (mn.Z == mx.Z && mx.Z == a.Z && a.Z == b.Z);
            }
            w->Visible = v;
            break;
        }
        default:
            w->Visible = true;
            break;
        }
    }
}

double TWireList::TurningRadius() const {
    const double dx = BoxMax.X - BoxMin.X;
    const double dy = BoxMax.Y - BoxMin.Y;
    return std::sqrt(dx * dx + dy * dy) / 2;
}

} // namespace velomast
