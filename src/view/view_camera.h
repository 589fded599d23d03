// Projection of model points (metres) to pixels of the paint area and back, and the
// camera operations of the view: page, angles, rotation by mouse, framing and panning.
// Plain C++: no Qt here, so the CLI and the tests use it without a display.
//
// Pixel results are saturated to the int32 range, so that absurd coordinates (a NoValue
// of -2147483647 m, a scale fitted to it) give far-away pixels instead of overflow.
#pragma once

#include "model/vec3.h"
#include "model/wire_list.h"

#include <cstdint>

namespace velomast {

// The projection of one view state, with its sines and cosines worked out once: what the
// drawing uses for thousands of points. Copies the state; rebuild it after a change.
class TViewProjection {
public:
    // The current ViewKind (the 3-D view with the current angles).
    explicit TViewProjection(const TWireList& m);
    // The 3-D view with explicit angles in degrees.
    TViewProjection(const TWireList& m, double elevation, double azimuth);

    ScreenPoint Project(const Vec3& p) const;
    // The pixel for drawing: kept within +-DrawLimit, so that the few pixels that labels
    // and marks are moved by can never overflow, however far away the point lies.
    static constexpr int32_t DrawLimit = 1 << 29;
    ScreenPoint Place(const Vec3& p) const;

private:
    Vec3 Centre_;
    ScreenPoint CentrePixel_;
    double Scale_ = 0;
    double BaseFactor_ = 0;
    uint8_t Kind_ = 0;
    double CosA_ = 1, SinA_ = 0, CosE_ = 1, SinE_ = 0;
};

// Pixel of a model point in the current ViewKind (the 3-D view with the current angles).
ScreenPoint ProjectPoint(const TWireList& m, const Vec3& p);
// The orthographic 3-D projection with explicit angles in degrees.
ScreenPoint ProjectPoint3D(const TWireList& m, const Vec3& p, double elevation, double azimuth);
// Model point under a pixel of a flat view; the depth coordinate comes from ViewCenter.
// In the 3-D view: the point of the plane through ViewCenter parallel to the screen.
Vec3 UnprojectPixel(const TWireList& m, ScreenPoint pixel);

// Angles in degrees, stored as they are (not limited, not wrapped).
void SetViewElevation(TWireList& m, double degrees);
void SetViewAzimuth(TWireList& m, double degrees);

// The active page of the view's page control: 0..3 selects ViewKind (and Is3DView with
// it), any other page (the parameters page) leaves ViewKind and clears Is3DView.
// Updates the visible range.
void SetViewPage(TWireList& m, int page);

// Pixels per metre at scale 1 for a paint area: 12 x min(W / 800, H / 460).
double ComputeBaseFactor(int32_t width, int32_t height);
// A new paint area: ViewRect, CenterPixel, BaseFactor, visible range. An empty area (a
// minimised window) keeps the previous BaseFactor: a factor of 0 would make every pixel
// count infinitely many metres.
void ResizeView(TWireList& m, const TRectI& r);

// ViewCenter := middle of the last computed bounding box.
void CenterOnModel(TWireList& m);
// ViewCenter := origin; in the X-Z and Y-Z views over real ground the centre's height is
// the middle between the box and the base height.
void CenterOnOrigin(TWireList& m);
// ViewCenter := midpoint of the current wire; nothing without a selection.
void CenterOnSelected(TWireList& m);
// Moves ViewCenter by dx pixels along the screen's horizontal axis and dy pixels up.
void PanByPixels(TWireList& m, int32_t dx, int32_t dy);
// "По размерам антенны" on the model side: FitScale, the fitted scale through
// SetViewScale (limits and grid step), then CenterOnModel.
void FitAndCenter(TWireList& m);

// Turning the 3-D view with the mouse: one pixel is one degree.
struct TRotationAnchor {
    int64_t X = 0; // cursor x at the press less the azimuth in whole degrees
    int64_t Y = 0; // cursor y at the press less the elevation in whole degrees
};
TRotationAnchor BeginViewRotation(const TWireList& m, ScreenPoint cursor);
// Elevation := cursor.Y - anchor.Y, azimuth := cursor.X - anchor.X.
void RotateView(TWireList& m, const TRotationAnchor& anchor, ScreenPoint cursor);

// A 64-bit pixel value clamped into int32.
int32_t SaturatePixel(int64_t v);

} // namespace velomast
