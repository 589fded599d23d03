#include "view/view_canvas.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <utility>

namespace velomast {

namespace {

// Lines whose ends stay this close to the picture are handed to the painter as they are;
// longer reaches are cut first, which keeps the painter's fixed-point arithmetic safe.
constexpr int FarMargin = 4096;
// Lines and marks this far outside can still put pixels into the picture (pen widths,
// mark sizes).
constexpr int MarkMargin = 8;
// Lines of one solid pen go to the painter in runs of at most this many: the same pixels
// as one call, without a buffer as long as the model.
constexpr size_t MaxRun = 8192;

// Every line is drawn with a one-pixel pen, which the raster engine draws fast; a wider
// line is laid down as parallel one-pixel lines, shifted across its main direction.
QPen MakePen(const TPenKey& key) {
    QPen pen(QColor::fromRgb(key.Colour), 1, key.Dotted ? Qt::DotLine : Qt::SolidLine);
    pen.setCosmetic(true);
    return pen;
}

void DrawWide(QPainter& p, const TPenKey& key, const QLine* lines, size_t n, std::vector<QLine>& scratch) {
    if (key.Width <= 1) {
        p.drawLines(lines, static_cast<int>(n));
        return;
    }
    scratch.clear();
    scratch.reserve(n * static_cast<size_t>(key.Width));
    for (size_t i = 0; i < n; ++i) {
        const QLine& l = lines[i];
        const bool flat = std::abs(l.dx()) >= std::abs(l.dy());
        for (int k = -(key.Width / 2); k <= (key.Width - 1) / 2; ++k)
            scratch.push_back(flat ? l.translated(0, k) : l.translated(k, 0));
    }
    p.drawLines(scratch.data(), static_cast<int>(scratch.size()));
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
                         bool printing, QImage* image)
    : Painter_(painter), Model_(model), Look_(look), Area_(area), Printing_(printing),
      CanWriteText_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr),
      Projection_(model), TextColour_(look.WindowText) {
    if (image && image->format() == QImage::Format_RGB32 && painter.device() == image) {
        // constBits: the painter already holds the image, which must not detach now.
        Bits_ = const_cast<uchar*>(image->constBits());
        Stride_ = image->bytesPerLine();
        ImageWidth_ = image->width();
        ImageHeight_ = image->height();
    }
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
    DirectionMarks_.Reset(area);
    JunctionCrosses_.Reset(area);
    LoadCrosses_.Reset(area);
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
    DrawWide(Painter_, RunPen_, Run_.data(), Run_.size(), Scratch_);
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
    // A dotted pen's pattern runs on from line to line within one call, so a dotted run
    // is never cut.
    if (Run_.size() >= MaxRun && !pen.Dotted) FlushRun();
    Run_.push_back(*line);
}

void TViewCanvas::DrawLine(const TPenKey& pen, QPoint a, QPoint b) {
    if (!MayBeVisible(a.x(), a.y(), b.x(), b.y())) return;
    const std::optional<QLine> line = Clipped(a, b);
    if (!line) return;
    Painter_.setPen(MakePen(pen));
    DrawWide(Painter_, pen, &*line, 1, Scratch_);
}

void TViewCanvas::Plot(int32_t x, int32_t y, QRgb colour) {
    if (x < 0 || y < 0 || x >= ImageWidth_ || y >= ImageHeight_) return;
    if (PlotInto_) {
        PlotInto_->Put(static_cast<size_t>(y) * static_cast<size_t>(ImageWidth_) + static_cast<size_t>(x),
                       0xff000000u | colour);
        return;
    }
    reinterpret_cast<QRgb*>(Bits_ + y * Stride_)[x] = 0xff000000u | colour;
}

void TViewCanvas::DrawPixels(const std::vector<QPoint>& points, QRgb colour) {
    if (points.empty()) return;
    if (Bits_) {
        for (const QPoint& p : points) Plot(p.x(), p.y(), colour);
        return;
    }
    Painter_.setPen(MakePen({colour, 1, false}));
    Painter_.drawPoints(points.data(), static_cast<int>(points.size()));
}

void TViewCanvas::PlotMark(const TMark& m, bool ring) {
    const int32_t x = m.X, y = m.Y;
    if (ring) {
        // The circle of the 4 x 4 box (x - 2, y - 2)-(x + 2, y + 2): a ring of eight pixels
        // around a 2 x 2 inside filled with the brush (the window colour).
        const QPoint outline[] = {{x - 1, y - 2}, {x, y - 2}, {x - 2, y - 1}, {x + 1, y - 1},
                                  {x - 2, y},     {x + 1, y}, {x - 1, y + 1}, {x, y + 1}};
        const QPoint inside[] = {{x - 1, y - 1}, {x, y - 1}, {x - 1, y}, {x, y}};
        if (Bits_) {
            for (const QPoint& p : outline) Plot(p.x(), p.y(), m.Colour);
            for (const QPoint& p : inside) Plot(p.x(), p.y(), Look_.Window.rgb());
        } else {
            Painter_.setPen(MakePen({m.Colour, 1, false}));
            Painter_.drawPoints(outline, 8);
            Painter_.setPen(MakePen({Look_.Window.rgb(), 1, false}));
            Painter_.drawPoints(inside, 4);
        }
        return;
    }
    // A diagonal cross: (x - a, y - a)-(x + a, y + a) and (x + a, y - a)-(x - a, y + a).
    const int32_t a = m.Size;
    if (Bits_) {
        for (int32_t i = -a; i <= a; ++i) {
            Plot(x + i, y + i, m.Colour);
            Plot(x + i, y - i, m.Colour);
        }
    } else {
        Painter_.setPen(MakePen({m.Colour, 1, false}));
        const QLine lines[] = {{x - a, y - a, x + a, y + a}, {x + a, y - a, x - a, y + a}};
        Painter_.drawLines(lines, 2);
    }
}

void TViewCanvas::TMarkList::Reset(const QRect& area) {
    Clear();
    Left_ = int64_t{area.left()} - MarkMargin;
    Top_ = int64_t{area.top()} - MarkMargin;
    Span_ = int64_t{area.width()} + 2 * MarkMargin;
    Rows_ = int64_t{area.height()} + 2 * MarkMargin;
    Compact_ = Span_ > 0 && Rows_ > 0 && Span_ * Rows_ <= int64_t{UINT32_MAX};
}

template <typename F> void TViewCanvas::TMarkList::ForEach(F f) const {
    for (size_t i = 0; i < Count_; ++i) {
        const uint64_t v = Blocks_[i / BlockSize][i % BlockSize];
        // Pixel numbers and the span fit 32 bits, and a 32-bit division is the cheaper.
        const auto pixel = static_cast<uint32_t>(v >> 32);
        const auto span = static_cast<uint32_t>(Span_);
        const auto rest = static_cast<uint32_t>(v);
        f(TMark{static_cast<int32_t>(Left_ + pixel % span), static_cast<int32_t>(Top_ + pixel / span),
                rest & 0x00ffffffu, static_cast<int32_t>(rest >> 24)});
    }
    for (const TMark& m : Wide_) f(m);
}

void TViewCanvas::TMarkList::Add(int32_t x, int32_t y, QRgb colour, int32_t size) {
    const int64_t dx = x - Left_, dy = y - Top_;
    // Marks come from inside the widened picture (MayBeVisible) with sizes of a few
    // pixels; anything else turns the list to whole marks, keeping the order.
    if (Compact_ && (dx < 0 || dy < 0 || dx >= Span_ || dy >= Rows_ || size < 0 || size > 255)) {
        ForEach([&](const TMark& m) { Wide_.push_back(m); });
        Count_ = 0;
        Compact_ = false;
    }
    if (!Compact_) {
        Wide_.push_back({x, y, colour, size});
        return;
    }
    if (Count_ == Blocks_.size() * BlockSize) Blocks_.push_back(std::make_unique_for_overwrite<uint64_t[]>(BlockSize));
    const uint64_t pixel = static_cast<uint64_t>(dy * Span_ + dx);
    const uint64_t rest = (colour & 0x00ffffffu) | (static_cast<uint64_t>(size) << 24);
    Blocks_[Count_ / BlockSize][Count_ % BlockSize] = pixel << 32 | rest;
    ++Count_;
}

void TViewCanvas::TMarkList::DropMarks() {
    Count_ = 0;
    Blocks_.clear();
    Blocks_.shrink_to_fit();
    Wide_.clear();
    Wide_.shrink_to_fit();
}

void TViewCanvas::TMarkList::Clear() {
    Count_ = 0;
    Wide_.clear();
    Picture_ = {};
    Palette_ = {};
    WidePicture_ = {};
    LastColour_ = 0;
    LastIndex_ = 0;
}

void TViewCanvas::TMarkList::Put(size_t i, QRgb colour) {
    if (!WidePicture_.empty()) {
        WidePicture_[i] = colour;
        return;
    }
    if (colour != LastColour_ || LastIndex_ == 0) {
        const auto place = static_cast<size_t>(std::find(Palette_.begin(), Palette_.end(), colour) - Palette_.begin());
        if (place == Palette_.size()) {
            if (Palette_.size() == 255) {
                std::vector<QRgb> wide(Picture_.size());
                for (size_t k = 0; k < Picture_.size(); ++k) wide[k] = At(k);
                WidePicture_.swap(wide);
                Picture_ = {};
                WidePicture_[i] = colour;
                return;
            }
            Palette_.push_back(colour);
        }
        LastColour_ = colour;
        LastIndex_ = static_cast<uint8_t>(place + 1);
    }
    Picture_[i] = LastIndex_;
}

template <typename F> void TViewCanvas::IntoPicture(TMarkList& list, F f) {
    PlotInto_ = &list;
    f();
    PlotInto_ = nullptr;
}

void TViewCanvas::AddMark(TMarkList& list, bool ring, int32_t x, int32_t y, QRgb colour, int32_t size) {
    if (list.HasPicture()) {
        IntoPicture(list, [&] { PlotMark({x, y, colour, size}, ring); });
        return;
    }
    list.Add(x, y, colour, size);
    const size_t pixels = static_cast<size_t>(ImageWidth_) * static_cast<size_t>(ImageHeight_);
    if (!Bits_ || pixels == 0 || list.Count() * sizeof(uint64_t) < pixels) return;
    list.StartPicture(pixels);
    IntoPicture(list, [&] { list.ForEach([&](const TMark& m) { PlotMark(m, ring); }); });
    list.DropMarks();
}

void TViewCanvas::FlushMarks(TMarkList& list, bool ring) {
    if (!list.HasPicture()) {
        list.ForEach([&](const TMark& m) { PlotMark(m, ring); });
    } else {
        // Every pixel drawn is opaque, so 0 means none.
        size_t i = 0;
        for (int32_t y = 0; y < ImageHeight_; ++y) {
            auto* row = reinterpret_cast<QRgb*>(Bits_ + y * Stride_);
            for (int32_t x = 0; x < ImageWidth_; ++x, ++i)
                if (const QRgb c = list.At(i)) row[x] = c;
        }
    }
    list.Clear();
}

void TViewCanvas::DirectionMark(QPoint c, QRgb colour) {
    if (MayBeVisible(c.x(), c.y(), c.x(), c.y())) AddMark(DirectionMarks_, true, c.x(), c.y(), colour, 2);
}

void TViewCanvas::JunctionCross(QPoint c, int a, QRgb colour) {
    if (MayBeVisible(c.x(), c.y(), c.x(), c.y())) AddMark(JunctionCrosses_, false, c.x(), c.y(), colour, a);
}

void TViewCanvas::LoadCross(QPoint c, int a, QRgb colour) {
    if (MayBeVisible(c.x(), c.y(), c.x(), c.y())) AddMark(LoadCrosses_, false, c.x(), c.y(), colour, a);
}

void TViewCanvas::LoadText(QPoint at, const QString& text) {
    // The text runs to the right of its point; a generous margin on the left.
    if (!MayBeVisible(at.x() + 1000, at.y() - 20, at.x(), at.y())) return;
    LoadTexts_.emplace_back(at, text);
}

void TViewCanvas::FlushWireLayer() {
    FlushRun();
    FlushMarks(DirectionMarks_, true);
    FlushMarks(JunctionCrosses_, false);
    FlushMarks(LoadCrosses_, false);
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
