// Repaint of the view, which happens on every mouse move while the 3-D view is turned or
// an end is dragged. Goals on the reference machine: 20 000 wires within one 60 Hz frame
// (16 ms), 100 000 wires within 100 ms. The empty model is the baseline of the run.
#include "model_gen.h"
#include "view/view_camera.h"
#include "view/view_painter.h"
#include "view/view_picking.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

using namespace velomast;

namespace {

enum Case { Turned, Flat, FlatZoomed };

// Separate wires of distinct lengths (0.6 .. 0.9 m) at turning angles, one per cell of
// 1 x 0.5 m: at 60 pixels per metre about 370 of them carry a turned length label.
void MakeLabelField(TWireList& m, int n) {
    const int columns = 100;
    for (int i = 0; i < n; ++i) {
        const double x = (i % columns) * 1.0, y = (i / columns) * 0.5;
        const double len = 0.6 + (i % 3000) * 0.0001;
        const double a = (i % 12) * 15 * DegToRad * 0.5;
        m.NewWire({x, y, 0}, {x + len * std::cos(a), y + len * std::sin(a) * 0.5, 0}, -2);
    }
}

void Prepare(TWireList& m, int wires, Case c) {
    if (wires > 0) bench::MakeLoopField(m, wires);
    m.RebuildElements();
    ResizeView(m, {0, 0, 1000, 700});
    SetViewPage(m, c == Turned ? 0 : 1);
    m.ShowDirection = true;
    m.ShowGrid = c != Turned;
    m.GridMode = 2;
    m.ShowDimensions = c != Turned;
    m.DimFontSize = 10;
    FitAndCenter(m);
    // Zoomed in far enough for the loops' wires to carry length labels.
    if (c == FlatZoomed) m.SetViewScale(m.ViewScale * 8);
    if (!m.Selection.Empty() || m.Count() == 0) return;
    for (size_t i = 0; i < m.OwnCount(); i += 97) m.SelectWire(m[i], false);
}

void BM_Paint(benchmark::State& state, Case c) {
    TWireList m;
    Prepare(m, static_cast<int>(state.range(0)), c);
    QImage bitmap;
    for (auto _ : state) {
        PaintView(m, bitmap, nullptr, QRect(0, 0, 1000, 700), false);
        benchmark::DoNotOptimize(bitmap.constBits());
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK_CAPTURE(BM_Paint, Turned, Turned)->Arg(0)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Paint, FlatLabels, Flat)->Arg(0)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Paint, FlatLabelsZoomed, FlatZoomed)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A screen full of length labels, each turned along its wire.
static void BM_PaintManyLabels(benchmark::State& state) {
    TWireList m;
    MakeLabelField(m, 20000);
    m.RebuildElements();
    ResizeView(m, {0, 0, 1000, 700});
    SetViewPage(m, 1);
    m.ShowDimensions = true;
    m.DimFontSize = 10;
    m.SetViewScale(60 / m.BaseFactor);
    m.ViewCenter = {50, 50, 0};
    m.UpdateVisibleRange();
    QImage bitmap;
    for (auto _ : state) {
        PaintView(m, bitmap, nullptr, QRect(0, 0, 1000, 700), false);
        benchmark::DoNotOptimize(bitmap.constBits());
    }
}
BENCHMARK(BM_PaintManyLabels)->Unit(benchmark::kMillisecond);

// Sets the grabbed joint to the cursor as the editor does per move: SetEnds with
// keep-connections on, each wire keeping its depth.
static void MoveGrabbedEnds(TWireList& m, ScreenPoint cursor) {
    Vec3 p = UnprojectPixel(m, cursor);
    for (TWire* w : m.DragList) {
        p.Z = w->DragOrigin().Z;
        if (w->DragEnd == 1)
            w->SetEnds(p, w->P2(), true, false, true);
        else
            w->SetEnds(w->P1(), p, true, false, true);
    }
}

// One mouse move while a wire end is dragged in a flat view: the grabbed joint is set
// with SetEnds (keep-connections on, the depth kept) and the model image is redrawn, as
// the editor does per move. Goal: 20 000 wires well within one 60 Hz frame.
void BM_DragEndMove(benchmark::State& state, Case c) {
    TWireList m;
    Prepare(m, static_cast<int>(state.range(0)), c);
    const ScreenPoint grab = ProjectPoint(m, m[0]->P2());
    if (!PickWireAt(m, grab)) {
        state.SkipWithError("no end under the cursor");
        return;
    }
    QImage bitmap;
    int i = 0;
    for (auto _ : state) {
        MoveGrabbedEnds(m, {grab.X + i % 40, grab.Y + (i % 40) / 2});
        ++i;
        PaintView(m, bitmap, nullptr, QRect(0, 0, 1000, 700), false);
        benchmark::DoNotOptimize(bitmap.constBits());
    }
    state.counters["dragged"] = static_cast<double>(m.DragList.size());
}
BENCHMARK_CAPTURE(BM_DragEndMove, FlatLabels, Flat)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DragEndMove, FlatLabelsZoomed, FlatZoomed)->Arg(20000)->Unit(benchmark::kMillisecond);

// The same drag without length labels (the editor's default), drawn as the editor draws
// it now: the still wires once into a kept layer, per move only the moving wires over a
// copy of it. `whole` draws the whole picture per move instead, the baseline of the run.
void BM_DragEndMoveLayered(benchmark::State& state, bool whole) {
    TWireList m;
    Prepare(m, static_cast<int>(state.range(0)), Flat);
    m.ShowDimensions = false;
    const ScreenPoint grab = ProjectPoint(m, m[0]->P2());
    if (!PickWireAt(m, grab)) {
        state.SkipWithError("no end under the cursor");
        return;
    }
    std::vector<size_t> moving;
    for (size_t i = 0; i < m.OwnCount(); ++i)
        if (m[i]->DragEnd != 0) moving.push_back(i);
    QImage bitmap;
    TDragPicture drag;
    int i = 0;
    for (auto _ : state) {
        MoveGrabbedEnds(m, {grab.X + i % 40, grab.Y + (i % 40) / 2});
        ++i;
        if (whole)
            PaintView(m, bitmap, nullptr, QRect(0, 0, 1000, 700), false);
        else
            drag.Paint(m, bitmap, QRect(0, 0, 1000, 700), moving);
        benchmark::DoNotOptimize(bitmap.constBits());
    }
    state.counters["layer_builds"] = drag.Builds();
}
BENCHMARK_CAPTURE(BM_DragEndMoveLayered, Whole, true)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DragEndMoveLayered, Layered, false)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The hover test of one move: the plain scan of every wire (the baseline of the run)
// against the cell grid, built once before the moves as after a repaint.
void BM_Hover(benchmark::State& state, bool plain) {
    TWireList m;
    Prepare(m, static_cast<int>(state.range(0)), Flat);
    THoverIndex index;
    index.Find(m, {0, 0});
    int i = 0, hits = 0;
    for (auto _ : state) {
        const ScreenPoint cursor{100 + (i * 7) % 800, 100 + (i * 13) % 500};
        ++i;
        hits += (plain ? FindWireUnderCursor(m, cursor) : index.Find(m, cursor)) != nullptr;
    }
    state.counters["hit_share"] = i ? double(hits) / i : 0;
}
BENCHMARK_CAPTURE(BM_Hover, Plain, true)->Arg(20000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Hover, Index, false)->Arg(20000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// Building the cell grid, once after each repaint that a hover follows.
static void BM_HoverIndexBuild(benchmark::State& state) {
    TWireList m;
    Prepare(m, static_cast<int>(state.range(0)), Flat);
    THoverIndex index;
    for (auto _ : state) {
        index.Invalidate();
        benchmark::DoNotOptimize(index.Find(m, {500, 350}));
    }
}
BENCHMARK(BM_HoverIndexBuild)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A move that changes only the overlay (rubber line, rectangle, read-out): the last model
// image is copied to the screen and the overlay drawn on top, whatever the model's size.
static void BM_OverlayMove(benchmark::State& state) {
    TWireList m;
    Prepare(m, 20000, Flat);
    QImage bitmap;
    PaintView(m, bitmap, nullptr, QRect(0, 0, 1000, 700), false);
    QImage screen(1000, 700, QImage::Format_ARGB32_Premultiplied);
    int i = 0;
    for (auto _ : state) {
        QPainter p(&screen);
        p.drawImage(0, 0, bitmap);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(100, 100, 200 + i % 50, 150);
        ++i;
        p.end();
        benchmark::DoNotOptimize(screen.constBits());
    }
}
BENCHMARK(BM_OverlayMove)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
