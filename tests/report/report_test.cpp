// Preparing and painting reports: fields filled from the program, then the engine; the
// model's variables; the view picture in its object; a PDF document of one page.
#include "report/model_report.h"
#include "report/report.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velomast;

namespace {

// Dark pixels in a rectangle given in millimetres from the sheet's corner.
int DarkPixels(const QImage& image, const QRectF& mm, int dpi) {
    const double k = dpi / 25.4;
    const QRect r = QRectF(mm.x() * k, mm.y() * k, mm.width() * k, mm.height() * k).toRect() & image.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += qGray(image.pixel(x, y)) < 100;
    return n;
}

// The program's answers for the field tests.
std::optional<QString> Answer(const QString& name) {
    if (name == "Title") return QStringLiteral("Диполь");
    if (name == "Высота") return QStringLiteral("10,5");
    if (name == "Empty") return QString();
    return std::nullopt;
}

} // namespace

TEST(Report, FieldsComeFromTheProgramThenTheEngineAndOthersStay) {
    TReport report;
    report.OnGetValue = Answer;
    ASSERT_TRUE(report.LoadFromText("velomast-report 1\n"
                                    "text 0 0 100 10 | [Title] на [Высота] м, [Empty]|\n"
                                    "text 0 10 100 10 | [Date] стр. [Page]\\n[Нет] [] [[Title] a]b[ [Title\n"
                                    "picture 0 20 100 50 | [Title]\n"));
    ASSERT_TRUE(report.PrepareReport());
    ASSERT_EQ(report.PageCount(), 1);
    const auto& page = report.Page(0);
    EXPECT_EQ(page[0].Memo, QStringList({"Диполь на 10,5 м, |"}));
    EXPECT_EQ(page[1].Memo, QStringList({QLocale().toString(QDate::currentDate(), QLocale::ShortFormat) + " стр. 1",
                                         "[Нет] [] [Диполь a]b[ [Title"}));
    // A picture's memo is the program's to read, as written.
    EXPECT_EQ(page[2].Memo, QStringList({"[Title]"}));
}

TEST(Report, NothingIsPreparedWithoutATemplateOrObjects) {
    TReport report;
    EXPECT_FALSE(report.PrepareReport());
    EXPECT_FALSE(report.LoadFromText("not a template"));
    EXPECT_FALSE(report.PrepareReport());
    ASSERT_TRUE(report.LoadFromText("velomast-report 1\npage A4\nbroken line\n"));
    EXPECT_FALSE(report.PrepareReport());
    EXPECT_EQ(report.PageCount(), 0);
    EXPECT_TRUE(report.PdfDocument("x").isEmpty());
}

TEST(ModelReport, VariablesFollowTheModelAndTheBoxes) {
    TWireList m;
    m.FileName = "/home/ra/антенны/диполь.maa";
    m.ModelName = "Диполь на 20 м";
    m.Frequency = 14.06;
    m.BaseHeight = 10.5;
    m.GroundType = 2;
    m.Material = 1;
    const TModelReportTexts texts = ModelReportTexts(m, ',');
    EXPECT_EQ(texts.Ground, " реальная земля");
    EXPECT_EQ(texts.Material, " медь");
    auto value = [&](const char* name) { return ModelReportValue(m, texts, name).value_or("<none>"); };
    EXPECT_EQ(value("Filename"), "/home/ra/антенны/диполь.maa");
    EXPECT_EQ(value("Title"), "Диполь на 20 м");
    EXPECT_EQ(value("Freq"), "14,06");
    EXPECT_EQ(value("Height"), "10,5");
    EXPECT_EQ(value("Ground"), "реальная земля"); // trimmed
    EXPECT_EQ(value("Material"), " медь");        // as the box shows it
    EXPECT_EQ(value("freq"), "<none>");           // names are compared exactly
    EXPECT_EQ(value("Date"), "<none>");           // the engine's

    m.FileName = "антенны/диполь.maa"; // opened by a relative name
    EXPECT_EQ(value("Filename"), QDir::current().absoluteFilePath("антенны/диполь.maa"));
    m.FileName.clear(); // a new model
    EXPECT_EQ(value("Filename"), "");

    m.Material = 42; // a code the box does not have shows nothing
    EXPECT_EQ(ModelReportTexts(m, '.').Material, "");
    EXPECT_EQ(ModelReportValue(m, ModelReportTexts(m, '.'), "Freq"), "14.06");
}

TEST(ModelReport, ThePictureFillsItsMemoObjectAspectKept) {
    TWireList m;
    TReport report;
    ASSERT_TRUE(report.LoadFromText("velomast-report 1\nmargins 10 10 10 10\n"
                                    "picture 10 10 100 100 | Memo\\nmore\n"
                                    "picture 10 120 50 50 | Memo2\n"));
    int asked = 0;
    ConnectModelReport(report, m, {}, [&] {
        ++asked;
        QImage black(200, 100, QImage::Format_RGB32); // twice as wide as high
        black.fill(Qt::black);
        return black;
    });
    ASSERT_TRUE(report.PrepareReport());
    const int dpi = 50;
    const QImage page = report.PageImage(0, dpi);
    ASSERT_EQ(page.size(), QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, {}).fullRectPixels(dpi).size());
    // Sheet coordinates: the object is at (20, 20) mm, 100 x 100; the picture 100 x 50 in
    // its middle, from 45 to 95 mm down.
    const double k = dpi / 25.4;
    const int band = static_cast<int>(90 * k) * static_cast<int>(40 * k);
    EXPECT_GT(DarkPixels(page, {25, 50, 90, 40}, dpi), band * 95 / 100);
    EXPECT_EQ(DarkPixels(page, {20, 20, 100, 23}, dpi), 0);
    EXPECT_EQ(DarkPixels(page, {20, 97, 100, 23}, dpi), 0);
    EXPECT_EQ(DarkPixels(page, {0, 0, 210, 19}, dpi), 0);
    // Not a "Memo" object: the program leaves it alone; one picture serves every object.
    EXPECT_EQ(DarkPixels(page, {20, 130, 50, 50}, dpi), 0);
    EXPECT_EQ(asked, 1);
}

TEST(Report, PdfDocumentHasOnePageOfTheTemplatesPaper) {
    TReport report;
    report.OnGetValue = Answer;
    ASSERT_TRUE(report.LoadFromText("velomast-report 1\npage A5 landscape\n"
                                    "text 0 0 100 10 size=16 | [Title] — отчёт\nline 0 12 100 12\n"));
    ASSERT_TRUE(report.PrepareReport());
    const QByteArray pdf = report.PdfDocument("Диполь");
    ASSERT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));

    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    if (pdfinfo.isEmpty()) GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    QTemporaryDir dir;
    QFile f(dir.filePath("r.pdf"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(pdf);
    f.close();
    QProcess p;
    p.start(pdfinfo, {f.fileName()});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString info = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(p.exitCode(), 0) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 4(19|20)(\\.\\d+)? pts"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Title:\\s+Диполь"))) << info.toStdString();
}

TEST(ModelReport, TheTemplateIsFoundBesideTheProgramThenInTheDataFolder) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath("bin") && dir.mkpath("share/velomast"));
    const QString bin = dir.filePath("bin");
    const QString beside = dir.filePath("bin/test.frf"), installed = dir.filePath("share/velomast/test.frf");
    auto touch = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write("velomast-report 1\n") > 0;
    };
    // None: the place beside the program is named in the note.
    EXPECT_EQ(FindReportTemplate(bin), beside);
    ASSERT_TRUE(touch(installed));
    EXPECT_EQ(FindReportTemplate(bin), installed);
    ASSERT_TRUE(touch(beside));
    EXPECT_EQ(FindReportTemplate(bin), beside); // a build tree's copy wins
}
