// The generators on a model that already holds many wires, each with the commit that
// follows it (element rebuild and undo snapshot). Measured at two sizes of the existing
// model: the ratio of the two times shows how the cost grows with it.
#include "model_gen.h"

#include "model/generators.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace velomast;

namespace {

std::unique_ptr<TWireList> ExistingModel(int n) {
    auto m = std::make_unique<TWireList>();
    bench::MakeLoopField(*m, n);
    m->StoreUndoStep(false);
    return m;
}

// A 99 x 100 grid (19 999 wires) over a 99 m x 100 m rectangle above the existing wires.
void BM_FillGrid99x100(benchmark::State& state) {
    std::unique_ptr<TWireList> m;
    for (auto _ : state) {
        state.PauseTiming();
        m.reset();
        m = ExistingModel(static_cast<int>(state.range(0)));
        const Vec3 c[4] = {{0, 0, 100}, {99, 0, 100}, {99, 100, 100}, {0, 100, 100}};
        TWire* w[4];
        for (int i = 0; i < 4; ++i) w[i] = m->NewWire(c[i], c[(i + 1) % 4], -2);
        for (int i = 3; i >= 0; --i) m->SelectWire(w[i], false);
        state.ResumeTiming();
        benchmark::DoNotOptimize(FillGrid(*m, 99, 100, 0.0008));
        m->StoreUndoStep(false);
    }
    state.counters["wires"] = static_cast<double>(m->Count());
}
BENCHMARK(BM_FillGrid99x100)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A cage of 36 faces and 20 hoops: 36 x 19 segments, 720 hoops, 72 end connections.
void BM_Cage36x20(benchmark::State& state) {
    std::unique_ptr<TWireList> m;
    for (auto _ : state) {
        state.PauseTiming();
        m.reset();
        m = ExistingModel(static_cast<int>(state.range(0)));
        TWire* base = m->NewWire({0, 0, 100}, {0, 0, 130}, 0.01);
        TCageParams p;
        p.Faces = 36;
        p.Hoops = 20;
        p.Radius = 1;
        state.ResumeTiming();
        benchmark::DoNotOptimize(MakeFatWire(*m, *base, p));
        m->StoreUndoStep(false);
    }
    state.counters["wires"] = static_cast<double>(m->Count());
}
BENCHMARK(BM_Cage36x20)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A coil of 100 turns of 36 chords: 3 602 wires.
void BM_Coil100x36(benchmark::State& state) {
    std::unique_ptr<TWireList> m;
    for (auto _ : state) {
        state.PauseTiming();
        m.reset();
        m = ExistingModel(static_cast<int>(state.range(0)));
        TWire* base = m->NewWire({0, 0, 100}, {0, 0, 110}, 0.01);
        TCoilParams p;
        p.ChordsPerTurn = 36;
        p.Turns = 100;
        p.Radius = 0.5;
        state.ResumeTiming();
        benchmark::DoNotOptimize(MakeCoil(*m, *base, p));
        m->StoreUndoStep(false);
    }
    state.counters["wires"] = static_cast<double>(m->Count());
}
BENCHMARK(BM_Coil100x36)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
