// The diameter of the round wire that stands for a conductor of another cross-section:
// a flat strip, a rectangular or square bar, an elliptical conductor, an angle or a T
// profile. Sizes and the result are in millimetres.
#pragma once

namespace velomast {

enum TConductorShape {
    ShapeStrip = 0,     // thin flat strip of width a
    ShapeRectangle = 1, // bar a x b
    ShapeEllipse = 2,   // axes a and b
    ShapeSquare = 3,    // bar of side a
    ShapeAngle = 4,     // L profile, legs a and b
    ShapeTee = 5,       // T profile, flange a and stem b
};

// Whether the shape has a second size b.
bool ShapeUsesSizeB(int kind);

// The equivalent round-wire diameter; 0 for an unknown kind. For kinds without b, b is
// ignored. A rectangle whose sides differ by more than a factor of 3 is taken without the
// correction for thick bars; a square bar gives 1.18 a either way.
double EquivalentDiameter(int kind, double a, double b);

} // namespace velomast
