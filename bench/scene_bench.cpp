// The scene: 20 antennas of 1 000 wires each beside a 1 000-wire landscape (and, for the
// ratio, 5 antennas). Goal: loading the scene, moving one antenna and exporting the whole
// each within 0.3 s. The move is what typing dX does: the antenna's wires are read again
// and put in place, and the elements rebuilt; it stores no undo step (history_bytes stays
// as it was), so its cost does not grow with the moves made before it.
#include "scene_gen.h"

#include "files/maa_reader.h"
#include "files/maa_writer.h"
#include "scene/scene.h"

#include <benchmark/benchmark.h>

using namespace velomast;

namespace {

constexpr int kPerAntenna = 1000;
constexpr int kLandscape = 1000;

void Prepare(TWireList& m, TScene& s, const bench::TSceneFiles& files) {
    ReadModel(m, files.ModelFile);
    s.LoadScene(files.SceneFile);
}

void BM_SceneLoad(benchmark::State& state) {
    const bench::TSceneFiles files(static_cast<int>(state.range(0)), kPerAntenna, kLandscape);
    TWireList m;
    TScene s(m);
    ReadModel(m, files.ModelFile);
    for (auto _ : state) s.LoadScene(files.SceneFile);
    state.counters["wires"] = static_cast<double>(m.Count());
}

void BM_SceneMoveAntenna(benchmark::State& state) {
    const bench::TSceneFiles files(static_cast<int>(state.range(0)), kPerAntenna, kLandscape);
    TWireList m;
    TScene s(m);
    Prepare(m, s, files);
    const size_t history = m.History.Size();
    const size_t held = m.History.HeldBytes();
    double dx = 0;
    for (auto _ : state) s.PlaceAntenna(0, {dx += 0.5, 200, 10}, 0);
    state.counters["wires"] = static_cast<double>(m.Count());
    state.counters["history_bytes_added"] = static_cast<double>(m.History.Size() - history);
    state.counters["history_held_bytes_added"] = static_cast<double>(m.History.HeldBytes()) - static_cast<double>(held);
}

void BM_SceneExport(benchmark::State& state) {
    const bench::TSceneFiles files(static_cast<int>(state.range(0)), kPerAntenna, kLandscape);
    TWireList m;
    TScene s(m);
    Prepare(m, s, files);
    const std::string out = (files.Dir / "sc_main.maa").string();
    for (auto _ : state) WriteModel(m, out, true, {}, false);
    state.counters["wires"] = static_cast<double>(m.Count());
}

} // namespace

BENCHMARK(BM_SceneLoad)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneMoveAntenna)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneExport)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);
