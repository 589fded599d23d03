#include "scene/scene.h"

#include "files/maa_reader.h"
#include "files/maa_writer.h"
#include "model_text.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace velomast;
using velomast::test::ModelText;
using velomast::test::ReadBytes;
using velomast::test::TempDir;
using velomast::test::WriteBytes;

namespace {

// A model file of n horizontal wires one above the other, 1 m long, starting at x.
std::string Ladder(const std::string& path, int n, double x = 0) {
    ModelText t;
    t.Wires.clear();
    t.Sources.clear();
    for (int i = 0; i < n; ++i) {
        const std::string z = std::to_string(i + 1);
        const std::string a = std::to_string(x);
        const std::string b = std::to_string(x + 1);
        t.Wires.push_back(a + ",0," + z + "," + b + ",0," + z + ",0.001,-1");
    }
    WriteBytes(path, t.Text());
    return path;
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The edited antenna: three own wires.
        for (int i = 0; i < 3; ++i) M.NewWire({0, 0, double(i)}, {0, 0, i + 0.5}, -2);
        M.StoreUndoStep(false);
    }
    std::string File(const std::string& name) { return Dir.File(name); }
    // The wires of one tag, in list order.
    std::vector<TWire*> Tagged(int32_t tag) {
        std::vector<TWire*> out;
        for (TWire* w : M)
            if (w->OwnerTag() == tag) out.push_back(w);
        return out;
    }
    double LowestX(int32_t tag) {
        double x = 1e300;
        for (TWire* w : Tagged(tag)) x = std::min({x, w->P1().X, w->P2().X});
        return x;
    }

    TempDir Dir;
    TWireList M;
    TScene S{M};
};

} // namespace

TEST_F(SceneTest, TheSameFileNameFromAnotherFolderIsIgnored) {
    std::filesystem::create_directories(Dir.Path() / "b");
    EXPECT_EQ(S.AddAntenna(Ladder(File("yagi.maa"), 2)), 0);
    EXPECT_EQ(S.AddAntenna(Ladder(File("b/yagi.maa"), 4)), -1);
    ASSERT_EQ(S.Antennas.size(), 1u);
    EXPECT_EQ(S.Antennas[0].Name, "yagi.maa");
    EXPECT_EQ(M.CountByTag(1), 2u);
}

TEST_F(SceneTest, RemovingAnAntennaKeepsTagsEqualToListPositions) {
    double x = 0;
    for (const char* name : {"a.maa", "b.maa", "c.maa"}) S.AddAntenna(Ladder(File(name), 2, x += 5));
    ASSERT_EQ(M.Count(), 9u);
    S.RemoveAntenna(0);
    ASSERT_EQ(S.Antennas.size(), 2u);
    EXPECT_EQ(S.Antennas[0].Name, "b.maa");
    EXPECT_EQ(M.CountByTag(1), 2u);
    EXPECT_EQ(M.CountByTag(2), 2u);
    EXPECT_EQ(M.CountByTag(3), 0u);
    // Moving the new first antenna moves what was the second, and only it.
    const std::vector<TWire*> third = Tagged(2);
    S.PlaceAntenna(0, {20, 0, 0}, 0);
    EXPECT_EQ(LowestX(1), 30); // 10 in its file
    EXPECT_EQ(Tagged(2), third);
    EXPECT_EQ(LowestX(2), 15);
    EXPECT_EQ(M.OwnCount(), 3u);
}

TEST_F(SceneTest, NoElementKeepsAWireThatIsGone) {
    ModelText t;
    t.Sources.clear();
    t.Wires = {"0,0,0.5,0,0,0.8,0.001,-1"}; // touches the first own wire end to end
    WriteBytes(File("touch.maa"), t.Text());
    S.AddAntenna(File("touch.maa"));
    M.StoreUndoStep(false);
    ASSERT_EQ(M[0]->Element()->ElementWires.size(), 2u); // joined
    S.RemoveAntenna(0);
    ASSERT_EQ(M.Count(), 3u);
    for (const auto& e : M.Elements)
        for (const TWire* w : e->ElementWires) EXPECT_EQ(w->OwnerList(), &M);
    EXPECT_EQ(M[0]->Element()->ElementWires.size(), 1u);
}

TEST_F(SceneTest, UndoLeavesForeignWiresWhereTheScenePutThem) {
    S.SetLandscape(Ladder(File("hill.lnd"), 2, 50));
    S.AddAntenna(Ladder(File("a.maa"), 2));
    S.PlaceAntenna(0, {10, 0, 0}, 0);
    M[0]->SetEnds({1, 0, 0}, {1, 0, 1}, false, false, true);
    M.StoreUndoStep(false);
    ASSERT_TRUE(M.Undo());
    EXPECT_EQ(M.OwnCount(), 3u);
    EXPECT_TRUE(VecEqual(M[0]->P1(), {0, 0, 0}));
    EXPECT_EQ(M.CountByTag(-1), 2u);
    EXPECT_EQ(LowestX(-1), 50);
    EXPECT_EQ(LowestX(1), 10);
    ASSERT_TRUE(M.Redo());
    EXPECT_EQ(M.Count(), 7u);
}

TEST_F(SceneTest, LandscapeIsReplacedRemovedAndShiftedAsOnePiece) {
    S.SetLandscape(Ladder(File("one.lnd"), 4));
    EXPECT_FALSE(S.SetLandscape(File("missing.lnd"))); // nothing changes
    EXPECT_EQ(M.CountByTag(-1), 4u);
    S.SetLandscape(Ladder(File("two.lnd"), 2));
    EXPECT_EQ(M.CountByTag(-1), 2u);
    EXPECT_EQ(S.LandscapePath, File("two.lnd"));

    // A row of wires end to end, shifted by one wire length: each moves onto the place
    // its neighbour leaves.
    ModelText row;
    row.Sources.clear();
    row.Wires = {"0,0,0,1,0,0,0.001,-1", "1,0,0,2,0,0,0.001,-1", "2,0,0,3,0,0,0.001,-1"};
    WriteBytes(File("row.lnd"), row.Text());
    S.SetLandscape(File("row.lnd"));
    S.AddAntenna(Ladder(File("a.maa"), 1));
    S.ShiftLandscape({-1, 0, 0});
    const std::vector<TWire*> land = Tagged(-1);
    ASSERT_EQ(land.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(land[static_cast<size_t>(i)]->P1().X, i + 1);
    EXPECT_EQ(LowestX(1), 0); // antennas stay

    S.DeleteLandscape();
    EXPECT_TRUE(S.LandscapePath.empty());
    EXPECT_EQ(M.CountByTag(-1), 0u);
    S.SceneFileName = File("s.scn");
    ASSERT_TRUE(S.SaveScene().Ok);
    EXPECT_EQ(S.SceneFileLines()[0], "");
}

TEST_F(SceneTest, SaveClearLoadGivesTheSameAntennasInTheSameOrder) {
    M.FileName = File("main.maa");
    S.SetLandscape(Ladder(File("hill.lnd"), 3));
    S.AddAntenna(Ladder(File("a.maa"), 1));
    S.AddAntenna(Ladder(File("b.maa"), 2));
    S.AddAntenna(File("gone.maa")); // no such file: listed, no wires
    S.PlaceAntenna(0, {0.25, -12.5, 0.1}, -30);
    S.PlaceAntenna(1, {1234.5678, 0, 7}, 12.5);
    S.SceneFileName = File("s.scn");
    ASSERT_TRUE(S.SaveScene().Ok);
    EXPECT_EQ(ReadBytes(File("s.scn")), File("hill.lnd") + "\r\n" + File("main.maa") + "\r\n" + File("a.maa") +
                                            ",0.25,-12.5,0.1,-30\r\n" + File("b.maa") + ",1234.5678,0,7,12.5\r\n" +
                                            File("gone.maa") + ",0,0,0,0\r\n");
    const size_t wires = M.Count();

    S.ClearScene();
    EXPECT_EQ(M.Count(), 3u);
    EXPECT_EQ(S.SceneFileName, File("s.scn"));
    ASSERT_TRUE(S.LoadScene(File("s.scn")));
    EXPECT_EQ(M.Count(), wires);
    EXPECT_EQ(S.LandscapePath, File("hill.lnd"));
    EXPECT_EQ(S.ModelPath, File("main.maa"));
    ASSERT_EQ(S.Antennas.size(), 3u);
    EXPECT_EQ(S.Antennas[0].Name, "a.maa");
    EXPECT_TRUE(VecEqual(S.Antennas[0].Offset, {0.25, -12.5, 0.1}));
    EXPECT_EQ(S.Antennas[0].Turn, -30);
    EXPECT_EQ(S.Antennas[1].Offset.X, 1234.5678);
    EXPECT_EQ(S.Antennas[1].Turn, 12.5);
    EXPECT_EQ(M.CountByTag(2), 2u);
    EXPECT_EQ(S.Antennas[2].Path, File("gone.maa"));
    EXPECT_EQ(S.Warnings.size(), 1u); // the missing antenna file

    // A file that does not exist changes nothing.
    std::string error;
    EXPECT_FALSE(S.LoadScene(File("none.scn"), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(S.Antennas.size(), 3u);
}

TEST_F(SceneTest, AnEmptySceneIsTwoLines) {
    M.FileName = "/x/main.maa";
    S.SceneFileName = File("e.scn");
    ASSERT_TRUE(S.SaveScene().Ok);
    EXPECT_EQ(ReadBytes(File("e.scn")), "\r\n/x/main.maa\r\n");
    ASSERT_TRUE(S.LoadScene(File("e.scn")));
    EXPECT_TRUE(S.Antennas.empty());
    EXPECT_TRUE(S.LandscapePath.empty());
}

TEST_F(SceneTest, AnAntennaLineWithoutNumbersPlacesItAtTheOriginAndSaysWhichLine) {
    Ladder(File("a.maa"), 1);
    Ladder(File("b.maa"), 1, 5);
    // Relative paths name files beside the scene file; an empty line is an entry too.
    WriteBytes(File("bad.scn"), "\r\nmain.maa\r\na.maa,x,,3\r\nb.maa, 2 ,1,0,90\r\n\r\n");
    ASSERT_TRUE(S.LoadScene(File("bad.scn")));
    ASSERT_EQ(S.Antennas.size(), 3u);
    EXPECT_EQ(S.Antennas[0].Path, File("a.maa"));
    EXPECT_TRUE(VecEqual(S.Antennas[0].Offset, {0, 0, 3}));
    EXPECT_EQ(S.Antennas[0].Turn, 0);
    EXPECT_TRUE(VecEqual(S.Antennas[1].Offset, {2, 1, 0}));
    EXPECT_EQ(S.Antennas[1].Turn, 90);
    EXPECT_EQ(S.Antennas[2].Name, "");
    ASSERT_EQ(S.Warnings.size(), 2u);
    EXPECT_NE(S.Warnings[0].find("строка 3"), std::string::npos);
    EXPECT_NE(S.Warnings[1].find("строка 5"), std::string::npos);
    EXPECT_EQ(LowestX(1), 0);
}

TEST_F(SceneTest, APathWithACommaIsNotWritten) {
    std::filesystem::create_directories(Dir.Path() / "a,b");
    S.AddAntenna(Ladder(File("a,b/yagi.maa"), 1));
    S.SceneFileName = File("c.scn");
    const TFileResult r = S.SaveScene();
    EXPECT_FALSE(r.Ok);
    EXPECT_NE(r.Message.find("запят"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(File("c.scn")));
}

TEST_F(SceneTest, TheExportHoldsEveryWireAndLeavesTheModelAsItWas) {
    M.FileName = File("main.maa");
    ASSERT_TRUE(WriteModel(M, M.FileName, false).Ok);
    S.SetLandscape(Ladder(File("hill.lnd"), 10, 30));
    S.AddAntenna(Ladder(File("a.maa"), 4, 10));
    S.AddAntenna(Ladder(File("b.maa"), 4, 20));
    M.Modified = true;
    const TWriteResult w = WriteModel(M, File("sc_main.maa"), true);
    ASSERT_TRUE(w.Ok);
    TWireList back;
    ASSERT_TRUE(ReadModel(back, File("sc_main.maa")).Ok());
    EXPECT_EQ(back.OwnCount(), 21u);
    EXPECT_EQ(M.FileName, File("main.maa"));
    EXPECT_TRUE(M.Modified);
    ASSERT_TRUE(ReadModel(back, File("main.maa")).Ok());
    EXPECT_EQ(back.OwnCount(), 3u);
}
