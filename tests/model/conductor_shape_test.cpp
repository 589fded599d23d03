#include "model/conductor_shape.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace velomast;

TEST(ConductorShape, EquivalentDiameters) {
    EXPECT_NEAR(EquivalentDiameter(ShapeRectangle, 8, 4), 6.7098, 1e-12);   // the dialog's first figure
    EXPECT_NEAR(EquivalentDiameter(ShapeRectangle, 40, 10), 26.35, 1e-12);  // ratio 4: no correction
    EXPECT_NEAR(EquivalentDiameter(ShapeRectangle, 9, 3), (0.25 / 3 + 0.93) * 4.5 * (1 + (1.36 - 0.12) / 3), 1e-12);
    EXPECT_DOUBLE_EQ(EquivalentDiameter(ShapeRectangle, 7, 7), EquivalentDiameter(ShapeSquare, 7, 99));
    EXPECT_NEAR(EquivalentDiameter(ShapeSquare, 7, 0), 1.18 * 7, 1e-12);
    EXPECT_DOUBLE_EQ(EquivalentDiameter(ShapeRectangle, 4, 8), EquivalentDiameter(ShapeRectangle, 8, 4));
    EXPECT_DOUBLE_EQ(EquivalentDiameter(ShapeStrip, 8, 4), 4);
    EXPECT_DOUBLE_EQ(EquivalentDiameter(ShapeEllipse, 8, 4), 6);
    EXPECT_NEAR(EquivalentDiameter(ShapeAngle, 8, 4), 4.8, 1e-12);
    EXPECT_NEAR(EquivalentDiameter(ShapeTee, 8, 4), std::sqrt(80.0) / 2, 1e-12);
    EXPECT_EQ(EquivalentDiameter(6, 8, 4), 0);
    EXPECT_EQ(EquivalentDiameter(-1, 8, 4), 0);
    // Degenerate sizes give numbers, never NaN.
    EXPECT_DOUBLE_EQ(EquivalentDiameter(ShapeRectangle, 8, 0), 4);
    EXPECT_EQ(EquivalentDiameter(ShapeRectangle, 0, 0), 0);
    EXPECT_EQ(EquivalentDiameter(ShapeTee, 0, 0), 0);
    EXPECT_DOUBLE_EQ(EquivalentDiameter(ShapeTee, 0, 6), 3);

    for (int k = 0; k < 6; ++k) EXPECT_EQ(ShapeUsesSizeB(k), k != ShapeStrip && k != ShapeSquare) << k;
}
