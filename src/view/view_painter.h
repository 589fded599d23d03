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

#include <cstdint>
#include <vector>

namespace velomast {

// Draws the whole picture of the model's current view into `viewBitmap`, which is first
// resized to r's size when it differs, and puts it onto `target` when one is given:
// stretched into r when printing, copied to r's upper-left corner otherwise. The picture
// is laid out in the image's own pixels, (0, 0) being r's upper-left corner. Printing
// leaves out the frame, the 3-D axes and angle read-out, the centre cross, the grid and
// the ground fill. An empty r leaves a null image.
void PaintView(const TWireList& m, QImage& viewBitmap, QPainter* target, const QRect& r, bool printing,
               const TPlatformLook& look = {});

// The picture while wire ends are dragged, in two layers: the still layer (everything but
// the moving wires and the source marks) is drawn once, and each move puts the moving
// wires, then the source marks, over a copy of it. The moving wires thus lie over the
// still ones and their marks until the drag ends and the whole picture is drawn again.
// The still layer is kept while only wires it leaves out move; a wire that starts moving
// has it drawn again without that wire. The owner calls Invalidate whenever anything else
// in the model or the view changes.
class TDragPicture {
public:
    // Draws the picture into `viewBitmap` (r's size); `moving` are list positions of the
    // wires moved since the drag began. False, leaving `viewBitmap` alone, when the picture
    // cannot be split (length labels shown): the caller draws the whole picture.
    bool Paint(const TWireList& m, QImage& viewBitmap, const QRect& r, const std::vector<size_t>& moving,
               const TPlatformLook& look = {});
    void Invalidate() { Valid_ = false; }
    // How many times the still layer was drawn.
    int Builds() const { return Builds_; }

private:
    bool Valid_ = false;
    size_t Count_ = 0;
    QImage Still_;
    std::vector<uint8_t> Skip_;
    std::vector<size_t> Moving_; // last to first
    int Builds_ = 0;
};

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
