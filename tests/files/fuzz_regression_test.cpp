// Inputs the fuzzer once found troublesome: each must read, write and read again.
#include "files/maa_reader.h"
#include "files/maa_writer.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace velomast;

TEST(FuzzRegressions, EveryKeptInputReadsAndWritesStably) {
    namespace fs = std::filesystem;
    for (const auto& e : fs::directory_iterator(VELOMAST_FUZZ_REGRESSIONS_DIR)) {
        if (!e.is_regular_file() || e.path().filename() == "README.md") continue;
        const std::string bytes = velomast::test::ReadBytes(e.path().string());
        TWireList a;
        const TReadResult r = ReadModelBytes(a, bytes, "fuzz.maa");
        if (!r.Ok()) continue;
        a.StoreLinkedList = !a.LinkedList.empty();
        const std::string once = EncodeModelText(ModelFileLines(a, false), a.Encoding, a.EncodingBom);
        TWireList b;
        ASSERT_TRUE(ReadModelBytes(b, once, "fuzz.maa").Ok()) << e.path();
        b.StoreLinkedList = !b.LinkedList.empty();
        EXPECT_EQ(EncodeModelText(ModelFileLines(b, false), b.Encoding, b.EncodingBom), once) << e.path();
    }
}
