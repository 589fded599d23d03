#include "files/maa_reader.h"
#include "files/maa_writer.h"
#include "model/number_format.h"
#include "model_text.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace velomast;
using velomast::test::ModelText;
using velomast::test::ReadBytes;
using velomast::test::TempDir;
using velomast::test::WriteBytes;

namespace {
// The dipole of the file layout's example: a 5 m wire 10 m high, its source at the centre.
void MakeDipole(TWireList& m) {
    m.ModelName = "Test";
    m.SetFrequency(14.06);
    m.SegmentationLine = "800,\t80,\t2.0,\t1";
    m.NewWire({0, -2.5, 10}, {0, 2.5, 10}, 0.0008);
    m.NewObjectFromText(KindSource, "w1c,\t0.0,\t1.0");
}
} // namespace

TEST(WriteModel, SmallModelByteForByte) {
    TWireList m;
    MakeDipole(m);
    EXPECT_EQ(JoinLinesCrLf(ModelFileLines(m, false)), ModelText{}.Text());

    m.NewWire({0, 2.5, 10}, {0, 2.5, 0}, 0.0008);
    const std::string expected = "Test\r\n*\r\n14.06\r\n***Wires***\r\n2\r\n"
                                 "0.0,\t-2.5,\t10.0,\t0.0,\t2.5,\t10.0,\t0.0008,\t-1\r\n"
                                 "0.0,\t2.5,\t10.0,\t0.0,\t2.5,\t0.0,\t0.0008,\t-1\r\n"
                                 "***Source***\r\n1,\t0\r\nw1c,\t0.0,\t1.0\r\n***Load***\r\n0,\t0\r\n"
                                 "***Segmentation***\r\n800,\t80,\t2.0,\t1\r\n"
                                 "***G/H/M/R/AzEl/X***\r\n0,\t0.0,\t0,\t50.0,\t120,\t60,\t0.0\r\n";
    EXPECT_EQ(JoinLinesCrLf(ModelFileLines(m, false)), expected);
}

TEST(WriteModel, NumbersSettingsAndLoads) {
    TWireList m;
    MakeDipole(m);
    m.SetFrequency(7);
    m.NewWire({0, 0, 0}, {0, 0, 0.0001}, -0.001)->Segments = 12; // 0.1 mm long
    m.NewWire({1e12, 0, 0}, {-123456.7891, 6e-5, 1}, 0.00075);
    m.GroundType = 2;
    m.BaseHeight = 10.26;
    m.StdZR = 75;
    m.StdZjX = -12.34;
    m.FBAzimuth = 90;
    m.FBElevation = 30;
    m.Material = 3;
    m.NewObjectFromText(KindLoad, "w2c, 1, 50, 0");
    m.NewObjectFromText(KindLoad, "w3b9, 0, 1e-6, 2.5e-12, 100, 14.1");
    m.NewObjectFromText(KindLoad, "w1e, 2, 1, 2, 3, 4, 5");
    m.NewObjectFromText(KindLoad, "w1c, x, 5");
    m.NewObjectFromText(KindSource, "w10c-1, 0, 1", nullptr); // no wire 10: not created
    m.NewObjectFromText(KindSource, "w3e-1, -90, 2.5");
    const std::vector<std::string> l = ModelFileLines(m, false);
    ASSERT_EQ(l.size(), 22u);
    EXPECT_EQ(l[2], "7");
    EXPECT_EQ(l[6], "0.0,\t0.0,\t0.0,\t0.0,\t0.0,\t0.0001,\t-0.001,\t12");
    EXPECT_EQ(l[7], "1000000000000.0,\t0.0,\t0.0,\t-123456.7891,\t0.0001,\t1.0,\t0.00075,\t-1");
    EXPECT_EQ(l[9], "2,\t0");
    EXPECT_EQ(l[11], "w3e-1,\t-90.0,\t2.5");
    EXPECT_EQ(l[13], "4,\t1");
    EXPECT_EQ(l[14], "w2c,\t1,\t50.0,\t0.0");
    EXPECT_EQ(l[15], "w3b9,\t0,\t1E-6,\t2.5E-12,\t100.0,\t14.1");
    EXPECT_EQ(l[16], "w1e,\t2,\t1.0,\t2.0,\t3.0,\t4.0,\t5.0,\t0.0,\t0.0");
    EXPECT_EQ(l[17], "w1c,\t-2147483647,\t5.0"); // an unreadable type keeps its field
    EXPECT_EQ(l[21], "2,\t10.3,\t3,\t75.0,\t90,\t30,\t-12.3");
}

TEST(WriteModel, WireLinesMatchTheGeneralFileFormat) {
    // Coordinates take a fast path; it must give exactly FormatFileReal's text.
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> any(-2e5, 2e5);
    std::uniform_int_distribution<int> digits(0, 11);
    for (int i = 0; i < 20000; ++i) {
        double scale = 1;
        for (int k = digits(rng); k > 0; --k) scale *= 10;
        Vec3 a{Round4(any(rng) / scale), Round4(any(rng) * scale), Round4(any(rng))};
        Vec3 b{Round4(any(rng) * 1e6), -a.Y, 0.0001 * (i % 50)};
        TWire w;
        w.AssignEnds(a, b, false);
        w.Radius = any(rng) * 1e-6;
        std::string expected;
        for (double v : {a.X, a.Y, a.Z, b.X, b.Y, b.Z, w.Radius}) expected += FormatFileReal(v) + ",\t";
        expected += "-1";
        ASSERT_EQ(ModelWireLine(w), expected);
    }
}

TEST(WriteModel, SceneWiresOnlyWithTheScene) {
    TWireList m;
    m.NewWire({0, 0, 0}, {0, 0, 5}, 0.001, 1);
    m.NewWire({0, 0, 5}, {0, 0, 9}, 0.001, -1);
    for (int i = 0; i < 3; ++i) m.NewWire({1.0 * i, 0, 0}, {1.0 * i, 0, 1}, 0.001);
    std::vector<std::string> own = ModelFileLines(m, false);
    std::vector<std::string> all = ModelFileLines(m, true);
    EXPECT_EQ(own[4], "3");
    EXPECT_EQ(own[8], "***Source***");
    EXPECT_EQ(all[4], "5");
    EXPECT_EQ(all[10], "***Source***");
}

TEST(WriteModel, SourcesWithoutAWireAreLeftOut) {
    TWireList m;
    MakeDipole(m);
    auto loose = std::make_unique<TWObject>();
    loose->OwnerList = &m;
    m.Sources.push_back(std::move(loose));
    std::vector<std::string> warnings;
    const std::vector<std::string> l = ModelFileLines(m, false, &warnings);
    EXPECT_EQ(l[7], "1,\t0");
    EXPECT_EQ(l[8], "w1c,\t0.0,\t1.0");
    EXPECT_EQ(warnings.size(), 1u);
}

TEST(WriteModel, OptionalBlocks) {
    TWireList m;
    MakeDipole(m);
    m.TaperLines = {"-0.001,\t0,\t2.0,\t0.01,\t99999.9,\t0.008"};
    m.Comment = "\r\nПервая\r\nВторая";
    m.LinkedList = {"band40.maa"};
    std::vector<std::string> l = ModelFileLines(m, false);
    const std::vector<std::string> tail(l.begin() + 15, l.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"$$$ Taper wire set $$$", "1", "-0.001,\t0,\t2.0,\t0.01,\t99999.9,\t0.008",
                                              "### Comment ###", "", "Первая", "Вторая"}));
    m.StoreLinkedList = true;
    l = ModelFileLines(m, false);
    EXPECT_EQ(std::vector<std::string>(l.end() - 3, l.end()),
              (std::vector<std::string>{"", "***LinkedFiles***", "band40.maa"}));

    // The comment heading also stands for linked files alone; line breaks never split a line.
    m.Comment.clear();
    m.TaperLines.clear();
    m.ModelName = "two\r\nlines";
    l = ModelFileLines(m, false);
    EXPECT_EQ(l[0], "two  lines");
    EXPECT_EQ(std::vector<std::string>(l.begin() + 15, l.end()),
              (std::vector<std::string>{"### Comment ###", "", "***LinkedFiles***", "band40.maa"}));
}

TEST(WriteModel, RoundTripKeepsTheModel) {
    ModelText t;
    t.Name = "Квадрат на 20 м";
    t.Wires = {"0,0,0,1,0,0,0.001,-1", "1,0,0,1,1,0,-0.002,7", "1,1,0,0,1,0,0,-1", "0,1,0,0,0,0,0.001,-2",
               "5,5,5,5,5,5,0.001,-1", "1,0,0,0,0,0,0.001,-1"};
    t.Sources = {"w1c,0,1", "w6e-1,90,2"};
    t.Loads = {"w2b9,1,50,-25", "w3c,2,1,2,3,4,5"};
    t.Settings = "2,\t10.26,\t1,\t75.0,\t90,\t30,\t-3.04";
    t.Tail = {"$$$ Taper wire set $$$", "1", "-0.002,\t0,\t2.0,\t0.01,\t99999.9,\t0.008", "### Comment ###",
              "Строка 1", "Строка 2", "***LinkedFiles***", "a.maa"};
    std::string bytes;
    ASSERT_TRUE(Utf8ToCp1251(t.Text(), bytes));

    TWireList a;
    ASSERT_TRUE(ReadModelBytes(a, bytes, "a.maa").Ok());
    a.StoreLinkedList = true;
    const std::string once = EncodeModelText(ModelFileLines(a, false), a.Encoding, a.EncodingBom);
    TWireList b;
    ASSERT_TRUE(ReadModelBytes(b, once, "b.maa").Ok());
    b.StoreLinkedList = true;
    EXPECT_EQ(EncodeModelText(ModelFileLines(b, false), b.Encoding, b.EncodingBom), once);

    ASSERT_EQ(b.OwnCount(), a.OwnCount());
    for (size_t i = 0; i < a.OwnCount(); ++i) {
        EXPECT_TRUE(VecEqual(a[i]->P1(), b[i]->P1())) << i;
        EXPECT_TRUE(VecEqual(a[i]->P2(), b[i]->P2())) << i;
        EXPECT_EQ(a[i]->Radius, b[i]->Radius);
        EXPECT_EQ(a[i]->Segments, b[i]->Segments);
    }
    ASSERT_EQ(b.Sources.size(), 2u);
    EXPECT_EQ(b.Sources[1]->WireRef(), "w6e-1");
    ASSERT_EQ(b.Loads.size(), 2u);
    EXPECT_EQ(b.Loads[0]->WireRef(), "w2b9");
    EXPECT_EQ(b.Loads[0]->Values, a.Loads[0]->Values);
    EXPECT_EQ(b.Loads[1]->Values, a.Loads[1]->Values);
    EXPECT_EQ(b.ModelName, "Квадрат на 20 м");
    EXPECT_EQ(b.Comment, a.Comment);
    EXPECT_EQ(b.TaperLines, a.TaperLines);
    EXPECT_EQ(b.LinkedList, a.LinkedList);
    EXPECT_EQ(b.BaseHeight, 10.3);
    EXPECT_EQ(b.StdZjX, -3.0);
    EXPECT_EQ(b.GroundType, 2);
    EXPECT_EQ(b.Encoding, TTextEncoding::Cp1251);
}

TEST(WriteModel, WritesTheEncodingItRead) {
    TWireList m;
    MakeDipole(m);
    m.ModelName = "Диполь";
    bool utf8 = true;
    EXPECT_EQ(EncodeModelText({m.ModelName}, TTextEncoding::Cp1251, false, &utf8), "\xC4\xE8\xEF\xEE\xEB\xFC\r\n");
    EXPECT_FALSE(utf8);
    EXPECT_EQ(EncodeModelText({m.ModelName}, TTextEncoding::Utf8, false), "Диполь\r\n");
    EXPECT_EQ(EncodeModelText({m.ModelName}, TTextEncoding::Utf8, true), "\xEF\xBB\xBFДиполь\r\n");
    // Lines already encoded before the first that Windows-1251 cannot hold are written
    // again as UTF-8: the whole file is in one encoding, after the mark it had.
    EXPECT_EQ(EncodeModelText({"Диполь", "a", "中"}, TTextEncoding::Cp1251, true, &utf8),
              "\xEF\xBB\xBFДиполь\r\na\r\n中\r\n");
    EXPECT_TRUE(utf8);

    // A character Windows-1251 lacks: the file becomes UTF-8 rather than lose it.
    TempDir dir;
    m.ModelName = "Диполь 中";
    const TWriteResult r = WriteModel(m, dir.File("d.maa"), false);
    ASSERT_TRUE(r.Ok);
    ASSERT_EQ(r.Warnings.size(), 1u);
    EXPECT_EQ(m.Encoding, TTextEncoding::Utf8);
    EXPECT_EQ(ReadBytes(dir.File("d.maa")).substr(0, 16), "Диполь 中");
    TWireList back;
    ASSERT_TRUE(ReadModel(back, dir.File("d.maa")).Ok());
    EXPECT_EQ(back.ModelName, "Диполь 中");
}

TEST(WriteModel, SaveSetsFileNameAndClearsModified) {
    TempDir dir;
    TWireList m;
    MakeDipole(m);
    m.StoreUndoStep(false);
    ASSERT_TRUE(m.Modified);
    const std::string name = dir.File("dipole.maa");
    TWriteResult r = WriteModel(m, name, false);
    ASSERT_TRUE(r.Ok) << r.Message;
    EXPECT_EQ(m.FileName, name);
    EXPECT_FALSE(m.Modified);
    EXPECT_EQ(ReadBytes(name), ModelText{}.Text());
    EXPECT_EQ(m.FileLines, ModelText{}.Lines());

    // The scene export touches neither the name nor the flag.
    m.Modified = true;
    r = WriteModel(m, dir.File("sc_dipole.maa"), true);
    ASSERT_TRUE(r.Ok);
    EXPECT_EQ(m.FileName, name);
    EXPECT_TRUE(m.Modified);
}

TEST(WriteModel, FailedSaveChangesNothing) {
    TempDir dir;
    TWireList m;
    MakeDipole(m);
    m.FileName = "old.maa";
    m.Modified = true;
    for (const std::string& target : {dir.File("no/such/folder/x.maa"), dir.Path().string()}) {
        const TWriteResult r = WriteModel(m, target, false);
        EXPECT_FALSE(r.Ok) << target;
        EXPECT_NE(r.Message.find("Не удалось записать файл"), std::string::npos) << r.Message;
        EXPECT_EQ(m.FileName, "old.maa");
        EXPECT_TRUE(m.Modified);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 0); // no temporary left
}

TEST(WriteModel, ReplacesAnExistingFileKeepingItsPermissions) {
    TempDir dir;
    const std::string name = dir.File("x.maa");
    WriteBytes(name, "old contents");
    namespace fs = std::filesystem;
    fs::permissions(name, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    TWireList m;
    MakeDipole(m);
    ASSERT_TRUE(WriteModel(m, name, false).Ok);
    EXPECT_EQ(ReadBytes(name), ModelText{}.Text());
    EXPECT_EQ(fs::status(name).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
}

TEST(WriteModel, EveryLoadParameterKeepsItsField) {
    TWireList m;
    MakeDipole(m);
    m.NewObjectFromText(KindLoad, "w1c, 0, 1.5, x, 100"); // C unreadable, Q = 100
    m.NewObjectFromText(KindLoad, "w1b, 1, 50, 0, 7");
    m.Loads[1]->Values[2] = NoValue; // a middle cell cleared in the grid
    m.NewObjectFromText(KindLoad, "w1e, 2, x, x, x, x, 9");
    const std::vector<std::string> l = ModelFileLines(m, false);
    EXPECT_EQ(l[11], "w1c,\t0,\t1.5,\t0.0,\t100.0");
    EXPECT_EQ(l[12], "w1b,\t1,\t50.0,\t0.0,\t7.0");
    EXPECT_EQ(l[13], "w1e,\t2,\t0.0,\t0.0,\t0.0,\t0.0,\t9.0");

    TWireList back;
    ASSERT_TRUE(ReadModelBytes(back, JoinLinesCrLf(l), "b.maa").Ok());
    ASSERT_EQ(back.Loads.size(), 3u);
    EXPECT_EQ(back.Loads[0]->Values[3], 100.0);
    EXPECT_EQ(back.Loads[0]->Values[4], NoValue); // trailing parameters stay left out
    EXPECT_EQ(back.Loads[1]->Values[3], 7.0);
    EXPECT_EQ(back.Loads[2]->Values[5], 9.0);
}

TEST(WriteModel, CommentLinesThatLookLikeHeadingsStayComment) {
    TWireList m;
    MakeDipole(m);
    m.Comment = "\r\n* пункт первый\r\n  * вложенный пункт\r\nсписок в LinkedFiles ниже\r\n***LinkedFiles***\r\n"
                "band.maa\r\n обычная строка с пробелом\r\n   \r\n###\r\n$$$\r\nпоследняя";
    m.LinkedList = {"real.maa"};
    m.StoreLinkedList = true;
    const std::string once = EncodeModelText(ModelFileLines(m, false), m.Encoding, m.EncodingBom);
    TWireList back;
    ASSERT_TRUE(ReadModelBytes(back, once, "b.maa").Ok());
    EXPECT_EQ(back.Comment, m.Comment);
    EXPECT_EQ(back.LinkedList, m.LinkedList);
    back.StoreLinkedList = true;
    EXPECT_EQ(EncodeModelText(ModelFileLines(back, false), back.Encoding, back.EncodingBom), once);
}
