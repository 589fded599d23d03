// Model operations that the editor runs on every edit. Each family is measured at two
// sizes; the ratio of the two times shows how the cost grows (10 for linear growth).
#include "model_gen.h"

#include <benchmark/benchmark.h>

using namespace velomast;

static void BM_CreateWires(benchmark::State& state) {
    for (auto _ : state) {
        TWireList m;
        bench::MakeLoopField(m, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(m.Count());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CreateWires)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

static void BM_RebuildElements(benchmark::State& state) {
    TWireList m;
    bench::MakeLoopField(m, static_cast<int>(state.range(0)));
    for (auto _ : state) m.RebuildElements();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RebuildElements)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

static void BM_RebuildElementsChain(benchmark::State& state) {
    TWireList m;
    bench::MakeChain(m, static_cast<int>(state.range(0)));
    for (auto _ : state) m.RebuildElements();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RebuildElementsChain)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

// A star: every wire starts at one point (a ground system of many radials).
static void BM_RebuildElementsStar(benchmark::State& state) {
    TWireList m;
    const int n = static_cast<int>(state.range(0));
    for (int i = 0; i < n; ++i) m.NewWire({0, 0, 0}, {1 + i * 0.001, double(i % 7), 1}, -2);
    for (auto _ : state) m.RebuildElements();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RebuildElementsStar)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();

// Dragging one joint with keep-connections on: must not depend on the model size.
static void BM_SetEndsKeepConnections(benchmark::State& state) {
    TWireList m;
    bench::MakeLoopField(m, static_cast<int>(state.range(0)));
    TWire* w = m[0];
    const Vec3 a = w->P1();
    const Vec3 b = w->P2();
    bool flip = false;
    for (auto _ : state) {
        Vec3 e = b;
        e.Z += flip ? 0.0 : 0.1;
        flip = !flip;
        w->SetEnds(a, e, true, false, true);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SetEndsKeepConnections)->Arg(10000)->Arg(100000)->Complexity();

// The commit of an edit: rebuild plus snapshot; then undo reaching an early step.
static void BM_StoreUndoStep(benchmark::State& state) {
    TWireList m;
    bench::MakeLoopField(m, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        m.ClearHistory();
        state.ResumeTiming();
        m.StoreUndoStep(false);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_StoreUndoStep)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

static void BM_RestoreUndoStep(benchmark::State& state) {
    TWireList m;
    bench::MakeLoopField(m, 20000);
    for (int i = 0; i < state.range(0); ++i) m.StoreUndoStep(false);
    for (auto _ : state) m.RestoreUndoStep(1);
    state.SetComplexityN(state.range(0));
}
// Reaching step 1 with 5 or 50 later steps stored costs the same.
BENCHMARK(BM_RestoreUndoStep)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
