#include "model/wire_list.h"

#include <gtest/gtest.h>

using namespace velomast;

namespace {
TWire* Add(TWireList& m, Vec3 a, Vec3 b) {
    TWire* w = m.NewWire(a, b, -2);
    EXPECT_NE(w, nullptr);
    return w;
}
void ExpectEnds(const TWire* w, Vec3 a, Vec3 b) {
    EXPECT_TRUE(VecEqual(w->P1(), a) && VecEqual(w->P2(), b))
        << "(" << w->P1().X << "," << w->P1().Y << "," << w->P1().Z << ")-(" << w->P2().X << "," << w->P2().Y << ","
        << w->P2().Z << ")";
}
} // namespace

TEST(WireOps, SetEndsDerivesLengthAzimuthAndZenith) {
    struct Case { Vec3 end; double az, zen; };
    for (const Case c : {Case{{1, 1, 0}, 45, 90}, {{-1, 0, 0}, 180, 90}, {{0, 0, 1}, 0, 0}, {{0, 0, -1}, 0, 180},
                         {{0, -1, 0}, -90, 90}, {{3, 0, 4}, 0, 36.869897645844}}) {
        TWire w;
        ASSERT_TRUE(w.SetEnds({0, 0, 0}, c.end, false, false, true));
        EXPECT_NEAR(w.Azimuth(), c.az, 1e-9);
        EXPECT_NEAR(w.Zenith(), c.zen, 1e-9);
        EXPECT_DOUBLE_EQ(w.WireLength(), VecLength(c.end));
    }
}

TEST(WireOps, SetEndsRefusesDegenerateAndDuplicateWires) {
    TWireList m;
    TWire* a = Add(m, {0, 0, 0}, {1, 0, 0});
    TWire* b = Add(m, {0, 1, 0}, {1, 1, 0});
    EXPECT_FALSE(b->SetEnds({2, 2, 2}, {2, 2, 2}, false, false, true));
    EXPECT_FALSE(b->SetEnds({1, 0, 0}, {0, 0, 0}, false, false, true)); // a reversed
    EXPECT_FALSE(b->SetEnds({0.00001, 0, 0}, {1, 0, 0}, false, false, true)); // a after rounding
    EXPECT_FALSE(b->SetEnds({0, 1, 0}, {0.00004, 1, 0}, false, false, true)); // zero after rounding
    ExpectEnds(b, {0, 1, 0}, {1, 1, 0});
    EXPECT_TRUE(a->SetEnds({1.00004, 0, 0}, {1.00006, 0, 0}, false, false, true));
    ExpectEnds(a, {1, 0, 0}, {1.0001, 0, 0});
}

TEST(WireOps, KeepConnectionsMovesNeighboursOneLevelDeep) {
    TWireList m;
    TWire* w1 = Add(m, {0, 0, 0}, {1, 0, 0});
    TWire* w2 = Add(m, {1, 0, 0}, {1, 1, 0});
    TWire* w3 = Add(m, {1, 1, 0}, {2, 1, 0});
    TWire* w4 = Add(m, {5, 5, 5}, {1, 0, 0}); // its end touches the moved joint
    ASSERT_TRUE(w1->SetEnds({0, 0, 0}, {1, 0, 2}, true, false, true));
    ExpectEnds(w2, {1, 0, 2}, {1, 1, 0});
    ExpectEnds(w3, {1, 1, 0}, {2, 1, 0}); // not dragged further
    ExpectEnds(w4, {5, 5, 5}, {1, 0, 2});

    // Without keep the neighbours stay.
    ASSERT_TRUE(w1->SetEnds({0, 0, 0}, {3, 0, 0}, false, false, true));
    ExpectEnds(w2, {1, 0, 2}, {1, 1, 0});
}

TEST(WireOps, KeepConnectionsLeavesSceneWiresAlone) {
    TWireList m;
    TWire* own = Add(m, {0, 0, 0}, {1, 0, 0});
    TWire* scene = m.NewWire({1, 0, 0}, {1, 1, 0}, -2, 1);
    ASSERT_TRUE(own->SetEnds({0, 0, 0}, {2, 0, 0}, true, false, true));
    ExpectEnds(scene, {1, 0, 0}, {1, 1, 0});
}

TEST(WireOps, MirrorMovesTheTwinOfTheCurrentView) {
    TWireList m;
    m.ViewKind = 1; // X-Y: mirror in Y
    TWire* a = Add(m, {0, 1, 0}, {1, 2, 0});
    TWire* b = Add(m, {0, -1, 0}, {1, -2, 0});
    EXPECT_EQ(a->FindMirrorTwin(), b);
    ASSERT_TRUE(a->SetEnds({0, 1, 0}, {1, 3, 0}, false, true, true));
    ExpectEnds(b, {0, -1, 0}, {1, -3, 0});

    m.ViewKind = 2; // X-Z: mirror in X
    TWire* c = Add(m, {2, 0, 0}, {3, 0, 1});
    TWire* d = Add(m, {-3, 0, 1}, {-2, 0, 0}); // reversed twin counts too
    EXPECT_EQ(c->FindMirrorTwin(), d);
    m.ViewKind = 0;
    EXPECT_EQ(c->FindMirrorTwin(), nullptr);
}

TEST(WireOps, SetLengthKeepsTheChosenPoint) {
    struct Case { int fix; Vec3 a, b; };
    for (const Case c : {Case{0, {0, 0, 0}, {3, 0, 0}}, {1, {-1, 0, 0}, {2, 0, 0}}, {2, {-0.5, 0, 0}, {2.5, 0, 0}}}) {
        TWireList m;
        TWire* w = Add(m, {0, 0, 0}, {2, 0, 0});
        w->SetLength(c.fix, true, 3);
        ExpectEnds(w, c.a, c.b);
    }
    TWireList m;
    TWire* w = Add(m, {0, 0, 0}, {2, 0, 0});
    w->SetLength(0, true, 0);
    w->SetLength(0, true, -1);
    ExpectEnds(w, {0, 0, 0}, {2, 0, 0});
}

TEST(WireOps, AzimuthZenithAndInvert) {
    TWireList m;
    TWire* w = Add(m, {0, 0, 0}, {3, 0, 4});
    w->SetAzimuth(90);
    ExpectEnds(w, {0, 0, 0}, {0, 3, 4});

    TWire* v = Add(m, {1, 1, 0}, {1, 1, 2});
    v->SetAzimuth(45); // vertical: nothing moves
    ExpectEnds(v, {1, 1, 0}, {1, 1, 2});
    v->SetZenith(90);
    ExpectEnds(v, {1, 1, 0}, {3, 1, 0});

    TWire* h = Add(m, {0, 5, 0}, {1, 5, 0});
    h->Invert();
    ExpectEnds(h, {1, 5, 0}, {0, 5, 0});
    EXPECT_DOUBLE_EQ(h->WireLength(), 1);
    EXPECT_DOUBLE_EQ(h->Azimuth(), 180);
    EXPECT_NEAR(h->Zenith(), 90, 1e-12);
}

TEST(WireOps, NearestEndSkipsNeighboursDraggedAndForeignWires) {
    TWireList m;
    TWire* w = Add(m, {0, 0, 0}, {1, 0, 0});
    Add(m, {1, 0, 0}, {1, 0.1, 0});         // shares an end: skipped
    TWire* dragged = Add(m, {0, 0.2, 0}, {5, 5, 5});
    dragged->DragEnd = 1;
    m.NewWire({0, 0.1, 0}, {9, 9, 9}, -2, -1); // landscape: skipped
    Add(m, {0, 0.5, 0}, {0, 0.3, 0});
    Add(m, {0, -0.3, 0}, {-4, 0, 0});          // same distance later: earlier wins
    Vec3 found;
    ASSERT_TRUE(w->NearestEnd({0, 0, 0}, &found));
    EXPECT_TRUE(VecEqual(found, {0, 0.3, 0}));

    TWireList lonely;
    TWire* only = Add(lonely, {0, 0, 0}, {1, 0, 0});
    EXPECT_FALSE(only->NearestEnd({0, 0, 0}, &found));
}
