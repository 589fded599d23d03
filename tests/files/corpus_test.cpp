// Every real model file of tests/data/corpus: read, written, read again, written again.
#include "files/maa_reader.h"
#include "files/maa_writer.h"
#include "model/number_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

using namespace velomast;
namespace fs = std::filesystem;

namespace {

// Files that really name a wire they do not have.
const std::set<std::string> kNamesMissingWire = {
    "handiko__AntennaFiles-OLD__40CQ.maa", // 8 wires, a load on w13
};

std::vector<fs::path> CorpusFiles() {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(VELOMAST_CORPUS_DIR))
        if (e.is_regular_file() && e.path().extension() == ".maa") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

void ExpectSameObjects(const TWireList& a, const TWireList& b, bool loads, const std::string& file) {
    const auto& x = loads ? a.Loads : a.Sources;
    const auto& y = loads ? b.Loads : b.Sources;
    ASSERT_EQ(x.size(), y.size()) << file;
    for (size_t i = 0; i < x.size(); ++i) {
        EXPECT_EQ(x[i]->Wire->Number(), y[i]->Wire->Number()) << file;
        EXPECT_EQ(x[i]->Position, y[i]->Position) << file;
        EXPECT_EQ(x[i]->SegNo, y[i]->SegNo) << file;
        EXPECT_EQ(x[i]->Values, y[i]->Values) << file;
    }
}

void ExpectSameModel(const TWireList& a, const TWireList& b, const std::string& file) {
    ASSERT_EQ(a.OwnCount(), b.OwnCount()) << file;
    for (size_t i = 0; i < a.OwnCount(); ++i) {
        EXPECT_TRUE(VecEqual(a[i]->P1(), b[i]->P1())) << file << " wire " << i + 1;
        EXPECT_TRUE(VecEqual(a[i]->P2(), b[i]->P2())) << file << " wire " << i + 1;
        EXPECT_EQ(a[i]->Radius, b[i]->Radius) << file << " wire " << i + 1;
        EXPECT_EQ(a[i]->Segments, b[i]->Segments) << file << " wire " << i + 1;
    }
    ExpectSameObjects(a, b, false, file);
    ExpectSameObjects(a, b, true, file);
    EXPECT_EQ(a.ModelName, b.ModelName) << file;
    EXPECT_EQ(a.Frequency, b.Frequency) << file;
    EXPECT_EQ(a.GroundType, b.GroundType) << file;
    EXPECT_EQ(a.Material, b.Material) << file;
    EXPECT_EQ(a.FBAzimuth, b.FBAzimuth) << file;
    EXPECT_EQ(a.FBElevation, b.FBElevation) << file;
    // One decimal is all the settings line keeps of these.
    EXPECT_EQ(FormatFixed1(a.BaseHeight), FormatFixed1(b.BaseHeight)) << file;
    EXPECT_EQ(FormatFixed1(a.StdZR), FormatFixed1(b.StdZR)) << file;
    EXPECT_EQ(FormatFixed1(a.StdZjX), FormatFixed1(b.StdZjX)) << file;
    EXPECT_EQ(a.SegmentationLine, b.SegmentationLine) << file;
    EXPECT_EQ(a.Comment, b.Comment) << file;
    EXPECT_EQ(a.TaperLines, b.TaperLines) << file;
    EXPECT_EQ(a.LinkedList, b.LinkedList) << file;
    EXPECT_EQ(a.Encoding, b.Encoding) << file;
}

} // namespace

TEST(Corpus, EveryRealFileReadsAndNormalizesStably) {
    const std::vector<fs::path> files = CorpusFiles();
    ASSERT_GE(files.size(), 700u);
    size_t faulty = 0;
    for (const fs::path& path : files) {
        const std::string file = path.filename().string();
        TWireList first;
        const TReadResult r = ReadModel(first, path.string());
        if (kNamesMissingWire.count(file)) {
            EXPECT_EQ(r.Status, TReadStatus::WireNotFound) << file;
            ++faulty;
            continue;
        }
        ASSERT_TRUE(r.Ok()) << file << ": " << r.Message;

        // normalize: the bytes WriteModel writes, read again. (In memory: a disk sync per
        // file would make the test's time depend on the machine's other work.)
        first.StoreLinkedList = !first.LinkedList.empty();
        const std::string once = EncodeModelText(ModelFileLines(first, false), first.Encoding, first.EncodingBom);
        TWireList second;
        ASSERT_TRUE(ReadModelBytes(second, once, "n.maa").Ok()) << file;
        ExpectSameModel(first, second, file);

        // Normalizing twice gives the same bytes.
        second.StoreLinkedList = !second.LinkedList.empty();
        EXPECT_EQ(EncodeModelText(ModelFileLines(second, false), second.Encoding, second.EncodingBom), once) << file;
    }
    EXPECT_EQ(faulty, kNamesMissingWire.size());
}
