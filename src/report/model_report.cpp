#include "report/model_report.h"

#include "files/file_io.h"
#include "model/number_format.h"
#include "model/parameter_texts.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

namespace velomast {

QStringList ReportTemplateCandidates(const QString& programFolder) {
    const QDir dir(programFolder);
    return {QDir::cleanPath(dir.filePath(QLatin1String(ReportTemplateName))),
            QDir::cleanPath(dir.filePath(QStringLiteral("../share/velomast/") + QLatin1String(ReportTemplateName)))};
}

QString FindReportTemplate(const QString& programFolder) {
    const QStringList candidates = ReportTemplateCandidates(programFolder);
    for (const QString& c : candidates)
        if (QFileInfo::exists(c)) return c;
    return candidates.front();
}

TModelReportTexts ModelReportTexts(const TWireList& m, char decimalMark) {
    return {QString::fromUtf8(GroundItemText(m.GroundType)), QString::fromUtf8(MaterialItemText(m.Material)),
            decimalMark};
}

std::optional<QString> ModelReportValue(const TWireList& m, const TModelReportTexts& texts, const QString& name) {
    if (name == QLatin1String("Filename")) {
        // The full path, also for a model opened by a relative name on the command line.
        const QString file = QString::fromStdString(m.FileName);
        return file.isEmpty() ? file : QFileInfo(file).absoluteFilePath();
    }
    if (name == QLatin1String("Title")) return QString::fromStdString(m.ModelName);
    if (name == QLatin1String("Freq")) return QString::fromStdString(FloatToStrGeneral(m.Frequency, 15, texts.DecimalMark));
    if (name == QLatin1String("Height"))
        return QString::fromStdString(FloatToStrGeneral(m.BaseHeight, 15, texts.DecimalMark));
    if (name == QLatin1String("Ground")) return texts.Ground.trimmed();
    if (name == QLatin1String("Material")) return texts.Material;
    return std::nullopt;
}

bool IsViewPictureObject(const TReportObject& o) { return !o.Memo.isEmpty() && o.Memo.front() == QLatin1String("Memo"); }

void DrawReportPicture(QPainter& p, const QRect& target, const QImage& picture) {
    if (picture.isNull() || target.isEmpty()) return;
    const QSizeF size = QSizeF(picture.size()).scaled(QSizeF(target.size()), Qt::KeepAspectRatio);
    const QRectF dest(target.x() + (target.width() - size.width()) / 2, target.y() + (target.height() - size.height()) / 2,
                      size.width(), size.height());
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(dest, picture);
    p.restore();
}

void ConnectModelReport(TReport& report, const TWireList& m, const TModelReportTexts& texts,
                        std::function<QImage()> picture) {
    report.OnGetValue = [&m, texts](const QString& name) { return ModelReportValue(m, texts, name); };
    // One picture for every object and page: the view does not change while printing.
    auto cache = std::make_shared<std::optional<QImage>>();
    report.OnUserPaint = [cache, picture = std::move(picture)](QPainter& p, const QRect& rect, const TReportObject& o) {
        if (!IsViewPictureObject(o)) return;
        if (!*cache) *cache = picture ? picture() : QImage();
        DrawReportPicture(p, rect, **cache);
    };
}

QString WriteReportPdf(const TReport& report, const QString& fileName, const QString& title) {
    auto failure = [&](int err) {
        return QStringLiteral("Не удалось записать файл \"%1\": %2.").arg(fileName, QString::fromStdString(SystemErrorText(err)));
    };
    const QFileInfo target(fileName);
    if (target.exists() && target.isFile() && !target.isWritable()) return failure(EACCES);
    const QByteArray pdf = report.PdfDocument(title);
    if (pdf.isEmpty()) return QStringLiteral("Не удалось построить отчёт.");
    const TFileResult w =
        WriteFileReplacing(fileName.toStdString(), std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())));
    return w.Ok ? QString() : QString::fromStdString(w.Message);
}

bool IsSameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) return false;
    std::error_code ec;
    return std::filesystem::equivalent(std::filesystem::path(a.toStdString()), std::filesystem::path(b.toStdString()), ec);
}

} // namespace velomast
