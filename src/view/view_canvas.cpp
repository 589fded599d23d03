#include "view/view_canvas.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace velomast {

namespace {

// Lines whose ends stay this close to the picture are handed to the painter as they are;
// longer reaches are cut first, which keeps the painter's fixed-point arithmetic safe.
constexpr int FarMargin = 4096;
// Lines and marks this far outside can still put pixels into the picture (pen widths,
// mark sizes).
constexpr int MarkMargin = 8;

QPen MakePen(const TPenKey& key) {
    QPen pen(QColor::fromRgb(key.Colour), key.Width, key.Dotted ? Qt::DotLine : Qt::SolidLine);
    pen.setCapStyle(key.Width > 1 ? Qt::RoundCap : Qt::SquareCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

bool IsAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

int PointsToPixels(int points) {
    // As MulDiv(points, 96, 72): rounded, halves away from zero.
    const int64_t num = static_cast<int64_t>(points) * 96;
    const int64_t q = (std::abs(num) * 2 + 72) / 144;
    return static_cast<int>(num < 0 ? -q : q);
}

TViewCanvas::TViewCanvas(QPainter& painter, const TWireList& model, const TPlatformLook& look, const QRect& area,
                         bool printing)
    : Painter_(painter), Model_(model), Look_(look), Area_(area), Printing_(printing),
      CanWriteText_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr),
      Projection_(model), TextColour_(look.WindowText) {
    for (const auto& load : model.Loads)
        if (load->Wire && load->Wire->OwnerList() == &model) LoadIndex_.emplace_back(model.IndexOf(load->Wire), load.get());
    std::stable_sort(LoadIndex_.begin(), LoadIndex_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    if (CanWriteText_) {
        NormalFont_ = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        NormalFont_.setStyleHint(QFont::SansSerif);
        LabelFont_.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans")});
        LabelFont_.setStyleHint(QFont::SansSerif);
    }
    ApplyFont();
}

std::span<const TViewCanvas::TLoadEntry> TViewCanvas::LoadsOn(const TWire& w) const {
    if (LoadIndex_.empty() || w.OwnerList() != &Model_) return {};
    const size_t i = Model_.IndexOf(&w);
    const auto lo = std::lower_bound(LoadIndex_.begin(), LoadIndex_.end(), i,
                                     [](const auto& e, size_t v) { return e.first < v; });
    const auto hi = std::upper_bound(lo, LoadIndex_.end(), i, [](size_t v, const auto& e) { return v < e.first; });
    return {lo, hi};
}

// ---- text ---------------------------------------------------------------------------

void TViewCanvas::UseNormalFont() {
    if (!Label_) return;
    Label_ = false;
    ApplyFont();
}

void TViewCanvas::UseLabelFont() {
    if (Label_) return;
    Label_ = true;
    ApplyFont();
}

void TViewCanvas::SetFontSize(int points) {
    if (points == FontPoints_) return;
    FontPoints_ = points;
    ApplyFont();
}

void TViewCanvas::SetBold(bool bold) {
    if (bold == Bold_) return;
    Bold_ = bold;
    ApplyFont();
}

void TViewCanvas::ApplyFont() {
    if (!CanWriteText_) return;
    Font_ = Label_ ? LabelFont_ : NormalFont_;
    Font_.setPixelSize(std::clamp(PointsToPixels(FontPoints_), 1, 1000));
    Font_.setBold(Bold_);
    Metrics_.emplace(Font_);
}

int TViewCanvas::TextWidth(const QString& text) const {
    return Metrics_ ? Metrics_->horizontalAdvance(text) : 0;
}

int TViewCanvas::TextHeight() const { return Metrics_ ? Metrics_->height() : 0; }

const QString& TViewCanvas::Text(const std::string& utf8) {
    if (IsAscii(utf8)) {
        TextBuffer_.resize(0); // keeps the capacity
        TextBuffer_.append(QLatin1StringView(utf8.data(), static_cast<qsizetype>(utf8.size())));
    } else {
        TextBuffer_ = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    }
    return TextBuffer_;
}

void TViewCanvas::TextOut(int x, int y, const QString& text) {
    if (!CanWriteText_ || text.isEmpty()) return;
    Painter_.setFont(Font_);
    Painter_.setPen(TextColour_);
    const double dx = CentredOnBaseLine_ ? -Metrics_->horizontalAdvance(text) / 2.0 : 0.0;
    const double dy = CentredOnBaseLine_ ? 0.0 : Metrics_->ascent();
    if (AngleTenths_ == 0) {
        Painter_.drawText(QPointF(x + dx, y + dy), text);
        return;
    }
    // The escapement turns counter-clockwise on the screen; y grows downwards here.
    QTransform t;
    t.translate(x, y);
    t.rotate(-AngleTenths_ / 10.0);
    Painter_.setTransform(t);
    Painter_.drawText(QPointF(dx, dy), text);
    Painter_.resetTransform();
}

// ---- batched drawing ----------------------------------------------------------------

bool TViewCanvas::MayBeVisible(int32_t left, int32_t top, int32_t right, int32_t bottom) const {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    return int64_t{right} >= int64_t{Area_.left()} - MarkMargin && int64_t{left} <= int64_t{Area_.right()} + MarkMargin &&
           int64_t{bottom} >= int64_t{Area_.top()} - MarkMargin && int64_t{top} <= int64_t{Area_.bottom()} + MarkMargin;
}

std::optional<QLine> TViewCanvas::Clipped(QPoint a, QPoint b) const {
    const int l = Area_.left() - FarMargin, r = Area_.right() + FarMargin;
    const int t = Area_.top() - FarMargin, bt = Area_.bottom() + FarMargin;
    auto near = [&](QPoint p) { return p.x() >= l && p.x() <= r && p.y() >= t && p.y() <= bt; };
    if (near(a) && near(b)) return QLine(a, b);

    // Liang-Barsky against the picture widened by a small margin.
    const double xmin = Area_.left() - MarkMargin, xmax = Area_.right() + MarkMargin;
    const double ymin = Area_.top() - MarkMargin, ymax = Area_.bottom() + MarkMargin;
    const double x0 = a.x(), y0 = a.y();
    const double dx = static_cast<double>(b.x()) - x0, dy = static_cast<double>(b.y()) - y0;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - xmin, xmax - x0, y0 - ymin, ymax - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return std::nullopt;
            continue;
        }
        const double u = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, u);
        else
            t1 = std::min(t1, u);
        if (t0 > t1) return std::nullopt;
    }
    return QLine(static_cast<int>(std::lround(x0 + t0 * dx)), static_cast<int>(std::lround(y0 + t0 * dy)),
                 static_cast<int>(std::lround(x0 + t1 * dx)), static_cast<int>(std::lround(y0 + t1 * dy)));
}

void TViewCanvas::FlushRun() {
    if (Run_.empty()) return;
    Painter_.setPen(MakePen(RunPen_));
    Painter_.drawLines(Run_.data(), static_cast<int>(Run_.size()));
    Run_.clear();
}

void TViewCanvas::WireLine(const TPenKey& pen, QPoint a, QPoint b) {
    if (!MayBeVisible(a.x(), a.y(), b.x(), b.y())) return;
    const std::optional<QLine> line = Clipped(a, b);
    if (!line) return;
    if (!(pen == RunPen_)) {
        FlushRun();
        RunPen_ = pen;
    }
    Run_.push_back(*line);
}

void TViewCanvas::DrawLine(const TPenKey& pen, QPoint a, QPoint b) {
    if (!MayBeVisible(a.x(), a.y(), b.x(), b.y())) return;
    const std::optional<QLine> line = Clipped(a, b);
    if (!line) return;
    Painter_.setPen(MakePen(pen));
    Painter_.drawLine(*line);
}

std::vector<QPoint>& TViewCanvas::PointsOf(std::vector<std::pair<QRgb, std::vector<QPoint>>>& buckets,
                                           QRgb colour) {
    for (auto& b : buckets)
        if (b.first == colour) return b.second;
    buckets.emplace_back(colour, std::vector<QPoint>{});
    return buckets.back().second;
}

std::vector<QLine>& TViewCanvas::LinesOf(std::vector<std::pair<QRgb, std::vector<QLine>>>& buckets, QRgb colour) {
    for (auto& b : buckets)
        if (b.first == colour) return b.second;
    buckets.emplace_back(colour, std::vector<QLine>{});
    return buckets.back().second;
}

void TViewCanvas::DirectionMark(QPoint c, QRgb colour) {
    if (!MayBeVisible(c.x(), c.y(), c.x(), c.y())) return;
    // The circle of the 4 x 4 box (x - 2, y - 2)-(x + 2, y + 2): a ring of eight pixels
    // around a 2 x 2 inside filled with the brush.
    const int x = c.x(), y = c.y();
    auto& ring = PointsOf(MarkOutlines_, colour);
    ring.insert(ring.end(), {{x - 1, y - 2}, {x, y - 2}, {x - 2, y - 1}, {x + 1, y - 1}, {x - 2, y}, {x + 1, y},
                             {x - 1, y + 1}, {x, y + 1}});
    MarkFills_.insert(MarkFills_.end(), {{x - 1, y - 1}, {x, y - 1}, {x - 1, y}, {x, y}});
}

void TViewCanvas::JunctionCross(QPoint c, int a, QRgb colour) {
    if (!MayBeVisible(c.x(), c.y(), c.x(), c.y())) return;
    auto& lines = LinesOf(JunctionCrosses_, colour);
    lines.emplace_back(c.x() - a, c.y() - a, c.x() + a, c.y() + a);
    lines.emplace_back(c.x() + a, c.y() - a, c.x() - a, c.y() + a);
}

void TViewCanvas::LoadCross(QPoint c, int a, QRgb colour) {
    if (!MayBeVisible(c.x(), c.y(), c.x(), c.y())) return;
    auto& lines = LinesOf(LoadCrosses_, colour);
    lines.emplace_back(c.x() - a, c.y() - a, c.x() + a, c.y() + a);
    lines.emplace_back(c.x() + a, c.y() - a, c.x() - a, c.y() + a);
}

void TViewCanvas::LoadText(QPoint at, const QString& text) {
    // The text runs to the right of its point; a generous margin on the left.
    if (!MayBeVisible(at.x() + 1000, at.y() - 20, at.x(), at.y())) return;
    LoadTexts_.emplace_back(at, text);
}

void TViewCanvas::FlushWireLayer() {
    FlushRun();
    if (!MarkFills_.empty()) {
        Painter_.setPen(QPen(Look_.Window, 1));
        Painter_.drawPoints(MarkFills_.data(), static_cast<int>(MarkFills_.size()));
        MarkFills_.clear();
    }
    for (auto& [colour, points] : MarkOutlines_) {
        Painter_.setPen(QPen(QColor::fromRgb(colour), 1));
        Painter_.drawPoints(points.data(), static_cast<int>(points.size()));
    }
    MarkOutlines_.clear();
    for (auto* group : {&JunctionCrosses_, &LoadCrosses_}) {
        for (auto& [colour, lines] : *group) {
            Painter_.setPen(MakePen({colour, 1, false}));
            Painter_.drawLines(lines.data(), static_cast<int>(lines.size()));
        }
        group->clear();
    }
    if (!LoadTexts_.empty()) {
        const int size = FontSize();
        const QColor colour = TextColour_;
        SetFontSize(8);
        SetTextColour(QColor(255, 0, 0));
        for (const auto& [at, text] : LoadTexts_) TextOut(at.x(), at.y(), text);
        LoadTexts_.clear();
        SetFontSize(size);
        SetTextColour(colour);
    }
}

} // namespace velomast
