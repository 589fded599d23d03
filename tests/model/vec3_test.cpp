#include "model/vec3.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace velomast;

TEST(Vec3, ExactComparisonAndNormalize) {
    EXPECT_FALSE(VecEqual({1, 2, 3}, {1, 2, 3.0000000001}));
    EXPECT_TRUE(VecEqual({0, -0.0, 1}, {0, 0, 1}));
    const Vec3 z = VecNormalize({0, 0, 0});
    EXPECT_TRUE(VecIsZero(z));
    EXPECT_TRUE(VecEqual(VecNormalize({0, 0, 2}), {0, 0, 1}));
    EXPECT_TRUE(VecEqual(VecReflect({1, 0, 0}, {2, 1, 0}), {3, 2, 0}));
}

TEST(Vec3, Round4RoundsHalfToEven) {
    struct Case { double in, out; };
    for (const Case c : {Case{1.23456, 1.2346}, {0.00005, 0}, {0.00025, 0.0002}, {-1.00004, -1.0}, {1.00006, 1.0001}})
        EXPECT_DOUBLE_EQ(Round4(c.in), c.out) << c.in;
}

TEST(Vec3, SnapToStep) {
    EXPECT_DOUBLE_EQ(SnapToStep(100, 1.234), 1.23);
    EXPECT_DOUBLE_EQ(SnapToStep(0, 5), 0);
    EXPECT_DOUBLE_EQ(SnapToStep(-10, 5), 0);
    EXPECT_DOUBLE_EQ(SnapToStep(1000, 0.25), 0.2); // 2.5 steps round to the even 2
    EXPECT_DOUBLE_EQ(SnapToStep(1000, -0.26), -0.3);
    // Far coordinates are left alone rather than snapped to the origin plane.
    EXPECT_DOUBLE_EQ(SnapToStep(100, -1234.5), -1234.5);
    EXPECT_DOUBLE_EQ(SnapToStep(1000, 1000.07), 1000.07);
    EXPECT_DOUBLE_EQ(SnapToStep(1000, 999.96), 1000.0);
}

TEST(Vec3, RotatePairAboutAxesAndCentres) {
    Vec3 p{1, 0, 0}, q{2, 0, 0};
    RotatePair(p, q, 2, {}, 0, 90);
    EXPECT_NEAR(p.X, 0, 1e-12);
    EXPECT_NEAR(p.Y, -1, 1e-12);
    EXPECT_NEAR(q.Y, -2, 1e-12);

    Vec3 a{0, 0, 0}, b{2, 0, 0};
    RotatePair(a, b, 2, {}, 1, 90);
    EXPECT_NEAR(a.X, 1, 1e-12);
    EXPECT_NEAR(a.Y, 1, 1e-12);
    EXPECT_NEAR(b.X, 1, 1e-12);
    EXPECT_NEAR(b.Y, -1, 1e-12);

    Vec3 c{0, 1, 0}, d{0, 2, 0};
    RotatePair(c, d, 0, {0, 1, 0}, 2, 90); // about X through (0,1,0)
    EXPECT_NEAR(c.Y, 1, 1e-12);
    EXPECT_NEAR(d.Y, 1, 1e-12);
    EXPECT_NEAR(d.Z, -1, 1e-12);

    Vec3 e{1, 2, 3}, f{4, 5, 6};
    RotatePair(e, f, 7, {}, 0, 45); // unknown axis: unchanged
    EXPECT_TRUE(VecEqual(e, {1, 2, 3}));
}

TEST(Vec3, NearSegmentIncludesTheRadius) {
    EXPECT_TRUE(NearSegment({0, 0}, {10, 0}, {5, 3}, 3));
    EXPECT_FALSE(NearSegment({0, 0}, {10, 0}, {5, 4}, 3));
    EXPECT_TRUE(NearSegment({0, 0}, {10, 0}, {13, 0}, 3)); // beyond the end, within r
    EXPECT_FALSE(NearSegment({0, 0}, {10, 0}, {13, 1}, 3));
    EXPECT_TRUE(NearSegment({4, 4}, {4, 4}, {6, 6}, 3)); // a point: circle test
    EXPECT_FALSE(NearSegment({4, 4}, {4, 4}, {7, 6}, 3));
}

TEST(Vec3, SnapPolygon) {
    auto sq = SnapPolygon({100, 100}, {110, 100}, 4);
    ASSERT_EQ(sq.size(), 5u);
    EXPECT_EQ(sq.front(), (ScreenPoint{110, 100}));
    EXPECT_EQ(sq.back(), (ScreenPoint{110, 100}));
    EXPECT_EQ(sq[1], (ScreenPoint{100, 110}));

    EXPECT_EQ(SnapPolygon({0, 0}, {10, 0}, 1).size(), 4u); // at least a triangle
    EXPECT_TRUE(SnapPolygon({0, 0}, {10, 0}, 0).empty());
    EXPECT_TRUE(SnapPolygon({5, 5}, {5, 5}, 6).empty());

    // The first vertex turns to the nearest multiple of 15 degrees, keeping the radius.
    auto tilted = SnapPolygon({0, 0}, {100, 3}, 3);
    EXPECT_EQ(tilted.front(), (ScreenPoint{100, 0}));
    auto reversed = SnapPolygon({0, 0}, {10, 0}, -4);
    EXPECT_EQ(reversed[1], (ScreenPoint{0, -10}));
}
