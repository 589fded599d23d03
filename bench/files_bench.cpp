// Reading and writing model files of 100 000 wires. Reading is compared with the time awk
// needs to sum the six coordinates of every line of the same file, measured in the same run:
// the counter vs_awk is (time of ReadModel) / (time of awk).
#include "model_gen.h"

#include "files/maa_reader.h"
#include "files/maa_writer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <cstdio>
#include <cstring>
#include <memory>

#include <malloc.h>
#include <unistd.h>

using namespace velomast;

namespace {

constexpr int kWires = 100000;

// The generated model's file, written once per run and removed at exit.
struct TempModelFile {
    std::string Name;
    TempModelFile() {
        Name = (std::filesystem::temp_directory_path() / ("velomast-bench-" + std::to_string(::getpid()) + ".maa"))
                   .string();
        TWireList m;
        bench::MakeLoopField(m, kWires);
        m.NewObjectFromText(KindSource, "w1c,0,1");
        m.NewObjectFromText(KindLoad, "w2b,1,50,0");
        m.ModelName = "Поле рамок";
        WriteModel(m, Name, false, {}, false);
    }
    ~TempModelFile() {
        std::error_code ec;
        std::filesystem::remove(Name, ec);
    }
};

const std::string& ModelFile() {
    static const TempModelFile file;
    return file.Name;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The best of three runs of awk summing X1..Z2 of every line.
double AwkSeconds() {
    static const double best = [] {
        const std::string cmd = "awk -F, '{s+=$1+$2+$3+$4+$5+$6} END{print s}' '" + ModelFile() + "' > /dev/null";
        double t = 1e9;
        for (int i = 0; i < 3; ++i) {
            const auto start = std::chrono::steady_clock::now();
            if (std::system(cmd.c_str()) != 0) return 0.0;
            t = std::min(t, Seconds(std::chrono::steady_clock::now() - start));
        }
        return t;
    }();
    return best;
}

void BM_ReadModel100k(benchmark::State& state) {
    const std::string& file = ModelFile();
    double total = 0;
    for (auto _ : state) {
        TWireList m;
        const auto start = std::chrono::steady_clock::now();
        const TReadResult r = ReadModel(m, file);
        total += Seconds(std::chrono::steady_clock::now() - start);
        if (!r.Ok() || m.OwnCount() != static_cast<size_t>(kWires)) state.SkipWithError("read failed");
        state.PauseTiming(); // freeing the model is not part of reading
        m.Clear(false);
        state.ResumeTiming();
    }
    const double awk = AwkSeconds();
    state.counters["awk_ms"] = awk * 1e3;
    if (awk > 0) state.counters["vs_awk"] = total / static_cast<double>(state.iterations()) / awk;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(file)));
}
BENCHMARK(BM_ReadModel100k)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_WriteModel100k(benchmark::State& state) {
    TWireList m;
    ReadModel(m, ModelFile());
    const std::string out = ModelFile() + ".out.maa";
    for (auto _ : state) {
        const TWriteResult r = WriteModel(m, out, false, {}, false);
        if (!r.Ok) state.SkipWithError(r.Message.c_str());
    }
    std::filesystem::remove(out);
}
BENCHMARK(BM_WriteModel100k)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_AwkSum100k(benchmark::State& state) {
    const std::string cmd = "awk -F, '{s+=$1+$2+$3+$4+$5+$6} END{print s}' '" + ModelFile() + "' > /dev/null";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0) state.SkipWithError("awk failed");
}
BENCHMARK(BM_AwkSum100k)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

namespace {

// Resident and peak resident size of this process in bytes (/proc/self/status).
double StatusBytes(const char* field) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    double kb = 0;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, n) == 0) kb = std::atof(line + n + 1);
    std::fclose(f);
    return kb * 1024;
}

// Writing 5 to clear_refs starts the peak resident size afresh.
void ResetPeak() {
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// Memory of a model read as the editor opens it: peak_per_wire while reading,
// settled_per_wire once the read is over (both above what the process held before).
void BM_ReadModelMemory(benchmark::State& state) {
    const int wires = static_cast<int>(state.range(0));
    const std::string name = ModelFile() + "." + std::to_string(wires) + ".maa";
    {
        TWireList m;
        bench::MakeLoopField(m, wires);
        WriteModel(m, name, false, {}, false);
    }
    double peak = 0;
    double settled = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const double before = StatusBytes("VmRSS:");
        ResetPeak();
        auto m = std::make_unique<TWireList>();
        ReadModel(*m, name);
        malloc_trim(0);
        peak = StatusBytes("VmHWM:") - before;
        settled = StatusBytes("VmRSS:") - before;
        state.PauseTiming();
        m.reset();
        state.ResumeTiming();
    }
    std::filesystem::remove(name);
    state.counters["peak_per_wire"] = peak / wires;
    state.counters["settled_per_wire"] = settled / wires;
}
BENCHMARK(BM_ReadModelMemory)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
