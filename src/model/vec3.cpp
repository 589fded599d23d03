#include "vec3.h"

#include <cmath>
#include <limits>

namespace velomast {

int64_t RoundHalfEven(double x) {
    // nearbyint follows the default rounding mode, round-half-to-even.
    const double r = std::nearbyint(x);
    if (!(r > -9.2e18 && r < 9.2e18)) // NaN or out of range
        return r > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(r);
}

void VecZero(Vec3& v) { v = Vec3{}; }

Vec3 VecMake(double x, double y, double z) { return Vec3{x, y, z}; }

bool VecIsZero(const Vec3& v) { return v.X == 0 && v.Y == 0 && v.Z == 0; }

bool VecEqual(const Vec3& a, const Vec3& b) { return a.X == b.X && a.Y == b.Y && a.Z == b.Z; }

Vec3 VecAdd(const Vec3& a, const Vec3& b) { return {a.X + b.X, a.Y + b.Y, a.Z + b.Z}; }

Vec3 VecSub(const Vec3& a, const Vec3& b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }

Vec3 VecScale(const Vec3& a, double k) { return {a.X * k, a.Y * k, a.Z * k}; }

double VecLength(const Vec3& a) { return std::sqrt(a.X * a.X + a.Y * a.Y + a.Z * a.Z); }

double VecDistance(const Vec3& a, const Vec3& b) { return VecLength(VecSub(a, b)); }

Vec3 VecNormalize(const Vec3& a) {
    const double len = VecLength(a);
    if (len == 0) return a;
    return {a.X / len, a.Y / len, a.Z / len};
}

Vec3 VecCross(const Vec3& a, const Vec3& b) {
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

Vec3 VecLerp(const Vec3& a, const Vec3& b, double t) {
    return {a.X + (b.X - a.X) * t, a.Y + (b.Y - a.Y) * t, a.Z + (b.Z - a.Z) * t};
}

Vec3 VecReflect(const Vec3& a, const Vec3& b) {
    const Vec3 d = VecSub(b, a);
    return VecAdd(VecAdd(d, d), a);
}

double Round4(double x) { return std::nearbyint(x * 10000.0) / 10000.0; }

bool SameSign(double a, double b) { return (a >= 0 && b >= 0) || (a < 0 && b < 0); }

double SnapToStep(int32_t step, double x) {
    if (x == 0 || step <= 0) return 0;
    if (!(std::fabs(x) < 1000.0)) return x; // also leaves NaN and infinities alone
    const int64_t n = RoundHalfEven(x * 10000.0 / step);
    return static_cast<double>(n * static_cast<int64_t>(step)) / 10000.0;
}

Vec3 SnapVecToStep(const Vec3& v, int32_t step) {
    return {SnapToStep(step, v.X), SnapToStep(step, v.Y), SnapToStep(step, v.Z)};
}

namespace {
void RotatePoint(Vec3& v, int axis, double s, double c) {
    const Vec3 o = v;
    switch (axis) {
    case 0:
        v.Y = o.Y * c + o.Z * s;
        v.Z = -o.Y * s + o.Z * c;
        break;
    case 1:
        v.X = o.X * c - o.Z * s;
        v.Z = o.X * s + o.Z * c;
        break;
    case 2:
        v.X = o.X * c + o.Y * s;
        v.Y = -o.X * s + o.Y * c;
        break;
    default:
        break;
    }
}
} // namespace

void RotatePair(Vec3& p, Vec3& q, int axis, const Vec3& centre, int centreMode, double angle) {
    const double theta = angle * DegToRad;
    const double s = std::sin(theta);
    const double c = std::cos(theta);
    Vec3 ctr{};
    const bool shifted = centreMode == 1 || centreMode == 2;
    if (centreMode == 1)
        ctr = VecScale(VecAdd(p, q), 0.5);
    else if (centreMode == 2)
        ctr = centre;
    if (shifted) {
        p = VecSub(p, ctr);
        q = VecSub(q, ctr);
    }
    RotatePoint(p, axis, s, c);
    RotatePoint(q, axis, s, c);
    if (shifted) {
        p = VecAdd(p, ctr);
        q = VecAdd(q, ctr);
    }
}

bool NearSegment(ScreenPoint a, ScreenPoint b, ScreenPoint p, int32_t r) {
    const double rr = static_cast<double>(r) * r;
    const double dx = static_cast<double>(b.X) - a.X;
    const double dy = static_cast<double>(b.Y) - a.Y;
    if (dx == 0 && dy == 0) {
        const int64_t ex = static_cast<int64_t>(p.X) - a.X;
        const int64_t ey = static_cast<int64_t>(p.Y) - a.Y;
        return static_cast<int64_t>(r) * r >= ex * ex + ey * ey;
    }
    double t = ((p.X - static_cast<double>(a.X)) * dx + (p.Y - static_cast<double>(a.Y)) * dy) /
               (dx * dx + dy * dy);
    if (t < 0) t = 0;
    if (t > 1) t = 1;
    const double fx = a.X + dx * t;
    const double fy = a.Y + dy * t;
    const double ex = p.X - fx;
    const double ey = p.Y - fy;
    return rr >= ex * ex + ey * ey;
}

std::vector<ScreenPoint> SnapPolygon(ScreenPoint centre, ScreenPoint through, int32_t sides) {
    std::vector<ScreenPoint> result;
    if (sides == 0) return result;
    const double dx = static_cast<double>(through.X) - centre.X;
    const double dy = static_cast<double>(through.Y) - centre.Y;
    if (std::fabs(dx) < 1e-12 && std::fabs(dy) < 1e-12) return result;

    const double phi = std::atan2(dy, dx) / DegToRad;
    const double g = static_cast<double>(RoundHalfEven(phi / 15.0)) * 15.0;
    const double delta = (g - phi) * DegToRad;
    const double rx = dx * std::cos(delta) - dy * std::sin(delta);
    const double ry = dx * std::sin(delta) + dy * std::cos(delta);

    int64_t n = RoundHalfEven(360.0 / std::fabs(360.0 / sides));
    if (n < 3) n = 3;
    double step = 360.0 / static_cast<double>(n);
    if (sides < 0) step = -step;

    result.reserve(static_cast<size_t>(n) + 1);
    for (int64_t i = 0; i <= n; ++i) {
        const double v = static_cast<double>(i) * step * DegToRad;
        const double x = rx * std::cos(v) - ry * std::sin(v) + centre.X;
        const double y = rx * std::sin(v) + ry * std::cos(v) + centre.Y;
        result.push_back({static_cast<int32_t>(RoundHalfEven(x)), static_cast<int32_t>(RoundHalfEven(y))});
    }
    return result;
}

} // namespace velomast
