#include "view/view_camera.h"

#include <algorithm>
#include <cmath>

namespace velomast {

namespace {

// Screen axes of the 3-D view in model space: u (to the right) and t (up).
struct ScreenAxes {
    Vec3 H;
    Vec3 V;
};

ScreenAxes AxesOf3D(double elevation, double azimuth) {
    const double a = azimuth * DegToRad;
    const double e = (elevation - 90) * DegToRad;
    const double ca = std::cos(a), sa = std::sin(a);
    const double ce = std::cos(e), se = std::sin(e);
    return {{ca, -sa, 0}, {sa * se, ca * se, ce}};
}

// Index (0 X, 1 Y, 2 Z) of the coordinate along the horizontal and the vertical screen
// axis of a flat view.
int HorzAxis(uint8_t kind) { return kind == 3 ? 1 : 0; }
int VertAxis(uint8_t kind) { return kind == 1 ? 1 : 2; }

double& Coord(Vec3& v, int axis) { return axis == 0 ? v.X : axis == 1 ? v.Y : v.Z; }

// centre + round(metres x scale x base factor), saturated.
int32_t ToPixel(int32_t centre, double metres, double scale, double baseFactor, int sign) {
    const int64_t offset = SaturatePixel(RoundHalfEven(metres * scale * baseFactor));
    return SaturatePixel(static_cast<int64_t>(centre) + sign * offset);
}

} // namespace

int32_t SaturatePixel(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

TViewProjection::TViewProjection(const TWireList& m)
    : TViewProjection(m, m.ViewElevation, m.ViewAzimuth) {
    Kind_ = m.ViewKind;
}

TViewProjection::TViewProjection(const TWireList& m, double elevation, double azimuth)
    : Centre_(m.ViewCenter), CentrePixel_(m.CenterPixel), Scale_(m.ViewScale), BaseFactor_(m.BaseFactor) {
    const double a = azimuth * DegToRad;
    const double e = (elevation - 90) * DegToRad;
    CosA_ = std::cos(a);
    SinA_ = std::sin(a);
    CosE_ = std::cos(e);
    SinE_ = std::sin(e);
}

ScreenPoint TViewProjection::Place(const Vec3& p) const {
    const ScreenPoint q = Project(p);
    return {std::clamp(q.X, -DrawLimit, DrawLimit), std::clamp(q.Y, -DrawLimit, DrawLimit)};
}

ScreenPoint TViewProjection::Project(const Vec3& p) const {
    const Vec3 v{p.X - Centre_.X, p.Y - Centre_.Y, p.Z - Centre_.Z};
    double h, t;
    switch (Kind_) {
    case 1: h = v.X, t = v.Y; break;
    case 2: h = v.X, t = v.Z; break;
    case 3: h = v.Y, t = v.Z; break;
    default: {
        h = v.X * CosA_ - v.Y * SinA_;                 // horizontal screen axis
        const double w = v.X * SinA_ + v.Y * CosA_;    // depth
        t = v.Z * CosE_ + w * SinE_;                   // vertical screen axis
    }
    }
    return {ToPixel(CentrePixel_.X, h, Scale_, BaseFactor_, 1), ToPixel(CentrePixel_.Y, t, Scale_, BaseFactor_, -1)};
}

ScreenPoint ProjectPoint3D(const TWireList& m, const Vec3& p, double elevation, double azimuth) {
    return TViewProjection(m, elevation, azimuth).Project(p);
}

ScreenPoint ProjectPoint(const TWireList& m, const Vec3& p) { return TViewProjection(m).Project(p); }

Vec3 UnprojectPixel(const TWireList& m, ScreenPoint pixel) {
    const double dh = (static_cast<double>(pixel.X) - m.CenterPixel.X) / m.ViewScale / m.BaseFactor;
    const double dv = (static_cast<double>(m.CenterPixel.Y) - pixel.Y) / m.ViewScale / m.BaseFactor;
    Vec3 r = m.ViewCenter;
    if (m.ViewKind == 0) {
        const ScreenAxes ax = AxesOf3D(m.ViewElevation, m.ViewAzimuth);
        return VecAdd(r, VecAdd(VecScale(ax.H, dh), VecScale(ax.V, dv)));
    }
    Coord(r, HorzAxis(m.ViewKind)) += dh;
    Coord(r, VertAxis(m.ViewKind)) += dv;
    return r;
}

void SetViewElevation(TWireList& m, double degrees) { m.ViewElevation = degrees; }

void SetViewAzimuth(TWireList& m, double degrees) { m.ViewAzimuth = degrees; }

void SetViewPage(TWireList& m, int page) {
    if (page >= 0 && page <= 3) {
        m.ViewKind = static_cast<uint8_t>(page);
        m.Is3DView = page == 0;
    } else {
        m.Is3DView = false;
    }
    m.UpdateVisibleRange();
}

double ComputeBaseFactor(int32_t width, int32_t height) {
    return 12 * std::min(width / 800.0, height / 460.0);
}

void ResizeView(TWireList& m, const TRectI& r) {
    m.SetViewRect(r);
    if (r.Width() > 0 && r.Height() > 0) m.BaseFactor = ComputeBaseFactor(r.Width(), r.Height());
    m.UpdateVisibleRange();
}

void CenterOnModel(TWireList& m) {
    m.ViewCenter = {(m.BoxMax.X + m.BoxMin.X) / 2, (m.BoxMax.Y + m.BoxMin.Y) / 2, (m.BoxMax.Z + m.BoxMin.Z) / 2};
    m.UpdateVisibleRange();
}

void CenterOnOrigin(TWireList& m) {
    m.ViewCenter = {};
    if ((m.ViewKind == 2 || m.ViewKind == 3) && m.GroundType > 0)
        m.ViewCenter.Z = (m.BoxMax.Z + m.BoxMin.Z + m.BaseHeight) / 2;
    m.UpdateVisibleRange();
}

void CenterOnSelected(TWireList& m) {
    const TWire* w = m.Selection.Current();
    if (!w) return;
    m.ViewCenter = VecLerp(w->P1(), w->P2(), 0.5);
    m.UpdateVisibleRange();
}

void PanByPixels(TWireList& m, int32_t dx, int32_t dy) {
    const double mh = m.PixelsToMetres(dx);
    const double mv = m.PixelsToMetres(dy);
    if (m.ViewKind == 0) {
        const ScreenAxes ax = AxesOf3D(m.ViewElevation, m.ViewAzimuth);
        m.ViewCenter = VecAdd(m.ViewCenter, VecAdd(VecScale(ax.H, mh), VecScale(ax.V, mv)));
    } else {
        Coord(m.ViewCenter, HorzAxis(m.ViewKind)) += mh;
        Coord(m.ViewCenter, VertAxis(m.ViewKind)) += mv;
    }
    m.UpdateVisibleRange();
}

void FitAndCenter(TWireList& m) {
    m.FitScale();
    m.SetViewScale(m.ViewScale);
    CenterOnModel(m);
}

TRotationAnchor BeginViewRotation(const TWireList& m, ScreenPoint cursor) {
    return {cursor.X - SaturatePixel(RoundHalfEven(m.ViewAzimuth)),
            cursor.Y - SaturatePixel(RoundHalfEven(m.ViewElevation))};
}

void RotateView(TWireList& m, const TRotationAnchor& anchor, ScreenPoint cursor) {
    SetViewElevation(m, static_cast<double>(cursor.Y - anchor.Y));
    SetViewAzimuth(m, static_cast<double>(cursor.X - anchor.X));
}

} // namespace velomast
