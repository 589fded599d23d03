// Elements and connection points of a wire list, and the element and plane filters.
#include "wire_list.h"

#include <algorithm>
#include <cmath>

namespace velomast {

namespace {
struct CollectFrame {
    TWire* W;
    std::vector<TWire*> Candidates; // wires sharing an end with W, in list order
    size_t Next = 0;
};
} // namespace

void TWireList::RebuildElements() {
    ClearElements();

    // Collect(W, E) visits the wires touching W in list order and descends into each newly
    // joined wire before going on (depth first). The frames below replay exactly that
    // order without recursion, so chains of any length are safe.
    auto makeFrame = [this](TWire* w) {
        CollectFrame f{w, WiresAt(w->P1_), 0};
        if (!VecEqual(w->P1_, w->P2_)) {
            std::vector<TWire*> atEnd = WiresAt(w->P2_);
            f.Candidates.insert(f.Candidates.end(), atEnd.begin(), atEnd.end());
            std::sort(f.Candidates.begin(), f.Candidates.end(),
                      [](const TWire* a, const TWire* b) { return a->Index_ < b->Index_; });
            f.Candidates.erase(std::unique(f.Candidates.begin(), f.Candidates.end()), f.Candidates.end());
        }
        std::erase(f.Candidates, w);
        return f;
    };

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
            if (f.Next >= f.Candidates.size()) {
                stack.pop_back();
                continue;
            }
            TWire* w = f.W;
            TWire* q = f.Candidates[f.Next++];
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
