#include "cli/commands.h"
#include "files/file_io.h"

#include "../files/model_text.h"
#include "../files/test_util.h"
#include "cli_runner.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace velomast;
using velomast::test::Cli;
using velomast::test::RunOutput;
using velomast::test::ModelText;
using velomast::test::ReadBytes;
using velomast::test::TempDir;
using velomast::test::WriteBytes;

namespace {
bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
} // namespace

TEST(Cli, UsageErrorsExitWithTwo) {
    TempDir dir;
    const std::vector<std::vector<std::string>> calls = {
        {}, {"frobnicate"}, {"info"}, {"info", "a.maa", "b.maa"}, {"info", "a.maa", "--xml"}, {"normalize", "a.maa"},
        {"info", dir.File("missing.maa")}, {"normalize", dir.File("missing.maa"), dir.File("out.maa")},
        {"info", dir.Path().string()}};
    for (const auto& c : calls) {
        const RunOutput r = Cli(c);
        EXPECT_EQ(r.Code, 2) << (c.empty() ? "" : c[0]);
        EXPECT_FALSE(r.Err.empty());
    }
    EXPECT_EQ(Cli({"--help"}).Code, 0);
}

TEST(Cli, InfoJson) {
    TempDir dir;
    ModelText t;
    t.Name = "Диполь \"A\"";
    t.Wires.push_back("0,2.5,10,0,2.5,10,0.001,-1");
    t.Loads = {"w1b2,\t1,\t50,\t0"};
    t.Tail = {"### Comment ###", "", "строка"};
    std::string bytes;
    ASSERT_TRUE(Utf8ToCp1251(t.Text(), bytes));
    WriteBytes(dir.File("d.maa"), bytes);

    const RunOutput r = Cli({"info", dir.File("d.maa"), "--json"});
    EXPECT_EQ(r.Code, 0) << r.Err;
    for (const char* part :
         {"{\"ok\":true,\"error\":null,\"encoding\":\"cp1251\",\"lines\":20,\"name\":\"Диполь \\\"A\\\"\",",
          "\"frequency\":14.06,", "\"wavelength\":21.32236543385491,", "\"segmentation\":\"800,\\t80,\\t2.0,\\t1\"",
          "\"comment\":\"\\r\\nстрока\",\"taper\":[],\"linked\":[],",
          "\"wires\":[{\"p1\":[0,-2.5,10],\"p2\":[0,2.5,10],\"radius\":8e-04,\"segments\":-1,\"length\":5},",
          "{\"ref\":\"w1c\",\"wire\":1,\"position\":\"c\",\"segNo\":0,\"voltage\":1,\"phase\":0}",
          "{\"ref\":\"w1b2\",\"wire\":1,\"position\":\"b\",\"segNo\":2,\"values\":[1,50,0,-2147483647,-2147483647,"
          "-2147483647,0,0]}",
          "\"elements\":[{\"kind\":\"H\",\"wires\":[1,2],\"length\":5}]", "\"junctions\":1,",
          "\"warnings\":[\"Провод 2: начало и конец совпадают\"]}\n"})
        EXPECT_TRUE(Has(r.Out, part)) << part << "\n" << r.Out;

    const RunOutput plain = Cli({"info", dir.File("d.maa")});
    EXPECT_EQ(plain.Code, 0);
    EXPECT_TRUE(Has(plain.Out, "Проводов: 2, источников: 1, нагрузок: 1"));
}

TEST(Cli, FaultyModelExitsWithOne) {
    TempDir dir;
    ModelText t;
    t.Sources = {"w7c,0,1"};
    WriteBytes(dir.File("bad.maa"), t.Text());
    const RunOutput r = Cli({"info", "--json", dir.File("bad.maa")});
    EXPECT_EQ(r.Code, 1);
    EXPECT_TRUE(Has(r.Out, "{\"ok\":false,\"error\":\"Провод 7 не найден\","));
    EXPECT_TRUE(Has(r.Err, "Провод 7 не найден"));

    const RunOutput n = Cli({"normalize", dir.File("bad.maa"), dir.File("out.maa")});
    EXPECT_EQ(n.Code, 1);
    EXPECT_FALSE(FileExists(dir.File("out.maa")));
}

TEST(Cli, NormalizeWritesTheEditorsLayout) {
    TempDir dir;
    ModelText t;
    t.Wires = {"  0.000, -2.50000, 10, 0, 2.5, 10.0, 8.000e-04, -1"};
    t.Tail = {"### Comment ###", "x", "***LinkedFiles***", "other.maa"};
    std::string lf;
    for (const std::string& l : t.Lines()) lf += l + "\n";
    WriteBytes(dir.File("in.maa"), lf);
    WriteBytes(dir.File("other.maa"), "left alone");

    RunOutput r = Cli({"normalize", dir.File("in.maa"), dir.File("out.maa")});
    EXPECT_EQ(r.Code, 0) << r.Err;
    ModelText expected;
    expected.Tail = {"### Comment ###", "", "x", "", "***LinkedFiles***", "other.maa"};
    EXPECT_EQ(ReadBytes(dir.File("out.maa")), expected.Text());
    EXPECT_EQ(ReadBytes(dir.File("other.maa")), "left alone");

    r = Cli({"normalize", dir.File("out.maa"), dir.File("out.maa")});
    EXPECT_EQ(r.Code, 0);
    EXPECT_EQ(ReadBytes(dir.File("out.maa")), expected.Text());
    EXPECT_EQ(Cli({"normalize", dir.File("out.maa"), dir.File("no/such/dir/x.maa")}).Code, 2);
}
