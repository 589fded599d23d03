#include "ui/mouse_controller.h"

#include "model/number_format.h"
#include "model/wire_list.h"
#include "ui/language_texts.h"
#include "ui/tfm_velomast.h"
#include "view/view_picking.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace velomast {

namespace {

ScreenPoint PointOf(const QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    return {p.x(), p.y()};
}

QPoint ToQPoint(ScreenPoint p) { return {p.X, p.Y}; }

// Model axes (0 X, 1 Y, 2 Z) along the screen's horizontal and vertical and along the
// depth of a flat view.
int HorzAxis(uint8_t kind) { return kind == 3 ? 1 : 0; }
int VertAxis(uint8_t kind) { return kind == 1 ? 1 : 2; }
int DepthAxis(uint8_t kind) { return kind == 1 ? 2 : kind == 2 ? 1 : 0; }

double& Coord(Vec3& v, int axis) { return axis == 0 ? v.X : axis == 1 ? v.Y : v.Z; }
double Coord(const Vec3& v, int axis) { return axis == 0 ? v.X : axis == 1 ? v.Y : v.Z; }

const Vec3& DraggedEnd(const TWire& w) { return w.DragEnd == 1 ? w.P1() : w.P2(); }

void SetDraggedEnd(TWire& w, const Vec3& p, bool keep, bool mirror) {
    if (w.DragEnd == 1)
        w.SetEnds(p, w.P2(), keep, mirror, true);
    else if (w.DragEnd == 2)
        w.SetEnds(w.P1(), p, keep, mirror, true);
}

} // namespace

TMouseController::TMouseController(TfmVelomast& window, QMenu* pmWire, QMenu* pmField)
    : Window_(window), pmWire_(pmWire), pmField_(pmField) {
    ScrollTimer_.setInterval(AutoScrollInterval);
    QObject::connect(&ScrollTimer_, &QTimer::timeout, &ScrollTimer_, [this] { AutoScrollTick(); });
}

TWireList& TMouseController::Model() const { return Window_.Model(); }

bool TMouseController::FlatView() const { return Model().ViewKind != 0; }

bool TMouseController::ModeDown(const char* name) const {
    const QToolButton* b = Window_.Button(QLatin1String(name));
    return b && b->isChecked();
}

// Buttons of the side panel (the mirror and wavelength switches of the wire table).
bool TMouseController::OptionDown(const char* name) const {
    const auto* b = Window_.findChild<QAbstractButton*>(QLatin1String(name));
    return b && b->isChecked();
}

Qt::CursorShape TMouseController::ModeCursor() const {
    const bool drawing = ModeDown("sbInsertMode") || ModeDown("sbRectMode") || ModeDown("sbRuler") || ModeDown("sbPolygon");
    return drawing ? Qt::CrossCursor : Qt::ArrowCursor;
}

void TMouseController::SetCursor(Qt::CursorShape shape) {
    TPaintBox* box = Window_.PaintBox();
    if (box->cursor().shape() != shape) box->setCursor(shape);
}

void TMouseController::ChooseEditMode() {
    QToolButton* b = Window_.Button(QStringLiteral("sbEditMode"));
    b->setChecked(true);
    Window_.ModeClick(b);
}

void TMouseController::Commit() {
    TWireList& m = Model();
    m.StoreUndoStep(m.AutoScale);
    Window_.UpdateForm();
}

void TMouseController::InvalidateWireTable() {
    if (auto* table = Window_.findChild<QAbstractItemView*>(QStringLiteral("dgWire")))
        table->viewport()->update();
    else if (auto* w = Window_.findChild<QWidget*>(QStringLiteral("dgWire")))
        w->update();
}

QString TMouseController::Number(const std::string& text) const { return QString::fromStdString(text); }

// ---- events ---------------------------------------------------------------------------

void TMouseController::Press(QMouseEvent* e) {
    Press(e->button(), e->modifiers().testFlag(Qt::ShiftModifier), PointOf(e));
}

void TMouseController::Move(QMouseEvent* e) { Move(e->buttons(), PointOf(e)); }

void TMouseController::Release(QMouseEvent* e) {
    Release(e->button(), e->modifiers().testFlag(Qt::ShiftModifier), PointOf(e));
}

void TMouseController::Press(Qt::MouseButton button, bool shift, ScreenPoint at) {
    if (GestureButton_ != Qt::NoButton) return; // one gesture at a time
    TWireList& m = Model();

    if (button == Qt::MiddleButton) {
        // The pressed point becomes the centre of the view.
        PanByPixels(m, at.X - m.CenterPixel.X, m.CenterPixel.Y - at.Y);
        Window_.PaintView();
        return;
    }
    if (button != Qt::LeftButton && button != Qt::RightButton) return;

    GestureButton_ = button;
    LeftHeld_ = button == Qt::LeftButton;
    Cursor_ = at;
    MovedSincePress_ = false;
    PolygonVertices_.clear();
    const bool flat = FlatView();

    if (!flat) {
        if (button == Qt::LeftButton) {
            TurnAnchor_ = BeginViewRotation(m, at);
            PressPoint_ = {SaturatePixel(TurnAnchor_.X), SaturatePixel(TurnAnchor_.Y)};
            MouseMode_ = mmTurn;
        } else {
            Popup_ = m.Selection.Empty() ? nullptr : pmWire_;
        }
    }

    if (button == Qt::LeftButton) {
        TWire* remembered = nullptr;
        if (!shift) {
            remembered = m.Selection.Current();
            m.ClearSelection();
        }
        if (ModeDown("sbInsertMode")) {
            if (flat) {
                CreateKind_ = 1;
                MouseMode_ = mmWire;
            }
        } else if (ModeDown("sbRectMode")) {
            CreateKind_ = 2;
            PressPoint_ = at;
            MouseMode_ = mmFrame;
        } else if (ModeDown("sbPolygon")) {
            CreateKind_ = 2;
            PressPoint_ = at;
            MouseMode_ = mmPolygon;
        } else if (ModeDown("sbRuler")) {
            PressPoint_ = at;
            MouseMode_ = mmRuler;
        } else if (ModeDown("sbEditMode")) {
            if (!PickWireAt(m, at) && flat) MouseMode_ = mmSelectBox;
            m.EndEndWatch();
            MovedMark_.clear();
            Moved_.clear();
            if (!m.DragList.empty()) m.BeginEndWatch();
        }
        if (m.OwnCount() > 0 && m.Selection.Empty() && remembered) m.SelectWire(remembered, false);
    }

    if (flat) {
        PressPoint_ = at;
        if (button == Qt::RightButton) {
            ChooseEditMode();
            // The menu that a release without a pan opens: the wire's or the field's.
            Popup_ = FindWireUnderCursor(m, at) ? pmWire_ : pmField_;
            SetCursor(Qt::ClosedHandCursor);
            MouseMode_ = mmPan;
        }
        if (ModeDown("sbScaleSelect")) MouseMode_ = mmZoomBox;
    }
    Window_.UpdateForm();
}

void TMouseController::Move(Qt::MouseButtons buttons, ScreenPoint at) {
    TWireList& m = Model();
    const bool moved = !(at == Cursor_);
    Cursor_ = at;
    if (moved && GestureButton_ != Qt::NoButton) MovedSincePress_ = true;

    if (!FlatView()) {
        if (MouseMode_ == mmTurn) {
            RotateView(m, TurnAnchor_, at);
            Window_.PaintView();
        }
        return;
    }

    if (MouseMode_ == mmPan) {
        if (!moved) return;
        PanByPixels(m, PressPoint_.X - at.X, at.Y - PressPoint_.Y);
        PressPoint_ = at;
        Popup_ = nullptr; // a pan ends without a menu
        Window_.PaintView();
        return;
    }

    // Scroll first, so that the gesture follows the cursor in the scrolled view.
    bool scrolled = false;
    if ((MouseMode_ != mmIdle || !m.DragList.empty()) && buttons.testFlag(Qt::LeftButton))
        scrolled = AutoScroll(at);
    else
        StopAutoScroll();
    Track(at, scrolled);
}

void TMouseController::Track(ScreenPoint at, bool viewChanged) {
    TWireList& m = Model();
    const Vec3 p = UnprojectPixel(m, at);
    const bool dragging = !m.DragList.empty();
    // While an end is dragged the wire under the cursor is the dragged one: no hover test.
    if (MouseMode_ == mmIdle && !dragging && !AutoScrolling()) Hover(at);
    if (dragging) DragEndsTo(p);
    ShowCoordinates(p);
    if (MouseMode_ == mmPolygon) PolygonVertices_ = SnapPolygon(PressPoint_, at, Window_.PolygonSides());
    if (MouseMode_ == mmRuler) ShowRuler(p);

    if (dragging && !viewChanged && m.EndWatchIntact())
        Window_.PaintDragView(MovedSinceDragBegan()); // only the moving wires are drawn again
    else if (dragging || viewChanged)
        Window_.PaintView(); // the model or the view changed: a new model image
    else if (MouseMode_ != mmIdle)
        Window_.PaintBox()->update(); // only the overlay
}

void TMouseController::Release(Qt::MouseButton button, bool shift, ScreenPoint at) {
    if (GestureButton_ != Qt::NoButton && button != GestureButton_) return;
    GestureButton_ = Qt::NoButton;
    if (button == Qt::LeftButton) LeftHeld_ = false;
    StopAutoScroll();
    TWireList& m = Model();
    const bool flat = FlatView();

    if (CreateKind_ == 1) {
        CreateKind_ = 0;
        CreateWire(at);
    }
    if (CreateKind_ == 2) {
        CreateKind_ = 0;
        if (MouseMode_ == mmFrame && flat) CreateFrame(at);
        if (MouseMode_ == mmPolygon && flat) CreatePolygon(at);
    }
    if (MouseMode_ == mmPan) {
        m.UpdateVisibleRange();
        Window_.PaintView();
    }
    if (MouseMode_ == mmZoomBox) ZoomToBox(at);
    if (MouseMode_ == mmSelectBox) {
        if (SelectInArea(m, PressPoint_, at, shift))
            Window_.UpdateForm();
        else
            Window_.PaintView();
    }

    MouseMode_ = mmIdle;
    PolygonVertices_.clear();
    SetCursor(ModeCursor());

    if (!m.DragList.empty()) DropDraggedEnds(at);
    m.EndEndWatch(); // no drag outlives its button

    ReleasePoint_ = at;
    InvalidateWireTable();
    Window_.PaintBox()->update(); // the overlay is gone

    if (button == Qt::RightButton && Popup_)
        Popup_->popup(Window_.PaintBox()->mapToGlobal(ToQPoint(at)));
}

void TMouseController::Escape() {
    MouseMode_ = mmIdle;
    StopAutoScroll();
    Window_.PaintBox()->update();
}

bool TMouseController::CancelGesture() {
    TWireList& m = Model();
    const bool drawing = CreateKind_ != 0 || MouseMode_ == mmWire || MouseMode_ == mmFrame ||
                         MouseMode_ == mmPolygon || MouseMode_ == mmSelectBox || MouseMode_ == mmZoomBox ||
                         MouseMode_ == mmRuler;
    const bool dragging = !m.DragList.empty();
    if (!drawing && !dragging) return false;
    CreateKind_ = 0;
    MouseMode_ = mmIdle;
    PolygonVertices_.clear();
    StopAutoScroll();
    if (dragging) {
        ClearDragList(m);
        if (m.EndWatchIntact()) {
            for (const TWireList::TEndChange& c : m.EndChanges()) {
                TWire* w = c.Wire;
                if (!VecEqual(w->P1(), c.P1) || !VecEqual(w->P2(), c.P2)) w->AssignEnds(c.P1, c.P2, false);
            }
        }
        m.EndEndWatch();
        m.RebuildElements();
        Window_.UpdateForm();
    }
    SetCursor(ModeCursor());
    Window_.PaintBox()->update();
    return true;
}

// ---- hover, drag and read-outs --------------------------------------------------------

void TMouseController::Hover(ScreenPoint at) {
    const TWire* w = HoverIndex_.Find(Model(), at);
    Popup_ = w ? pmWire_ : pmField_;
    SetCursor(w ? Qt::PointingHandCursor : ModeCursor());
}

const std::vector<size_t>& TMouseController::MovedSinceDragBegan() {
    const std::vector<TWireList::TEndChange>& changes = Model().EndChanges();
    if (MovedMark_.size() > changes.size()) {
        MovedMark_.clear();
        Moved_.clear();
    }
    MovedMark_.resize(changes.size(), 0);
    // Newly moved wires join in list order, after those of earlier moves.
    const size_t before = Moved_.size();
    for (size_t k = 0; k < changes.size(); ++k) {
        if (MovedMark_[k]) continue;
        const TWireList::TEndChange& c = changes[k];
        if (VecEqual(c.Wire->P1(), c.P1) && VecEqual(c.Wire->P2(), c.P2)) continue;
        MovedMark_[k] = 1;
        Moved_.push_back(static_cast<size_t>(c.Wire->Number() - 1));
    }
    std::sort(Moved_.begin() + static_cast<std::ptrdiff_t>(before), Moved_.end());
    return Moved_;
}

void TMouseController::DragEndsTo(const Vec3& p) {
    TWireList& m = Model();
    const bool mirror = OptionDown("sbMirror");
    const int depth = DepthAxis(m.ViewKind);
    for (TWire* w : m.DragList) {
        // The depth the view cannot show stays where the end was grabbed.
        Vec3 q = p;
        Coord(q, depth) = Coord(w->DragOrigin(), depth);
        SetDraggedEnd(*w, q, m.KeepConnections, mirror);
    }
    InvalidateWireTable();
}

void TMouseController::ShowCoordinates(const Vec3& p) {
    const TWireList& m = Model();
    const char mark = Window_.DecimalMark();
    const int decimals = m.ViewScale > 10 ? 3 : 2;
    auto f = [&](const char* name, double v) {
        return QLatin1String(name) + Number(FloatToStrFixed(v, 4, decimals, mark)) + QStringLiteral(" m");
    };
    QString text;
    switch (m.ViewKind) {
    case 1: text = f("X=", p.X) + f(" Y=", p.Y); break;
    case 2: text = f("X=", p.X) + f(" Z=", p.Z); break;
    case 3: text = f("Y=", p.Y) + f(" Z=", p.Z); break;
    default: return;
    }
    Window_.SetStatusText(2, text);
}

void TMouseController::ShowRuler(const Vec3& p) {
    const TWireList& m = Model();
    const char mark = Window_.DecimalMark();
    const Vec3 a = UnprojectPixel(m, PressPoint_);
    const double d = VecDistance(a, p);
    QString text = LanguageText("TfmVelomast", "Text.RulerLength");
    if (d < 10)
        text += QString::number(RoundHalfEven(d * 1000)); // whole millimetres
    else
        text += Number(FormatFloatG(d, 4, 3, mark)) + QLatin1Char('m');
    auto diff = [&](const char* name, double v) {
        return QLatin1String(name) + Number(FloatToStrFixed(std::fabs(v), 15, 2, mark));
    };
    switch (m.ViewKind) {
    case 1: text += diff("  dX ", p.X - a.X) + diff("  dY ", p.Y - a.Y); break;
    case 2: text += diff("  dX ", p.X - a.X) + diff("  dZ ", p.Z - a.Z); break;
    case 3: text += diff("  dY ", p.Y - a.Y) + diff("  dZ ", p.Z - a.Z); break;
    default: break;
    }
    Window_.SetStatusText(0, text);
}

// ---- auto-scroll ----------------------------------------------------------------------

bool TMouseController::Inside(ScreenPoint at) const {
    const auto* box = Window_.PaintBox();
    return at.X >= 0 && at.X <= box->width() && at.Y >= 0 && at.Y <= box->height();
}

bool TMouseController::AutoScroll(ScreenPoint at) {
    if (Inside(at)) {
        StopAutoScroll();
        return false;
    }
    if (ScrollTimer_.isActive()) return false; // the timer keeps the pace
    ScrollStep(at);
    ScrollTimer_.start();
    return true;
}

void TMouseController::ScrollStep(ScreenPoint at) {
    TWireList& m = Model();
    const auto* box = Window_.PaintBox();
    // The gesture keeps its start on the same model point.
    const Vec3 start = UnprojectPixel(m, PressPoint_);
    const int32_t dx = at.X < 0 ? -AutoScrollStep : at.X > box->width() ? AutoScrollStep : 0;
    const int32_t dy = at.Y < 0 ? AutoScrollStep : at.Y > box->height() ? -AutoScrollStep : 0;
    PanByPixels(m, dx, dy);
    PressPoint_ = ProjectPoint(m, start);
    SetCursor(Qt::ForbiddenCursor);
}

void TMouseController::AutoScrollTick() {
    const bool gesture = MouseMode_ != mmIdle || !Model().DragList.empty();
    if (!LeftHeld_ || !gesture || !FlatView() || Inside(Cursor_)) {
        StopAutoScroll();
        return;
    }
    ScrollStep(Cursor_);
    Track(Cursor_, true);
}

void TMouseController::StopAutoScroll() {
    if (!ScrollTimer_.isActive()) return;
    ScrollTimer_.stop();
    SetCursor(ModeCursor());
}

// ---- release: what the gestures make ---------------------------------------------------

void TMouseController::CreateWire(ScreenPoint at) {
    TWireList& m = Model();
    const Vec3 a = SnapVecToStep(UnprojectPixel(m, PressPoint_), m.GridStep);
    const Vec3 b = SnapVecToStep(UnprojectPixel(m, at), m.GridStep);
    // A click without movement or a wire that exists already makes nothing, and nothing
    // is recorded.
    TWire* w = m.NewWire(a, b, m.DefaultRadius);
    if (!w) {
        Window_.PaintView();
        return;
    }
    m.SelectWire(w, true);
    Commit();
}

// Wires along a closed chain of points; the first one made becomes the only selected
// wire, each further one goes to the front of the selection. True when any was made.
bool TMouseController::CreateChain(const std::vector<Vec3>& points) {
    TWireList& m = Model();
    bool first = true;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        TWire* w = m.NewWire(points[i], points[i + 1], m.DefaultRadius);
        if (!w) continue;
        m.SelectWire(w, first);
        first = false;
    }
    if (first) {
        Window_.PaintView();
        return false;
    }
    Commit();
    return true;
}

void TMouseController::CreateFrame(ScreenPoint at) {
    TWireList& m = Model();
    const Vec3 a = SnapVecToStep(UnprojectPixel(m, PressPoint_), m.GridStep);
    const Vec3 b = SnapVecToStep(UnprojectPixel(m, at), m.GridStep);
    // All four corners share the depth of A and B, so the frame lies in one plane.
    Vec3 c2 = a;
    Coord(c2, HorzAxis(m.ViewKind)) = Coord(b, HorzAxis(m.ViewKind));
    Vec3 c4 = a;
    Coord(c4, VertAxis(m.ViewKind)) = Coord(b, VertAxis(m.ViewKind));
    Vec3 b2 = b;
    Coord(b2, DepthAxis(m.ViewKind)) = Coord(a, DepthAxis(m.ViewKind));
    CreateChain({a, c2, b2, c4, a});
}

void TMouseController::CreatePolygon(ScreenPoint at) {
    TWireList& m = Model();
    // Released at its centre the outline is empty: nothing is made.
    PolygonVertices_ = SnapPolygon(PressPoint_, at, Window_.PolygonSides());
    std::vector<Vec3> points;
    points.reserve(PolygonVertices_.size());
    for (ScreenPoint v : PolygonVertices_) points.push_back(UnprojectPixel(m, v));
    CreateChain(points);
}

void TMouseController::ZoomToBox(ScreenPoint at) {
    TWireList& m = Model();
    m.RememberedScale = m.ViewScale;
    m.RememberedCentre = m.ViewCenter;
    const ScreenPoint middle{PressPoint_.X + (at.X - PressPoint_.X) / 2, PressPoint_.Y + (at.Y - PressPoint_.Y) / 2};
    m.ViewCenter = UnprojectPixel(m, middle);
    m.UpdateVisibleRange();
    // Only a rectangle drawn rightwards or downwards zooms.
    double k = 1;
    if (PressPoint_.X < at.X) k = static_cast<double>(m.ViewRect.Width()) / (at.X - PressPoint_.X);
    if (PressPoint_.Y < at.Y) k = std::min(static_cast<double>(m.ViewRect.Height()) / (at.Y - PressPoint_.Y), k);
    if (k > 1) Window_.ApplyViewScale(false, k * m.ViewScale);
    ChooseEditMode();
}

void TMouseController::DropDraggedEnds(ScreenPoint at) {
    TWireList& m = Model();
    Vec3 target;
    if (FindSnapEnd(m, at, target)) {
        // Joined exactly to the other end, off the grid if need be.
        for (TWire* w : m.DragList) SetDraggedEnd(*w, target, false, false);
    } else {
        const bool mirror = OptionDown("sbMirror");
        const int depth = DepthAxis(m.ViewKind);
        for (TWire* w : m.DragList) {
            // The grid snaps the two coordinates the view shows; the depth stays exactly
            // where the end was grabbed.
            Vec3 p = SnapVecToStep(UnprojectPixel(m, ProjectPoint(m, DraggedEnd(*w))), m.GridStep);
            Coord(p, depth) = Coord(w->DragOrigin(), depth);
            SetDraggedEnd(*w, p, m.KeepConnections, mirror);
        }
    }
    ClearDragList(m);
    m.EndEndWatch();
    Commit();
}

// ---- the field popup ------------------------------------------------------------------

void TMouseController::NpCenterHereClick() {
    TWireList& m = Model();
    PanByPixels(m, ReleasePoint_.X - m.CenterPixel.X, m.CenterPixel.Y - ReleasePoint_.Y);
    Window_.PaintView();
}

void TMouseController::NZeroHereClick() {
    TWireList& m = Model();
    // The origin is drawn where the user clicked; the wires stay where they are.
    m.ViewCenter = VecSub(m.ViewCenter, UnprojectPixel(m, ReleasePoint_));
    m.UpdateVisibleRange();
    Window_.PaintView();
}

// ---- overlay --------------------------------------------------------------------------

void TMouseController::PaintOverlay(QPainter& p) {
    if (!MovedSincePress_ || !FlatView()) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (MouseMode_) {
    case mmFrame:
    case mmZoomBox:
    case mmSelectBox: PaintRectangle(p); break;
    case mmWire:
        if (CreateKind_ == 1) {
            p.setPen(QPen(Qt::black, 1));
            p.drawLine(ToQPoint(PressPoint_), ToQPoint(Cursor_));
        }
        break;
    case mmPolygon: PaintPolygon(p); break;
    case mmRuler:
        p.setPen(QPen(QColor(0x00, 0x80, 0x00), 1));
        p.drawLine(ToQPoint(PressPoint_), ToQPoint(Cursor_));
        break;
    default: break;
    }
    p.restore();
}

void TMouseController::PaintRectangle(QPainter& p) const {
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(ToQPoint(PressPoint_), ToQPoint(Cursor_)).normalized().adjusted(0, 0, -1, -1));
    if (MouseMode_ != mmFrame) return;

    // The frame's perimeter, centred under the press point, 3 pixels below the cursor.
    const TWireList& m = Model();
    const char mark = Window_.DecimalMark();
    const int64_t pixels =
        2 * (std::abs(int64_t{Cursor_.X} - PressPoint_.X) + std::abs(int64_t{Cursor_.Y} - PressPoint_.Y));
    const double perimeter = m.PixelsToMetres(SaturatePixel(pixels));
    const QString text = OptionDown("sbWL")
                             ? QStringLiteral("P=") + Number(FormatFloatG(perimeter / m.Wavelength, 6, 3, mark)) + " wl"
                             : QStringLiteral("P=") + Number(FormatFloatG(perimeter, 5, 3, mark)) + " m.";
    const QFontMetrics fm = p.fontMetrics();
    QRect box = fm.boundingRect(text);
    box.moveTo(PressPoint_.X - box.width() / 2, Cursor_.Y + 3);
    p.fillRect(box, Qt::white);
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter, text);
}

void TMouseController::PaintPolygon(QPainter& p) const {
    if (PolygonVertices_.size() < 2) return;
    p.setPen(QPen(Qt::black, 1));
    QPolygon outline;
    for (ScreenPoint v : PolygonVertices_) outline << ToQPoint(v);
    p.drawPolyline(outline);
    p.drawLine(ToQPoint(PressPoint_), outline.front());

    // Perimeter and radius, drawn over the picture without a background.
    const TWireList& m = Model();
    const char mark = Window_.DecimalMark();
    const int n = Window_.PolygonSides();
    const double r = std::hypot(double(Cursor_.X) - PressPoint_.X, double(Cursor_.Y) - PressPoint_.Y);
    const double perimeter =
        m.PixelsToMetres(SaturatePixel(RoundHalfEven(std::sin(M_PI / n) * 2 * n * r)));
    const QString ptext = OptionDown("sbWL")
                              ? QStringLiteral("P=") + Number(FormatFloatF(perimeter / m.Wavelength, 7, 4, mark)) + " wl"
                              : QStringLiteral("P=") + Number(FormatFloatF(perimeter, 6, 3, mark)) + " m.";
    const QString rtext =
        QStringLiteral("R=") + Number(FormatFloatF(r / m.ViewScale / m.BaseFactor, 6, 3, mark)) + " m.";
    const int ascent = p.fontMetrics().ascent();
    p.drawText(Cursor_.X, Cursor_.Y + ascent, ptext);
    p.drawText(Cursor_.X, Cursor_.Y + 16 + ascent, rtext);
}

} // namespace velomast
