#include "model/generators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>
#include <vector>

using namespace velomast;

namespace {

TWire* Add(TWireList& m, Vec3 a, Vec3 b, double r = -2) {
    TWire* w = m.NewWire(a, b, r);
    EXPECT_NE(w, nullptr);
    return w;
}
bool Ends(const TWire* w, Vec3 a, Vec3 b) { return VecEqual(w->P1(), a) && VecEqual(w->P2(), b); }
bool Near(const Vec3& a, const Vec3& b, double tol = 1e-9) { return VecDistance(a, b) <= tol; }

// Each wire's ends as an unordered pair, to compare models that differ only in order.
std::set<std::tuple<double, double, double, double, double, double>> Shape(const TWireList& m, size_t from) {
    std::set<std::tuple<double, double, double, double, double, double>> s;
    for (size_t i = from; i < m.Count(); ++i) {
        Vec3 a = m[i]->P1(), b = m[i]->P2();
        if (std::tie(a.X, a.Y, a.Z) > std::tie(b.X, b.Y, b.Z)) std::swap(a, b);
        s.insert({a.X, a.Y, a.Z, b.X, b.Y, b.Z});
    }
    return s;
}

// The unit square (0,0,0)-(1,0,0)-(1,1,0)-(0,1,0), selected with the first wire current.
void Square(TWireList& m, bool mixed = false) {
    Add(m, {0, 0, 0}, {1, 0, 0});
    if (mixed) {
        Add(m, {1, 1, 0}, {1, 0, 0}); // ends at B
        Add(m, {0, 1, 0}, {0, 0, 0}); // D-A, listed before C-D
        Add(m, {0, 1, 0}, {1, 1, 0});
    } else {
        Add(m, {1, 0, 0}, {1, 1, 0});
        Add(m, {1, 1, 0}, {0, 1, 0});
        Add(m, {0, 1, 0}, {0, 0, 0});
    }
    for (int i = 3; i >= 0; --i) m.SelectWire(m[static_cast<size_t>(i)], false);
}

} // namespace

TEST(Cage, SixFacesTwoHoopsWithBothEndConnections) {
    TWireList m;
    TWire* base = Add(m, {0, 0, 0}, {0, 0, 10}, 0.002);
    TCageParams p; // N 6, H 2, 20 %, both ends as conductors, centre isolator
    p.Radius = 0.25;
    p.WireRadius = 0.0008;
    EXPECT_EQ(MakeFatWire(m, *base, p), 30);
    ASSERT_EQ(m.Count(), 31u);
    EXPECT_EQ(base->Radius, 0);
    EXPECT_EQ(base->SavedRadius(), 0.002); // "Восстановить как проводник" brings it back

    // Per face: the face, its top and bottom connections; the reference is +X, so the
    // first face lies towards u = d x X = +Y.
    EXPECT_TRUE(Ends(m[1], {0, 0.25, 1}, {0, 0.25, 9}));
    EXPECT_TRUE(Ends(m[2], {0, 0, 0}, {0, 0.25, 1}));
    EXPECT_TRUE(Ends(m[3], {0, 0.25, 9}, {0, 0, 10}));
    for (int e = 0; e < 6; ++e) {
        const TWire* face = m[static_cast<size_t>(1 + 3 * e)];
        EXPECT_NEAR(face->WireLength(), 8, 1e-9) << e;
        EXPECT_NEAR(face->P1().Z, 1, 1e-12);
        EXPECT_NEAR(std::hypot(face->P1().X, face->P1().Y), 0.25, 1e-4);
        EXPECT_EQ(face->Radius, 0.0008);
    }
    // Then the hoops, face by face and ring by ring: two hexagons at the faces' ends,
    // each hoop from face e + 1 to face e.
    EXPECT_TRUE(Ends(m[19], m[4]->P1(), m[1]->P1()));
    EXPECT_TRUE(Ends(m[20], m[4]->P2(), m[1]->P2()));
    EXPECT_TRUE(Ends(m[29], m[1]->P1(), m[16]->P1())); // the last face wraps to the first
    for (size_t i = 19; i < 31; ++i) {
        EXPECT_NEAR(m[i]->WireLength(), 0.25, 2e-4) << i;
        EXPECT_EQ(m[i]->Radius, 0.0008);
    }
    m.RebuildElements();
    EXPECT_EQ(m.Elements.size(), 1u); // one joined cage
    EXPECT_EQ(EstimateCage(10, p).Count, 30);
}

TEST(Cage, SingleHoopConvergesAndDielectricHoopsAreIsolators) {
    TWireList m;
    TWire* base = Add(m, {0, 0, 0}, {0, 0, 10}, 0.002);
    TCageParams p;
    p.Hoops = 1;
    p.CentreIsolator = false;
    EXPECT_EQ(MakeFatWire(m, *base, p), 12); // no end connections, whatever the selectors say
    EXPECT_EQ(base->Radius, 0.002);
    for (int e = 0; e < 6; ++e) {
        const TWire* face = m[static_cast<size_t>(1 + e)];
        EXPECT_TRUE(VecEqual(face->P2(), {0, 0, 10})) << e;
        EXPECT_NEAR(face->P1().Z, 2, 1e-12);
        EXPECT_NEAR(std::hypot(face->P1().X, face->P1().Y), 0.2, 1e-4); // 0.8 of the way in
    }
    EXPECT_TRUE(Ends(m[7], m[2]->P1(), m[1]->P1())); // the one ring at the faces' starts
    EXPECT_EQ(EstimateCage(10, p).Count, 12);

    TWireList d;
    TWire* b2 = Add(d, {0, 0, 0}, {10, 0, 0}); // along X: the reference becomes +Y
    TCageParams q;
    q.Hoops = 3;
    q.HoopsIsolated = true;
    q.TopKind = EndIsolator;
    q.BottomKind = EndNone;
    EXPECT_EQ(MakeFatWire(d, *b2, q), 6 * 3 + 18);
    EXPECT_EQ(EstimateCage(10, q).Count, 36);
    // Face: first segment 1..5, top isolator, second segment 5..9; then 18 hoops.
    EXPECT_NEAR(d[1]->P1().X, 1, 1e-12);
    EXPECT_NEAR(d[1]->P2().X, 5, 1e-12);
    EXPECT_TRUE(Ends(d[2], {0, 0, 0}, d[1]->P1()));
    EXPECT_EQ(d[2]->Radius, 0);
    EXPECT_TRUE(Ends(d[3], d[1]->P2(), VecAdd(d[1]->P2(), {4, 0, 0})));
    EXPECT_NEAR(std::hypot(d[1]->P1().Y, d[1]->P1().Z), 0.25, 1e-4);
    EXPECT_NEAR(d[1]->P1().Y, 0, 1e-12); // u = d x Y = +Z
    EXPECT_NEAR(d[1]->P1().Z, 0.25, 1e-12);
    for (size_t i = 1; i < 19; ++i) EXPECT_EQ(d[i]->Radius, (i - 1) % 3 == 1 ? 0 : 0.0008) << i;
    for (size_t i = 19; i < d.Count(); ++i) EXPECT_EQ(d[i]->Radius, 0) << i;
}

TEST(Cage, StartAngleOfOneFaceGivesTheSameCage) {
    TWireList a, b;
    TWire* wa = Add(a, {0, 0, 0}, {0, 0, 10});
    TWire* wb = Add(b, {0, 0, 0}, {0, 0, 10});
    TCageParams p;
    p.Radius = 0.5;
    MakeFatWire(a, *wa, p);
    p.StartAngle = 60;
    MakeFatWire(b, *wb, p);
    EXPECT_EQ(Shape(a, 1), Shape(b, 1));
    EXPECT_FALSE(Ends(b[1], a[1]->P1(), a[1]->P2()));
    EXPECT_TRUE(Ends(b[1], a[4]->P1(), a[4]->P2()));
}

TEST(Generators, NothingAddedLeavesTheModelAsItWas) {
    TWireList m;
    TWire* base = Add(m, {0, 0, 0}, {0, 0, 10}, 0.002);
    TCageParams p;
    ASSERT_EQ(MakeFatWire(m, *base, p), 30);
    base->Radius = 0.002;
    // The same cage again: every wire would duplicate one; no empty wire stays behind.
    EXPECT_EQ(MakeFatWire(m, *base, p), 0);
    EXPECT_EQ(m.Count(), 31u);
    EXPECT_EQ(base->Radius, 0.002);
    for (const TWire* w : m) EXPECT_GT(w->WireLength(), 0);

    TWire* point = m.NewWireAssigned({5, 5, 5}, {5, 5, 5}); // a file's zero-length wire
    EXPECT_EQ(MakeFatWire(m, *point, p), 0);
    EXPECT_EQ(MakeCoil(m, *point, TCoilParams{}), 0);
    EXPECT_EQ(MakeColinear(m, *point, 3, 0.01, 0.1), 0);
    TCoilParams flat;
    flat.Radius = 0;
    EXPECT_EQ(MakeCoil(m, *base, flat), 0);
    EXPECT_EQ(m.Count(), 32u);
    EXPECT_EQ(base->Radius, 0.002);
}

TEST(Coil, ChordsLeadsReferenceAndEstimates) {
    TWireList m;
    TWire* base = Add(m, {0, 0, 0}, {0, 0, 1}, 0.002);
    TCoilParams p; // N 6, W 10, diameter 0.5
    EXPECT_EQ(MakeCoil(m, *base, p), 62);
    ASSERT_EQ(m.Count(), 63u);
    EXPECT_EQ(base->Radius, 0);
    // Along Z the reference is +Y: u = Z x Y = -X.
    EXPECT_TRUE(Ends(m[1], {0, 0, 0}, {-0.25, 0, 0}));
    EXPECT_TRUE(Ends(m[62], {-0.25, 0, 1}, {0, 0, 1}));
    EXPECT_NEAR(m[1]->WireLength(), 0.25, 1e-12);
    EXPECT_NEAR(m[62]->WireLength(), 0.25, 1e-12);
    for (size_t i = 2; i < 63; ++i) {
        EXPECT_TRUE(VecEqual(m[i]->P1(), m[i - 1]->P2())) << i; // one unbroken helix
        EXPECT_EQ(m[i]->Radius, 0.0008);
    }
    EXPECT_NEAR(m[7]->P2().Z, 0.1, 1e-12); // six chords later: one turn done
    EXPECT_TRUE(Near(m[7]->P2(), {-0.25, 0, 0.1}, 1e-4));

    const TGeneratorEstimate e = EstimateCoil(1, p);
    EXPECT_EQ(e.Count, 62);
    EXPECT_NEAR(e.TotalLength, 0.5 + M_PI * 5, 1e-12);
    EXPECT_NEAR(e.Inductance, 0.8138 * 0.4 * M_PI * M_PI * 0.0625 * 100, 1e-9);

    // Along Y the reference is +Z (u = Y x Z = +X); along X it is +Y (u = X x Y = +Z).
    for (auto [end, lead] : {std::pair{Vec3{0, 5, 0}, Vec3{0.25, 0, 0}}, std::pair{Vec3{5, 0, 0}, Vec3{0, 0, 0.25}}}) {
        TWireList c;
        TWire* w = Add(c, {0, 0, 0}, end);
        MakeCoil(c, *w, p);
        EXPECT_TRUE(Ends(c[1], {0, 0, 0}, lead));
    }
}

TEST(Grid, FillsTheUnitSquareAndReplacesTheFrame) {
    for (bool mixed : {false, true}) {
        TWireList m;
        Square(m, mixed);
        m.NewObjectFromText(KindSource, "w1c,0,1");
        Add(m, {5, 5, 5}, {6, 5, 5}); // another wire stays first
        const std::optional<int> made = FillGrid(m, 2, 2, 0.0008);
        ASSERT_TRUE(made);
        EXPECT_EQ(*made, 12);
        EXPECT_EQ(GridWireCount(2, 2), 12);
        ASSERT_EQ(m.Count(), 13u);
        EXPECT_TRUE(m.Sources.empty());
        EXPECT_TRUE(m.Selection.Empty());
        EXPECT_TRUE(Ends(m[0], {5, 5, 5}, {6, 5, 5}));
        // Point by point: along X, then along Y from the same point.
        EXPECT_TRUE(Ends(m[1], {0, 0, 0}, {0.5, 0, 0}));
        EXPECT_TRUE(Ends(m[2], {0, 0, 0}, {0, 0.5, 0}));
        EXPECT_TRUE(Ends(m[3], {0.5, 0, 0}, {1, 0, 0}));
        EXPECT_TRUE(Ends(m[5], {1, 0, 0}, {1, 0.5, 0}));
        EXPECT_TRUE(Ends(m[12], {0.5, 1, 0}, {1, 1, 0}));
        int alongX = 0;
        for (size_t i = 1; i < 13; ++i) {
            alongX += m[i]->P1().Y == m[i]->P2().Y;
            EXPECT_EQ(m[i]->Radius, 0.0008);
            EXPECT_EQ(m[i]->Segments, -1);
            EXPECT_NEAR(m[i]->WireLength(), 0.5, 1e-12);
        }
        EXPECT_EQ(alongX, 6);
    }
    EXPECT_EQ(GridWireCount(4, 4), 40);
    EXPECT_EQ(GridWireCount(17, 17), 612);
}

TEST(Grid, FourWiresThatAreNoClosedQuadrilateralChangeNothing) {
    struct Case {
        const char* What;
        std::vector<std::pair<Vec3, Vec3>> Wires;
    };
    const std::vector<Case> cases = {
        {"open chain", {{{0, 0, 0}, {1, 0, 0}}, {{1, 0, 0}, {1, 1, 0}}, {{1, 1, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 2, 0}}}},
        {"star at B", {{{0, 0, 0}, {1, 0, 0}}, {{1, 0, 0}, {1, 1, 0}}, {{1, 0, 0}, {2, 0, 0}}, {{1, 0, 0}, {1, -1, 0}}}},
        {"loose", {{{0, 0, 0}, {1, 0, 0}}, {{2, 0, 0}, {3, 0, 0}}, {{4, 0, 0}, {5, 0, 0}}, {{6, 0, 0}, {7, 0, 0}}}},
        {"triangle and tail",
         {{{0, 0, 0}, {1, 0, 0}}, {{1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, 0}}, {{0, 0, 0}, {0, 0, 1}}}},
    };
    for (const Case& c : cases) {
        TWireList m;
        for (const auto& [a, b] : c.Wires) Add(m, a, b);
        for (int i = 3; i >= 0; --i) m.SelectWire(m[static_cast<size_t>(i)], false);
        EXPECT_FALSE(FindQuadrilateral(m)) << c.What;
        EXPECT_FALSE(FillGrid(m, 2, 2, 0.001)) << c.What;
        EXPECT_FALSE(MakeBox(m, 2, 1, false)) << c.What;
        ASSERT_EQ(m.Count(), 4u) << c.What;
        for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(Ends(m[i], c.Wires[i].first, c.Wires[i].second)) << c.What;
        EXPECT_EQ(m.Selection.Count(), 4u);
    }
    TWireList three;
    Square(three);
    three.DeselectWire(three[3]);
    EXPECT_FALSE(FillGrid(three, 2, 2, 0.001));
}

TEST(Colinear, ElementsAlternateBesideTheLineAndOverlap) {
    TWireList m;
    TWire* w = Add(m, {0, 0, 0}, {0, 0, 10}, 0.001);
    EXPECT_EQ(MakeColinear(m, *w, 2, 0.01, 0.1), 2);
    ASSERT_EQ(m.Count(), 3u);
    EXPECT_TRUE(Ends(m[1], {-0.01, 0, 9}, {-0.01, 0, 19}));
    EXPECT_TRUE(Ends(m[2], {0, 0, 18}, {0, 0, 28}));
    EXPECT_EQ(m[1]->Radius, 0.001);
    EXPECT_EQ(m[2]->Segments, -1);
    EXPECT_DOUBLE_EQ(ColinearLength(10, 2, 0.1), 28);

    // A wire along X takes +Y as reference: the shift goes to e2 = X x (X x Y) = -Y.
    TWireList h;
    TWire* x = Add(h, {0, 0, 5}, {4, 0, 5});
    EXPECT_EQ(MakeColinear(h, *x, 3, 0.02, 0.25), 3);
    EXPECT_TRUE(Ends(h[1], {3, -0.02, 5}, {7, -0.02, 5}));
    EXPECT_TRUE(Ends(h[2], {6, 0, 5}, {10, 0, 5}));
    EXPECT_TRUE(Ends(h[3], {9, -0.02, 5}, {13, -0.02, 5}));
}

TEST(Box, StoreysOnTheRectangleUpAndDown) {
    for (bool down : {false, true}) {
        TWireList m;
        Square(m, true);
        m.DefaultRadius = 0.0012;
        const std::optional<int> made = MakeBox(m, 4, 2.5, down);
        ASSERT_TRUE(made);
        EXPECT_EQ(*made, 32);
        ASSERT_EQ(m.Count(), 36u);
        const double s = down ? -2.5 : 2.5;
        // The B-C wire now runs from B; the selection follows the outline.
        EXPECT_TRUE(Ends(m[1], {1, 0, 0}, {1, 1, 0}));
        ASSERT_EQ(m.Selection.Count(), 4u);
        EXPECT_EQ(m.Selection[0], m[0]);
        EXPECT_EQ(m.Selection[1], m[1]);
        EXPECT_EQ(m.Selection[2], m[2]);
        EXPECT_EQ(m.Selection[3], m[3]);
        // Verticals A, B, C, D, then the sides A-B, B-C, C-D, D-A one storey up.
        EXPECT_TRUE(Ends(m[4], {0, 0, 0}, {0, 0, s}));
        EXPECT_TRUE(Ends(m[5], {1, 0, 0}, {1, 0, s}));
        EXPECT_TRUE(Ends(m[6], {1, 1, 0}, {1, 1, s}));
        EXPECT_TRUE(Ends(m[7], {0, 1, 0}, {0, 1, s}));
        EXPECT_TRUE(Ends(m[8], {0, 0, s}, {1, 0, s}));
        EXPECT_TRUE(Ends(m[11], {0, 1, s}, {0, 0, s}));
        EXPECT_TRUE(Ends(m[35], {0, 1, 4 * s}, {0, 0, 4 * s}));
        for (size_t i = 4; i < 36; ++i) {
            EXPECT_EQ(m[i]->Radius, 0.0012);
            EXPECT_FALSE(m[i]->IsSelected());
        }
        m.RebuildElements();
        EXPECT_EQ(m.Elements.size(), 1u);

        // Built a second time, every wire would duplicate: nothing changes.
        TWireList again;
        Square(again, true);
        MakeBox(again, 1, 1, false);
        const std::vector<TWire*> sel = again.Selection.ToVector();
        again[1]->Invert(); // back to ending at B, as drawn
        EXPECT_EQ(MakeBox(again, 1, 1, false), 0);
        EXPECT_TRUE(Ends(again[1], {1, 1, 0}, {1, 0, 0}));
        EXPECT_EQ(again.Selection.ToVector(), sel);
    }
}
