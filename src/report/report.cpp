#include "report/report.h"

#include <QBuffer>
#include <QDate>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace velomast {

namespace {
constexpr double MmPerInch = 25.4;
} // namespace

bool TReport::LoadFromFile(const QString& fileName) {
    Pages_.clear();
    LoadResult_ = ReadReportTemplate(fileName, Template_);
    Loaded_ = LoadResult_.Status == TTemplateReadResult::TStatus::Ok;
    return Loaded_;
}

bool TReport::LoadFromText(const QString& text) {
    Pages_.clear();
    LoadResult_ = ParseReportTemplate(text, Template_);
    Loaded_ = LoadResult_.Status == TTemplateReadResult::TStatus::Ok;
    return Loaded_;
}

QString TReport::FillFields(const QString& line, int page) const {
    QString out;
    qsizetype i = 0;
    while (i < line.size()) {
        const qsizetype open = line.indexOf('[', i);
        if (open < 0) break;
        const qsizetype close = line.indexOf(']', open + 1);
        if (close < 0) break;
        const qsizetype nested = line.indexOf('[', open + 1);
        if (nested >= 0 && nested < close) {
            // "[[Title]": the first bracket is text.
            out += line.mid(i, nested - i);
            i = nested;
            continue;
        }
        out += line.mid(i, open - i);
        const QString name = line.mid(open + 1, close - open - 1);
        std::optional<QString> value;
        if (OnGetValue && !name.isEmpty()) value = OnGetValue(name);
        if (!value) {
            if (name == QLatin1String("Date"))
                value = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
            else if (name == QLatin1String("Page"))
                value = QString::number(page + 1);
        }
        out += value ? *value : line.mid(open, close - open + 1);
        i = close + 1;
    }
    out += line.mid(i);
    return out;
}

bool TReport::PrepareReport() {
    Pages_.clear();
    if (!Loaded_ || Template_.Objects.empty()) return false;
    // One template page gives one sheet.
    std::vector<TReportObject> page = Template_.Objects;
    for (TReportObject& o : page) {
        if (o.Kind != TReportObject::TKind::Text) continue;
        for (QString& line : o.Memo) line = FillFields(line, 0);
    }
    Pages_.push_back(std::move(page));
    return true;
}

void TReport::ApplyPageLayout(QPagedPaintDevice& device) const { device.setPageLayout(PageLayout()); }

void TReport::PaintPage(QPainter& p, int index, double dpiX, double dpiY) const {
    if (index < 0 || index >= PageCount()) return;
    const double kx = dpiX / MmPerInch, ky = dpiY / MmPerInch;
    auto toDevice = [&](const QRectF& mm) {
        return QRectF(mm.x() * kx, mm.y() * ky, mm.width() * kx, mm.height() * ky);
    };
    for (const TReportObject& o : Pages_[static_cast<size_t>(index)]) {
        p.save();
        if (o.Kind == TReportObject::TKind::Line) {
            QPen pen(o.Colour, std::max(1.0, o.FrameWidth * kx), Qt::SolidLine, Qt::FlatCap);
            p.setPen(pen);
            p.drawLine(QPointF(o.Line.x1() * kx, o.Line.y1() * ky), QPointF(o.Line.x2() * kx, o.Line.y2() * ky));
            p.restore();
            continue;
        }
        const QRectF r = toDevice(o.Rect);
        p.setClipRect(r);
        if (o.Kind == TReportObject::TKind::Picture) {
            if (OnUserPaint) OnUserPaint(p, r.toRect(), o);
        } else {
            QFont f(o.Family);
            f.setPointSizeF(o.PointSize);
            f.setBold(o.Bold);
            f.setItalic(o.Italic);
            f.setUnderline(o.Underline);
            p.setFont(f);
            p.setPen(o.Colour);
            p.drawText(r, static_cast<int>(o.Align) | Qt::TextWordWrap, o.Memo.join('\n'));
        }
        p.setClipping(false);
        if (o.FrameWidth > 0) {
            const double w = std::max(1.0, o.FrameWidth * kx);
            p.setPen(QPen(o.Colour, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            p.setBrush(Qt::NoBrush);
            // The frame lies inside the object's rectangle.
            p.drawRect(r.adjusted(w / 2, w / 2, -w / 2, -w / 2));
        }
        p.restore();
    }
}

bool TReport::Print(QPagedPaintDevice& device) const {
    if (!Prepared()) return false;
    QPainter p;
    if (!p.begin(&device)) return false;
    for (int i = 0; i < PageCount(); ++i) {
        if (i > 0 && !device.newPage()) {
            p.end();
            return false;
        }
        PaintPage(p, i, device.logicalDpiX(), device.logicalDpiY());
    }
    return p.end();
}

QByteArray TReport::PdfDocument(const QString& title) const {
    if (!Prepared()) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Веломаст"));
        ApplyPageLayout(writer);
        if (!Print(writer)) return {};
    }
    buffer.close();
    return bytes;
}

QImage TReport::PageImage(int index, int dpi) const {
    if (index < 0 || index >= PageCount() || dpi < 10 || dpi > 1200) return {};
    const QPageLayout layout = PageLayout();
    const QRect full = layout.fullRectPixels(dpi);
    const QRect paint = layout.paintRectPixels(dpi);
    QImage image(full.size(), QImage::Format_RGB32);
    if (image.isNull()) return {};
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(paint.topLeft());
    PaintPage(p, index, dpi, dpi);
    return image;
}

} // namespace velomast
