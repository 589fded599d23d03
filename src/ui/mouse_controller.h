// The mouse gestures of the view: turning the 3-D view, panning, drawing wires, frames and
// regular polygons, dragging wire ends, selecting by click or rectangle, zooming into a
// rectangle and measuring. Press, move and release of the paint box drive a small state
// machine; the rubber lines, rectangles and read-outs are drawn over the last model image,
// so a gesture that changes nothing in the model never redraws it.
//
// The controller works on the model and the view through the main window's public
// operations; the window owns it and hands it to the paint box.
#pragma once

#include "model/vec3.h"
#include "ui/paint_box.h"
#include "view/view_camera.h"
#include "view/view_picking.h"

#include <QTimer>

#include <cstdint>
#include <vector>

class QMenu;
class QMouseEvent;
class QPainter;

namespace velomast {

class TfmVelomast;
class TWireList;

class TMouseController : public IViewMouse {
public:
    enum TMouseMode : uint8_t {
        mmIdle = 0,
        mmTurn = 1,
        mmWire = 2,
        mmFrame = 3,
        mmPolygon = 4,
        mmPan = 5,
        mmZoomBox = 6,
        mmSelectBox = 7,
        mmRuler = 8,
    };

    // Auto-scroll while the left button is held outside the view: one step of 10 pixels at
    // once, then one every 100 ms.
    static constexpr int AutoScrollInterval = 100;
    static constexpr int AutoScrollStep = 10;

    // `pmWire` and `pmField` are the view's popup menus; the window owns them.
    TMouseController(TfmVelomast& window, QMenu* pmWire, QMenu* pmField);

    void Press(QMouseEvent* e) override;
    void Move(QMouseEvent* e) override;
    void Release(QMouseEvent* e) override;
    void PaintOverlay(QPainter& p) override;

    // The gesture state machine itself; `buttons` are the buttons held after the event.
    void Press(Qt::MouseButton button, bool shift, ScreenPoint at);
    void Move(Qt::MouseButtons buttons, ScreenPoint at);
    void Release(Qt::MouseButton button, bool shift, ScreenPoint at);

    // Esc chose the edit mode: the gesture stops drawing. A wire being drawn is still
    // created when the button is released.
    void Escape();
    // Esc during a gesture: a wire, frame or polygon being drawn, a rubber band or the
    // ruler is dropped, dragged ends go back where they were; nothing is stored. False
    // when no such gesture was under way.
    bool CancelGesture();

    // The field popup's commands, acting on the point of the last release.
    void NpCenterHereClick();
    void NZeroHereClick();

    // The model image was redrawn: the model or the view may have changed, so the hover
    // test's cell grid is built afresh on the next hover.
    void ModelImageChanged() { HoverIndex_.Invalidate(); }
    const THoverIndex& HoverIndex() const { return HoverIndex_; }

    TMouseMode MouseMode() const { return MouseMode_; }
    ScreenPoint PressPoint() const { return PressPoint_; }
    int CreateKind() const { return CreateKind_; }
    ScreenPoint ReleasePoint() const { return ReleasePoint_; }
    const std::vector<ScreenPoint>& PolygonVertices() const { return PolygonVertices_; }
    // The popup menu a right-button release opens now (pmWire, pmField or none).
    QMenu* Popup() const { return Popup_; }
    bool AutoScrolling() const { return ScrollTimer_.isActive(); }

private:
    TWireList& Model() const;
    bool FlatView() const;
    bool ModeDown(const char* name) const;
    bool OptionDown(const char* name) const;
    Qt::CursorShape ModeCursor() const;
    void SetCursor(Qt::CursorShape shape);
    void ChooseEditMode();
    void Commit();

    void InvalidateWireTable();

    // What a move does after panning and scrolling: hover, drag, read-outs and overlay;
    // `viewChanged` asks for a new model image even when no end is dragged.
    void Track(ScreenPoint at, bool viewChanged);
    void Hover(ScreenPoint at);
    void DragEndsTo(const Vec3& p);
    // List positions of the own wires whose ends differ from those at the press now or did
    // at an earlier move of this drag.
    const std::vector<size_t>& MovedSinceDragBegan();
    void ShowCoordinates(const Vec3& p);
    void ShowRuler(const Vec3& p);

    bool Inside(ScreenPoint at) const;
    // One step at once when the cursor has left the view; true when the view moved.
    bool AutoScroll(ScreenPoint at);
    void ScrollStep(ScreenPoint at);
    void AutoScrollTick();
    void StopAutoScroll();

    void CreateWire(ScreenPoint at);
    bool CreateChain(const std::vector<Vec3>& points);
    void CreateFrame(ScreenPoint at);
    void CreatePolygon(ScreenPoint at);
    void ZoomToBox(ScreenPoint at);
    void DropDraggedEnds(ScreenPoint at);

    void PaintRectangle(QPainter& p) const;
    void PaintPolygon(QPainter& p) const;
    QString Number(const std::string& text) const;

    TfmVelomast& Window_;
    QMenu* pmWire_;
    QMenu* pmField_;

    TMouseMode MouseMode_ = mmIdle;
    ScreenPoint PressPoint_;
    int CreateKind_ = 0;
    ScreenPoint ReleasePoint_;
    std::vector<ScreenPoint> PolygonVertices_;
    TRotationAnchor TurnAnchor_;

    // The button whose press began the gesture; presses of other buttons while it is held
    // are ignored, and so are their releases.
    Qt::MouseButton GestureButton_ = Qt::NoButton;
    bool LeftHeld_ = false;
    // The cursor as of the last move, for the overlay and the auto-scroll steps.
    ScreenPoint Cursor_;
    bool MovedSincePress_ = false;
    QMenu* Popup_ = nullptr;
    // The cursor shape of the paint box when no gesture overrides it.
    Qt::CursorShape HoverCursor_ = Qt::ArrowCursor;
    QTimer ScrollTimer_;
    // Which of the model's recorded end changes of this drag have been drawn as moving
    // (the model keeps the ends before them, so a cancelled drag puts back every wire it
    // moved, connected and mirrored ones too).
    std::vector<uint8_t> MovedMark_;
    std::vector<size_t> Moved_;
    THoverIndex HoverIndex_;
};

} // namespace velomast
