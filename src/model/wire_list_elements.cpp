// Elements and connection points of a wire list, and the element and plane filters.
#include "wire_list.h"

#include <algorithm>
#include <cmath>

namespace velomast {

namespace {
// One wire being collected: the wires sharing its start and its end, merged in list order
// as they are taken. The frames refer to the end index's lists instead of copying them, so
// a point where thousands of wires meet costs no more memory than the index itself.
struct CollectFrame {
    TWire* W;
    Vec3 PA, PB;
    const std::vector<TWire*>* A;
    const std::vector<TWire*>* B; // null when the wire's ends coincide
    size_t Ia = 0;
    size_t Ib = 0;
};
} // namespace

void TWireList::RebuildElements() {
    ClearElements();

    // Each point's wires in list order (the lists are kept in any order otherwise).
    auto byIndex = [](const TWire* a, const TWire* b) { return a->Index_ < b->Index_; };
    for (auto& [key, wires] : PointIndex_)
        if (wires.size() > 1 && !std::is_sorted(wires.begin(), wires.end(), byIndex))
            std::sort(wires.begin(), wires.end(), byIndex);

    auto bucket = [this](const Vec3& p) -> const std::vector<TWire*>* {
        auto it = PointIndex_.find(KeyOf(p));
        return it == PointIndex_.end() ? nullptr : &it->second;
    };
    auto makeFrame = [&](TWire* w) {
        const bool closed = VecEqual(w->P1_, w->P2_);
        return CollectFrame{w, w->P1_, w->P2_, bucket(w->P1_), closed ? nullptr : bucket(w->P2_)};
    };
    // The next wire of a list that has an end at p (a wire with both ends there is listed
    // twice, next to itself).
    auto peek = [](const std::vector<TWire*>* v, size_t& i, const Vec3& p) -> TWire* {
        for (; v && i < v->size(); ++i) {
            TWire* q = (*v)[i];
            if (VecEqual(q->P1_, p) || VecEqual(q->P2_, p)) return q;
        }
        return nullptr;
    };
    auto take = [](const std::vector<TWire*>* v, size_t& i, const TWire* q) {
        while (i < v->size() && (*v)[i] == q) ++i;
    };
    // The wires touching f.W, in list order, each once, f.W itself left out.
    auto next = [&](CollectFrame& f) -> TWire* {
        for (;;) {
            TWire* a = peek(f.A, f.Ia, f.PA);
            TWire* b = peek(f.B, f.Ib, f.PB);
            if (!a && !b) return nullptr;
            TWire* q = (!b || (a && a->Index_ <= b->Index_)) ? a : b;
            if (a == q) take(f.A, f.Ia, q);
            if (b == q) take(f.B, f.Ib, q);
            if (q != f.W) return q;
        }
    };

    // Collect(W, E) visits the wires touching W in list order and descends into each newly
    // joined wire before going on (depth first). The frames below replay exactly that
    // order without recursion, so chains of any length are safe.
    std::vector<CollectFrame> stack;
    for (TWire* first : Items_) {
        if (first->OwnerTag_ != 0 || first->Radius == 0 || first->Element) continue;
        Elements.push_back(std::make_unique<TElement>());
        TElement* e = Elements.back().get();
        e->Index = static_cast<int32_t>(Elements.size()) - 1;
        e->AddWire(first);
        stack.push_back(makeFrame(first));

        while (!stack.empty()) {
            CollectFrame& f = stack.back();
            TWire* q = next(f);
            if (!q) {
                stack.pop_back();
                continue;
            }
            TWire* w = f.W;
            if (q->Radius == 0) continue;
            if (q->Element && q->Element != e) continue;
            const bool hadElement = q->Element != nullptr;
            bool matched = false;
            auto join = [&](TCPoint*& wj, const Vec3& wp, TCPoint*& qj, const Vec3& qp) {
                if (!VecEqual(wp, qp)) return;
                if (!wj) {
                    Junctions.push_back(std::make_unique<TCPoint>(TCPoint{wp}));
                    wj = Junctions.back().get();
                }
                qj = wj;
                matched = true;
            };
            join(w->StartJunction, w->P1_, q->StartJunction, q->P1_);
            join(w->EndJunction, w->P2_, q->StartJunction, q->P1_);
            join(w->StartJunction, w->P1_, q->EndJunction, q->P2_);
            join(w->EndJunction, w->P2_, q->EndJunction, q->P2_);
            if (matched && !hadElement) {
                e->AddWire(q);
                stack.push_back(makeFrame(q)); // invalidates f
            }
        }
    }
}

void TWireList::ApplyFilter() {
    const TElement* fe = nullptr;
    if (FilterElement >= 0 && static_cast<size_t>(FilterElement) < Elements.size())
        fe = Elements[static_cast<size_t>(FilterElement)].get();
    for (TWire* w : Items_) {
        switch (FilterMode) {
        case 2:
            w->Visible = w->Element ? (w->Element == fe) : FilterElement == -1;
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
