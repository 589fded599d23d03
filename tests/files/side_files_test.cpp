#include "files/maa_reader.h"
#include "files/maa_writer.h"
#include "files/side_files.h"
#include "model_text.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velomast;
using velomast::test::ModelText;
using velomast::test::ReadBytes;
using velomast::test::TempDir;
using velomast::test::WriteBytes;

namespace {
TLogLocale FixedClock() {
    TLogLocale l;
    l.DecimalMark = ',';
    l.Timestamp = [] { return std::string("01.02.2024 9:05:00"); };
    return l;
}

std::string Cp1251(const std::string& utf8) {
    std::string out;
    EXPECT_TRUE(Utf8ToCp1251(utf8, out));
    return out;
}
} // namespace

TEST(Backup, HoldsTheFileAsOpenedWithCrLf) {
    TempDir dir;
    ModelText t;
    t.Name = "Антенна";
    std::string lf;
    for (const std::string& l : t.Lines()) lf += l + "\n";
    const std::string name = dir.File("ant.maa");
    WriteBytes(name, Cp1251(lf));
    TWireList m;
    ASSERT_TRUE(ReadModel(m, name).Ok());
    ASSERT_TRUE(WriteBackup(m).Ok);
    EXPECT_EQ(BackupFileName(name), dir.File("ant.~maa"));
    EXPECT_EQ(ReadBytes(dir.File("ant.~maa")), Cp1251(t.Text()));
}

TEST(ChangeLog, RecordsSettingsThatDifferFromTheLastRead) {
    TempDir dir;
    const std::string name = dir.File("ant.maa");
    WriteBytes(name, ModelText{}.Text());
    TWireList m;
    ASSERT_TRUE(ReadModel(m, name).Ok());
    m.WriteLog = true;

    // Nothing changed: no log file appears.
    ASSERT_TRUE(WriteModel(m, name, false, FixedClock()).Ok);
    EXPECT_FALSE(FileExists(dir.File("ant.log")));

    m.SetFrequency(14.1);
    ASSERT_TRUE(WriteModel(m, name, false, FixedClock()).Ok);
    ASSERT_TRUE(WriteModel(m, name, false, FixedClock()).Ok); // every save repeats it
    m.BaseHeight = 12.5;
    m.GroundType = 2;
    m.StdZR = 75;
    ASSERT_TRUE(WriteModel(m, name, false, FixedClock()).Ok);
    const std::string expected = "01.02.2024 9:05:00: Ц. частота 14,1MHz\r\n"
                                 "01.02.2024 9:05:00: Ц. частота 14,1MHz\r\n"
                                 "01.02.2024 9:05:00: Ц. частота 14,1MHz\r\n"
                                 "01.02.2024 9:05:00: Высота 12,5м.\r\n"
                                 "01.02.2024 9:05:00: Тип земли 2\r\n"
                                 "R = 75 Ом.\r\n";
    EXPECT_EQ(ReadBytes(dir.File("ant.log")), Cp1251(expected));

    // Reading refreshes the copies the log compares with.
    ASSERT_TRUE(ReadModel(m, name).Ok());
    m.WriteLog = true;
    ASSERT_TRUE(WriteModel(m, name, false, FixedClock()).Ok);
    EXPECT_EQ(ReadBytes(dir.File("ant.log")), Cp1251(expected));
}

TEST(ChangeLog, KeepsTheEncodingOfAnExistingLog) {
    TempDir dir;
    TWireList m;
    m.FileName = dir.File("ant.maa");
    m.SetFrequency(7.1);
    m.LoadedStdZR = m.StdZR;
    WriteBytes(dir.File("ant.log"), "Старая строка\n");
    ASSERT_TRUE(WriteLogEntry(m, FixedClock()).Ok);
    EXPECT_EQ(ReadBytes(dir.File("ant.log")), "Старая строка\r\n01.02.2024 9:05:00: Ц. частота 7,1MHz\r\n");

    TWireList none; // a model never saved has no log
    none.SetFrequency(7.1);
    EXPECT_TRUE(WriteLogEntry(none, FixedClock()).Ok);
}

namespace {
// A linked band file: its own name, frequency, sources and loads.
ModelText LinkedBand() {
    ModelText t;
    t.Name = "Диапазон 40";
    t.Frequency = "7.1";
    t.Wires = {"0,0,0,0,0,1,0.001,-1", "0,0,1,0,0,2,0.001,-1"};
    t.Sources = {"w2c,\t0.0,\t1.0"};
    t.Loads = {"w1b,\t1,\t50.0,\t0.0"};
    t.Tail = {"### Comment ###", "", "Свой комментарий"};
    return t;
}

// The lines the linked file should hold after receiving the wires of `m`.
std::string Synced(const ModelText& band, const TWireList& m) {
    std::vector<std::string> lines = band.Lines();
    const size_t oldWires = band.Wires.size();
    lines.erase(lines.begin() + 4, lines.begin() + 5 + static_cast<std::ptrdiff_t>(oldWires));
    std::vector<std::string> section{std::to_string(m.Count())};
    for (const TWire* w : m) section.push_back(ModelWireLine(*w));
    lines.insert(lines.begin() + 4, section.begin(), section.end());
    std::string out;
    EXPECT_TRUE(Utf8ToCp1251(JoinLinesCrLf(lines), out));
    return out;
}

void MakeModel(TWireList& m) {
    m.ModelName = "Главная";
    m.NewWire({0, 0, 0}, {0, 0, 5}, 0.002);
    m.NewWire({0, 0, 5}, {1, 0, 5}, 0.002);
    m.NewWire({0, 0, 5}, {0, 1, 5}, 0.002);
    m.NewWire({9, 9, 0}, {9, 9, 3}, 0.002, 1); // a scene antenna's wire
    m.NewObjectFromText(KindSource, "w1b,0,1");
}
} // namespace

TEST(LinkedFiles, SaveReplacesTheirWireSectionsOnly) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path() / "bands");
    const ModelText band = LinkedBand();
    std::string lf;
    for (const std::string& l : band.Lines()) lf += l + "\n";
    WriteBytes(dir.File("band40.maa"), Cp1251(lf));
    WriteBytes(dir.File("bands/band20.maa"), Cp1251(band.Text()));

    TWireList m;
    MakeModel(m);
    m.LinkedList = {"band40.maa", dir.File("bands/band20.maa"), "missing.maa"};
    const TWriteResult r = WriteModel(m, dir.File("main.maa"), false);
    ASSERT_TRUE(r.Ok);
    EXPECT_TRUE(r.Warnings.empty());
    // Every wire of the list goes there, the scene's too, in list order.
    EXPECT_EQ(ReadBytes(dir.File("band40.maa")), Synced(band, m));
    EXPECT_EQ(ReadBytes(dir.File("bands/band20.maa")), Synced(band, m));
    EXPECT_FALSE(FileExists(dir.File("missing.maa")));

    TWireList back;
    ASSERT_TRUE(ReadModel(back, dir.File("band40.maa")).Ok());
    EXPECT_EQ(back.OwnCount(), 4u);
    EXPECT_EQ(back.ModelName, "Диапазон 40");
    EXPECT_EQ(back.Sources[0]->WireRef(), "w2c");
    EXPECT_EQ(back.Comment, "\r\nСвой комментарий");

    // The scene export leaves linked files alone.
    WriteBytes(dir.File("band40.maa"), "untouched");
    ASSERT_TRUE(WriteModel(m, dir.File("sc_main.maa"), true).Ok);
    EXPECT_EQ(ReadBytes(dir.File("band40.maa")), "untouched");
}

TEST(LinkedFiles, OddWireCountLines) {
    TempDir dir;
    TWireList m;
    MakeModel(m);
    m.FileName = dir.File("main.maa");
    const struct {
        std::string CountLine;
        std::vector<std::string> Wires;
    } cases[] = {
        {"0", {}},                                               // the count line is replaced, not left behind
        {"x", {}},                                               // so is one that is no number
        {"5", {"0,0,0,0,0,1,0.001,-1", "", "0,0,1,0,0,2,0.001,-1"}}, // more announced than there are: stop at the heading
        {"2,\t1,\t2,\t7.1,\t7.1,\t0", {"0,0,0,0,0,1,0.001,-1", "0,0,1,0,0,2,0.001,-1"}},
    };
    for (const auto& c : cases) {
        ModelText band = LinkedBand();
        band.WireCount = c.CountLine;
        band.Wires = c.Wires;
        band.Sources.clear();
        band.Loads.clear();
        WriteBytes(dir.File("band.maa"), Cp1251(band.Text()));
        const TSyncResult s = SyncLinkedFile(m, "band.maa");
        EXPECT_EQ(s.Status, TSyncStatus::Updated) << c.CountLine;
        std::vector<std::string> expected = band.Lines();
        expected.erase(expected.begin() + 4, expected.begin() + 5 + static_cast<std::ptrdiff_t>(c.Wires.size()));
        std::vector<std::string> section{std::to_string(m.Count())};
        for (const TWire* w : m) section.push_back(ModelWireLine(*w));
        expected.insert(expected.begin() + 4, section.begin(), section.end());
        EXPECT_EQ(ReadBytes(dir.File("band.maa")), Cp1251(JoinLinesCrLf(expected))) << c.CountLine;
    }
}

TEST(LinkedFiles, FilesNotInTheModelLayoutAreSkipped) {
    TempDir dir;
    TWireList m;
    MakeModel(m);
    m.FileName = dir.File("main.maa");
    for (const std::string& text : {std::string("name\r\nnot a star\r\n7\r\n***Wires***\r\n0\r\n"),
                                    std::string("name\r\n*\r\n7\r\n0\r\n"),
                                    std::string("name\r\n*\r\n7\r\n\r\n1\r\n0,0,0,1,1,1,0.1,-1\r\n")}) {
        WriteBytes(dir.File("odd.maa"), text);
        EXPECT_EQ(SyncLinkedFile(m, "odd.maa").Status, TSyncStatus::Skipped);
        EXPECT_EQ(ReadBytes(dir.File("odd.maa")), text);
    }
    EXPECT_EQ(SyncLinkedFile(m, "missing.maa").Status, TSyncStatus::Skipped);

    // The model's own file never receives the scene's wires.
    ASSERT_TRUE(WriteModel(m, m.FileName, false).Ok);
    const std::string own = ReadBytes(m.FileName);
    EXPECT_EQ(SyncLinkedFile(m, "main.maa").Status, TSyncStatus::Skipped);
    EXPECT_EQ(ReadBytes(m.FileName), own);
}

TEST(SideFiles, BackupLogAndLinkedFilesFollowTheSaveRules) {
    TempDir dir;
    velomast::test::GiveToOrdinaryUser(dir.Path());
    const std::string name = dir.File("ant.maa");
    WriteBytes(name, ModelText{}.Text());
    velomast::test::GiveToOrdinaryUser(name);
    // A backup, a log and a linked file that the user may only read.
    for (const char* side : {"ant.~maa", "ant.log", "band.maa"}) {
        WriteBytes(dir.File(side), Cp1251(LinkedBand().Text()));
        velomast::test::GiveToOrdinaryUser(dir.File(side));
        ::chmod(dir.File(side).c_str(), 0444);
    }
    const std::string result = velomast::test::AsOrdinaryUser([&] {
        TWireList m;
        if (!ReadModel(m, name).Ok()) return std::string("not read");
        std::string out = WriteBackup(m).Message + "\n";
        m.WriteLog = true;
        m.SetFrequency(7.1);
        // Named twice: tried, and reported, once.
        m.LinkedList = {"band.maa", dir.File("band.maa")};
        const TWriteResult w = WriteModel(m, name, false, FixedClock());
        out += w.Ok ? "saved" : w.Message;
        for (const std::string& s : w.Warnings) out += "\n" + s;
        if (w.LinkedFailures.size() != 1) out += "\nlinked failures: " + std::to_string(w.LinkedFailures.size());
        for (const std::string& s : w.LinkedFailures) out += "\n" + s;
        return out;
    });
    for (const char* side : {"ant.~maa", "ant.log", "band.maa"}) {
        EXPECT_NE(result.find("Не удалось записать файл \"" + dir.File(side) + "\": нет прав доступа"), std::string::npos)
            << result;
        EXPECT_EQ(ReadBytes(dir.File(side)), Cp1251(LinkedBand().Text())) << side;
    }
    EXPECT_NE(result.find("saved"), std::string::npos) << result;
}

TEST(SideFiles, ALogOrLinkedFileThatIsNoTextFileIsLeftAlone) {
    TempDir dir;
    const std::string name = dir.File("ant.maa");
    WriteBytes(name, ModelText{}.Text());
    TWireList m;
    ASSERT_TRUE(ReadModel(m, name).Ok());
    m.WriteLog = true;
    m.SetFrequency(7.1);

    // A log in UTF-16 would be garbled by lines appended in another encoding.
    const std::string utf16 = std::string("\xFF\xFE", 2) + std::string("L\0o\0g\0\r\0\n\0", 10);
    WriteBytes(dir.File("ant.log"), utf16);
    TFileResult r = WriteLogEntry(m, FixedClock());
    EXPECT_FALSE(r.Ok);
    EXPECT_NE(r.Message.find("ant.log"), std::string::npos) << r.Message;
    EXPECT_EQ(ReadBytes(dir.File("ant.log")), utf16);

    // A pipe as the log or a linked file is refused at once, not waited on.
    std::filesystem::remove(dir.File("ant.log"));
    ASSERT_EQ(::mkfifo(dir.File("ant.log").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(dir.File("band.maa").c_str(), 0644), 0);
    m.LinkedList = {"band.maa"};
    const TWriteResult w = WriteModel(m, name, false, FixedClock());
    ASSERT_TRUE(w.Ok) << w.Message;
    ASSERT_EQ(w.Warnings.size(), 1u);
    EXPECT_NE(w.Warnings[0].find("это не обычный файл"), std::string::npos) << w.Warnings[0];
    ASSERT_EQ(w.LinkedFailures.size(), 1u);
    EXPECT_NE(w.LinkedFailures[0].find("это не обычный файл"), std::string::npos) << w.LinkedFailures[0];
}

TEST(LinkedFiles, EachFileIsSynchronisedOnceAndNeverTheModelItself) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path() / "sub");
    const ModelText band = LinkedBand();
    WriteBytes(dir.File("band.maa"), Cp1251(band.Text()));
    TWireList m;
    MakeModel(m);
    m.FileName = dir.File("main.maa");
    WriteBytes(m.FileName, Cp1251(band.Text()));
    // The bare name, its full path, a detour through a sub-folder, and the model's own
    // file by its bare name and by a detour.
    m.LinkedList = {"band.maa", dir.File("band.maa"), "sub/../band.maa", "main.maa", "./main.maa"};
    const std::vector<TSyncResult> r = SyncLinkedFiles(m);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].Status, TSyncStatus::Updated);
    EXPECT_EQ(ReadBytes(dir.File("band.maa")), Synced(band, m));
    EXPECT_EQ(ReadBytes(m.FileName), Cp1251(band.Text()));
    EXPECT_EQ(ResolveLinkedFile(m, "x\\y.maa"), dir.File("x/y.maa"));
}
