#include "model/wire_commands.h"

#include <gtest/gtest.h>

using namespace velomast;

namespace {
TWire* Add(TWireList& m, Vec3 a, Vec3 b, double r = -2) {
    TWire* w = m.NewWire(a, b, r);
    EXPECT_NE(w, nullptr);
    return w;
}
bool Ends(const TWire* w, Vec3 a, Vec3 b) { return VecEqual(w->P1(), a) && VecEqual(w->P2(), b); }
} // namespace

TEST(WireCommands, DivideKeepsTheFirstPieceAndChainsTheRest) {
    TWireList m;
    TWire* w = Add(m, {0, 0, 0}, {3, 0, 0}, 0.002);
    w->Segments = 11;
    m.NewObjectFromText(KindSource, "w1c,0,1");
    Divide(m, *w, 3);
    ASSERT_EQ(m.Count(), 3u);
    EXPECT_TRUE(Ends(m[0], {0, 0, 0}, {1, 0, 0}));
    EXPECT_TRUE(Ends(m[1], {1, 0, 0}, {2, 0, 0}));
    EXPECT_TRUE(Ends(m[2], {2, 0, 0}, {3, 0, 0}));
    EXPECT_EQ(m[0]->Radius, 0.002);
    EXPECT_EQ(m[0]->Segments, 11);
    EXPECT_EQ(m[1]->Radius, 0.0008);
    EXPECT_EQ(m[2]->Segments, -1);
    EXPECT_EQ(m.Sources[0]->Wire, m[0]);

    TWireList t; // thirds that do not round evenly still join
    TWire* v = Add(t, {0, 0, 0}, {1, 0, 0});
    Divide(t, *v, 3);
    m.RebuildElements();
    EXPECT_TRUE(VecEqual(t[1]->P1(), t[0]->P2()));
    EXPECT_TRUE(VecEqual(t[2]->P1(), t[1]->P2()));
    EXPECT_TRUE(VecEqual(t[2]->P2(), {1, 0, 0}));

    // The largest count the window allows, and a wire too short for it: pieces under
    // 0.1 mm would collapse, so the wire stays whole instead of being overlaid.
    TWireList big;
    EXPECT_TRUE(Divide(big, *Add(big, {0, 0, 0}, {0, 0, 2}), 200));
    EXPECT_EQ(big.Count(), 200u);
    EXPECT_TRUE(VecEqual(big[199]->P2(), {0, 0, 2}));
    TWireList tiny;
    TWire* s = Add(tiny, {0, 0, 0}, {0.01, 0, 0});
    EXPECT_FALSE(Divide(tiny, *s, 200));
    EXPECT_EQ(tiny.Count(), 1u);
    EXPECT_TRUE(Ends(s, {0, 0, 0}, {0.01, 0, 0}));
    EXPECT_TRUE(Divide(tiny, *s, 100)); // 0.1 mm pieces still work
    EXPECT_EQ(tiny.Count(), 100u);
}

TEST(WireCommands, IsolatorsAndRestoring) {
    TWireList m;
    TWire* w = Add(m, {0, 0, 0}, {1, 0, 0}, 0.003);
    TWire* direct = Add(m, {0, 1, 0}, {1, 1, 0}, 0);
    MakeIsolator(*w);
    EXPECT_EQ(w->Radius, 0);
    RestoreConductor(m, *w);
    EXPECT_EQ(w->Radius, 0.003);
    RestoreConductor(m, *direct);
    EXPECT_EQ(direct->Radius, 0.0008);

    // Making an isolator twice keeps the first radius; restoring leaves conductors and
    // combined wires alone.
    MakeIsolator(*w);
    MakeIsolator(*w);
    RestoreConductor(m, *w);
    EXPECT_EQ(w->Radius, 0.003);
    TWire* combined = Add(m, {0, 2, 0}, {1, 2, 0}, -0.002);
    w->Radius = 0.004;
    for (TWire* x : {w, combined}) RestoreConductor(m, *x);
    EXPECT_EQ(w->Radius, 0.004);
    EXPECT_EQ(combined->Radius, -0.002);
}

TEST(WireCommands, CenterOnAxis) {
    struct Case { Vec3 a, b, ra, rb; };
    for (const Case& c : {Case{{1, 1, 2}, {3, 1, 2}, {-1, 1, 2}, {1, 1, 2}},
                         {{1, -1, 0.5}, {1, 3, 0.5}, {1, -2, 0.5}, {1, 2, 0.5}},
                         {{0, 0, -1}, {0, 0, 3}, {0, 0, -2}, {0, 0, 2}}}) {
        TWireList m;
        TWire* w = Add(m, c.a, c.b);
        CenterOnAxis(*w);
        EXPECT_TRUE(Ends(w, c.ra, c.rb));
    }
}

TEST(WireCommands, ProlongToGround) {
    TWireList m;
    m.GroundType = 2;
    m.BaseHeight = 2;
    TWire* w = Add(m, {0, 0, 5}, {0, 0, 10}); // lower end first: inverted
    TWire* iso = ProlongToGround(m, *w);
    ASSERT_NE(iso, nullptr);
    EXPECT_TRUE(Ends(w, {0, 0, 10}, {0, 0, 5}));
    EXPECT_TRUE(Ends(iso, {0, 0, 5}, {0, 0, -1.9}));
    EXPECT_EQ(iso->Radius, 0);
    EXPECT_EQ(ProlongToGround(m, *w), nullptr); // already there
    TWire* flat = Add(m, {5, 0, 1}, {6, 0, 1});
    EXPECT_EQ(ProlongToGround(m, *flat), nullptr);
    // A lower end 0.1 m above the ground or lower: nothing to add, nothing inverted.
    for (double z : {-1.9, -1.95, -2.5}) {
        TWire* low = Add(m, {3, 0, z}, {3, 0, 4});
        EXPECT_EQ(ProlongToGround(m, *low), nullptr) << z;
        EXPECT_EQ(low->P1().Z, z);
    }
    m.GroundType = 0;
    TWire* other = Add(m, {9, 0, 1}, {9, 0, 4});
    EXPECT_EQ(ProlongToGround(m, *other), nullptr);
}

TEST(WireCommands, LinkToNearestMovesOnlyFreeEnds) {
    TWireList m;
    TWire* w = Add(m, {0, 0, 0}, {1, 0, 0});
    Add(m, {1, 0, 0}, {1, 1, 0});            // joined at w's end
    Add(m, {-0.2, 0.1, 0}, {-1, 1, 0});      // nearest to w's start
    m.RebuildElements();
    LinkToNearest(*w);
    EXPECT_TRUE(Ends(w, {-0.2, 0.1, 0}, {1, 0, 0}));
}

TEST(WireCommands, MergeAnLIntoOneWire) {
    TWireList m;
    TWire* a = Add(m, {0, 0, 0}, {1, 0, 0});
    TWire* b = Add(m, {1, 0, 0}, {1, 1, 0});
    TWire* far = Add(m, {5, 5, 5}, {6, 6, 6});
    m.NewObjectFromText(KindLoad, "w2c,1,50,0");
    m.SelectWire(far, false);
    m.SelectWire(b, false);
    m.SelectWire(a, false); // current
    MergeSelected(m);
    ASSERT_EQ(m.Count(), 1u);
    EXPECT_TRUE(Ends(m[0], {0, 0, 0}, {1, 1, 0}));
    EXPECT_TRUE(m.Loads.empty());
}

TEST(WireCommands, DeleteCountsSourcesAndLoads) {
    TWireList m;
    Add(m, {0, 0, 0}, {1, 0, 0});
    Add(m, {0, 1, 0}, {1, 1, 0});
    Add(m, {0, 2, 0}, {1, 2, 0});
    m.NewObjectFromText(KindSource, "w1c,0,1");
    m.NewObjectFromText(KindLoad, "w1b,1,50,0");
    m.NewObjectFromText(KindLoad, "w2e,1,50,0");
    m.NewObjectFromText(KindLoad, "w3e,1,50,0");
    m.SelectWire(m[0], false);
    m.SelectWire(m[1], false);
    int s = 0, l = 0;
    CountObjectsOnSelection(m, &s, &l);
    EXPECT_EQ(s, 1);
    EXPECT_EQ(l, 2);
    DeleteSelected(m);
    ASSERT_EQ(m.Count(), 1u);
    ASSERT_EQ(m.Loads.size(), 1u);
    EXPECT_EQ(m.Loads[0]->WireRef(), "w1e");
}

TEST(WireCommands, SourceAddMoveDelete) {
    TWireList m;
    for (int i = 0; i < 3; ++i) Add(m, {double(i), 0, 0}, {double(i), 1, 0});
    SetWireSource(m, *m[2], 2);
    ASSERT_EQ(m.Sources.size(), 1u);
    EXPECT_EQ(m.Sources[0]->WireRef(), "w3c");
    EXPECT_EQ(m.Sources[0]->Values[0], 1);
    EXPECT_EQ(m.Sources[0]->Values[1], 0);
    m.Sources[0]->Values[0] = 5;
    SetWireSource(m, *m[2], 1);
    EXPECT_EQ(m.Sources[0]->WireRef(), "w3b");
    EXPECT_EQ(m.Sources[0]->Values[0], 5);
    SetWireSource(m, *m[2], 0);
    EXPECT_TRUE(m.Sources.empty());
}

TEST(WireCommands, UncomboSymmetricAndFromTheStart) {
    for (int mode : {0, 1}) {
        TWireList m;
        m.TaperLines = {"-0.002, 0, 9, 9", std::string("-0.001, ") + std::to_string(mode) + ", 2.0, 0.002, 1.0, 0.001, 99999, 0.0005"};
        TWire* w = Add(m, {0, 0, 0}, {10, 0, 0}, -0.001);
        Add(m, {0, 5, 0}, {1, 5, 0}, -0.003); // no line: left alone
        Uncombo(m, false, 0);
        if (mode == 0) {
            EXPECT_TRUE(Ends(w, {4, 0, 0}, {6, 0, 0}));
            EXPECT_EQ(w->Radius, 0.002);
            ASSERT_EQ(m.Count(), 6u);
            EXPECT_TRUE(Ends(m[2], {4, 0, 0}, {3, 0, 0}));
            EXPECT_TRUE(Ends(m[3], {6, 0, 0}, {7, 0, 0}));
            EXPECT_TRUE(Ends(m[4], {3, 0, 0}, {0, 0, 0}));
            EXPECT_TRUE(Ends(m[5], {7, 0, 0}, {10, 0, 0}));
            EXPECT_EQ(m[5]->Radius, 0.0005);
            EXPECT_EQ(m[5]->Segments, -1);
        } else {
            EXPECT_TRUE(Ends(w, {0, 0, 0}, {2, 0, 0}));
            ASSERT_EQ(m.Count(), 4u);
            EXPECT_TRUE(Ends(m[2], {2, 0, 0}, {3, 0, 0}));
            EXPECT_TRUE(Ends(m[3], {3, 0, 0}, {10, 0, 0}));
        }
        EXPECT_EQ(m[1]->Radius, -0.003);
    }
    TWireList seg; // mode 2: symmetric with segmentation 0
    seg.TaperLines = {"-0.001, 2, 2.0, 0.002, 99999, 0.001"};
    Add(seg, {0, 0, 0}, {10, 0, 0}, -0.001);
    Uncombo(seg, false, 0);
    ASSERT_EQ(seg.Count(), 3u);
    EXPECT_EQ(seg[1]->Segments, 0);
}

TEST(WireCommands, RenumberOrderIsStableAndLeavesSceneWires) {
    TWireList m;
    TWire* high = Add(m, {0, 0, 5}, {1, 0, 5});
    TWire* iso = Add(m, {0, 1, 0}, {1, 1, 0}, 0);
    TWire* low = Add(m, {0, 2, 1}, {1, 2, 1});
    TWire* lowLeft = Add(m, {-3, 2, 1}, {-2, 2, 1});
    TWire* loaded = Add(m, {0, 3, 9}, {1, 3, 9});
    TWire* fed = Add(m, {0, 4, 9}, {1, 4, 9});
    TWire* scene = m.NewWire({7, 7, 7}, {8, 8, 8}, -2, 1);
    m.NewObjectFromText(KindLoad, "w5c,1,50,0");
    m.NewObjectFromText(KindSource, "w6c,0,1");
    RenumberWires(m);
    const std::vector<TWire*> expect{fed, loaded, lowLeft, low, high, iso, scene};
    for (size_t i = 0; i < expect.size(); ++i) EXPECT_EQ(m[i], expect[i]) << i;
    EXPECT_EQ(m.Sources[0]->WireRef(), "w1c");
    EXPECT_FALSE(RenumberLess(m, *low, *low));
}

TEST(WireCommands, RedirectWiresRunAwayFromTheOrigin) {
    TWireList m;
    TWire* x = Add(m, {3, 0, 0}, {1, 0, 0});
    TWire* y = Add(m, {2, -5, 0}, {-2, 1, 0});
    TWire* v = Add(m, {4, 4, 9}, {4, 4, 1});
    TWire* ok = Add(m, {0, 0, 0}, {0, 0, 1});
    TWire* mixed = Add(m, {1, 5, 0}, {2, 1, 0}); // nearer in X but farther in Y: turned
    m.SelectWire(x, false);
    RedirectWires(m, true);
    EXPECT_TRUE(Ends(x, {1, 0, 0}, {3, 0, 0}));
    EXPECT_TRUE(Ends(y, {2, -5, 0}, {-2, 1, 0})); // not selected
    RedirectWires(m, false);
    EXPECT_TRUE(Ends(y, {-2, 1, 0}, {2, -5, 0}));
    EXPECT_TRUE(Ends(v, {4, 4, 1}, {4, 4, 9}));
    EXPECT_TRUE(Ends(ok, {0, 0, 0}, {0, 0, 1}));
    EXPECT_TRUE(Ends(mixed, {2, 1, 0}, {1, 5, 0}));
}

TEST(WireCommands, MoveWithAndWithoutKeepingConnections) {
    for (bool keep : {true, false}) {
        TWireList m;
        TWire* s = Add(m, {0, 0, 0}, {1, 0, 0});
        TWire* n = Add(m, {1, 0, 0}, {1, 1, 0});
        // A scene wire touching the moved one stays where the scene put it.
        TWire* foreign = m.NewWire({1, 0, 0}, {1, -1, 0}, -2, 1);
        m.SelectWire(s, true);
        MoveSelected(m, {0, 0, 0.25}, keep);
        EXPECT_TRUE(Ends(foreign, {1, 0, 0}, {1, -1, 0}));
        EXPECT_TRUE(Ends(s, {0, 0, 0.25}, {1, 0, 0.25}));
        if (keep)
            EXPECT_TRUE(Ends(n, {1, 0, 0.25}, {1, 1, 0}));
        else
            EXPECT_TRUE(Ends(n, {1, 0, 0}, {1, 1, 0}));
    }
    // A selected row moved along itself by one wire: each takes the place the next leaves.
    TWireList row;
    TWire* r1 = Add(row, {0, 0, 0}, {1, 0, 0});
    TWire* r2 = Add(row, {1, 0, 0}, {2, 0, 0});
    TWire* block = Add(row, {4, 0, 0}, {5, 0, 0});
    TWire* r3 = Add(row, {3, 0, 0}, {4, 0, 0}); // would land on the unselected block: stays
    for (TWire* w : {r1, r2, r3}) row.SelectWire(w, false);
    MoveSelected(row, {1, 0, 0}, false);
    EXPECT_TRUE(Ends(r1, {1, 0, 0}, {2, 0, 0}));
    EXPECT_TRUE(Ends(r2, {2, 0, 0}, {3, 0, 0}));
    EXPECT_TRUE(Ends(r3, {3, 0, 0}, {4, 0, 0}));
    EXPECT_TRUE(Ends(block, {4, 0, 0}, {5, 0, 0}));

    TWireList g;
    Add(g, {0, 0, 3}, {0, 0, 1});
    Add(g, {0, 0, 5}, {0, 0, 7});
    EXPECT_EQ(LowestZ({g[0], g[1]}), 1);
    EXPECT_EQ(LowestZ({}), 1000);
}

TEST(WireCommands, RotateAboutCentres) {
    struct Case { int mode; Vec3 a, b; };
    for (const Case& c : {Case{0, {0, -1, 0}, {0, -2, 0}}, Case{1, {1.5, 0.5, 0}, {1.5, -0.5, 0}}}) {
        TWireList m;
        TWire* w = Add(m, {1, 0, 0}, {2, 0, 0});
        m.SelectWire(w, true);
        RotateSelected(m, 2, c.mode, 90, false);
        EXPECT_TRUE(Ends(w, c.a, c.b)) << c.mode;
    }
    // Increasing step: the last selected turns once, the current wire three times.
    TWireList m;
    TWire* w1 = Add(m, {0, 0, 0}, {1, 0, 0});
    TWire* w2 = Add(m, {0, 2, 0}, {1, 2, 0});
    TWire* w3 = Add(m, {0, 4, 0}, {1, 4, 0});
    m.SelectWire(w1, false);
    m.SelectWire(w2, false);
    m.SelectWire(w3, false);
    RotateSelected(m, 2, 1, 10, true);
    EXPECT_NEAR(w1->Azimuth(), -10, 1e-2);
    EXPECT_NEAR(w2->Azimuth(), -20, 1e-2);
    EXPECT_NEAR(w3->Azimuth(), -30, 1e-2);
    // The Y axis turns the other way round: +90 takes +X to -Z.
    TWireList y;
    TWire* wy = Add(y, {0, 0, 0}, {1, 0, 0});
    y.SelectWire(wy, true);
    RotateSelected(y, 1, 0, 90, false);
    EXPECT_TRUE(Ends(wy, {0, 0, 0}, {0, 0, -1}));
    // The group centre is the middle of the box of all ends.
    TWireList g;
    TWire* a = Add(g, {10, 5, 3}, {12, 5, 3});
    TWire* b = Add(g, {10, 7, 4}, {12, 7, 4});
    g.SelectWire(a, false);
    g.SelectWire(b, false);
    RotateSelected(g, 2, 2, 180, false);
    EXPECT_TRUE(Ends(a, {12, 7, 3}, {10, 7, 3}));

    // A square loop turned by 90 degrees about its centre: every side takes the place of
    // the next one, and the feed at the bottom goes to the side.
    TWireList q;
    TWire* bottom = Add(q, {0, -1, 0}, {0, 1, 0});
    TWire* right = Add(q, {0, 1, 0}, {0, 1, 2});
    TWire* top = Add(q, {0, 1, 2}, {0, -1, 2});
    TWire* left = Add(q, {0, -1, 2}, {0, -1, 0});
    q.NewObjectFromText(KindSource, "w1c,0,1");
    for (TWire* w : {left, top, right, bottom}) q.SelectWire(w, false);
    RotateSelected(q, 0, 2, 90, false);
    EXPECT_TRUE(Ends(bottom, {0, -1, 2}, {0, -1, 0}));
    EXPECT_TRUE(Ends(right, {0, -1, 0}, {0, 1, 0}));
    EXPECT_TRUE(Ends(top, {0, 1, 0}, {0, 1, 2}));
    EXPECT_TRUE(Ends(left, {0, 1, 2}, {0, -1, 2}));
    EXPECT_EQ(q.Sources[0]->Wire, bottom); // the fed side now stands upright
}

TEST(WireCommands, CopyPasteCutAndRows) {
    TWireList m, clip;
    Add(m, {0, 0, 0}, {0, 0, 10});
    Add(m, {0.5, 0, 0}, {0.5, 0, 10});
    m.SelectWire(m[0], false);
    m.SelectWire(m[1], false);
    CopySelection(m, clip);
    ASSERT_EQ(clip.Count(), 2u);
    EXPECT_EQ(clip[0]->P1().X, 0.5); // selection order: current first
    EXPECT_TRUE(PasteWouldDuplicate(m, clip));
    DeleteSelected(m); // cut
    EXPECT_FALSE(PasteWouldDuplicate(m, clip));
    EXPECT_EQ(PasteWires(m, clip, {}), 2);
    EXPECT_EQ(m.Count(), 2u);

    EXPECT_EQ(PasteWires(m, clip, {1, 0, 0}), 2);
    m.PasteOffset = {1, 0, 0};
    PasteWires(m, clip, m.PasteOffset);
    PasteWires(m, clip, m.PasteOffset);
    EXPECT_EQ(m.Count(), 8u);
    EXPECT_TRUE(m.FindWireByEnds({3.5, 0, 0}, {3.5, 0, 10}));
    EXPECT_EQ(PasteWires(m, clip, {-3, 0, 0}), 0); // back onto existing wires: skipped

    // Radius and segmentation travel as they are, whatever the combined-wire number.
    TWireList src, board;
    TWire* c = Add(src, {0, 0, 0}, {1, 0, 0}, -2);
    c->Radius = -2;
    c->Segments = 7;
    src.SelectWire(c, true);
    CopySelection(src, board);
    EXPECT_EQ(board[0]->Radius, -2);
    TWireList dst;
    ASSERT_EQ(PasteWires(dst, board, {}), 1);
    EXPECT_EQ(dst[0]->Radius, -2);
    EXPECT_EQ(dst[0]->Segments, 7);
}
