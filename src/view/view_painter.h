// The picture of the view: frame, axes, grid, scale bar, ground, filter caption, wires
// with their marks, length labels and source marks, drawn into the off-screen image
// ViewBitmap and put onto a target. Text needs a QGuiApplication (any platform, the
// offscreen one included); without one the picture is drawn without text.
#pragma once

#include "model/wire_list.h"
#include "view/view_canvas.h"

#include <QImage>
#include <QPainter>
#include <QRect>

namespace velomast {

// Draws the whole picture of the model's current view into `viewBitmap`, which is first
// resized to r's size when it differs, and puts it onto `target` when one is given:
// stretched into r when printing, copied to r's upper-left corner otherwise. The picture
// is laid out in the image's own pixels, (0, 0) being r's upper-left corner. Printing
// leaves out the frame, the 3-D axes and angle read-out, the centre cross, the grid and
// the ground fill. An empty r leaves a null image.
void PaintView(const TWireList& m, QImage& viewBitmap, QPainter* target, const QRect& r, bool printing,
               const TPlatformLook& look = {});

// One wire with its direction mark, junction crosses and load marks. The lines and marks
// are batched on the canvas and reach the image with the canvas's FlushWireLayer.
void DrawWire(const TWire& w, TViewCanvas& canvas);

// The length labels of the own visible wires (of the selected ones only, when so set),
// turned along their wires.
void DrawDimensions(TViewCanvas& canvas);

// The text angle of the canvas: round-toward-zero(degrees x 10) tenths of a degree,
// counter-clockwise on the screen.
void SetTextAngle(TViewCanvas& canvas, double degrees);

} // namespace velomast
