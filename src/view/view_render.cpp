#include "view/view_render.h"

#include "view/view_camera.h"
#include "view/view_painter.h"

namespace velomast {

QImage RenderModel(TWireList& m, const TRenderOptions& o, const TPlatformLook& look) {
    if (o.Width < 1 || o.Height < 1 || o.Width > MaxRenderSide || o.Height > MaxRenderSide) return {};
    ResizeView(m, {0, 0, o.Width, o.Height});
    SetViewPage(m, o.ViewKind <= 3 ? o.ViewKind : 0);
    SetViewElevation(m, o.Elevation);
    SetViewAzimuth(m, o.Azimuth);
    m.ShowGrid = o.GridMode != 0;
    if (o.GridMode != 0) m.GridMode = o.GridMode;
    m.ShowDimensions = o.Dimensions;
    m.ShowDirection = o.Direction;
    m.DimFontSize = o.DimFontSize;
    m.RebuildElements();
    m.BoxIncludesScene = o.FitScene;
    FitAndCenter(m);
    QImage image;
    PaintView(m, image, nullptr, QRect(0, 0, o.Width, o.Height), o.Print, look);
    return image;
}

} // namespace velomast
