#include "cli/commands.h"
#include "files/file_io.h"

#include "../files/model_text.h"
#include "../files/test_util.h"

#include <QImage>

#include "cli_runner.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace velomast;
using velomast::test::ModelText;
using velomast::test::RunOutput;
using velomast::test::TempDir;
using velomast::test::WriteBytes;

namespace {

RunOutput Render(std::vector<std::string> args) {
    args.insert(args.begin(), "render");
    return velomast::test::Cli(std::move(args));
}

// A dipole 5 m long along Y at 10 m, fed in its middle; the second wire is a radial.
std::string Dipole() {
    ModelText t;
    t.Wires = {"0.0,\t-2.5,\t10.0,\t0.0,\t2.5,\t10.0,\t0.0008,\t-1", "0.0,\t2.5,\t10.0,\t0.0,\t2.5,\t8.0,\t0.0008,\t-1"};
    return t.Text();
}

} // namespace

TEST(CliRender, WritesThePictureAtTheEditorsDefaults) {
    TempDir dir;
    WriteBytes(dir.File("d.maa"), Dipole());
    const RunOutput r = Render({dir.File("d.maa"), dir.File("d.png")});
    ASSERT_EQ(r.Code, 0) << r.Err;
    const QImage im(QString::fromStdString(dir.File("d.png")));
    ASSERT_EQ(im.size(), QSize(800, 460));
    // The box is centred: the feed point (the box's middle along Y, 1 m above the box's
    // middle) is just above the centre; its mark is a yellow disc.
    int yellow = 0;
    for (int y = 120; y < 230; ++y)
        for (int x = 390; x < 410; ++x) yellow += im.pixelColor(x, y) == QColor(255, 255, 0);
    EXPECT_GT(yellow, 20);
    EXPECT_EQ(im.pixelColor(0, 0), QColor(160, 160, 160)); // the screen picture has its frame
}

TEST(CliRender, OptionsChooseViewSizeAndPrinting) {
    TempDir dir;
    WriteBytes(dir.File("d.maa"), Dipole());
    RunOutput r = Render({dir.File("d.maa"), dir.File("a.png"), "--view", "3", "--size", "400x230", "--grid=lines",
                          "--dimensions", "--no-direction", "--print", "--elevation", "95.5", "--azimuth", "-30"});
    ASSERT_EQ(r.Code, 0) << r.Err;
    QImage im(QString::fromStdString(dir.File("a.png")));
    ASSERT_EQ(im.size(), QSize(400, 230));
    EXPECT_EQ(im.pixelColor(0, 0), QColor(255, 255, 255)); // printed: no frame
    // Front view: the dipole is a horizontal line, red as the current wire after opening.
    int red = 0;
    for (int x = 0; x < 400; ++x)
        for (int y = 40; y < 100; ++y) red += im.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_GT(red, 300);

    r = Render({dir.File("d.maa"), dir.File("b.png"), "--view", "1", "--grid", "dots"});
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(QImage(QString::fromStdString(dir.File("b.png"))).pixelColor(0, 0), QColor(160, 160, 160));
}

TEST(CliRender, ErrorsExitWithTheirCodes) {
    TempDir dir;
    WriteBytes(dir.File("d.maa"), Dipole());
    ModelText bad;
    bad.Sources = {"w5c,0,1"};
    WriteBytes(dir.File("bad.maa"), bad.Text());
    const std::string in = dir.File("d.maa"), out = dir.File("o.png");
    struct Case {
        std::vector<std::string> Args;
        int Code;
    } cases[] = {
        {{}, 2},
        {{in}, 2},
        {{in, out, "extra"}, 2},
        {{in, out, "--view", "4"}, 2},
        {{in, out, "--view"}, 2},
        {{in, out, "--size", "0x10"}, 2},
        {{in, out, "--size", "800"}, 2},
        {{in, out, "--size", "20000x10"}, 2},
        {{in, out, "--elevation", "abc"}, 2},
        {{in, out, "--azimuth", "1e400"}, 2},
        {{in, out, "--grid", "squares"}, 2},
        {{in, out, "--print=yes"}, 2},
        {{in, out, "--colour", "red"}, 2},
        {{dir.File("missing.maa"), out}, 2},
        {{in, dir.File("no/such/dir/o.png")}, 2},
        {{in, dir.Path().string()}, 2},
        {{dir.File("bad.maa"), out}, 1},
    };
    for (const Case& c : cases) {
        const RunOutput r = Render(c.Args);
        EXPECT_EQ(r.Code, c.Code) << (c.Args.empty() ? "" : c.Args.back());
        EXPECT_FALSE(r.Err.empty());
    }
    EXPECT_NE(Render({dir.File("bad.maa"), out}).Err.find("Провод 5 не найден"), std::string::npos);
    EXPECT_FALSE(FileExists(out));
}
