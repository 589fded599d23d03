#include "cli/commands.h"
#include "files/file_io.h"

#include "../files/model_text.h"
#include "../files/test_util.h"
#include "cli_runner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

    EXPECT_EQ(Cli({"normalize", dir.File("out.maa"), dir.File("no/such/dir/x.maa")}).Code, 2);
}

TEST(Cli, NormalizeNeverWritesOverItsInput) {
    TempDir dir;
    ModelText t;
    t.Wires = {"0, -2.5, 10, 0, 2.5, 10, 8e-4, -1"}; // not in the editor's layout
    const std::string in = dir.File("in.maa");
    WriteBytes(in, t.Text());
    std::filesystem::create_hard_link(in, dir.File("hard.maa"));
    std::filesystem::create_symlink(in, dir.File("soft.maa"));
    for (const std::string& out : {in, dir.Path().string() + "/./in.maa", dir.File("hard.maa"), dir.File("soft.maa")}) {
        const RunOutput r = Cli({"normalize", in, out});
        EXPECT_EQ(r.Code, 2) << out;
        EXPECT_TRUE(Has(r.Err, "исходный файл")) << r.Err;
    }
    EXPECT_EQ(ReadBytes(in), t.Text());
}

TEST(Cli, NormalizeOntoAReadOnlyFileExitsWithTwo) {
    TempDir dir;
    velomast::test::GiveToOrdinaryUser(dir.Path());
    WriteBytes(dir.File("in.maa"), ModelText{}.Text());
    const std::string out = dir.File("out.maa");
    WriteBytes(out, "read-only");
    velomast::test::GiveToOrdinaryUser(out);
    ::chmod(out.c_str(), 0444);
    const std::string result = velomast::test::AsOrdinaryUser([&] {
        const RunOutput r = Cli({"normalize", dir.File("in.maa"), out});
        return std::to_string(r.Code) + " " + r.Err;
    });
    EXPECT_EQ(result.substr(0, 2), "2 ") << result;
    EXPECT_TRUE(Has(result, "нет прав доступа")) << result;
    EXPECT_EQ(ReadBytes(out), "read-only");
}

TEST(Cli, DevicesAndHugeFilesExitWithTwo) {
    TempDir dir;
    EXPECT_EQ(Cli({"info", "/dev/zero"}).Code, 2);
    const std::string big = dir.File("big.maa");
    WriteBytes(big, "");
    std::filesystem::resize_file(big, std::uintmax_t{1} << 30);
    const RunOutput b = Cli({"normalize", big, dir.File("out.maa")});
    EXPECT_EQ(b.Code, 2);
    EXPECT_TRUE(Has(b.Err, "больше 512 МБ")) << b.Err;
}

TEST(Cli, FilesWithoutAModelExitWithOne) {
    TempDir dir;
    std::string noise; // random bytes, but no NUL byte and no line beginning with "*"
    std::mt19937 rng(11);
    while (noise.size() < 3000) {
        const char c = static_cast<char>(rng() & 0xFF);
        if (c != '\0' && c != '*') noise += c;
    }
    std::string utf16("\xFF\xFE", 2); // the dipole saved as UTF-16 by a text editor
    for (char c : ModelText{}.Text()) utf16 += std::string(1, c) + '\0';
    std::string nec;
    for (int i = 0; i < 12; ++i) nec += "GW\t" + std::to_string(i + 1) + "\t25\t0\t0\t0\t0\t0\t10\t0.001\r\n";
    const struct {
        std::string Bytes;
        std::string Message;
    } cases[] = {
        {"", "В файле не больше 10 строк: модели в нём нет"},
        {noise, "Файл не похож на файл модели"},
        {nec, "Файл не похож на файл модели"},
        {utf16, "Файл не похож на файл модели"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = dir.File("m" + std::to_string(++n) + ".maa");
        WriteBytes(name, c.Bytes);
        RunOutput r = Cli({"info", name});
        EXPECT_EQ(r.Code, 1) << n;
        EXPECT_TRUE(Has(r.Err, c.Message)) << n << ": " << r.Err;
        r = Cli({"info", "--json", name});
        EXPECT_EQ(r.Code, 1) << n;
        EXPECT_TRUE(Has(r.Out, "{\"ok\":false,\"error\":\"" + c.Message)) << n << ": " << r.Out;
        r = Cli({"normalize", name, dir.File("out.maa")});
        EXPECT_EQ(r.Code, 1) << n;
        EXPECT_FALSE(FileExists(dir.File("out.maa"))) << n;
    }
}

TEST(Cli, ACutShortWireSectionReadsWithAWarning) {
    TempDir dir;
    ModelText t;
    t.Wires.clear();
    for (int i = 0; i < 12; ++i) t.Wires.push_back("0, 0, " + std::to_string(i) + ", 0, 0, " + std::to_string(i + 1) + ", 0.001, -1");
    const std::string full = t.Text();
    WriteBytes(dir.File("full.maa"), full);
    RunOutput r = Cli({"info", "--json", dir.File("full.maa")});
    EXPECT_EQ(r.Code, 0) << r.Err;
    EXPECT_TRUE(Has(r.Out, "\"truncated\":false,")) << r.Out;

    // Cut inside the last wire line, and after the eighth of twelve wires.
    const size_t sources = full.find("***Source***");
    const size_t ninth = full.find("\r\n0, 0, 8,") + 2;
    for (const std::string& cut : {full.substr(0, sources - 12), full.substr(0, ninth)}) {
        WriteBytes(dir.File("cut.maa"), cut);
        r = Cli({"info", "--json", dir.File("cut.maa")});
        EXPECT_EQ(r.Code, 0) << r.Err;
        EXPECT_TRUE(Has(r.Out, "\"truncated\":true,")) << r.Out;
        EXPECT_TRUE(Has(r.Out, "\"warnings\":[\"")) << r.Out;
        r = Cli({"info", dir.File("cut.maa")});
        EXPECT_EQ(r.Code, 0);
        EXPECT_TRUE(Has(r.Out, "Предупреждение: Файл обрывается")) << r.Out;
    }
}

namespace {
// Runs the built program itself and returns its exit status and standard output.
RunOutput RunProgram(const std::vector<std::string>& args) {
    // Everything the child needs is made before the fork: after it only exec may run.
    std::string program = VELOMAST_CLI_PROGRAM;
    std::vector<std::string> strings = args;
    std::vector<char*> argv{program.data()};
    for (std::string& a : strings) argv.push_back(a.data());
    argv.push_back(nullptr);
    // The program leaves its model to the end of the process on purpose, which a leak
    // check would report.
    std::string asan = "ASAN_OPTIONS=";
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "ASAN_OPTIONS=", 13) == 0)
            asan = std::string(*e) + ":";
        else
            env.emplace_back(*e);
    }
    env.push_back(asan + "detect_leaks=0");
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    int out[2];
    if (::pipe(out) != 0) return {-1, {}, "pipe"};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    const int status = velomast::test::ReadChild(out[0], pid, text);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text, {}};
}
} // namespace

TEST(Cli, TheBuiltProgramGivesALargeInputTheSameResultsAsTheCommands) {
    // The program as users start it: its own start-up and exit (the model left to the end
    // of the process, standard output not synchronised with C's), a name with spaces and
    // Cyrillic letters, and a model of 50 000 wires whose file pages go while it is read.
    TempDir dir;
    ModelText t;
    t.Wires.clear();
    for (int i = 0; i < 50000; ++i)
        t.Wires.push_back(std::to_string(i % 500) + ".5, " + std::to_string(i / 500) + ".25, 10.0, " +
                          std::to_string(i % 500 + 1) + ".5, " + std::to_string(i / 500) + ".25, 10.0, 0.0008, -1");
    const std::string in = dir.File("большая модель.maa");
    WriteBytes(in, t.Text());
    ASSERT_GE(ReadBytes(in).size(), size_t{2} << 20);
    const RunOutput inProcess = Cli({"info", in, "--json"});
    ASSERT_EQ(inProcess.Code, 0) << inProcess.Err;
    ASSERT_EQ(Cli({"normalize", in, dir.File("in process.maa")}).Code, 0);
    const RunOutput r = RunProgram({"info", in, "--json"});
    EXPECT_EQ(r.Code, 0);
    EXPECT_EQ(r.Out, inProcess.Out);
    const std::string out = dir.File("нормализованная.maa");
    EXPECT_EQ(RunProgram({"normalize", in, out}).Code, 0);
    EXPECT_EQ(ReadBytes(out), ReadBytes(dir.File("in process.maa")));
}
