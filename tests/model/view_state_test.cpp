#include "model/wire_list.h"

#include <gtest/gtest.h>

using namespace velomast;

TEST(ViewState, ScaleClampsAndDerivesTheGridStep) {
    TWireList m;
    EXPECT_EQ(m.ViewScale, 10);
    EXPECT_EQ(m.GridStep, 1000);
    m.SetViewScale(1);
    EXPECT_EQ(m.GridStep, 10000);
    m.SetViewScale(0.05);
    EXPECT_EQ(m.ViewScale, 0.1);
    const int32_t before = m.GridStep;
    m.SetViewScale(0.1); // no table entry is large enough: the step stays
    EXPECT_EQ(m.GridStep, before);
    m.SetViewScale(20000);
    EXPECT_EQ(m.ViewScale, 10000);
    EXPECT_EQ(m.GridStep, 1);
}

TEST(ViewState, FitUsesTheBoxAndRebuildsTheAxes) {
    TWireList m;
    m.NewWire({0, 0, 0}, {10, 0, 0}, -2);
    m.FitScale();
    EXPECT_DOUBLE_EQ(m.ViewScale, 3.6);
    EXPECT_TRUE(VecEqual(m.AxisWires[0].P2(), {Round4(10 / 1.5), 0, 0}));
    EXPECT_EQ(m.GridStep, 1000); // an automatic fit leaves the step alone

    TWireList v;
    v.NewWire({0, 0, 0}, {0, 0, 10}, -2);
    v.FitScale();
    EXPECT_NEAR(v.ViewScale, 2.097, 1e-12);
}

TEST(ViewState, PaintAreaAndVisibleRange) {
    TWireList m(TRectI{0, 0, 801, 461});
    EXPECT_EQ(m.CenterPixel, (ScreenPoint{400, 230}));
    m.ViewKind = 1;
    m.ViewCenter = {1, 2, 3};
    m.SetViewScale(10); // 120 px per metre
    EXPECT_EQ(m.MetresToPixels(1), 120);
    EXPECT_DOUBLE_EQ(m.PixelsToMetres(60), 0.5);
    EXPECT_EQ(m.VisibleRange.HorzMin, 10000 - 66750 / 2);
    EXPECT_EQ(m.VisibleRange.HorzMax, m.VisibleRange.HorzMin + 66750);
    EXPECT_EQ(m.VisibleRange.VertMin, 20000 - 38417 / 2);

    // An absurd fit (a coordinate of NoValue) saturates instead of overflowing.
    TWireList far;
    far.NewWire({NoValue, 0, 0}, {0, 0, 0}, -2);
    far.ViewKind = 1;
    far.FitScale();
    EXPECT_LE(far.VisibleRange.HorzMin, far.VisibleRange.HorzMax);
}
