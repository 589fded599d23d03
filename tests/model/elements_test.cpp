#include "model/wire_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace velomast;

namespace {
TWire* Add(TWireList& m, Vec3 a, Vec3 b, double r = -2) { return m.NewWire(a, b, r); }
std::vector<TWire*> WiresOf(const TElement& e) { return {e.ElementWires.begin(), e.ElementWires.end()}; }
} // namespace

TEST(Elements, JoinedEndsFormOneElementWithJunctions) {
    TWireList m;
    TWire* a = Add(m, {0, 0, 0}, {2, 0, 0});
    TWire* b = Add(m, {2, 0, 0}, {2, 2, 0});
    TWire* t = Add(m, {1, 0, 0}, {1, -1, 0}); // touches the middle of a: not joined
    m.RebuildElements();
    ASSERT_EQ(m.Elements.size(), 2u);
    EXPECT_EQ(a->Element(), b->Element());
    EXPECT_NE(t->Element(), a->Element());
    EXPECT_NE(a->EndJunction(), nullptr);
    EXPECT_EQ(a->EndJunction(), b->StartJunction());
    EXPECT_EQ(a->StartJunction(), nullptr);
    EXPECT_EQ(t->StartJunction(), nullptr);
    EXPECT_EQ(WiresOf(*m.Elements[0]), (std::vector<TWire*>{a, b}));
    EXPECT_DOUBLE_EQ(ElementLength(*m.Elements[0]), 4);
}

TEST(Elements, IsolatorsSplitElements) {
    TWireList m;
    TWire* a = Add(m, {0, 0, 0}, {1, 0, 0});
    TWire* iso = Add(m, {1, 0, 0}, {2, 0, 0}, 0);
    TWire* c = Add(m, {2, 0, 0}, {3, 0, 0});
    m.RebuildElements();
    EXPECT_EQ(m.Elements.size(), 2u);
    EXPECT_EQ(iso->Element(), nullptr);
    EXPECT_EQ(a->EndJunction(), nullptr);
    EXPECT_EQ(c->StartJunction(), nullptr);
}

TEST(Elements, RoundedEndsJoinOnlyWhenStoredEqual) {
    TWireList m;
    TWire* a = Add(m, {0, 0, 0}, {1.00004, 0, 0});
    TWire* b = Add(m, {1.00006, 0, 0}, {2, 0, 0});
    TWire* c = Add(m, {1.00001, 0, 0}, {1, 1, 0});
    m.RebuildElements();
    EXPECT_NE(a->Element(), b->Element());
    EXPECT_EQ(a->Element(), c->Element());
}

TEST(Elements, KindsAndNumbering) {
    TWireList m;
    TWire* alongX = Add(m, {0, 0, 0}, {1, 0, 0});
    TWire* alongY = Add(m, {5, 0, 0}, {5, 1, 0});
    TWire* vertical = Add(m, {9, 9, 0}, {9, 9, 3});
    m.RebuildElements();
    EXPECT_STREQ(ElementKindLetter(*alongX->Element()), "");
    EXPECT_STREQ(ElementKindLetter(*alongY->Element()), "H");
    EXPECT_STREQ(ElementKindLetter(*vertical->Element()), "V");
    EXPECT_EQ(alongY->Element()->Index, 1);
}

TEST(Elements, SceneWiresJoinButNeverStartElements) {
    TWireList m;
    TWire* scene = m.NewWire({0, 0, 0}, {1, 0, 0}, -2, 1);
    TWire* lone = m.NewWire({7, 0, 0}, {8, 0, 0}, -2, 1);
    TWire* own = Add(m, {1, 0, 0}, {1, 1, 0});
    m.RebuildElements();
    ASSERT_EQ(m.Elements.size(), 1u);
    EXPECT_EQ(scene->Element(), own->Element());
    EXPECT_EQ(lone->Element(), nullptr);
}

TEST(Elements, LongChainsNeedNoRecursion) {
    // A million wires joined end to end: any recursion per wire would overflow the stack.
    TWireList m;
    const int n = 1000000;
    m.ReserveWires(n);
    for (int i = 0; i < n; ++i)
        m.NewWireAssigned({(i % 2) * 0.5, 0, i * 0.01}, {((i + 1) % 2) * 0.5, 0, (i + 1) * 0.01});
    m.RebuildElements();
    ASSERT_EQ(m.Elements.size(), 1u);
    EXPECT_EQ(m.Elements[0]->ElementWires.size(), static_cast<size_t>(n));
    EXPECT_EQ(m.Elements[0]->ElementWires.back(), m[n - 1]);
    EXPECT_EQ(m.Elements[0]->ElementWires[n / 2], m[n / 2]);
    EXPECT_EQ(m.Junctions.size(), static_cast<size_t>(n - 1));
}

TEST(Elements, BranchesAreVisitedDepthFirstInListOrder) {
    // The centre wire has an arm at each end; the first arm continues. Depth first reaches
    // the continuation before the arm at the centre's start.
    TWireList m;
    TWire* centre = Add(m, {0, 0, 0}, {1, 0, 0});
    TWire* arm1 = Add(m, {1, 0, 0}, {1, 1, 0});
    TWire* arm2 = Add(m, {0, 0, 0}, {0, -1, 0});
    TWire* cont = Add(m, {1, 1, 0}, {1, 2, 0});
    TWire* fork = Add(m, {1, 0, 0}, {2, 0, 0}); // meets arm1 at the centre's end
    m.RebuildElements();
    EXPECT_EQ(WiresOf(*m.Elements[0]), (std::vector<TWire*>{centre, arm1, cont, fork, arm2}));
    EXPECT_EQ(fork->StartJunction(), centre->EndJunction());
    EXPECT_EQ(arm2->StartJunction(), centre->StartJunction());
}

TEST(Elements, Filters) {
    TWireList m;
    // A square loop in the plane z = 2 and a separate wire also lying in z = 2.
    TWire* s1 = Add(m, {0, 0, 2}, {1, 0, 2});
    Add(m, {1, 0, 2}, {1, 1, 2});
    Add(m, {1, 1, 2}, {0, 1, 2});
    Add(m, {0, 1, 2}, {0, 0, 2});
    TWire* other = Add(m, {5, 5, 2}, {6, 5, 2});
    TWire* up = Add(m, {5, 5, 0}, {5, 5, 1});
    m.RebuildElements();
    EXPECT_EQ(s1->Element()->ElementKind, ElementOther);

    m.FilterMode = 1;
    m.FilterElement = 0;
    m.ApplyFilter();
    EXPECT_TRUE(s1->Visible);
    EXPECT_TRUE(other->Visible);
    EXPECT_FALSE(up->Visible);

    m.FilterMode = 2;
    m.FilterElement = 1;
    m.ApplyFilter();
    EXPECT_FALSE(s1->Visible);
    EXPECT_TRUE(other->Visible);

    m.FilterMode = 0;
    m.ApplyFilter();
    EXPECT_TRUE(up->Visible);
}

TEST(Elements, TurningRadiusIsHalfTheHorizontalDiagonal) {
    TWireList m;
    Add(m, {0, 0, 0}, {3, 4, 10});
    m.ComputeBox();
    EXPECT_DOUBLE_EQ(m.TurningRadius(), 2.5);
}

namespace {
// Elements as wire numbers, which wire ends have a connection point, and how many points
// were made. (Which of the points made at one place an end refers to is not seen
// anywhere: they all lie at that place.)
using TSignature = std::vector<std::vector<size_t>>;

TSignature Signature(const TWireList& m) {
    TSignature sig;
    for (const auto& e : m.Elements) {
        sig.emplace_back();
        for (const TWire* w : e->ElementWires) sig.back().push_back(m.IndexOf(w));
    }
    sig.emplace_back();
    for (const TWire* w : m) {
        sig.back().push_back(w->StartJunction() != nullptr);
        sig.back().push_back(w->EndJunction() != nullptr);
    }
    sig.push_back({m.Junctions.size()});
    return sig;
}

// The collection as first written: every visited wire copies the sorted list of the wires
// touching it. The rebuild must give exactly its elements, order and junctions. It keeps
// its elements and points to itself and uses the wires' element and junction fields as
// its marks, which it clears when done.
TSignature ReferenceSignature(TWireList& m) {
    for (TWire* w : m) {
        w->ElementRef = 0;
        w->StartJunctionRef = w->EndJunctionRef = 0;
    }
    TSignature elements;
    size_t points = 0;
    struct Frame {
        TWire* W;
        std::vector<TWire*> Candidates;
        size_t Next = 0;
    };
    auto frame = [&](TWire* w) {
        Frame f{w, m.WiresAt(w->P1()), 0};
        if (!VecEqual(w->P1(), w->P2())) {
            std::vector<TWire*> atEnd = m.WiresAt(w->P2());
            f.Candidates.insert(f.Candidates.end(), atEnd.begin(), atEnd.end());
            std::sort(f.Candidates.begin(), f.Candidates.end(),
                      [&](const TWire* a, const TWire* b) { return m.IndexOf(a) < m.IndexOf(b); });
            f.Candidates.erase(std::unique(f.Candidates.begin(), f.Candidates.end()), f.Candidates.end());
        }
        std::erase(f.Candidates, w);
        return f;
    };
    std::vector<Frame> stack;
    for (TWire* first : m) {
        if (first->OwnerTag() != 0 || first->Radius == 0 || first->ElementRef) continue;
        elements.emplace_back();
        const auto e = static_cast<uint32_t>(elements.size());
        first->ElementRef = e;
        elements.back().push_back(m.IndexOf(first));
        stack.push_back(frame(first));
        while (!stack.empty()) {
            Frame& f = stack.back();
            if (f.Next >= f.Candidates.size()) {
                stack.pop_back();
                continue;
            }
            TWire* w = f.W;
            TWire* q = f.Candidates[f.Next++];
            if (q->Radius == 0 || (q->ElementRef && q->ElementRef != e)) continue;
            const bool had = q->ElementRef != 0;
            bool matched = false;
            auto join = [&](uint32_t& wj, const Vec3& wp, uint32_t& qj, const Vec3& qp) {
                if (!VecEqual(wp, qp)) return;
                if (!wj) wj = static_cast<uint32_t>(++points);
                qj = wj;
                matched = true;
            };
            join(w->StartJunctionRef, w->P1(), q->StartJunctionRef, q->P1());
            join(w->EndJunctionRef, w->P2(), q->StartJunctionRef, q->P1());
            join(w->StartJunctionRef, w->P1(), q->EndJunctionRef, q->P2());
            join(w->EndJunctionRef, w->P2(), q->EndJunctionRef, q->P2());
            if (matched && !had) {
                q->ElementRef = e;
                elements.back().push_back(m.IndexOf(q));
                stack.push_back(frame(q));
            }
        }
    }
    TSignature sig = elements;
    sig.emplace_back();
    for (TWire* w : m) {
        sig.back().push_back(w->StartJunctionRef != 0);
        sig.back().push_back(w->EndJunctionRef != 0);
        w->ElementRef = 0;
        w->StartJunctionRef = w->EndJunctionRef = 0;
    }
    sig.push_back({points});
    return sig;
}
} // namespace

TEST(Elements, RebuildMatchesTheFirstWrittenCollection) {
    // Random wires between a few points: shared ends, coinciding ends, repeated wires,
    // isolators and scene wires, in every order.
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coord(0, 2);
    std::uniform_int_distribution<int> kind(0, 9);
    for (int model = 0; model < 320; ++model) {
        TWireList m;
        // The last ones crowd a few hundred wires onto the same points.
        const int n = model < 300 ? 5 + model % 40 : 100 + 20 * (model - 300);
        for (int i = 0; i < n; ++i) {
            const Vec3 a{double(coord(rng)), double(coord(rng)), 0};
            const Vec3 b{double(coord(rng)), double(coord(rng)), double(coord(rng) % 2)};
            const int k = kind(rng);
            TWire* w = m.NewWire(k == 9 ? 1 : 0);
            w->AssignEnds(a, k == 8 ? a : b, true);
            w->Radius = k == 7 ? 0 : 0.001;
        }
        m.RebuildElements();
        const auto rebuilt = Signature(m);
        ASSERT_EQ(rebuilt, ReferenceSignature(m)) << "model " << model;
    }
}
