#include "view/view_camera.h"
#include "view/view_picking.h"

#include <gtest/gtest.h>

using namespace velomast;

namespace {

// The top view at 100 %: a model point (x, y) m is the pixel (400 + 120x, 230 - 120y).
void TopView(TWireList& m) { SetViewPage(m, 1); }

std::vector<TWire*> Selected(const TWireList& m) { return m.Selection.ToVector(); }

} // namespace

TEST(Picking, EndHitIsASquareFivePixelsWide) {
    const ScreenPoint end{100, 100};
    struct {
        ScreenPoint Cursor;
        bool Hit;
    } cases[] = {{{100, 100}, true}, {{102, 102}, true},  {{98, 102}, true},  {{103, 100}, false},
                 {{97, 100}, false}, {{100, 103}, false}, {{102, 97}, false}, {{INT32_MIN, INT32_MAX}, false}};
    for (const auto& c : cases) EXPECT_EQ(IsEndHit(end, c.Cursor), c.Hit) << c.Cursor.X << "," << c.Cursor.Y;
}

TEST(Picking, PressNearAWireTogglesItsSelectionWithinThreePixels) {
    TWireList m;
    TopView(m);
    TWire* a = m.NewWire({0, 0, 0}, {1, 0, 0}, -2); // (400, 230)-(520, 230)
    EXPECT_FALSE(PickWireAt(m, {460, 234}));         // 4 pixels off: nothing
    EXPECT_TRUE(m.Selection.Empty());
    EXPECT_FALSE(PickWireAt(m, {460, 233})); // 3 pixels off: toggled on, nothing dragged
    EXPECT_EQ(Selected(m), std::vector<TWire*>{a});
    PickWireAt(m, {460, 227});
    EXPECT_TRUE(m.Selection.Empty());
}

TEST(Picking, EveryWireUnderTheCursorToggles) {
    TWireList m;
    TopView(m);
    TWire* a = m.NewWire({0, 0, 0}, {1, 1, 0}, -2);
    TWire* b = m.NewWire({0, 1, 0}, {1, 0, 0}, -2);
    TWire* far = m.NewWire({3, 3, 0}, {4, 3, 0}, -2);
    m.SelectWire(far, false);
    PickWireAt(m, {460, 170}); // where they cross
    EXPECT_EQ(Selected(m), (std::vector<TWire*>{b, a, far}));
    PickWireAt(m, {460, 170});
    EXPECT_EQ(Selected(m), std::vector<TWire*>{far});
}

TEST(Picking, PressOnAnEndGrabsTheWholeJunctionInAFlatView) {
    TWireList m;
    TopView(m);
    TWire* a = m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    TWire* b = m.NewWire({1, 0, 0}, {1, 1, 0}, -2);
    TWire* c = m.NewWire({2, 0, 0}, {1, 0, 0}, -2);
    TWire* hidden = m.NewWire({1, 0, 0}, {1, -1, 0}, -2);
    hidden->Visible = false;
    m.NewWire({1, 0, 0}, {1, 0, 5}, -2, 1); // a scene antenna's wire: never dragged
    m.SelectWire(b, false);

    EXPECT_TRUE(PickWireAt(m, {521, 229}));
    ASSERT_EQ(m.DragList, (std::vector<TWire*>{a, b, c, hidden}));
    EXPECT_EQ(a->DragEnd, 2);
    EXPECT_EQ(b->DragEnd, 1);
    EXPECT_EQ(c->DragEnd, 2);
    EXPECT_EQ(hidden->DragEnd, 1);
    for (TWire* w : m.DragList) EXPECT_TRUE(VecEqual(w->DragOrigin(), {1, 0, 0}));
    EXPECT_EQ(Selected(m), (std::vector<TWire*>{a, b})); // the grabbed wire in front

    // The next press starts afresh.
    EXPECT_FALSE(PickWireAt(m, {700, 400}));
    EXPECT_TRUE(m.DragList.empty());
    EXPECT_EQ(a->DragEnd, 0);
    EXPECT_EQ(hidden->DragEnd, 0);
}

TEST(Picking, TheTurnedViewSelectsAnEndsWireWithoutGrabbing) {
    TWireList m;
    TWire* a = m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    const ScreenPoint end = ProjectPoint(m, a->P2());
    EXPECT_FALSE(PickWireAt(m, end));
    EXPECT_TRUE(m.DragList.empty());
    EXPECT_EQ(a->DragEnd, 0);
    EXPECT_EQ(Selected(m), std::vector<TWire*>{a});
    PickWireAt(m, end); // an end hit never deselects
    EXPECT_EQ(Selected(m), std::vector<TWire*>{a});
}

TEST(Picking, HiddenAndForeignWiresAreNeitherPickedNorHovered) {
    TWireList m;
    TopView(m);
    TWire* hidden = m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    hidden->Visible = false;
    TWire* below = m.NewWire({0, 0.01, 0}, {1, 0.01, 0}, -2); // one pixel up
    m.NewWire({0, -0.01, 0}, {1, -0.01, 0}, -2, -1);         // landscape
    EXPECT_EQ(FindWireUnderCursor(m, {460, 230}), below);
    EXPECT_EQ(FindWireUnderCursor(m, {400, 229}), below); // at its start
    EXPECT_EQ(FindWireUnderCursor(m, {460, 240}), nullptr);
    PickWireAt(m, {460, 230});
    EXPECT_EQ(Selected(m), std::vector<TWire*>{below});
}

TEST(Picking, SnapTakesAnEndCloserThanTenPixels) {
    TWireList m;
    TopView(m);
    TWire* w = m.NewWire({0, 0, 0}, {1, 0, 0}, -2); // start at (400, 230)
    Vec3 found{9, 9, 9};
    EXPECT_TRUE(FindSnapEnd(m, {407, 237}, found)); // 9.9 pixels
    EXPECT_TRUE(VecEqual(found, {0, 0, 0}));
    EXPECT_FALSE(FindSnapEnd(m, {406, 238}, found)); // 10 pixels
    EXPECT_FALSE(FindSnapEnd(m, {400 - 10, 230}, found));

    // Ends of dragged wires, and every end that coincides with them, are not targets.
    TWire* v = m.NewWire({0, 0, 0}, {0, 0.5, 0}, -2); // shares w's start; end at (400, 170)
    m.NewWire({0, 0, 0}, {0, 0, 7}, -2, 2);           // foreign
    m.DragList = {w};
    w->DragEnd = 2;
    EXPECT_FALSE(FindSnapEnd(m, {401, 231}, found));
    EXPECT_TRUE(FindSnapEnd(m, {401, 171}, found));
    EXPECT_TRUE(VecEqual(found, v->P2()));
}

TEST(Picking, RectangleSelectsWiresStrictlyInsideWhenDrawnDownRight) {
    TWireList m;
    TopView(m);
    TWire* a = m.NewWire({0, 0, 0}, {1, 0, 0}, -2);       // y 230, x 400..520
    TWire* b = m.NewWire({0.5, 0.5, 0}, {0.5, 0.75, 0}, -2); // x 460, y 170..140
    TWire* hidden = m.NewWire({0.25, 0.25, 0}, {0.5, 0.25, 0}, -2);
    hidden->Visible = false;
    TWire* other = m.NewWire({5, 5, 0}, {6, 5, 0}, -2);

    m.SelectWire(other, false);
    EXPECT_TRUE(SelectInArea(m, {390, 140}, {530, 240}, false)); // b's end lies on the edge
    EXPECT_EQ(Selected(m), std::vector<TWire*>{a});

    EXPECT_TRUE(SelectInArea(m, {400, 110}, {530, 240}, false)); // a's start on the left edge
    EXPECT_EQ(Selected(m), std::vector<TWire*>{b});

    EXPECT_TRUE(SelectInArea(m, {390, 110}, {530, 240}, false));
    EXPECT_EQ(Selected(m), (std::vector<TWire*>{b, a}));

    // Drawn up-left: nothing, and the selection stays.
    EXPECT_FALSE(SelectInArea(m, {530, 240}, {390, 110}, false));
    EXPECT_EQ(Selected(m), (std::vector<TWire*>{b, a}));

    m.ClearSelection();
    m.SelectWire(other, false);
    EXPECT_TRUE(SelectInArea(m, {390, 110}, {530, 240}, true)); // with Shift: added
    EXPECT_EQ(Selected(m), (std::vector<TWire*>{b, a, other}));

    // A landscape wire counts as caught (the selection is replaced) but is not selected.
    m.NewWire({10, 10, 0}, {11, 10, 0}, -2, -1);
    const ScreenPoint p1 = ProjectPoint(m, {9.5, 10.5, 0}), p2 = ProjectPoint(m, {11.5, 9.5, 0});
    EXPECT_TRUE(SelectInArea(m, p1, p2, false));
    EXPECT_TRUE(m.Selection.Empty());
}

// The cell grid must give the plain scan's answer everywhere: along every 5th row and
// every 5th column of the view and its border, each pixel of them, for wires of every slope, short and long, reaching past the edges,
// hidden, foreign and in every view page.
TEST(Picking, HoverIndexAgreesWithThePlainScanAtEveryPixel) {
    for (uint8_t page : {uint8_t{1}, uint8_t{2}, uint8_t{3}}) {
        TWireList m;
        SetViewPage(m, page);
        uint32_t seed = 12345u + page;
        auto rnd = [&seed](double lo, double hi) {
            seed = seed * 1664525u + 1013904223u;
            return lo + (hi - lo) * ((seed >> 8) / double(1u << 24));
        };
        for (int i = 0; i < 80; ++i) {
            const double k = i % 10 == 0 ? 8 : 0.3; // a few long ones cross the whole view
            const Vec3 a{rnd(-4, 4), rnd(-3, 3), rnd(-3, 3)};
            const Vec3 b{a.X + rnd(-k, k), a.Y + rnd(-k, k), a.Z + rnd(-k, k)};
            TWire* w = m.NewWire(a, b, -2, i % 17 == 0 ? 1 : 0);
            if (w && i % 13 == 0) w->Visible = false;
        }
        m.NewWire({0, 0, 0}, {0, 0, 0.00001}, -2); // a point on the screen
        THoverIndex index;
        int hits = 0;
        for (int32_t y = m.ViewRect.Top - 6; y < m.ViewRect.Bottom + 6; ++y)
            for (int32_t x = m.ViewRect.Left - 6; x < m.ViewRect.Right + 6; ++x) {
                if (x % 5 != 0 && y % 5 != 0) continue;
                TWire* expected = FindWireUnderCursor(m, {x, y});
                hits += expected != nullptr;
                ASSERT_EQ(index.Find(m, {x, y}), expected) << int(page) << ": " << x << "," << y;
            }
        EXPECT_GT(hits, 2000);
        EXPECT_TRUE(index.Built());
    }
}

TEST(Picking, HoverIndexFollowsTheViewAndIsRebuiltWhenAsked) {
    TWireList m;
    TopView(m);
    TWire* a = m.NewWire({0, 0, 0}, {1, 0, 0}, -2); // (400, 230)-(520, 230)
    THoverIndex index;
    EXPECT_EQ(index.Find(m, {460, 231}), a);
    // A pan moves the wire on the screen: the grid notices by itself.
    m.ViewCenter = {0, 1, 0};
    EXPECT_EQ(index.Find(m, {460, 231}), nullptr);
    EXPECT_EQ(index.Find(m, {460, 351}), a);
    // A moved end is the model's business: the owner invalidates.
    a->SetEnds({0, 0, 0}, {0, -1, 0}, false, false, true); // now (400, 350)-(400, 470)
    index.Invalidate();
    EXPECT_EQ(index.Find(m, {460, 351}), nullptr);
    EXPECT_EQ(index.Find(m, {401, 400}), a);
    // A new wire changes the count: rebuilt without being asked.
    TWire* b = m.NewWire({-1, 0, 0}, {-1, -1, 0}, -2); // (280, 350)-(280, 470)
    EXPECT_EQ(index.Find(m, {281, 400}), b);
}
