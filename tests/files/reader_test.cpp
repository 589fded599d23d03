#include "files/maa_reader.h"
#include "files/maa_writer.h"
#include "model/text_parse.h"
#include "model_text.h"
#include "test_util.h"

#include <gtest/gtest.h>

using namespace velomast;
using velomast::test::ModelText;

namespace {
TReadResult Read(TWireList& m, const std::string& text) { return ReadModelBytes(m, text, "/models/test.maa"); }
TReadResult Read(TWireList& m, const ModelText& t) { return Read(m, t.Text()); }

Vec3 V(double x, double y, double z) { return {x, y, z}; }
void ExpectVec(const Vec3& a, const Vec3& b) {
    EXPECT_EQ(a.X, b.X);
    EXPECT_EQ(a.Y, b.Y);
    EXPECT_EQ(a.Z, b.Z);
}
} // namespace

TEST(ReadModel, SmallDipoleReadsCompletely) {
    TWireList m;
    const TReadResult r = Read(m, ModelText{});
    ASSERT_TRUE(r.Ok()) << r.Message;
    EXPECT_TRUE(r.LongFile);
    EXPECT_TRUE(r.Warnings.empty());
    EXPECT_EQ(m.ModelName, "Test");
    EXPECT_EQ(m.FileName, "/models/test.maa");
    EXPECT_EQ(m.FileLineCount, 15u);
    EXPECT_DOUBLE_EQ(m.Frequency, 14.06);
    ASSERT_EQ(m.OwnCount(), 1u);
    ExpectVec(m[0]->P1(), V(0, -2.5, 10));
    ExpectVec(m[0]->P2(), V(0, 2.5, 10));
    EXPECT_EQ(m[0]->Radius, 0.0008);
    EXPECT_EQ(m[0]->Segments, -1);
    ASSERT_EQ(m.Sources.size(), 1u);
    EXPECT_EQ(m.Sources[0]->Wire, m[0]);
    EXPECT_EQ(m.Sources[0]->Position, PosCentre);
    EXPECT_EQ(m.Sources[0]->Values[0], 1.0);
    EXPECT_EQ(m.Sources[0]->Values[1], 0.0);
    EXPECT_EQ(m.SegmentationLine, "800,\t80,\t2.0,\t1");
    EXPECT_EQ(m.StdZR, 50.0);
    // The loaded state is undo step 1, the first wire is current, nothing is modified.
    EXPECT_EQ(m.HistoryPos, 1);
    EXPECT_EQ(m.HistoryCount(), 1);
    EXPECT_EQ(m.Selection.Current(), m[0]);
    EXPECT_FALSE(m.Modified);
    EXPECT_EQ(m.Elements.size(), 1u);
    EXPECT_EQ(m.LoadedFrequency, m.Frequency);
}

TEST(ReadModel, SectionsAreCountedNotNamed) {
    ModelText english;
    english.Loads = {"w1b,\t1,\t50.0,\t0.0"};
    english.Settings = "2,\t10.0,\t1,\t75.0,\t90,\t30,\t5.0";
    ModelText other = english;
    other.WireHeading = "* Провода *";
    std::vector<std::string> lines = other.Lines();
    for (std::string& l : lines) {
        if (l == "***Source***") l = "*** Источ. ***";
        if (l == "***Load***") l = "*** Нагрузка ***";
        if (l == "***Segmentation***") l = "**Segmentation**";
        if (l == "***G/H/M/R/AzEl/X***") l = "*GH/?\?/R/AzEl/X*";
    }
    TWireList a, b;
    ASSERT_TRUE(Read(a, english).Ok());
    ASSERT_TRUE(Read(b, JoinLinesCrLf(lines)).Ok());
    for (TWireList* m : {&a, &b}) {
        EXPECT_EQ(m->OwnCount(), 1u);
        EXPECT_EQ(m->Loads.size(), 1u);
        EXPECT_EQ(m->GroundType, 2);
        EXPECT_EQ(m->BaseHeight, 10.0);
        EXPECT_EQ(m->Material, 1);
        EXPECT_EQ(m->StdZR, 75.0);
        EXPECT_EQ(m->FBAzimuth, 90);
        EXPECT_EQ(m->FBElevation, 30);
        EXPECT_EQ(m->StdZjX, 5.0);
    }
}

TEST(ReadModel, LineEndsOfEveryKind) {
    const std::string crlf = ModelText{}.Text();
    for (const char* end : {"\n", "\r"}) {
        std::string text;
        for (const std::string& l : ModelText{}.Lines()) text += l + end;
        text.pop_back(); // and no line end after the last line
        TWireList m;
        ASSERT_TRUE(Read(m, text).Ok());
        EXPECT_EQ(m.OwnCount(), 1u);
        EXPECT_EQ(m.StdZR, 50.0);
    }
}

TEST(ReadModel, WireLinesInEveryNotation) {
    const struct {
        const char* Line;
        Vec3 P1, P2;
        double Radius;
        int32_t Segments;
    } cases[] = {
        {"0,0,0,0,0,10,0.001,-1", V(0, 0, 0), V(0, 0, 10), 0.001, -1},
        {"0.0, 0.0,\t0.0,  0.0, 0.0, 10.0, 1.0e-3, -1", V(0, 0, 0), V(0, 0, 10), 0.001, -1},
        {"   0.000,  -1.23456,  2,  3E1, 0, 0, 8.000e-04, 11", V(0, -1.2346, 2), V(30, 0, 0), 0.0008, 11},
        {"1,,2,,3,4,5,6,0.001", V(1, 2, 3), V(4, 5, 6), 0.001, -2}, // no field 8
        {"1, 2, 3, 4, 5, x, 0.001, 7", V(1, 2, 3), V(4, 5, NoValue), 0.001, 7},
        {"1, 2, 3, 4, 5, 6, 0.001, 1.0", V(1, 2, 3), V(4, 5, 6), 0.001, -2}, // a real is no segment count
        {"-0.0, 0, 0, 1, 0, 0, -0.002, 3", V(0, 0, 0), V(1, 0, 0), -0.002, 3},
    };
    for (const auto& c : cases) {
        ModelText t;
        t.Wires = {c.Line};
        TWireList m;
        ASSERT_TRUE(Read(m, t).Ok()) << c.Line;
        ASSERT_EQ(m.OwnCount(), 1u) << c.Line;
        ExpectVec(m[0]->P1(), c.P1);
        ExpectVec(m[0]->P2(), c.P2);
        EXPECT_EQ(m[0]->Radius, c.Radius) << c.Line;
        EXPECT_EQ(m[0]->Segments, c.Segments) << c.Line;
    }
}

TEST(ReadModel, FastWireLineMatchesTheModelParser) {
    for (const char* line : {"0,0,0,0,0,10,0.001,-1", " 1.5 ,\t-2,5, 3e2,4E-1,5.,6,7,8,9", ",,,1,2", "", "   ",
                             "1.2.3,4,5,6,7,8,9,10", "a,b,c,d,e,f,g,h", "1,2,3,4,5,6,7,99999999999", "+1,-2,+3e+2,4,5,6,7,+8",
                             "1e999,2,3,4,5,6,7,8", "0x10,2,3,4,5,6,7,8", "1,2,3,4,5,6,7, 8 9",
                             ".5,5.,-.5,1.e5,1e+5,1E-5,-0,8", "1-5,1e,e5,--5,-+5,1e5e5,.,-", "inf,nan,infinity,-inf,1e-320,4.9e-324,1.7976931348623157e308,0",
                             "00012.5000,1e0005,-0.0e-0,+.5,1,2,3,4", "1 ,\x01 2\x01,3\t, 4 5 ,5,6,7,8",
                             ",\t,\t1,2,3,4,5,6,7,8,9,", "1,2,3,4,5,6,7,8,", "\t1\t,\t\t,2 ,3,4,5,6,7"}) {
        const TWireRecord a = ReadWireLine(line);
        const TWireRecord b = ParseWireLine(line);
        ExpectVec(a.P1, b.P1);
        ExpectVec(a.P2, b.P2);
        EXPECT_EQ(a.Radius, b.Radius) << line;
        EXPECT_EQ(a.Segments, b.Segments) << line;
    }
}

TEST(ReadModel, WireCountLine) {
    const struct {
        std::vector<std::string> CountLines;
        size_t Wires;
        bool Warned;
    } cases[] = {
        {{"2"}, 2, false},
        {{"  2"}, 2, false},
        {{"2 "}, 0, false}, // nothing may follow the digits
        {{"0"}, 0, false},
        {{"1"}, 1, false},  // lines beyond the count are ignored
        {{"-1", "2"}, 2, false}, // a negative count is read again from the next line
        {{"2,\t1,\t2,\t7.104087,\t7.104087,\t0"}, 2, true}, // older files: the count is the first field
    };
    for (const auto& c : cases) {
        ModelText t;
        t.Wires = c.CountLines;
        t.Wires.push_back("0,0,0,1,0,0,0.001,-1");
        t.Wires.push_back("1,0,0,1,1,0,0.001,-1");
        t.WireCount = t.Wires.front();
        t.Wires.erase(t.Wires.begin());
        t.Sources.clear();
        TWireList m;
        const TReadResult r = Read(m, t);
        ASSERT_TRUE(r.Ok()) << c.CountLines[0];
        EXPECT_EQ(m.OwnCount(), c.Wires) << c.CountLines[0];
        EXPECT_EQ(!r.Warnings.empty(), c.Warned) << c.CountLines[0];
    }
}

TEST(ReadModel, SourceCountOnlyDecidesWhetherSourcesAreRead) {
    const struct {
        std::string CountLine;
        std::vector<std::string> Lines;
        size_t Sources;
    } cases[] = {
        {"1,\t1", {"w1c,0,1", "w1b,0,1", "w1e,0,1"}, 3},
        {"0,\t1", {"w1c,0,1", "w1b,0,1"}, 0},
        {"1", {"w1c,0,1"}, 0}, // no comma: the count is 0
        {"2,\t0", {" w1c,0,1", "x", "w1e,0,1"}, 1}, // lines not beginning with "w" are ignored
    };
    for (const auto& c : cases) {
        ModelText t;
        t.SourceCount = c.CountLine;
        t.Sources = c.Lines;
        TWireList m;
        ASSERT_TRUE(Read(m, t).Ok()) << c.CountLine;
        EXPECT_EQ(m.Sources.size(), c.Sources) << c.CountLine;
    }
}

TEST(ReadModel, SourceAndLoadPositions) {
    ModelText t;
    t.Wires = {"0,0,0,1,0,0,0.001,-1", "1,0,0,1,1,0,0.001,-1", "1,1,0,0,1,0,0.001,-1", "0,1,0,0,2,0,0.001,-1",
               "0,2,0,0,3,0,0.001,-1", "0,3,0,0,4,0,0.001,-1", "0,4,0,0,5,0,0.001,-1", "0,5,0,0,6,0,0.001,-1",
               "0,6,0,0,7,0,0.001,-1", "0,7,0,0,8,0,0.001,-1"};
    t.Sources = {"w10c-1,\t0.0,\t1.0", "w1c+1,\t90,\t2", "w1с,\t0,\t1", "w10c ,\t0,\t1"};
    t.Loads = {"w2b9,\t0,\t1e-6,\t2.5e-12,\t100,\t14.1", "w2b,\t1,\t50,\t0", "w3e1,\t2,\t1,\t2,\t3,\t4,\t5,\t6,\t7,\t8,\t9,\t10"};
    TWireList m;
    const TReadResult r = Read(m, t);
    ASSERT_TRUE(r.Ok()) << r.Message;
    ASSERT_EQ(m.Sources.size(), 4u);
    ASSERT_EQ(m.Loads.size(), 3u);
    const struct {
        const TWObject* Obj;
        const TWire* Wire;
        uint8_t Position;
        int32_t SegNo;
    } expect[] = {
        {m.Sources[0].get(), m[9], PosCentre, -1}, {m.Sources[1].get(), m[0], PosCentre, 1},
        {m.Sources[2].get(), m[0], PosCentre, 0},  {m.Sources[3].get(), m[9], PosCentre, 0},
        {m.Loads[0].get(), m[1], PosBegin, 9},     {m.Loads[1].get(), m[1], PosBegin, 0},
        {m.Loads[2].get(), m[2], PosEnd, 1},
    };
    for (const auto& e : expect) {
        EXPECT_EQ(e.Obj->Wire, e.Wire);
        EXPECT_EQ(e.Obj->Position, e.Position);
        EXPECT_EQ(e.Obj->SegNo, e.SegNo);
    }
    EXPECT_EQ(m.Sources[1]->Values[1], 90.0);
    EXPECT_EQ(m.Sources[1]->Values[0], 2.0);
    EXPECT_EQ(m.Loads[0]->Values[1], 1e-6);
    EXPECT_EQ(m.Loads[0]->Values[5], NoValue);
    EXPECT_EQ(m.Loads[1]->Values[0], 1.0);
    EXPECT_EQ(m.Loads[1]->Values[2], 0.0);
    EXPECT_EQ(m.Loads[1]->Values[3], NoValue);
    EXPECT_EQ(m.Loads[2]->Values[5], 5.0); // fields after the seventh are ignored
    EXPECT_EQ(m.Loads[2]->Values[6], 0.0);
}

TEST(ReadModel, MissingWireStopsAndDetachesFromTheFile) {
    TWireList m;
    m.GroundType = 1;
    ModelText t;
    t.Wires = {"0,0,0,1,0,0,0.001,-1", "1,0,0,2,0,0,0.001,-1"};
    t.Sources = {"w1c,0,1", "w3c,0,1", "w2c,0,1"};
    t.Settings = "2,\t10.0,\t0,\t50.0,\t120,\t60,\t0.0";
    t.Tail = {"### Comment ###", "never read"};
    const TReadResult r = Read(m, t);
    EXPECT_EQ(r.Status, TReadStatus::WireNotFound);
    EXPECT_EQ(r.Message, "Провод 3 не найден");
    EXPECT_EQ(r.MissingWire, 3);
    // What came before the line stays; the rest of the file is not read.
    EXPECT_EQ(m.OwnCount(), 2u);
    EXPECT_EQ(m.Sources.size(), 1u);
    EXPECT_EQ(m.GroundType, 1);
    EXPECT_TRUE(m.Comment.empty());
    // No save can overwrite the file with this part of it; undo starts here.
    EXPECT_TRUE(m.FileName.empty());
    EXPECT_EQ(m.HistoryCount(), 1);
    EXPECT_FALSE(m.Modified);

    for (const char* line : {"w0c,0,1", "w1,0,1", "wxc,0,1"}) {
        ModelText bad;
        bad.Sources = {line};
        TWireList n;
        const TReadResult rr = Read(n, bad);
        EXPECT_EQ(rr.Status, TReadStatus::WireNotFound) << line;
        EXPECT_EQ(rr.Message, "Провод 0 не найден") << line;
    }
}

TEST(ReadModel, CoincidingAndRepeatedWiresAreKeptWithWarnings) {
    ModelText t;
    t.Wires = {"0,0,0,1,0,0,0.001,-1", "2,2,2,2,2,2,0.001,-1", "1,0,0,0,0,0,0.002,5", "0,0,0,0,0,1,0.001,-1"};
    t.Sources = {"w4c,0,1"};
    t.Loads = {"w3b,1,50,0"};
    TWireList m;
    const TReadResult r = Read(m, t);
    ASSERT_TRUE(r.Ok());
    ASSERT_EQ(m.OwnCount(), 4u);
    ExpectVec(m[1]->P1(), V(2, 2, 2));
    ExpectVec(m[1]->P2(), V(2, 2, 2));
    ExpectVec(m[2]->P1(), V(1, 0, 0));
    EXPECT_EQ(m[2]->Segments, 5);
    EXPECT_EQ(m.Sources[0]->Wire, m[3]);
    EXPECT_EQ(m.Loads[0]->Wire, m[2]);
    ASSERT_EQ(r.Warnings.size(), 2u);
    EXPECT_EQ(r.Warnings[0], "Провод 2: начало и конец совпадают");
    EXPECT_EQ(r.Warnings[1], "Провод 3 повторяет провод 1");

    // Undo and redo bring them back exactly; later edits keep the usual refusals.
    ASSERT_TRUE(m[3]->SetEnds({0, 0, 0}, {0, 0, 2}, false, false, true));
    m.StoreUndoStep(false);
    ASSERT_TRUE(m.Undo());
    ASSERT_EQ(m.OwnCount(), 4u);
    ExpectVec(m[1]->P2(), V(2, 2, 2));
    ExpectVec(m[2]->P2(), V(0, 0, 0));
    EXPECT_FALSE(m[0]->SetEnds({2, 2, 2}, {2, 2, 2}, false, false, true));
    EXPECT_FALSE(m[3]->SetEnds({0, 0, 0}, {1, 0, 0}, false, false, true));

    // Many of them make a short list.
    ModelText many;
    many.Wires.assign(60, "1,2,3,1,2,3,0.001,-1");
    many.Sources = {"w60c,0,1"};
    TWireList big;
    const TReadResult rb = Read(big, many);
    ASSERT_TRUE(rb.Ok());
    EXPECT_EQ(big.OwnCount(), 60u);
    ASSERT_EQ(rb.Warnings.size(), 51u);
    EXPECT_EQ(rb.Warnings.back(), "И ещё предупреждений: 10");
}

TEST(ReadModel, Frequency) {
    const struct {
        const char* Line;
        double Expected;
    } cases[] = {{"14.06", 14.06}, {"14,06", 14.06}, {" 7 ", 7.0}, {"14.1 MHz", 3.5}, {"0.1", 3.5}, {"10000", 3.5}};
    for (const auto& c : cases) {
        TWireList m;
        m.SetFrequency(3.5); // a bad frequency leaves the one the model had
        ModelText t;
        t.Frequency = c.Line;
        ASSERT_TRUE(Read(m, t).Ok());
        EXPECT_DOUBLE_EQ(m.Frequency, c.Expected) << c.Line;
        EXPECT_DOUBLE_EQ(m.Wavelength, TWireList::SpeedOfLight / c.Expected) << c.Line;
    }
}

TEST(ReadModel, SettingsLineDefaults) {
    TWireList m;
    m.GroundType = 2;
    m.FBAzimuth = 100;
    m.FBElevation = 45;
    ModelText t;
    t.Settings = "x,\ty,\t3.5,\t50,\t1.0";
    ASSERT_TRUE(Read(m, t).Ok());
    EXPECT_EQ(m.GroundType, 2);     // kept
    EXPECT_EQ(m.BaseHeight, NoValue);
    EXPECT_EQ(m.Material, 0);       // its default
    EXPECT_EQ(m.StdZR, 50.0);
    EXPECT_EQ(m.FBAzimuth, 100);    // "1.0" is no integer
    EXPECT_EQ(m.FBElevation, 45);   // missing
    EXPECT_EQ(m.StdZjX, NoValue);
}

TEST(ReadModel, CombinedWireSetCommentAndLinkedFiles) {
    ModelText t;
    t.Tail = {"$$$ Taper wire set $$$", "2", "short", "-0.001,\t0,\t2.0,\t0.01,\t99999.9,\t0.008", "",
              "-0.002,\t0,\t1.0,\t0.02", "-0.003,\t0,\t1.0,\t0.02", "### Comment ###", "", "A", "", "B",
              "", "***LinkedFiles***", "band40.maa", "/data/band20.maa", "band15.MAA", "notes.txt", "maa"};
    TWireList m;
    ASSERT_TRUE(Read(m, t).Ok());
    EXPECT_EQ(m.TaperLines,
              (std::vector<std::string>{"-0.001,\t0,\t2.0,\t0.01,\t99999.9,\t0.008", "-0.002,\t0,\t1.0,\t0.02"}));
    EXPECT_EQ(m.Comment, "\r\nA\r\nB");
    EXPECT_EQ(m.LinkedList, (std::vector<std::string>{"band40.maa", "/data/band20.maa"}));

    ModelText last;
    last.Tail = {"$$$ Taper wire set $$$"};
    TWireList n;
    ASSERT_TRUE(Read(n, last).Ok());
    EXPECT_TRUE(n.TaperLines.empty());
}

TEST(ReadModel, ShortFilesHoldNoModel) {
    std::vector<std::string> lines = ModelText{}.Lines();
    lines.resize(10);
    TWireList m;
    m.NewWire({0, 0, 0}, {1, 1, 1}, 0.001);
    const TReadResult r = Read(m, JoinLinesCrLf(lines));
    EXPECT_TRUE(r.Ok());
    EXPECT_FALSE(r.LongFile);
    EXPECT_EQ(m.ModelName, "Test");
    EXPECT_EQ(m.Count(), 0u);
    EXPECT_EQ(m.Sources.size(), 0u);
    EXPECT_FALSE(r.Warnings.empty());

    TWireList e;
    EXPECT_TRUE(Read(e, "").Ok());
    EXPECT_EQ(e.ModelName, "");
}

TEST(ReadModel, NamesAndCommentsInEitherEncoding) {
    ModelText t;
    t.Name = "  Антенна «Квадрат» №1\t";
    t.Tail = {"### Comment ###", "Проверка ё"};
    std::string cp1251;
    ASSERT_TRUE(Utf8ToCp1251(t.Text(), cp1251));
    const struct {
        std::string Bytes;
        TTextEncoding Encoding;
        bool Bom;
    } cases[] = {{cp1251, TTextEncoding::Cp1251, false},
                 {t.Text(), TTextEncoding::Utf8, false},
                 {"\xEF\xBB\xBF" + t.Text(), TTextEncoding::Utf8, true}};
    for (const auto& c : cases) {
        TWireList m;
        ASSERT_TRUE(Read(m, c.Bytes).Ok());
        EXPECT_EQ(m.ModelName, "Антенна «Квадрат» №1");
        EXPECT_EQ(m.Comment, "\r\nПроверка ё");
        EXPECT_EQ(m.Encoding, c.Encoding);
        EXPECT_EQ(m.EncodingBom, c.Bom);
    }
}

// A Windows-1251 file is converted line by line; wherever a letter stands, the model must be
// the one its UTF-8 text gives.
TEST(ReadModel, Cp1251TextInEveryKindOfLineReadsAsItsUtf8Text) {
    ModelText t;
    t.Name = "Рамка";
    t.Frequency = "14,06 МГц";
    t.Wires = {"0.0,\t-2.5,\t10.0,\t0.0,\t2.5,\t10.0,\t0.0008,\t-1", "0.0,\t2.5,\t10.0,\t1.0,\t2.5,\t10.0,\tй,\t5",
               "1.0,\t2.5,\t10.0,\t1.0,\t3.5,\t10.0,\t0.001,\t5 провод"};
    t.Loads = {"w2c,\t0,\t50.0,\t0.0"};
    t.Segmentation = "800,\t80,\t2.0,\t1 сегм";
    t.Settings = "2,\t10.0,\t1,\t50.0,\t120,\t60,\t0.0 Ом";
    t.Tail = {"$$$ Taper wire set $$$", "2", "провод один, 0.01, 0.02", "-0.002,\t0,\t1.0,\t0.02 ё",
              "### Comment ###", "Строка «один»", " * звёздочка", "", "***LinkedFiles***", "диапазон40.maa"};
    std::string cp1251;
    ASSERT_TRUE(Utf8ToCp1251(t.Text(), cp1251));
    TWireList a;
    TWireList b;
    const TReadResult ra = Read(a, cp1251);
    const TReadResult rb = Read(b, t.Text());
    ASSERT_TRUE(ra.Ok());
    ASSERT_TRUE(rb.Ok());
    EXPECT_EQ(a.Encoding, TTextEncoding::Cp1251);
    EXPECT_EQ(b.Encoding, TTextEncoding::Utf8);
    EXPECT_EQ(ra.Warnings, rb.Warnings);
    EXPECT_EQ(a.ModelName, "Рамка");
    EXPECT_EQ(a.Frequency, b.Frequency);
    EXPECT_EQ(a.FileLineCount, b.FileLineCount);
    ASSERT_EQ(a.OwnCount(), 3u);
    ASSERT_EQ(b.OwnCount(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        ExpectVec(a[i]->P1(), b[i]->P1());
        ExpectVec(a[i]->P2(), b[i]->P2());
        EXPECT_EQ(a[i]->Radius, b[i]->Radius);
        EXPECT_EQ(a[i]->Segments, b[i]->Segments);
    }
    ASSERT_EQ(a.Loads.size(), 1u);
    EXPECT_EQ(a.Loads[0]->Values, b.Loads[0]->Values);
    EXPECT_EQ(a.SegmentationLine, "800,\t80,\t2.0,\t1 сегм");
    EXPECT_EQ(a.GroundType, 2);
    EXPECT_EQ(a.StdZjX, b.StdZjX);
    EXPECT_EQ(a.TaperLines, (std::vector<std::string>{"провод один, 0.01, 0.02", "-0.002,\t0,\t1.0,\t0.02 ё"}));
    EXPECT_EQ(a.Comment, "\r\nСтрока «один»\r\n* звёздочка");
    EXPECT_EQ(a.Comment, b.Comment);
    EXPECT_EQ(a.LinkedList, (std::vector<std::string>{"диапазон40.maa"}));
}

TEST(ReadModel, FilesThatCannotBeReadLeaveTheModelAlone) {
    velomast::test::TempDir dir;
    TWireList m;
    m.NewWire({0, 0, 0}, {1, 0, 0}, 0.001);
    m.FileName = "kept.maa";
    m.ModelName = "kept";

    TReadResult r = ReadModel(m, dir.File("missing.maa"));
    EXPECT_EQ(r.Status, TReadStatus::FileMissing);
    EXPECT_NE(r.Message.find("не найден"), std::string::npos);

    r = ReadModel(m, dir.Path().string()); // a folder exists but is no file
    EXPECT_EQ(r.Status, TReadStatus::CannotRead);
    EXPECT_NE(r.Message.find("Не удалось прочитать файл"), std::string::npos);

    EXPECT_EQ(m.Count(), 1u);
    EXPECT_EQ(m.FileName, "kept.maa");
    EXPECT_EQ(m.ModelName, "kept");

    const std::string name = dir.File("d.maa");
    velomast::test::WriteBytes(name, ModelText{}.Text());
    r = ReadModel(m, name);
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(m.FileName, name);
}

TEST(ReadModel, GaaFilesAreRefused) {
    EXPECT_TRUE(IsUnsupportedModelFile("/a/b.gaa"));
    EXPECT_TRUE(IsUnsupportedModelFile("B.GAA"));
    EXPECT_FALSE(IsUnsupportedModelFile("b.maa"));
    EXPECT_FALSE(IsUnsupportedModelFile("gaa"));
}

namespace {
// ASCII text as UTF-16 or UTF-32 code units of either byte order.
std::string Wide(const std::string& text, int unit, bool bigEndian, bool bom) {
    std::string out;
    auto put = [&](uint32_t c) {
        for (int i = 0; i < unit; ++i) {
            const int shift = bigEndian ? 8 * (unit - 1 - i) : 8 * i;
            out += static_cast<char>((c >> shift) & 0xFF);
        }
    };
    if (bom) put(0xFEFF);
    for (char c : text) put(static_cast<unsigned char>(c));
    return out;
}
} // namespace

TEST(ReadModel, WideTextAndBinaryDataAreNoModelFiles) {
    const std::string text = ModelText{}.Text();
    const std::string cases[] = {Wide(text, 2, false, true), Wide(text, 2, true, true),  Wide(text, 4, false, true),
                                 Wide(text, 4, true, true),  Wide(text, 2, false, false), Wide(text, 2, true, false),
                                 text.substr(0, 20) + '\0' + text.substr(20)};
    for (const std::string& bytes : cases) {
        TWireList m;
        m.NewWire({0, 0, 0}, {1, 0, 0}, 0.001);
        m.FileName = "kept.maa";
        const TReadResult r = Read(m, bytes);
        EXPECT_EQ(r.Status, TReadStatus::NotAModel) << bytes.size();
        EXPECT_EQ(r.Message.rfind("Файл не похож на файл модели", 0), 0u) << r.Message;
        EXPECT_EQ(m.Count(), 1u); // the model is left as it was
        EXPECT_EQ(m.FileName, "kept.maa");
    }
}

TEST(ReadModel, NoModelAndACutShortWireSectionAreTold) {
    TWireList m;
    TReadResult r = Read(m, "");
    EXPECT_TRUE(r.Ok());
    EXPECT_TRUE(r.NoModel);
    EXPECT_EQ(r.Message, "В файле не больше 10 строк: модели в нём нет");

    ModelText t;
    t.Wires.assign(12, "");
    for (int i = 0; i < 12; ++i) t.Wires[i] = "0,0," + std::to_string(i) + ",0,0," + std::to_string(i + 1) + ",0.001,-1";
    r = Read(m, t);
    EXPECT_FALSE(r.NoModel);
    EXPECT_FALSE(r.Truncated);
    EXPECT_TRUE(r.Warnings.empty());

    std::vector<std::string> lines = t.Lines();
    lines.resize(5 + 9); // the file ends within the wires
    r = Read(m, JoinLinesCrLf(lines));
    EXPECT_TRUE(r.Truncated);
    EXPECT_EQ(m.OwnCount(), 9u);
    ASSERT_EQ(r.Warnings.size(), 1u);
    EXPECT_NE(r.Warnings[0].find("12"), std::string::npos) << r.Warnings[0];
    EXPECT_FALSE(r.NoModel);

    t.WireCount = "20"; // more announced than there are, other sections after them
    r = Read(m, t);
    EXPECT_TRUE(r.Truncated);
    EXPECT_EQ(m.Sources.size(), 1u);
}

// A large file gives its read lines back while the wires grow; every line after them must
// still read as it was: the same model as from the bytes held whole, from the first wire
// to the settings after the last.
TEST(ReadModel, LargeFileReadsTheSameAsItsBytesHeldWhole) {
    velomast::test::TempDir dir;
    ModelText t;
    const int wires = 120000; // about 6 MB: past a few huge pages
    t.Wires.clear();
    for (int i = 0; i < wires; ++i) {
        const double x = i % 400 * 0.25, y = i / 400 * 0.25;
        t.Wires.push_back(std::to_string(x) + ",\t" + std::to_string(y) + ",\t10.0,\t" + std::to_string(x + 0.25) +
                          ",\t" + std::to_string(y) + ",\t10.0,\t0.0008,\t" + std::to_string(i % 7 - 1));
    }
    t.Sources = {"w120000c,\t0.0,\t1.0"};
    t.Loads = {"w5b,\t0,\t1.5,\t0,\t0,\t0,\t0"};
    t.Tail = {"### Comment ###", "last line"};
    const std::string text = t.Text();
    const std::string name = dir.File("large.maa");
    velomast::test::WriteBytes(name, text);

    TWireList fromFile, fromBytes;
    ASSERT_TRUE(ReadModel(fromFile, name).Ok());
    ASSERT_TRUE(ReadModelBytes(fromBytes, text, name).Ok());
    ASSERT_EQ(fromFile.OwnCount(), static_cast<size_t>(wires));
    EXPECT_EQ(ModelFileLines(fromFile, false), ModelFileLines(fromBytes, false));
    ASSERT_EQ(fromFile.Sources.size(), 1u);
    EXPECT_EQ(fromFile.Sources[0]->Wire, fromFile[wires - 1]);
    EXPECT_EQ(fromFile.Loads.size(), 1u);
}
