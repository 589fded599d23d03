#include "view/view_camera.h"
#include "view/view_render.h"

#include <gtest/gtest.h>

using namespace velomast;

TEST(Render, FitsCentresAndDrawsAtTheEditorsDefaults) {
    TWireList m;
    m.NewWire({0, -2.5, 10}, {0, 2.5, 10}, 0.001);
    m.NewObjectFromText(KindSource, "w1c, 0.0, 1.0");
    const QImage im = RenderModel(m, {});
    ASSERT_EQ(im.size(), QSize(800, 460));
    EXPECT_DOUBLE_EQ(m.BaseFactor, 12);
    EXPECT_DOUBLE_EQ(m.ViewScale, 0.045 * 800 / 5);
    EXPECT_EQ(m.GridStep, 1000); // 10000 / 7.2 = 1389: the step before 2000
    EXPECT_TRUE(VecEqual(m.ViewCenter, {0, 0, 10}));
    EXPECT_EQ(m.ViewKind, 0);
    EXPECT_TRUE(m.ShowDirection);
    EXPECT_EQ(m.DimFontSize, 10);
    // The source at the centre of the view, and the dipole's end at 0.54 of 800 / 2.
    EXPECT_EQ(im.pixelColor(400, 230), QColor(255, 255, 0));
    const ScreenPoint end = ProjectPoint(m, {0, 2.5, 10});
    EXPECT_NEAR(std::hypot(end.X - 400.0, end.Y - 230.0), 216 * std::hypot(std::sin(10 * DegToRad),
                                                                           std::cos(10 * DegToRad) * std::sin(20 * DegToRad)),
                1);
}

TEST(Render, SizeSetsTheBaseFactorAndBadSizesGiveNoImage) {
    TWireList m;
    m.NewWire({0, 0, 0}, {10, 0, 0}, 0.001);
    TRenderOptions o;
    o.ViewKind = 1;
    o.Width = 1600;
    o.Height = 920;
    o.GridMode = 2;
    const QImage im = RenderModel(m, o);
    ASSERT_EQ(im.size(), QSize(1600, 920));
    EXPECT_DOUBLE_EQ(m.BaseFactor, 24);
    EXPECT_TRUE(m.ShowGrid);
    EXPECT_EQ(m.GridMode, 2);
    EXPECT_EQ(im.pixelColor(800 + 432 - 5, 460), QColor(0, 0, 0)); // the wire, 0.54 of the width
    for (auto [w, h] : {std::pair{0, 460}, {800, -1}, {MaxRenderSide + 1, 10}}) {
        o.Width = w;
        o.Height = h;
        EXPECT_TRUE(RenderModel(m, o).isNull());
    }
}
