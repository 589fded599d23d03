#include "scene/foreign_model.h"

#include "model_text.h"
#include "test_util.h"

#include <gtest/gtest.h>

using namespace velomast;
using velomast::test::ModelText;
using velomast::test::TempDir;
using velomast::test::WriteBytes;

namespace {

std::string WireLine(Vec3 a, Vec3 b, const char* radius = "0.001") {
    auto n = [](double v) { return std::to_string(v); };
    return n(a.X) + ",\t" + n(a.Y) + ",\t" + n(a.Z) + ",\t" + n(b.X) + ",\t" + n(b.Y) + ",\t" + n(b.Z) + ",\t" + radius +
           ",\t-1";
}

// A model file of the given wire lines, without sources.
std::string AntennaFile(const TempDir& dir, const std::string& name, std::vector<std::string> wires) {
    ModelText t;
    t.Wires = std::move(wires);
    t.Sources.clear();
    const std::string path = dir.File(name);
    WriteBytes(path, t.Text());
    return path;
}

bool Ends(const TWire* w, Vec3 a, Vec3 b) { return VecEqual(w->P1(), a) && VecEqual(w->P2(), b); }

} // namespace

TEST(LoadForeignModel, PlacesByOffsetAboveTheGroundAndTurnsClockwiseAboutTheBase) {
    TempDir dir;
    const std::string path = AntennaFile(dir, "a.maa", {WireLine({0, 1, 0}, {0, 2, 0})});
    struct Case {
        double Turn;
        Vec3 A, B;
    };
    // Offset dX 10, dZ 5 beside a model whose base is 2 m high: Z becomes 5 - 2.
    const Case cases[] = {
        {0, {10, 1, 3}, {10, 2, 3}},
        {90, {11, 0, 3}, {12, 0, 3}}, // +Y moves towards +X
        {-90, {9, 0, 3}, {8, 0, 3}},
        {180, {10, -1, 3}, {10, -2, 3}},
        {30, {10.5, 0.866, 3}, {11, 1.7321, 3}}, // rounded to 0.1 mm
    };
    for (const Case& c : cases) {
        TWireList m;
        m.BaseHeight = 2;
        m.NewWire({0, 0, 0}, {0, 0, 1}, -2);
        ASSERT_TRUE(LoadForeignModel(m, path, 1, c.Turn, {10, 0, 5}));
        ASSERT_EQ(m.Count(), 2u);
        EXPECT_EQ(m.OwnCount(), 1u);
        EXPECT_EQ(m[1]->OwnerTag(), 1);
        EXPECT_TRUE(Ends(m[1], c.A, c.B)) << "turn " << c.Turn << ": " << m[1]->P1().X << " " << m[1]->P1().Y << " "
                                          << m[1]->P2().X << " " << m[1]->P2().Y;
    }
}

TEST(LoadForeignModel, LoadsWiresOnlyFromModelFilesAndFailsOnlyForAMissingOne) {
    TempDir dir;
    TWireList m;
    EXPECT_FALSE(LoadForeignModel(m, dir.File("none.maa"), 1, 0, {}));
    WriteBytes(dir.File("short.maa"), "a\r\n*\r\n14\r\n***Wires***\r\n");
    WriteBytes(dir.File("nostar.maa"), "a\r\n#\r\n14\r\n***Wires***\r\n1\r\n0,0,0,1,0,0,0.001,-1\r\n");
    TForeignLoad r;
    for (const char* name : {"short.maa", "nostar.maa"}) {
        EXPECT_TRUE(LoadForeignModel(m, dir.File(name), 1, 0, {}, &r)) << name;
        EXPECT_FALSE(r.IsModel) << name;
        EXPECT_TRUE(DescribeForeignLoad("x", r).empty()) << name;
    }
    EXPECT_EQ(m.Count(), 0u);
    // An older file with further numbers behind the wire count is read as the editor reads it.
    WriteBytes(dir.File("old.maa"), "a\r\n*\r\n14\r\n***Wires***\r\n1, 4, 1, 0.68\r\n0,0,0,1,0,0,0.001,-1\r\n");
    EXPECT_TRUE(LoadForeignModel(m, dir.File("old.maa"), 1, 0, {}, &r));
    EXPECT_EQ(m.Count(), 1u);
}

TEST(LoadForeignModel, LeavesOutWiresThatCannotBePlacedAndSaysHowMany) {
    TempDir dir;
    TWireList m;
    m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    const std::string path = AntennaFile(dir, "odd.maa",
                                         {WireLine({0, 0, 0}, {1, 0, 0}),           // repeats the own wire
                                          WireLine({2, 0, 0}, {2, 0, 0}),           // no length
                                          WireLine({3, 0, 0}, {3, 0, 0.00001}),     // no length once rounded
                                          "0, 0, x, 1, 1, 1, 0.001, -1",            // not a number
                                          WireLine({5, 0, 0}, {6, 0, 0}),           // fine
                                          WireLine({6, 0, 0}, {5, 0, 0})});         // the one before, reversed
    TForeignLoad r;
    ASSERT_TRUE(LoadForeignModel(m, path, 2, 0, {}, &r));
    ASSERT_EQ(m.Count(), 2u);
    EXPECT_TRUE(Ends(m[1], {5, 0, 0}, {6, 0, 0}));
    EXPECT_EQ(r.Added, 1);
    EXPECT_EQ(r.Skipped, 4);
    EXPECT_EQ(r.Unreadable, 1);
    EXPECT_EQ(DescribeForeignLoad("Антенна odd.maa", r).size(), 2u);
}

TEST(LoadForeignModel, AFileCutShortGivesTheWiresItHas) {
    TempDir dir;
    ModelText t;
    t.WireCount = "5";
    t.Wires = {WireLine({0, 0, 0}, {1, 0, 0}), WireLine({0, 0, 0}, {0, 1, 0})};
    WriteBytes(dir.File("cut.maa"), t.Text());
    WriteBytes(dir.File("end.maa"), "a\r\n*\r\n14\r\n***Wires***\r\n3\r\n" + WireLine({0, 0, 0}, {0, 0, 1}) + "\r\n");
    for (const char* name : {"cut.maa", "end.maa"}) {
        TWireList m;
        TForeignLoad r;
        ASSERT_TRUE(LoadForeignModel(m, dir.File(name), -1, 0, {}, &r));
        EXPECT_TRUE(r.Truncated()) << name;
        EXPECT_EQ(static_cast<int32_t>(m.Count()), r.Present) << name;
        EXPECT_EQ(r.Unreadable, 0) << name; // the next section is not taken for wires
        const std::vector<std::string> said = DescribeForeignLoad("Ландшафт", r);
        ASSERT_EQ(said.size(), 1u) << name;
        EXPECT_NE(said[0].find("указано проводов " + std::to_string(r.Announced)), std::string::npos);
    }
}

TEST(LoadForeignModel, DecomposesCombinedWiresAfterTheirOwnFile) {
    TempDir dir;
    ModelText t;
    t.Wires = {WireLine({0, 0, 0}, {10, 0, 0}, "-0.001")};
    t.Sources.clear();
    t.Tail = {"$$$ Taper wire set $$$", "1", "-0.001, 0, 2.0, 0.002, 1.0, 0.001, 99999, 0.0005"};
    WriteBytes(dir.File("combo.maa"), t.Text());

    TWireList m;
    // The edited model's own set means something else by the same number.
    m.TaperLines = {"-0.001, 1, 5.0, 0.003"};
    // An own wire at the combined wire's far end, with connections kept: it must not be
    // dragged along when the scene wire is cut down to its centre piece.
    m.KeepConnections = true;
    m.NewWire({10, 0, 0}, {10, 0, 5}, -2);
    ASSERT_TRUE(LoadForeignModel(m, dir.File("combo.maa"), 1, 0, {}));
    EXPECT_TRUE(Ends(m[0], {10, 0, 0}, {10, 0, 5}));
    ASSERT_EQ(m.CountByTag(1), 5u);
    EXPECT_TRUE(Ends(m[1], {4, 0, 0}, {6, 0, 0}));
    EXPECT_EQ(m[1]->Radius, 0.002);
    for (size_t i = 1; i < m.Count(); ++i) EXPECT_GT(m[i]->Radius, 0);
}
