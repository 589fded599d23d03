#include "files/maa_reader.h"

#include "../files/model_text.h"
#include "../files/test_util.h"

#include <QImage>

#include "cli_runner.h"

#include <gtest/gtest.h>

using namespace velomast;
using velomast::test::Cli;
using velomast::test::ModelText;
using velomast::test::RunOutput;
using velomast::test::TempDir;
using velomast::test::WriteBytes;

namespace {

// n vertical wires 1 m apart along X, starting at x.
std::string Row(int n, double x) {
    ModelText t;
    t.Wires.clear();
    t.Sources.clear();
    for (int i = 0; i < n; ++i) {
        const std::string a = std::to_string(x + i);
        t.Wires.push_back(a + ",0,0," + a + ",0,1,0.001,-1");
    }
    return t.Text();
}

// The edited model of three wires with a source, two antennas of 4 wires and a landscape
// of 10, in one folder; the scene names them relative to itself.
void MakeScene(const TempDir& dir, const std::string& modelLine = "main.maa") {
    ModelText main;
    main.Wires = {"0,0,0,0,0,1,0.001,-1", "0,0,1,0,0,2,0.001,-1", "0,0,2,0,0,3,0.001,-1"};
    WriteBytes(dir.File("main.maa"), main.Text());
    WriteBytes(dir.File("a.maa"), Row(4, 10));
    WriteBytes(dir.File("b.maa"), Row(4, 20));
    WriteBytes(dir.File("hill.lnd"), Row(10, 30));
    WriteBytes(dir.File("s.scn"), "hill.lnd\r\n" + modelLine + "\r\na.maa,0,0,5,0\r\nb.maa,0,5,0,90\r\n");
}

} // namespace

TEST(CliScene, ExportsEveryWireOfTheScene) {
    TempDir dir;
    MakeScene(dir);
    const RunOutput r = Cli({"scene", dir.File("s.scn"), dir.File("out.maa")});
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    TWireList back;
    ASSERT_TRUE(ReadModel(back, dir.File("out.maa")).Ok());
    ASSERT_EQ(back.OwnCount(), 21u);
    EXPECT_EQ(back.Sources.size(), 1u); // the edited antenna's
    EXPECT_EQ(back.ModelName, "Test");
    EXPECT_TRUE(VecEqual(back[3]->P1(), {30, 0, 0})); // the landscape, then the antennas
    EXPECT_TRUE(VecEqual(back[13]->P1(), {10, 0, 5}));
}

TEST(CliScene, ExitStatusFollowsTheOtherCommands) {
    TempDir dir;
    MakeScene(dir);
    EXPECT_EQ(Cli({"scene", dir.File("s.scn")}).Code, 2);
    EXPECT_EQ(Cli({"scene", dir.File("none.scn"), dir.File("out.maa")}).Code, 2);
    WriteBytes(dir.File("nomodel.scn"), "\r\n\r\na.maa,0,0,0,0\r\n");
    EXPECT_EQ(Cli({"scene", dir.File("nomodel.scn"), dir.File("out.maa")}).Code, 2);
    ModelText faulty;
    faulty.Sources = {"w7c,\t0.0,\t1.0"};
    WriteBytes(dir.File("faulty.maa"), faulty.Text());
    MakeScene(dir, "faulty.maa");
    const RunOutput f = Cli({"scene", dir.File("s.scn"), dir.File("out.maa")});
    EXPECT_EQ(f.Code, 1);
    EXPECT_NE(f.Err.find("Провод 7 не найден"), std::string::npos);
    // A scene antenna cut short is told about, and the rest is written.
    MakeScene(dir);
    WriteBytes(dir.File("a.maa"), "a\r\n*\r\n14\r\n***Wires***\r\n4\r\n1,0,0,1,0,1,0.001,-1\r\n");
    const RunOutput cut = Cli({"scene", dir.File("s.scn"), dir.File("out.maa")});
    EXPECT_EQ(cut.Code, 0);
    EXPECT_NE(cut.Err.find("a.maa"), std::string::npos);
}

TEST(CliScene, RenderPicturesTheWholeScene) {
    TempDir dir;
    MakeScene(dir);
    const RunOutput r = Cli({"render", "--scene", dir.File("s.scn"), dir.File("s.png"), "--view", "1"});
    ASSERT_EQ(r.Code, 0) << r.Err;
    const QImage im(QString::fromStdString(dir.File("s.png")));
    ASSERT_FALSE(im.isNull());
    // The landscape is in the picture, green.
    int green = 0;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x) green += im.pixelColor(x, y) == QColor(0, 128, 0);
    EXPECT_GT(green, 10);
    EXPECT_EQ(Cli({"render", dir.File("s.png")}).Code, 2);
}

TEST(CliScene, TheToolsNeverWriteOverWhatTheyRead) {
    TempDir dir;
    MakeScene(dir);
    const std::string files[] = {"s.scn", "main.maa", "a.maa", "hill.lnd"};
    auto kept = [&] {
        TempDir again;
        MakeScene(again);
        for (const std::string& f : files)
            if (velomast::test::ReadBytes(dir.File(f)) != velomast::test::ReadBytes(again.File(f))) return f;
        return std::string();
    };
    for (const std::string& out : files) {
        const RunOutput r = Cli({"scene", dir.File("s.scn"), dir.File(out)});
        EXPECT_EQ(r.Code, 2) << out;
        EXPECT_NE(r.Err.find("исходный файл"), std::string::npos) << r.Err;
    }
    EXPECT_EQ(Cli({"render", dir.File("main.maa"), dir.File("main.maa")}).Code, 2);
    EXPECT_EQ(Cli({"render", "--scene", dir.File("s.scn"), dir.File("s.scn")}).Code, 2);
    EXPECT_EQ(Cli({"render", "--scene", dir.File("s.scn"), dir.File("main.maa")}).Code, 2);
    EXPECT_EQ(kept(), "");
}
