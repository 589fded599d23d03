// The geometry check and the NEC-2 deck on big generated models. Goal: the check of
// 100 000 wires within 2 s; the crossing test goes through a spatial grid, so the time
// grows with the wire count, not with its square.
#include "model_gen.h"

#include "analysis/geometry_check.h"
#include "analysis/nec_deck.h"

#include <benchmark/benchmark.h>

using namespace velomast;

namespace {

void Fill(TWireList& m, int n, bool chain) {
    m.SetFrequency(14);
    if (chain)
        bench::MakeChain(m, n);
    else
        bench::MakeLoopField(m, n);
    for (size_t i = 0; i < m.Count(); ++i) m[i]->Radius = 0.001; // conductors, not combined wires
    m.NewObjectFromText(KindSource, "w1c,\t0.0,\t1.0");
}

void BM_CheckGeometry(benchmark::State& state, bool chain) {
    TWireList m;
    Fill(m, static_cast<int>(state.range(0)), chain);
    size_t findings = 0;
    for (auto _ : state) {
        const auto f = CheckGeometry(m);
        findings = f.size();
        benchmark::DoNotOptimize(findings);
    }
    state.counters["wires"] = static_cast<double>(m.Count());
    state.counters["findings"] = static_cast<double>(findings);
}

void BM_WriteNecDeck(benchmark::State& state) {
    TWireList m;
    Fill(m, static_cast<int>(state.range(0)), false);
    for (auto _ : state) {
        const TNecDeck d = WriteNecDeck(m);
        benchmark::DoNotOptimize(d.Text.size());
    }
}

} // namespace

BENCHMARK_CAPTURE(BM_CheckGeometry, LoopField, false)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CheckGeometry, Chain, true)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteNecDeck)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
