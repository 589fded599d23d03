// Points and directions in metres, and the small geometric helpers every part of the
// wire model uses. Connectivity in Velomast is decided by exact equality of coordinates,
// which works because every coordinate that enters a wire is rounded to 0.1 mm (Round4).
#pragma once

#include <cstdint>
#include <vector>

namespace velomast {

// Marks "no value" or "not a number" in the model, its files and its tables.
inline constexpr double NoValue = -2147483647.0;
inline constexpr int32_t NoValueInt = -2147483647;

struct Vec3 {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

// A point on the screen, y growing downwards.
struct ScreenPoint {
    int32_t X = 0;
    int32_t Y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

inline constexpr double DegToRad = 0.017453292519943278;

// Rounds half to even, as the platform's Round does; the result as a 64-bit integer.
int64_t RoundHalfEven(double x);

void VecZero(Vec3& v);
Vec3 VecMake(double x, double y, double z);
bool VecIsZero(const Vec3& v);
// Exact comparison, no tolerance.
bool VecEqual(const Vec3& a, const Vec3& b);
Vec3 VecAdd(const Vec3& a, const Vec3& b);
Vec3 VecSub(const Vec3& a, const Vec3& b);
Vec3 VecScale(const Vec3& a, double k);
double VecLength(const Vec3& a);
double VecDistance(const Vec3& a, const Vec3& b);
// A zero vector is returned unchanged.
Vec3 VecNormalize(const Vec3& a);
Vec3 VecCross(const Vec3& a, const Vec3& b);
Vec3 VecLerp(const Vec3& a, const Vec3& b, double t);
// The point a mirrored through the point b: 2b - a.
Vec3 VecReflect(const Vec3& a, const Vec3& b);
// A coordinate rounded to 0.1 mm, halves to the even neighbour.
double Round4(double x);
bool SameSign(double a, double b);

// Snaps x (metres) to a grid of `step` tenths of a millimetre. Zero and step <= 0 give 0.
// Values of 1000 m or more in magnitude are returned unchanged: a grid snap there would
// overflow the model's grid arithmetic, and moving a far end to the origin plane is worse
// than leaving it where it is.
double SnapToStep(int32_t step, double x);
Vec3 SnapVecToStep(const Vec3& v, int32_t step);

// Rotates the two ends p and q of one wire in place about axis 0 (X), 1 (Y) or 2 (Z) by
// `angle` degrees. centreMode 1 turns about the wire's midpoint, 2 about `centre`, any
// other value about the axis through the origin. No rounding is done here.
void RotatePair(Vec3& p, Vec3& q, int axis, const Vec3& centre, int centreMode, double angle);

// Whether screen point p lies within r pixels of the segment a-b (ends included).
bool NearSegment(ScreenPoint a, ScreenPoint b, ScreenPoint p, int32_t r);

// The closed outline of a regular polygon around `centre` whose first vertex lies in the
// direction of `through`, turned to the nearest multiple of 15 degrees. Returns n + 1
// points, the last repeating the first; empty when `through` is the centre or sides is 0.
std::vector<ScreenPoint> SnapPolygon(ScreenPoint centre, ScreenPoint through, int32_t sides);

} // namespace velomast
