// Rendering a model to an image without a window: what `velomast-cli render` and the
// tests use. Needs a QGuiApplication for text (the offscreen platform will do).
#pragma once

#include "model/wire_list.h"
#include "view/view_canvas.h"

#include <QImage>

namespace velomast {

struct TRenderOptions {
    uint8_t ViewKind = 0; // 0 3-D, 1 X-Y, 2 X-Z, 3 Y-Z
    int32_t Width = 800;
    int32_t Height = 460;
    double Elevation = 110;
    double Azimuth = -10;
    uint8_t GridMode = 0; // 0 no grid, 1 dots, 2 lines
    bool Dimensions = false;
    bool Direction = true;
    bool Print = false;
    int32_t DimFontSize = 10;
    // The picture takes in the wires of the scene too, not only the model's own.
    bool FitScene = false;
};

inline constexpr int32_t MaxRenderSide = 16384;

// Sets the paint area (and BaseFactor from it), the page, the angles and the display
// options, rebuilds the elements, fits and centres on the model as "По размерам антенны"
// does, and paints. A null image when a side is outside 1 .. MaxRenderSide.
QImage RenderModel(TWireList& m, const TRenderOptions& options, const TPlatformLook& look = {});

} // namespace velomast
