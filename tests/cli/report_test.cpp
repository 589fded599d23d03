// velomast-cli report: a PDF of one page with the model's picture, and no file at all
// where there is no report to make.
#include "../files/model_text.h"
#include "../files/test_util.h"

#include "cli_runner.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

using namespace velomast;
using velomast::test::ModelText;
using velomast::test::ReadBytes;
using velomast::test::RunOutput;
using velomast::test::TempDir;
using velomast::test::WriteBytes;

namespace {

RunOutput Report(std::vector<std::string> args) {
    args.insert(args.begin(), "report");
    return velomast::test::Cli(std::move(args));
}

// One wire along Y at 10 m: a line seen from above, a point seen from the right.
std::string OneWire() {
    ModelText t;
    t.Wires = {"0.0,\t-2.5,\t10.0,\t0.0,\t2.5,\t10.0,\t0.0008,\t-1"};
    return t.Text();
}

// The page as an image (100 dpi), or a null image when pdftoppm is not installed.
QImage PageImage(const std::string& pdf, const TempDir& dir) {
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty()) return {};
    const QString base = QString::fromStdString(dir.File("page"));
    QProcess p;
    p.start(pdftoppm, {"-r", "100", "-png", "-singlefile", QString::fromStdString(pdf), base});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return QImage(base + ".png");
}

// Dark pixels in a rectangle of the sheet given in millimetres (100 dpi).
int DarkPixels(const QImage& image, double x, double y, double w, double h) {
    const double k = 100 / 25.4;
    const QRect r = QRectF(x * k, y * k, w * k, h * k).toRect() & image.rect();
    int n = 0;
    for (int py = r.top(); py <= r.bottom(); ++py)
        for (int px = r.left(); px <= r.right(); ++px) n += qGray(image.pixel(px, py)) < 128;
    return n;
}

} // namespace

TEST(CliReport, WritesOnePageWithTheChosenView) {
    TempDir dir;
    WriteBytes(dir.File("d.maa"), OneWire());
    const std::string shipped = VELOMAST_REPORT_TEMPLATE;
    RunOutput r = Report({dir.File("d.maa"), dir.File("top.pdf"), "--view", "1", "--template", shipped});
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    const std::string pdf = ReadBytes(dir.File("top.pdf"));
    ASSERT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_NE(pdf.find("%%EOF", pdf.size() - 8), std::string::npos);
    r = Report({dir.File("d.maa"), dir.File("right.pdf"), "--view=2", "--template=" + shipped});
    ASSERT_EQ(r.Code, 0) << r.Err;

    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    if (pdfinfo.isEmpty()) GTEST_SKIP() << "poppler-utils are not installed";
    QProcess info;
    info.start(pdfinfo, {QString::fromStdString(dir.File("top.pdf"))});
    ASSERT_TRUE(info.waitForFinished(20000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QRegularExpression("Pages:\\s+1\\n"))) << text.toStdString();

    // The shipped template's picture lies 15 mm from the left, 54 mm from the top of the
    // sheet, 180 x 165 mm (counted inside its frame); the wire is a long line from above,
    // a dot from the right.
    const QImage top = PageImage(dir.File("top.pdf"), dir);
    ASSERT_FALSE(top.isNull());
    const int above = DarkPixels(top, 17, 56, 176, 161);
    EXPECT_GT(above, 300);
    EXPECT_GT(DarkPixels(top, 15, 12, 180, 12), 50); // the title
    EXPECT_EQ(DarkPixels(top, 0, 0, 14, 297), 0);    // the left margin
    TempDir other;
    const QImage right = PageImage(dir.File("right.pdf"), other);
    ASSERT_FALSE(right.isNull());
    EXPECT_LT(DarkPixels(right, 17, 56, 176, 161), above / 2);
}

TEST(CliReport, NoReportNoFile) {
    TempDir dir;
    const std::string shipped = VELOMAST_REPORT_TEMPLATE;
    WriteBytes(dir.File("d.maa"), OneWire());
    ModelText empty;
    empty.Wires.clear();
    empty.Sources.clear();
    WriteBytes(dir.File("empty.maa"), empty.Text());
    WriteBytes(dir.File("bad.frf"), "[Title]\n");
    WriteBytes(dir.File("none.frf"), "velomast-report 1\npage A4\n");
    const std::string out = dir.File("out.pdf");
    struct Case {
        std::vector<std::string> Args;
        int Code;
        const char* Message;
    };
    const Case cases[] = {
        {{dir.File("empty.maa"), out, "--template", shipped}, 1, "В модели нет проводов"},
        {{dir.File("d.maa"), out, "--template", dir.File("missing.frf")}, 2, "Шаблон отчёта не найден: "},
        {{dir.File("d.maa"), out, "--template", dir.File("bad.frf")}, 2, "Шаблон отчёта не прочитан: "},
        {{dir.File("d.maa"), out, "--template", dir.File("none.frf")}, 2, "нет ни одного объекта"},
        {{dir.File("d.maa"), out, "--view", "4"}, 2, "--view"},
        {{dir.File("d.maa"), out, "--template"}, 2, "--template"},
        {{dir.File("d.maa"), out, "--size", "10x10"}, 2, "--size"},
        {{dir.File("d.maa")}, 2, "velomast-cli report FILE OUT.pdf"},
        {{dir.File("missing.maa"), out}, 2, "не найден"},
    };
    for (const Case& c : cases) {
        const RunOutput r = Report(c.Args);
        EXPECT_EQ(r.Code, c.Code) << c.Message << ": " << r.Err;
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << r.Err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.Message;
    }
    // Neither the model nor the template is written over, whatever name reaches it.
    const std::string model = ReadBytes(dir.File("d.maa"));
    std::filesystem::create_symlink(dir.File("d.maa"), dir.File("link.pdf"));
    for (const std::string& target : {dir.File("d.maa"), dir.File("link.pdf"), dir.File("./d.maa")}) {
        const RunOutput r = Report({dir.File("d.maa"), target, "--template", shipped});
        EXPECT_EQ(r.Code, 2) << target;
        EXPECT_NE(r.Err.find("это исходный файл"), std::string::npos) << r.Err;
    }
    EXPECT_EQ(ReadBytes(dir.File("d.maa")), model);
    WriteBytes(dir.File("t.frf"), ReadBytes(shipped));
    const RunOutput overTemplate = Report({dir.File("d.maa"), dir.File("t.frf"), "--template", dir.File("t.frf")});
    EXPECT_EQ(overTemplate.Code, 2);
    EXPECT_NE(overTemplate.Err.find("это шаблон отчёта"), std::string::npos) << overTemplate.Err;
    EXPECT_EQ(ReadBytes(dir.File("t.frf")), ReadBytes(shipped));

    // An existing file the user may not write stays as it was.
    WriteBytes(out, "old");
    std::filesystem::permissions(out, std::filesystem::perms::owner_read);
    if (::access(out.c_str(), W_OK) != 0) {
        const RunOutput ro = Report({dir.File("d.maa"), out, "--template", shipped});
        EXPECT_EQ(ro.Code, 2);
        EXPECT_NE(ro.Err.find("Не удалось записать файл"), std::string::npos) << ro.Err;
        EXPECT_EQ(ReadBytes(out), "old");
    }
    std::filesystem::remove(out);

    // Without --template the tool looks beside itself (here: the test program's folder,
    // which has none) and names where it looked.
    const RunOutput r = Report({dir.File("d.maa"), out});
    EXPECT_EQ(r.Code, 2);
    EXPECT_NE(r.Err.find("test.frf"), std::string::npos) << r.Err;
}

TEST(CliReport, SkippedTemplateLinesAreWarnings) {
    TempDir dir;
    WriteBytes(dir.File("d.maa"), OneWire());
    WriteBytes(dir.File("t.frf"), "velomast-report 1\ntext 0 0 50 10 | [Title]\nbanner 1 2 3 4\npicture 0 20 50 50 | Memo\n");
    const RunOutput r = Report({dir.File("d.maa"), dir.File("o.pdf"), "--template", dir.File("t.frf")});
    EXPECT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Err, "Предупреждение: Строка 3 шаблона отчёта пропущена: неизвестное слово «banner»\n");
    EXPECT_EQ(ReadBytes(dir.File("o.pdf")).rfind("%PDF-", 0), 0u);
}
