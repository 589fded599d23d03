// The command-line tool as users run it, on generated models of 100 000 and 1 000 000
// wires. Every figure is the CPU time (user + system) of a child process, so start-up,
// reading and exit all count; the baseline is awk summing the six coordinates of every
// line of the same file, run as a child process in the same run (median of 5).
//   vs_awk          CPU time of the command / CPU time of awk
//   bytes_per_wire  (peak resident size of the command on the model - its peak on a
//                   10-wire model) / wires
#include "model_gen.h"

#include "files/maa_writer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace velomast;

namespace {

struct ChildRun {
    double Cpu = 0;       // seconds
    double PeakBytes = 0; // maximum resident set
    bool Ok = false;
};

// Runs argv with stdout and stderr on /dev/null; CPU time and peak memory from wait4.
ChildRun RunChild(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ChildRun run;
    const int rc = posix_spawnp(&pid, args[0], &fa, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) return run;
    int status = 0;
    rusage ru{};
    if (wait4(pid, &status, 0, &ru) != pid) return run;
    auto secs = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    run.Cpu = secs(ru.ru_utime) + secs(ru.ru_stime);
    run.PeakBytes = static_cast<double>(ru.ru_maxrss) * 1024.0;
    run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

std::string TempName(const std::string& tag) {
    return (std::filesystem::temp_directory_path() /
            ("velomast-cli-bench-" + std::to_string(::getpid()) + "-" + tag))
        .string();
}

// Generated model files, written once per run and removed at exit.
struct ModelFiles {
    std::map<int, std::string> Names;
    ~ModelFiles() {
        std::error_code ec;
        for (const auto& [n, name] : Names)
            std::filesystem::remove(name, ec);
        std::filesystem::remove(TempName("out.maa"), ec);
    }
    const std::string& Get(int wires) {
        auto it = Names.find(wires);
        if (it != Names.end()) return it->second;
        const std::string name = TempName(std::to_string(wires) + ".maa");
        // Made in a child process: a spawned command starts with this process's resident
        // size as its peak (wait4 reports the larger), so this process must stay small for
        // the children's peak memory to mean anything.
        const pid_t maker = ::fork();
        if (maker == 0) {
            TWireList m;
            bench::MakeLoopField(m, wires);
            m.NewObjectFromText(KindSource, "w1c,0,1");
            m.NewObjectFromText(KindLoad, "w2b,1,50,0");
            m.ModelName = "Поле рамок";
            ::_exit(WriteModel(m, name, false, {}, false).Ok ? 0 : 1);
        }
        int status = 0;
        if (maker < 0 || ::waitpid(maker, &status, 0) != maker || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            std::fprintf(stderr, "could not write %s\n", name.c_str());
        return Names[wires] = name;
    }
};

ModelFiles& Files() {
    static ModelFiles files;
    return files;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double AwkCpu(const std::string& file) {
    static std::map<std::string, double> cache;
    if (auto it = cache.find(file); it != cache.end()) return it->second;
    std::vector<double> t;
    for (int i = 0; i < 5; ++i)
        t.push_back(RunChild({"awk", "-F,", "{s+=$1+$2+$3+$4+$5+$6} END{print s}", file}).Cpu);
    return cache[file] = Median(t);
}

// The tool measured: VELOMAST_CLI when set (an older build, for a before/after figure).
std::string CliPath() {
    const char* env = std::getenv("VELOMAST_CLI");
    return env && *env ? env : VELOMAST_CLI_PATH;
}

double SmallPeak(const std::vector<std::string>& command) {
    static std::map<std::string, double> cache;
    const std::string key = command[0];
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    std::vector<std::string> argv = command;
    argv.push_back(Files().Get(10));
    if (key == "normalize") argv.push_back(TempName("out.maa"));
    argv.insert(argv.begin(), CliPath());
    return cache[key] = RunChild(argv).PeakBytes;
}

void RunCommand(benchmark::State& state, const std::string& command) {
    const int wires = static_cast<int>(state.range(0));
    const std::string& file = Files().Get(wires);
    std::vector<std::string> argv{CliPath(), command, file};
    if (command == "normalize") argv.push_back(TempName("out.maa"));
    const double awk = AwkCpu(file);
    const double small = SmallPeak({command});
    std::vector<double> cpu;
    double peak = 0;
    for (auto _ : state) {
        const ChildRun r = RunChild(argv);
        if (!r.Ok) {
            state.SkipWithError("the command failed");
            return;
        }
        cpu.push_back(r.Cpu);
        peak = std::max(peak, r.PeakBytes);
        state.SetIterationTime(r.Cpu);
    }
    const double median = Median(cpu);
    state.counters["cpu_ms"] = median * 1e3;
    state.counters["awk_ms"] = awk * 1e3;
    if (awk > 0) state.counters["vs_awk"] = median / awk;
    state.counters["bytes_per_wire"] = (peak - small) / wires;
}

void BM_CliInfo(benchmark::State& state) {
    RunCommand(state, "info");
}
void BM_CliNormalize(benchmark::State& state) {
    RunCommand(state, "normalize");
}

} // namespace

BENCHMARK(BM_CliInfo)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CliNormalize)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
