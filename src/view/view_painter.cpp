#include "view/view_painter.h"

#include "model/number_format.h"
#include "view/view_camera.h"

#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>

namespace velomast {

namespace {

const QColor Red(255, 0, 0);
const QColor Magenta(255, 0, 255);
const QColor Blue(0, 0, 255);
const QColor Navy(0, 0, 128);
const QColor Green(0, 128, 0);
const QColor Grey(128, 128, 128);
const QColor Silver(192, 192, 192);
const QColor Yellow(255, 255, 0);
const QColor GridLight(244, 243, 245);

// Grids finer than this many pixels are left out: they would only grey the picture, and
// a scale fitted to an absurd model would make millions of lines.
constexpr double MinGridSpacing = 2.0;

// A point with the given coordinates along the flat view's horizontal and vertical axes,
// the third coordinate 0.
Vec3 FlatPoint(uint8_t kind, double h, double v) {
    switch (kind) {
    case 1: return {h, v, 0};
    case 2: return {h, 0, v};
    default: return {0, h, v};
    }
}

bool Is3D(const TWireList& m) { return m.ViewKind == 0; }

QPoint ToQ(ScreenPoint p) { return {p.X, p.Y}; }

void DrawGrid(TViewCanvas& c) {
    const TWireList& m = c.Model();
    const TViewProjection& proj = c.Projection();
    const int64_t step = m.GridStep;
    if (step <= 0 || !(step / 10000.0 * m.ViewScale * m.BaseFactor >= MinGridSpacing)) return;
    const int64_t big = 5 * step;
    const TVisibleRange& vr = m.VisibleRange;
    const QRect& a = c.Area();
    // Beyond this many lines or dots the spacing must be below MinGridSpacing anyway (the
    // visible range is saturated for far-away centres).
    const int64_t maxLines = 4 * (int64_t{a.width()} + a.height()) + 64;
    auto x = [&](int64_t h) { return proj.Place(FlatPoint(m.ViewKind, h / 10000.0, 0)).X; };
    auto y = [&](int64_t v) { return proj.Place(FlatPoint(m.ViewKind, 0, v / 10000.0)).Y; };
    const int64_t h0 = vr.HorzMin - vr.HorzMin % big - big;
    QPainter& p = c.Painter();

    if (m.GridMode == 2) {
        const int64_t v0 = vr.VertMin - vr.VertMin % big - big;
        const int64_t hEnd = int64_t{vr.HorzMax} + big, vEnd = int64_t{vr.VertMax} + 2 * big;
        if ((hEnd - h0) / step > maxLines || (vEnd - v0) / step > maxLines) return;
        std::vector<QLine> light, green;
        int counter = 0;
        for (int64_t h = h0; h < hEnd; h += step, ++counter) {
            const int32_t sx = x(h);
            (counter % 5 == 0 ? green : light).emplace_back(sx, m.ViewRect.Top, sx, m.ViewRect.Bottom);
        }
        counter = 0;
        for (int64_t v = v0; v < vEnd; v += step, ++counter) {
            const int32_t sy = y(v);
            (counter % 5 == 0 ? green : light).emplace_back(m.ViewRect.Left, sy, m.ViewRect.Right, sy);
        }
        p.setPen(QPen(GridLight, 1));
        p.drawLines(light.data(), static_cast<int>(light.size()));
        p.setPen(QPen(Green, 1));
        p.drawLines(green.data(), static_cast<int>(green.size()));
    } else if (m.GridMode == 1) {
        const int64_t v0 = vr.VertMin - vr.VertMin % step;
        const int64_t hEnd = int64_t{vr.HorzMax} + 2 * big, vEnd = int64_t{vr.VertMax} + 4 * big;
        const int64_t nh = (hEnd - h0) / step, nv = (vEnd - v0) / step;
        if (nh > maxLines || nv > maxLines) return;
        std::vector<int32_t> ys;
        for (int64_t v = v0; v < vEnd; v += step) ys.push_back(y(v));
        std::vector<QPoint> dots;
        dots.reserve(static_cast<size_t>(std::max<int64_t>(0, nh + 1)) * ys.size() * 2);
        // A rectangle outline from (x - 1, y - 1) to (x + 1, y): two pixels side by side.
        for (int64_t h = h0; h < hEnd; h += step) {
            const int32_t sx = x(h);
            if (sx < a.left() - 2 || sx > a.right() + 2) continue;
            for (const int32_t sy : ys) {
                if (sy < a.top() - 1 || sy > a.bottom() + 1) continue;
                dots.emplace_back(sx - 1, sy - 1);
                dots.emplace_back(sx, sy - 1);
            }
        }
        c.DrawPixels(dots, Grey.rgb());
    }
}

void Draw3DAxes(TViewCanvas& c, int right, int bottom) {
    const TWireList& m = c.Model();
    static const char* const letters[3] = {"X", "Y", "Z"};
    const QColor colours[3] = {Magenta, Blue, Green};
    for (int i = 0; i < 3; ++i) {
        const ScreenPoint a = c.Projection().Place(m.AxisWires[i].P1());
        const ScreenPoint b = c.Projection().Place(m.AxisWires[i].P2());
        c.DrawLine({colours[i].rgb(), 1, true}, ToQ(a), ToQ(b));
        c.SetTextColour(colours[i]);
        c.TextOut(b.X, b.Y, QString::fromLatin1(letters[i]));
    }
    // Whole degrees, reduced modulo 360 with the sign kept.
    const int64_t e = RoundHalfEven(m.ViewElevation) % 360;
    const int64_t az = RoundHalfEven(m.ViewAzimuth) % 360;
    c.SetTextColour(Grey);
    const QString text = QStringLiteral("El: %1°  Az: %2°").arg(e).arg(az);
    // 100 pixels from the right edge, moved left when a wide font would cut the text off.
    c.TextOut(std::min(right - 100, right - c.TextWidth(text) - 4), bottom - 18, text);
}

void DrawFlatFrameworks(TViewCanvas& c, int left, int top, int right, int bottom) {
    const TWireList& m = c.Model();
    const TPlatformLook& look = c.Look();
    const bool printing = c.Printing();
    if (!printing) {
        const QPoint cp = ToQ(m.CenterPixel);
        c.DrawLine({Silver.rgb(), 1, false}, cp - QPoint(4, 0), cp + QPoint(4, 0));
        c.DrawLine({Silver.rgb(), 1, false}, cp - QPoint(0, 4), cp + QPoint(0, 4));
        if (m.ShowGrid) DrawGrid(c);
    }

    const ScreenPoint o = c.Projection().Place({0, 0, 0});
    c.SetBold(true);
    c.SetFontSize(10);
    c.SetTextColour(look.WindowText);
    const QString horz = QString::fromLatin1(m.ViewKind == 3 ? "Y" : "X");
    const QString vert = QString::fromLatin1(m.ViewKind == 1 ? "Y" : "Z");
    const int letterHeight = c.TextHeight();
    c.TextOut(right - 18, o.Y - letterHeight, horz);
    c.TextOut(o.X + 1, 3, vert);
    c.SetBold(false);
    c.SetFontSize(9);
    c.DrawLine({Blue.rgb(), 1, false}, {o.X, top}, {o.X, bottom});
    c.DrawLine({Blue.rgb(), 1, false}, {left, o.Y}, {right, o.Y});

    if ((m.ViewKind == 2 || m.ViewKind == 3) && m.GroundType > 0) {
        c.SetTextColour(Blue);
        c.SetFontSize(8);
        c.TextOut(m.ViewRect.Left + 5, o.Y - letterHeight,
                  c.Text(FloatToStrGeneral(m.BaseHeight, 15, look.DecimalMark) + "m."));
        c.SetTextColour(look.WindowText);
        c.SetFontSize(9);
    }

    // The scale bar: ten grid steps long.
    const int64_t len = m.MetresToPixels(m.GridStep / 1000.0);
    const int32_t end = SaturatePixel(20 + len);
    const TPenKey bar{Grey.rgb(), 2, false};
    c.DrawLine(bar, {20, 15}, {20, 25});
    c.DrawLine(bar, {20, 20}, {end, 20});
    c.DrawLine(bar, {end, 15}, {end, 25});
    const std::string label = m.ViewScale > 100
                                  ? FloatToStrFixed(m.GridStep, 5, 1, look.DecimalMark) + " mm."
                                  : FloatToStrFixed(m.GridStep / 1000.0, 5, 2, look.DecimalMark) + " m.";
    c.SetTextColour(look.WindowText);
    const QString& text = c.Text(label);
    c.TextOut(70 - c.TextWidth(text) / 2, 3, text);
}

void DrawGround(TViewCanvas& c, int left, int right, int bottom) {
    const TWireList& m = c.Model();
    const ScreenPoint g = c.Projection().Place({0, 0, -m.BaseHeight});
    if (g.Y < bottom) {
        const int top = std::max(g.Y, -1);
        c.Painter().fillRect(QRect(QPoint(left, top), QPoint(right, bottom)), Silver);
    }
    c.DrawLine({Grey.rgb(), 1, false}, {right, g.Y}, {left, g.Y});
}

void DrawFilterCaption(TViewCanvas& c) {
    const TWireList& m = c.Model();
    std::string caption;
    if (m.FilterMode == 1)
        caption = "Фильтр: по выбранной плоскости";
    else if (m.FilterMode == 2)
        caption = "Фильтр: Элемент №" + std::to_string(int64_t{m.FilterElement} + 1);
    else if (m.HiddenCount > 0)
        caption = "Скрытых проводов: " + std::to_string(m.HiddenCount);
    if (caption.empty()) return;
    c.SetTextColour(Red);
    const QString& text = c.Text(caption);
    c.TextOut(m.ViewRect.Right - c.TextWidth(text) - 10, m.ViewRect.Top + 5, text);
    c.SetTextColour(c.Look().WindowText);
}

// The point of a source or load: the wire's start, middle or end.
ScreenPoint PlacePoint(const TViewProjection& proj, const TWire& w, uint8_t position) {
    if (position == PosBegin) return proj.Place(w.P1());
    if (position == PosEnd) return proj.Place(w.P2());
    return proj.Place(VecLerp(w.P1(), w.P2(), 0.5));
}

void DrawSources(TViewCanvas& c) {
    const TWireList& m = c.Model();
    QPainter& p = c.Painter();
    p.setPen(QPen(Red, 1));
    p.setBrush(Yellow);
    for (const auto& s : m.Sources) {
        const TWire* w = s->Wire;
        if (!w || w->OwnerList() != &m || !w->Visible || !w->IsOwn()) continue;
        const ScreenPoint pt = PlacePoint(c.Projection(), *w, s->Position);
        if (!c.MayBeVisible(pt.X, pt.Y, pt.X, pt.Y)) continue;
        // The 8 x 8 box (x - 4, y - 4)-(x + 4, y + 4); an outline covers width + 1 pixels.
        p.drawEllipse(QRect(pt.X - 4, pt.Y - 4, 7, 7));
    }
    p.setBrush(c.Look().Window);
}

std::string LoadValueText(const TWObject& load, char mark) {
    if (load.Values[4] > 0) return FloatToStrFixed(load.Values[4], 6, 3, mark) + "MHz";
    if (load.Values[1] > 0) return FloatToStrFixed(load.Values[1], 4, 1, mark) + "uH";
    return std::to_string(RoundHalfEven(load.Values[2])) + "pF";
}

} // namespace

void SetTextAngle(TViewCanvas& canvas, double degrees) {
    const double tenths = std::trunc(degrees * 10);
    canvas.SetTextAngleTenths(std::isfinite(tenths) ? static_cast<int32_t>(std::clamp(tenths, -3600.0, 3600.0)) : 0);
}

void DrawWire(const TWire& w, TViewCanvas& c) {
    const TWireList& m = c.Model();
    const TPlatformLook& look = c.Look();
    const TViewProjection& proj = c.Projection();

    int width = Is3D(m) ? (m.ThickLines ? 2 : 1) : 2;
    QRgb base = look.WindowText.rgb();
    if (m.ShowTubes && w.Radius > 0.002) {
        width += 2;
        base = Navy.rgb();
    }
    QRgb colour = base;
    if (w.IsSelected())
        colour = w.IsIsolator() ? Magenta.rgb() : Red.rgb();
    else if (w.IsIsolator())
        colour = look.ButtonShadow.rgb();
    if (w.OwnerTag() == -1) colour = Green.rgb();

    const ScreenPoint s = proj.Place(w.P1());
    const ScreenPoint e = proj.Place(w.P2());
    const auto loads = c.LoadsOn(w);
    const bool visible = c.MayBeVisible(s.X, s.Y, e.X, e.Y);
    if (!visible && loads.empty()) return;

    if (visible) {
        c.WireLine({colour, width, false}, ToQ(s), ToQ(e));
        if (m.ShowDirection && w.IsOwn()) c.DirectionMark(ToQ(proj.Place(VecLerp(w.P1(), w.P2(), 0.95))), colour);
        const TElement* element = w.Element();
        if (!element || element->ElementWires.size() < 20) {
            const int a = m.ThickLines ? 4 : 3;
            if (w.StartJunctionRef) c.JunctionCross(ToQ(s), a, Blue.rgb());
            if (w.EndJunctionRef) c.JunctionCross(ToQ(e), a, Navy.rgb());
        }
    }
    if (!w.Visible) return;
    for (const auto& [index, load] : loads) {
        ScreenPoint pt = PlacePoint(proj, w, load->Position);
        if (load->Position == PosBegin || load->Position == PosEnd) pt.Y = SaturatePixel(int64_t{pt.Y} - 1);
        c.LoadCross(ToQ(pt), 4, Red.rgb());
        if (m.ShowLoadValues && load->Values[0] == static_cast<double>(LoadLC) && c.CanWriteText())
            c.LoadText(ToQ(pt), c.Text(LoadValueText(*load, look.DecimalMark)));
    }
}

void DrawDimensions(TViewCanvas& c) {
    const TWireList& m = c.Model();
    const TViewProjection& proj = c.Projection();
    const bool centred = c.CentredOnBaseLine();
    const int size = c.FontSize();
    c.UseLabelFont();
    c.SetFontSize(m.DimFontSize);
    c.SetBold(true);
    c.SetCentredOnBaseLine(true);
    const char mark = c.Look().DecimalMark;
    const TRectI& vr = m.ViewRect;
    auto inside = [&vr](ScreenPoint p) { return p.X >= vr.Left && p.X < vr.Right && p.Y >= vr.Top && p.Y < vr.Bottom; };

    for (size_t i = 0; i < m.OwnCount(); ++i) {
        const TWire& w = *m[i];
        if (!w.Visible || (m.DimensionsSelectedOnly && !w.IsSelected())) continue;
        const ScreenPoint a = proj.Place(w.P1());
        const ScreenPoint b = proj.Place(w.P2());
        const double ddx = static_cast<double>(a.X) - b.X, ddy = static_cast<double>(a.Y) - b.Y;
        if (ddx * ddx + ddy * ddy <= 50 || !inside(a) || !inside(b)) continue;

        const double len = w.WireLength();
        std::string label;
        if (m.ViewScale < 4)
            label = FormatFloatG(len, 4, 3, mark) + " m";
        else if (m.ViewScale > 100)
            label = FloatToStrFixed(len * 1000, 6, 1, mark);
        else
            label = std::to_string(RoundHalfEven(len * 1000));
        std::string key(1, '*');
        const TElement* element = w.Element();
        key += std::to_string(element ? element->Index : -1);
        key += ':';
        key += FloatToStrFixed(len, 8, 3);
        const QString& text = c.Text(label);
        if (element) {
            if (element->ElementWires.size() >= 30) continue;
            if (!(m.PixelsToMetres(c.TextWidth(text)) < len)) continue;
            if (c.DimensionKeys().count(key)) continue;
        }
        c.DimensionKeys().insert(std::move(key));

        QColor colour = w.IsSelected() ? Red : Grey;
        if (w.IsIsolator()) colour = Silver;
        c.SetTextColour(colour);
        // From the left end to the right end, clockwise on the screen.
        const double theta = a.X > b.X ? std::atan2(ddy, ddx) : std::atan2(-ddy, -ddx);
        const int64_t dx = RoundHalfEven(4 * std::sin(theta));
        const int64_t dy = RoundHalfEven(-4 * std::cos(theta));
        SetTextAngle(c, -theta / DegToRad);
        const ScreenPoint mid = proj.Place(VecLerp(w.P1(), w.P2(), 0.5));
        c.TextOut(SaturatePixel(mid.X + dx + 1), SaturatePixel(mid.Y + dy), text);
    }

    SetTextAngle(c, 0);
    c.SetCentredOnBaseLine(centred);
    c.SetBold(false);
    c.UseNormalFont();
    c.SetFontSize(size);
    c.SetTextColour(c.Look().WindowText);
}

namespace {

// The whole picture, or (with `skip`) the picture without the wires whose positions are
// marked and without the source marks: the still layer of a drag.
void PaintLayers(const TWireList& m, QImage& viewBitmap, const QRect& r, bool printing, const TPlatformLook& look,
                 const std::vector<uint8_t>* skip) {
    const int w = r.width(), h = r.height();
    if (viewBitmap.size() != QSize(w, h) || viewBitmap.format() != QImage::Format_RGB32)
        viewBitmap = QImage(w, h, QImage::Format_RGB32);
    // All of it, the first row and column too: a printed picture has no frame over them.
    viewBitmap.fill(QColor(255, 255, 255));
    {
        QPainter p(&viewBitmap);
        p.setBackgroundMode(Qt::TransparentMode);
        p.setBrush(look.Window);
        const int left = 0, top = 0, right = w, bottom = h;
        TViewCanvas c(p, m, look, QRect(0, 0, w, h), printing, &viewBitmap);

        if (!printing) {
            p.setPen(QPen(look.ButtonShadow, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(0, 0, w - 1, h - 1);
            p.setBrush(look.Window);
        }
        SetTextAngle(c, 0);
        c.SetFontSize(9);

        if (Is3D(m)) {
            if (!printing) Draw3DAxes(c, right, bottom);
            c.SetTextColour(look.WindowText);
        } else {
            DrawFlatFrameworks(c, left, top, right, bottom);
        }

        if ((m.ViewKind == 2 || m.ViewKind == 3) && m.GroundType > 0 && m.BaseHeight > 0 && !printing)
            DrawGround(c, left, right, bottom);

        DrawFilterCaption(c);

        c.DimensionKeys().clear();
        // Last to first, so that lower-numbered wires lie on top.
        for (size_t i = m.Count(); i-- > 0;) {
            const TWire* wire = m[i];
            if (wire->Visible && !(skip && i < skip->size() && (*skip)[i])) DrawWire(*wire, c);
        }
        c.FlushWireLayer();

        if (m.ShowDimensions) DrawDimensions(c);
        if (!skip) DrawSources(c);
    }
}

} // namespace

void PaintView(const TWireList& m, QImage& viewBitmap, QPainter* target, const QRect& r, bool printing,
               const TPlatformLook& look) {
    if (r.width() <= 0 || r.height() <= 0) {
        viewBitmap = QImage();
        return;
    }
    PaintLayers(m, viewBitmap, r, printing, look, nullptr);
    if (!target) return;
    if (printing)
        target->drawImage(r, viewBitmap);
    else
        target->drawImage(r.topLeft(), viewBitmap);
}

bool TDragPicture::Paint(const TWireList& m, QImage& viewBitmap, const QRect& r, const std::vector<size_t>& moving,
                         const TPlatformLook& look) {
    // Length labels are shared out between the wires of an element: a moving wire changes
    // the labels of still ones, so the picture is not split then.
    if (m.ShowDimensions || r.width() <= 0 || r.height() <= 0) {
        Invalidate();
        return false;
    }
    bool fresh = Valid_ && Count_ == m.Count() && Still_.size() == r.size() && Skip_.size() == m.Count();
    for (size_t i : moving) {
        if (i >= m.Count()) {
            Invalidate();
            return false;
        }
        if (fresh && !Skip_[i]) fresh = false;
    }
    if (!fresh) {
        if (!Valid_ || Skip_.size() != m.Count()) {
            Skip_.assign(m.Count(), 0);
            Moving_.clear();
        }
        for (size_t i : moving)
            if (!Skip_[i]) {
                Skip_[i] = 1;
                Moving_.push_back(i);
            }
        // Last to first, as the whole picture draws them.
        std::sort(Moving_.begin(), Moving_.end(), std::greater<>());
        PaintLayers(m, Still_, r, false, look, &Skip_);
        Count_ = m.Count();
        Valid_ = true;
        ++Builds_;
    }
    if (viewBitmap.size() == Still_.size() && viewBitmap.format() == Still_.format())
        std::memcpy(viewBitmap.bits(), Still_.constBits(), static_cast<size_t>(Still_.sizeInBytes()));
    else
        viewBitmap = Still_.copy();
    QPainter p(&viewBitmap);
    p.setBackgroundMode(Qt::TransparentMode);
    p.setBrush(look.Window);
    TViewCanvas c(p, m, look, QRect(0, 0, r.width(), r.height()), false, &viewBitmap);
    SetTextAngle(c, 0);
    c.SetFontSize(9);
    c.SetTextColour(look.WindowText);
    for (size_t i : Moving_) {
        const TWire* wire = m[i];
        if (wire->Visible) DrawWire(*wire, c);
    }
    c.FlushWireLayer();
    DrawSources(c);
    return true;
}

} // namespace velomast
