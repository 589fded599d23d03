// The report from the window: preview and print through their dialogs, PDF from the File
// menu, the model's values as the window shows them, the current view in the picture, and
// a note in the status bar instead of a report where there can be none.
#include "window_fixture.h"

#include "report/report.h"
#include "ui/paint_box.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace velomast;

namespace {

class ReportWindow : public velomast::testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        W->SetReportTemplate(VELOMAST_REPORT_TEMPLATE);
        W->show();
        W->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(W.get()));
        // A horizontal wire along X: a long line seen from above, a dot from the front.
        Build({{{-3, 0, 5}, {3, 0, 5}}});
        W->MainPages()->setCurrentIndex(1);
        QApplication::processEvents();
        W->NScaleCurrentClick();
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(W->windowHandle(), static_cast<Qt::Key>(key), mods);
        QApplication::processEvents();
    }
    // Pages the preview dialog made, through its own preview widget.
    void ExpectPreviewPages(int* pages) {
        Dialogs.Forms.push_back([pages](QDialog& d) {
            auto* preview = d.findChild<QPrintPreviewWidget*>();
            EXPECT_NE(qobject_cast<QPrintPreviewDialog*>(&d), nullptr);
            if (!preview) return int(QDialog::Rejected);
            preview->updatePreview();
            *pages = preview->pageCount();
            return int(QDialog::Rejected);
        });
    }
    QString WriteTemplate(const char* text) {
        const QString path = WriteFile("t.frf", text);
        W->SetReportTemplate(path);
        return path;
    }
    // The picture object of the prepared report on its page image (dpi 100), cut out.
    QImage PictureOnPage() {
        TReport report;
        EXPECT_TRUE(W->PrepareModelReport(report));
        if (!report.Prepared()) return {};
        const QImage page = report.PageImage(0, 100);
        const QMarginsF margins = report.Template().Margins;
        for (const TReportObject& o : report.Page(0))
            if (o.Kind == TReportObject::TKind::Picture) {
                const double k = 100 / 25.4;
                return page.copy(QRectF((o.Rect.x() + margins.left()) * k, (o.Rect.y() + margins.top()) * k,
                                        o.Rect.width() * k, o.Rect.height() * k)
                                     .toRect()
                                     .adjusted(4, 4, -4, -4)); // inside the frame
            }
        return {};
    }
    // The longest run of dark pixels in one row, and in one column.
    static QSize LongestRuns(const QImage& im) {
        int row = 0, col = 0;
        for (int y = 0; y < im.height(); ++y)
            for (int x = 0, run = 0; x < im.width(); ++x) row = std::max(row, run = qGray(im.pixel(x, y)) < 100 ? run + 1 : 0);
        for (int x = 0; x < im.width(); ++x)
            for (int y = 0, run = 0; y < im.height(); ++y) col = std::max(col, run = qGray(im.pixel(x, y)) < 100 ? run + 1 : 0);
        return {row, col};
    }
};

TEST_F(ReportWindow, PreviewFromMenuButtonAndPrintFromCtrlP) {
    int pages = -1;
    ExpectPreviewPages(&pages);
    Trigger("NPreview");
    EXPECT_EQ(pages, 1);
    ASSERT_EQ(Dialogs.Count("exec"), 1);
    EXPECT_EQ(Dialogs.Last("exec")->Text, "PreviewDialog");

    pages = -1;
    ExpectPreviewPages(&pages);
    QTest::mouseClick(W->Button("sbPreview"), Qt::LeftButton);
    EXPECT_EQ(pages, 1);

    // Ctrl+P opens the print dialog; printing to a file gives the same page.
    const QString pdf = Dir.filePath("printed.pdf");
    Dialogs.Forms.push_back([pdf](QDialog& d) {
        auto* dialog = qobject_cast<QPrintDialog*>(&d);
        EXPECT_NE(dialog, nullptr);
        if (!dialog) return int(QDialog::Rejected);
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(pdf);
        return int(QDialog::Accepted);
    });
    Key(Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(Dialogs.Count("exec"), 3);
    EXPECT_EQ(Dialogs.Last("exec")->Text, "PrintDialog");
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
    EXPECT_EQ(W->StatusText(0), " Отчёт сохранён в файл " + pdf);
    EXPECT_EQ(Dialogs.Count("message"), 0);

    // A cancelled print dialog prints nothing.
    QFile::remove(pdf);
    Dialogs.Forms.push_back([](QDialog&) { return int(QDialog::Rejected); });
    QTest::mouseClick(W->Button("sbPrint"), Qt::LeftButton);
    EXPECT_EQ(Dialogs.Count("exec"), 4);
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ReportWindow, PdfFromTheFileMenu) {
    QMenu* file = W->Action("NFile")->menu();
    const QList<QAction*> items = file->actions();
    const qsizetype print = items.indexOf(W->Action("NPrint"));
    ASSERT_GE(print, 0);
    ASSERT_LT(print + 1, items.size());
    EXPECT_EQ(items[print + 1], W->Action("NSaveReportPdf"));
    EXPECT_EQ(W->Action("NSaveReportPdf")->text(), "Сохранить отчёт в PDF...");

    ASSERT_TRUE(W->SaveModelAs(Dir.filePath("диполь.maa")));
    const QString pdf = Dir.filePath("отчёт.pdf");
    Dialogs.SaveNames.push_back(pdf);
    Trigger("NSaveReportPdf");
    ASSERT_EQ(Dialogs.Count("save"), 1);
    EXPECT_EQ(Dialogs.Last("save")->Text, Dir.filePath("диполь.pdf")); // proposed beside the model
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(W->StatusText(0), " Отчёт сохранён в файл " + pdf);

    // Not over the model's own file.
    QFile model(Dir.filePath("диполь.maa"));
    ASSERT_TRUE(model.open(QIODevice::ReadOnly));
    const QByteArray modelBytes = model.readAll();
    model.close();
    Dialogs.SaveNames.push_back(model.fileName());
    Trigger("NSaveReportPdf");
    ASSERT_EQ(Dialogs.Count("message"), 1);
    EXPECT_TRUE(Dialogs.Last("message")->Text.contains("это файл модели")) << Dialogs.Last("message")->Text.toStdString();
    ASSERT_TRUE(model.open(QIODevice::ReadOnly));
    EXPECT_EQ(model.readAll(), modelBytes);

    // A file the user may not write is left alone, and the failure is said (not checked
    // with rights that ignore file permissions).
    f.close();
    ASSERT_TRUE(f.setPermissions(QFileDevice::ReadOwner));
    if (!QFileInfo(pdf).isWritable()) {
        Dialogs.SaveNames.push_back(pdf);
        Trigger("NSaveReportPdf");
        EXPECT_EQ(Dialogs.Count("message"), 2);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), bytes);
    }
}

TEST_F(ReportWindow, NoReportOnlyANote) {
    // A missing template, a file that is no template, a template without objects.
    const QString missing = Dir.filePath("нет.frf");
    W->SetReportTemplate(missing);
    Trigger("NPreview");
    EXPECT_EQ(W->StatusText(0), " Шаблон отчёта не найден: " + missing);
    const QString broken = WriteTemplate("<html>not a template</html>\n");
    Key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(W->StatusText(0).startsWith(" Шаблон отчёта не прочитан: " + broken)) << W->StatusText(0).toStdString();
    WriteTemplate("velomast-report 1\npage A4\n");
    Trigger("NSaveReportPdf");
    EXPECT_TRUE(W->StatusText(0).contains("нет ни одного объекта"));

    // A model without wires, even with a good template.
    W->SetReportTemplate(VELOMAST_REPORT_TEMPLATE);
    Build({});
    W->UpdateForm();
    Trigger("NPreview");
    EXPECT_EQ(W->StatusText(0), " В модели нет проводов");
    Trigger("NSaveReportPdf");
    EXPECT_TRUE(Dialogs.Calls.empty()); // no dialog, no question, no message box
}

TEST_F(ReportWindow, ASkippedLineIsNamedAndTheRestShown) {
    WriteTemplate("velomast-report 1\ntext 0 0 50 10 | [Title]\npicture 0 0 50\npicture 0 20 50 50 | Memo\n");
    int pages = -1;
    ExpectPreviewPages(&pages);
    Trigger("NPreview");
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(W->StatusText(0), " Строка 3 шаблона отчёта пропущена: нужны четыре числа после «picture»");
}

TEST_F(ReportWindow, ValuesAsTheWindowShowsThemInACommaLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    MakeWindow();
    QLocale::setDefault(before);
    W->SetReportTemplate(VELOMAST_REPORT_TEMPLATE);
    const QString path = WriteFile("Антенна.maa", "Диполь на 20 м\r\n*\r\n14.175\r\n***Wires***\r\n1\r\n"
                                                   "0.0,\t-2.5,\t10.0,\t0.0,\t2.5,\t10.0,\t0.0008,\t-1\r\n"
                                                   "***Source***\r\n1,\t0\r\nw1c,\t0.0,\t1.0\r\n***Load***\r\n0,\t0\r\n"
                                                   "***Segmentation***\r\n800,\t80,\t2.0,\t1\r\n***G/H/M/R/AzEl/X***\r\n"
                                                   "2,\t12.5,\t3,\t50.0,\t120,\t60,\t0.0\r\n");
    ASSERT_TRUE(W->OpenModel(path));
    TReport report;
    ASSERT_TRUE(W->PrepareModelReport(report));
    QStringList texts;
    for (const TReportObject& o : report.Page(0)) texts += o.Memo;
    const QString all = texts.join('|');
    EXPECT_TRUE(texts.contains("Диполь на 20 м")) << all.toStdString();
    EXPECT_TRUE(texts.contains("Файл модели: " + path)) << all.toStdString();
    EXPECT_TRUE(texts.contains("Частота: 14,175 МГц")) << all.toStdString();
    EXPECT_TRUE(texts.contains("Высота основания: 12,5 м")) << all.toStdString();
    EXPECT_TRUE(texts.contains("Земля: реальная земля")) << all.toStdString();
    EXPECT_TRUE(texts.contains("Материал: алюминий")) << all.toStdString();
}

TEST_F(ReportWindow, ThePictureIsTheCurrentViewAndTheScreenKeepsItsOwn) {
    const QImage top = PictureOnPage();
    ASSERT_FALSE(top.isNull());
    const QSize runsTop = LongestRuns(top);
    EXPECT_GT(runsTop.width(), top.width() / 2); // the wire across the picture

    W->MainPages()->setCurrentIndex(3); // front view Y-Z: the wire is a dot
    QApplication::processEvents();
    const QImage front = PictureOnPage();
    ASSERT_FALSE(front.isNull());
    EXPECT_LT(LongestRuns(front).width(), runsTop.width() / 10);

    // The printing form went to the report only: the screen picture keeps its frame.
    W->PaintView();
    const QColor frame = W->ViewBitmap().pixelColor(0, 0);
    TReport report;
    ASSERT_TRUE(W->PrepareModelReport(report));
    (void)report.PageImage(0, 30);
    EXPECT_EQ(W->ViewBitmap().pixelColor(0, 0), frame);
    EXPECT_NE(frame, QColor(Qt::white));
}

} // namespace
