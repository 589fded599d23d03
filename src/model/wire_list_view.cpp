// The view state's own arithmetic: scale, grid step, paint area, visible range and fit.
// Projection, picking and drawing build on it in the view layer.
#include "wire_list.h"

#include <algorithm>
#include <cmath>

namespace velomast {

namespace {
constexpr int32_t GridSteps[] = {1,    2,    5,     10,    20,    50,    100,   200,
                                 500,  1000, 2000,  5000,  10000, 20000, 50000, 100000};

int32_t SaturateInt32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}
} // namespace

void TWireList::InitView(const TRectI& paintRect) {
    for (int i = 0; i < 3; ++i) {
        Vec3 e{};
        (i == 0 ? e.X : i == 1 ? e.Y : e.Z) = 200;
        AxisWires[i].SetEnds({}, e, false, false, true);
    }
    SetViewRect(paintRect);
    SetViewScale(10);
}

double TWireList::PixelsToMetres(int32_t n) const { return n / ViewScale / BaseFactor; }

int32_t TWireList::MetresToPixels(double m) const {
    return SaturateInt32(RoundHalfEven(m * ViewScale * BaseFactor));
}

void TWireList::SetViewScale(double x) {
    if (!(x >= 0.1))
        ViewScale = 0.1;
    else if (x > 10000)
        ViewScale = 10000;
    else
        ViewScale = x;
    const double r = 10000 / ViewScale;
    for (size_t i = 1; i < std::size(GridSteps); ++i) {
        if (GridSteps[i] > r) {
            GridStep = GridSteps[i - 1];
            break;
        }
    }
    UpdateVisibleRange();
}

void TWireList::SetViewRect(const TRectI& r) {
    ViewRect = r;
    CenterPixel = {(r.Right - r.Left) / 2, (r.Bottom - r.Top) / 2};
}

void TWireList::UpdateVisibleRange() {
    const int64_t w = RoundHalfEven(PixelsToMetres(ViewRect.Right - ViewRect.Left) * 10000);
    const int64_t h = RoundHalfEven(PixelsToMetres(ViewRect.Bottom - ViewRect.Top) * 10000);
    const double hcM = (ViewKind == 1 || ViewKind == 2) ? ViewCenter.X : ViewCenter.Y;
    const double vcM = ViewKind == 1 ? ViewCenter.Y : ViewCenter.Z;
    const int64_t hc = RoundHalfEven(hcM * 10000);
    const int64_t vc = RoundHalfEven(vcM * 10000);
    // Far-away or degenerate views saturate instead of overflowing.
    const int64_t ws = std::clamp<int64_t>(w, INT32_MIN, INT32_MAX);
    const int64_t hs = std::clamp<int64_t>(h, INT32_MIN, INT32_MAX);
    const int64_t hmin = std::clamp<int64_t>(hc, INT32_MIN, INT32_MAX) - ws / 2;
    const int64_t vmin = std::clamp<int64_t>(vc, INT32_MIN, INT32_MAX) - hs / 2;
    VisibleRange.HorzMin = SaturateInt32(hmin);
    VisibleRange.HorzMax = SaturateInt32(hmin + ws);
    VisibleRange.VertMin = SaturateInt32(vmin);
    VisibleRange.VertMax = SaturateInt32(vmin + hs);
}

void TWireList::FitScale() {
    ComputeBox();
    double d = std::max(BoxMax.X - BoxMin.X, BoxMax.Y - BoxMin.Y);
    if (d == 0) d = 0.1;
    double hz = BoxMax.Z - BoxMin.Z;
    if (hz == 0) hz = 0.1;
    ViewScale = 0.045 * std::min(800 / d, 466 / hz);
    UpdateVisibleRange();
    for (int i = 0; i < 3; ++i) {
        Vec3 e{};
        (i == 0 ? e.X : i == 1 ? e.Y : e.Z) = d / 1.5;
        AxisWires[i].SetEnds({}, e, false, false, true);
    }
}

} // namespace velomast
