// The model's report: preview, print and PDF. The template is read afresh every time; a
// model without wires, a missing or broken template give no report and no message box,
// only a note in the status bar saying why.
#include "tfm_velomast.h"
#include "ui/language_texts.h"

#include "report/model_report.h"
#include "report/report.h"
#include "ui/paint_box.h"
#include "ui/params_page.h"
#include "view/view_painter.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolButton>

namespace velomast {

namespace {

// The picture is drawn at the paint box's size; a box never laid out has none yet.
constexpr int FallbackPictureWidth = 800;
constexpr int FallbackPictureHeight = 460;

QString DocumentName(const TWireList& m) {
    if (!m.ModelName.empty()) return QString::fromStdString(m.ModelName).trimmed();
    return QFileInfo(QString::fromStdString(m.FileName)).completeBaseName();
}

} // namespace

void TfmVelomast::ConnectReport() {
    auto hook = [this](QAction* a, auto handler) {
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, handler);
    };
    hook(Action("NPreview"), [this] { NPreviewClick(); });
    hook(Action("NPrint"), [this] { NPrintClick(); });
    for (auto [name, handler] : {std::pair{"sbPreview", &TfmVelomast::NPreviewClick},
                                 std::pair{"sbPrint", &TfmVelomast::NPrintClick}}) {
        QToolButton* b = Button(name);
        b->setEnabled(true);
        connect(b, &QToolButton::clicked, this, handler);
    }

    // A file for those who have no printer: after "Печать...".
    auto* pdf = new QAction(QStringLiteral("Сохранить отчёт в PDF..."), this);
    pdf->setObjectName("NSaveReportPdf");
    QAction* print = Action("NPrint");
    const QList<QAction*> items = Action("NFile")->menu()->actions();
    const qsizetype at = items.indexOf(print);
    QAction* before = at >= 0 && at + 1 < items.size() ? items[at + 1] : nullptr;
    Action("NFile")->menu()->insertAction(before, pdf);
    Actions_["NSaveReportPdf"] = pdf;
    hook(pdf, [this] { NSaveReportPdfClick(); });
}

QImage TfmVelomast::ReportPicture() const {
    QRect r(0, 0, PaintBox1_->width(), PaintBox1_->height());
    if (r.width() < 2 || r.height() < 2) r = QRect(0, 0, FallbackPictureWidth, FallbackPictureHeight);
    TPlatformLook look;
    look.DecimalMark = DecimalMark_;
    // Its own image: the window's ViewBitmap keeps the screen picture, which "Сохранить
    // как изображение..." saves.
    QImage picture;
    velomast::PaintView(*Model_, picture, nullptr, r, true, look);
    return picture;
}

bool TfmVelomast::PrepareModelReport(TReport& report) {
    TWireList& m = *Model_;
    if (m.OwnCount() == 0) {
        SetStatusText(0, LanguageText("TfmVelomast", "Text.NoWires"));
        return false;
    }
    const QString fileName =
        ReportTemplate_.isEmpty() ? FindReportTemplate(QCoreApplication::applicationDirPath()) : ReportTemplate_;
    if (!report.LoadFromFile(fileName)) {
        SetStatusText(0, " " + report.LoadResult().Message);
        return false;
    }
    TModelReportTexts texts;
    if (auto* ground = Params_->findChild<QComboBox*>("cbGround")) texts.Ground = ground->currentText();
    if (auto* material = Params_->findChild<QComboBox*>("cbMaterial")) texts.Material = material->currentText();
    texts.DecimalMark = DecimalMark_;
    ConnectModelReport(report, m, texts, [this] { return ReportPicture(); });
    if (!report.PrepareReport()) {
        SetStatusText(0, LanguageText("TfmVelomast", "Text.ReportEmptyTemplate").arg(fileName));
        return false;
    }
    // Skipped lines do not stop the report; the note says which.
    SetStatusText(0, report.LoadResult().Notes.empty() ? QString() : " " + TemplateNotesText(report.LoadResult().Notes));
    return true;
}

void TfmVelomast::NPreviewClick() {
    TReport report;
    if (!PrepareModelReport(report)) return;
    QPrinter printer(QPrinter::HighResolution);
    report.ApplyPageLayout(printer);
    printer.setDocName(DocumentName(*Model_));
    QPrintPreviewDialog dialog(&printer, this);
    dialog.setObjectName("PreviewDialog");
    dialog.setWindowTitle(LanguageText("TfmVelomast", "Text.PreviewCaption"));
    // The preview's own print button prints the same pages (or to PDF through Qt's
    // print dialog).
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&report](QPrinter* p) { report.Print(*p); });
    Dialogs_->Exec(dialog);
}

void TfmVelomast::NPrintClick() {
    TReport report;
    if (!PrepareModelReport(report)) return;
    QPrinter printer(QPrinter::HighResolution);
    report.ApplyPageLayout(printer);
    printer.setDocName(DocumentName(*Model_));
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName("PrintDialog");
    dialog.setWindowTitle(LanguageText("TfmVelomast", "Text.PrintCaption"));
    if (Dialogs_->Exec(dialog) != QDialog::Accepted) return;
    if (!report.Print(printer)) {
        ShowMessage(QStringLiteral("Не удалось напечатать отчёт: принтер недоступен."), IUserDialogs::Icon::Error);
        return;
    }
    SetStatusText(0, printer.outputFileName().isEmpty()
                         ? LanguageText("TfmVelomast", "Text.ReportPrinted")
                         : LanguageText("TfmVelomast", "Text.ReportSaved").arg(printer.outputFileName()));
}

void TfmVelomast::NSaveReportPdfClick() {
    TReport report;
    if (!PrepareModelReport(report)) return;
    const QString notes = StatusText(0);
    QString proposed;
    if (!Model_->FileName.empty()) {
        const QFileInfo info(QString::fromStdString(Model_->FileName));
        proposed = QDir(info.absolutePath()).filePath(info.completeBaseName() + ".pdf");
    }
    const QString name = Dialogs_->SaveFileName(QStringLiteral("Сохранить отчёт в PDF"),
                                                QStringLiteral("Документ PDF (*.pdf)"), proposed, "pdf");
    if (name.isEmpty()) return;
    // A report written over the model's own file would lose the model.
    if (IsSameFile(name, QString::fromStdString(Model_->FileName))) {
        ShowMessage(QStringLiteral("Отчёт не записан: %1 — это файл модели. Укажите другое имя файла.").arg(name),
                    IUserDialogs::Icon::Error);
        return;
    }
    if (const QString error = WriteReportPdf(report, name, DocumentName(*Model_)); !error.isEmpty()) {
        ShowMessage(error, IUserDialogs::Icon::Error);
        return;
    }
    SetStatusText(0, notes.isEmpty() ? LanguageText("TfmVelomast", "Text.ReportSaved").arg(name) : notes);
}

} // namespace velomast
