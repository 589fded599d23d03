// Mouse moves in the editor's window on a big model, through the paint box as the user
// makes them: a dragged wire end (the model changes and its image is redrawn), a
// selection rectangle (only the overlay changes) and a hover. Goal: a dragged end on
// 20 000 wires within one 60 Hz frame; overlay and hover moves independent of the
// model's size.
#include "files/maa_writer.h"
#include "model_gen.h"
#include "files/maa_reader.h"
#include "scene_gen.h"
#include "ui/mouse_controller.h"
#include "ui/paint_box.h"
#include "ui/tfm_velomast.h"
#include "view/view_camera.h"

#include <QAction>
#include <QElapsedTimer>
#include <QTimer>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

using namespace velomast;

namespace {

enum Gesture { DragEnd, SelectBox, Hover };

void Send(QWidget* box, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(at), QPointF(box->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(box, &e);
}

// A model too big for the smallest scale does not fit the view: the first wire's end is
// then brought to the middle of it, so that the gestures start inside the paint box.
void BringFirstEndIntoView(TfmVelomast& w) {
    TWireList& m = w.Model();
    const ScreenPoint end = ProjectPoint(m, m[0]->P2());
    if (w.PaintBox()->rect().adjusted(80, 50, -80, -50).contains(QPoint(end.X, end.Y))) return;
    m.ViewCenter = m[0]->P2();
    m.UpdateVisibleRange();
    w.PaintView();
    QApplication::processEvents();
}

// A shown window with its own temporary settings file. Hidden before it goes: a visible
// window destroyed with the scale box focused would hand the box's focus-out to a
// half-destroyed window.
struct TShownWindow {
    QTemporaryDir Dir;
    std::unique_ptr<TfmVelomast> W;
    TShownWindow() {
        TMainWindowOptions o;
        o.SettingsPath = Dir.filePath("velomast.ini");
        W = std::make_unique<TfmVelomast>(o);
        W->resize(1280, 820);
        W->show();
        QApplication::processEvents();
    }
    ~TShownWindow() { W->hide(); }
};

// A window holding a generated model of n wires, fitted to the top view.
struct TBigWindow : TShownWindow {
    explicit TBigWindow(int n) {
        TWireList& m = W->Model();
        bench::MakeLoopField(m, n);
        m.StoreUndoStep(false);
        W->MainPages()->setCurrentIndex(1);
        W->NScaleCurrentClick();
        QApplication::processEvents();
        BringFirstEndIntoView(*W);
    }
    QWidget* Box() const { return W->PaintBox(); }
    QPoint EndOfFirstWire() const {
        const ScreenPoint end = ProjectPoint(W->Model(), W->Model()[0]->P2());
        return {end.X, end.Y};
    }
};

void BM_WindowMouseMove(benchmark::State& state, Gesture g) {
    TBigWindow bw(static_cast<int>(state.range(0)));
    TWireList& m = bw.W->Model();

    QWidget* box = bw.Box();
    const ScreenPoint end = ProjectPoint(m, m[0]->P2());
    const QPoint start = g == DragEnd ? QPoint(end.X, end.Y) : QPoint(20, 20);
    if (g != Hover) Send(box, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    if (g == DragEnd && m.DragList.empty()) {
        state.SkipWithError("no end under the cursor");
        return;
    }
    const Qt::MouseButtons held = g == Hover ? Qt::NoButton : Qt::LeftButton;
    // Right and down, or towards the middle where that would leave the paint box: a move
    // out of it scrolls the view, and a scrolled view is drawn whole.
    const int sx = start.x() + 70 < box->width() ? 1 : -1;
    const int sy = start.y() + 40 < box->height() ? 1 : -1;
    int i = 0;
    for (auto _ : state) {
        const QPoint at = start + QPoint(sx * (5 + i % 60), sy * (5 + (i % 60) / 2));
        ++i;
        Send(box, QEvent::MouseMove, at, Qt::NoButton, held);
        QApplication::processEvents(); // the paint box repaints what the move asked for
    }
    if (g != Hover) Send(box, QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
}

// Typing a new dX for one scene antenna among 20 (or 5) of 1 000 wires beside a 1 000-wire
// landscape: the antenna is placed again and the window refreshed and repainted.
void BM_WindowSceneTypeDx(benchmark::State& state) {
    const bench::TSceneFiles files(static_cast<int>(state.range(0)), 1000, 1000);
    QTemporaryDir dir;
    TMainWindowOptions o;
    o.SettingsPath = dir.filePath("velomast.ini");
    o.Arguments = {"--scene", QString::fromStdString(files.SceneFile)};
    TfmVelomast w(o);
    struct Hide {
        QWidget& W;
        ~Hide() { W.hide(); }
    } hide{w};
    w.resize(1280, 820);
    w.show();
    w.activateWindow();
    for (int i = 0; i < 100 && !w.isActiveWindow(); ++i) QApplication::processEvents();
    auto* dx = w.findChild<QLineEdit*>("edAntX");
    dx->setFocus();
    QApplication::processEvents();
    if (!dx->hasFocus()) {
        state.SkipWithError("dX has no focus");
        return;
    }
    const size_t history = w.Model().History.Size();
    const size_t held = w.Model().History.HeldBytes();
    int i = 0;
    for (auto _ : state) {
        QKeyEvent all(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
        QApplication::sendEvent(dx, &all);
        const QString digit = QString::number(1 + i++ % 9);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_0 + digit[0].digitValue(), Qt::NoModifier, digit);
        QApplication::sendEvent(dx, &key);
        QApplication::processEvents(); // the repaint
    }
    state.counters["wires"] = static_cast<double>(w.Model().Count());
    state.counters["history_bytes_added"] = static_cast<double>(w.Model().History.Size() - history);
    state.counters["history_held_bytes_added"] =
        static_cast<double>(w.Model().History.HeldBytes()) - static_cast<double>(held);
}

// Releasing a dragged wire end: the commit (elements, undo step, refresh), timed alone.
void BM_WindowCommitDrag(benchmark::State& state) {
    TBigWindow bw(static_cast<int>(state.range(0)));
    QWidget* box = bw.Box();
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QPoint start = bw.EndOfFirstWire();
        Send(box, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        const QPoint to = start + QPoint(i % 2 ? -7 : 7, 4);
        ++i;
        Send(box, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        QApplication::processEvents();
        state.ResumeTiming();
        Send(box, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
    }
    state.counters["history_steps"] = bw.W->Model().HistoryCount();
    state.counters["history_bytes"] = static_cast<double>(bw.W->Model().History.Size());
    state.counters["history_held_bytes"] = static_cast<double>(bw.W->Model().History.HeldBytes());
}

// Ctrl+Z and Ctrl+Y after a committed edit, each timed alone; with nothing to undo when
// `nothing` (the model as it was opened).
void BM_WindowUndoRedo(benchmark::State& state, int which) {
    TBigWindow bw(static_cast<int>(state.range(0)));
    TWireList& m = bw.W->Model();
    QAction* undo = bw.W->Action("NUndo");
    QAction* redo = bw.W->Action("NRedo");
    if (which != 2) {
        m[0]->SetEnds(m[0]->P1(), VecAdd(m[0]->P2(), Vec3{0.05, 0, 0}), true, false, true);
        m.StoreUndoStep(false);
    }
    for (auto _ : state) {
        if (which == 2) {
            undo->trigger();
            QApplication::processEvents();
            continue;
        }
        if (which == 1) state.PauseTiming();
        undo->trigger();
        QApplication::processEvents();
        if (which == 1)
            state.ResumeTiming();
        else
            state.PauseTiming();
        redo->trigger();
        QApplication::processEvents();
        if (which == 0) state.ResumeTiming();
    }
}

// F9 on big corpus models: the time from the key to the result on the page, and the
// longest gap between the ticks of a 1 ms timer while nec2c runs — the longest the window
// stops answering. A run still going after 30 s is left (finished = 0) and stopped with
// the window.
void BM_WindowAnalyse(benchmark::State& state, const char* file) {
    const QString model = QStringLiteral(VELOMAST_SOURCE_DIR "/tests/data/corpus/maa/") + QString::fromUtf8(file);
    TShownWindow shown;
    TfmVelomast& w = *shown.W;
    // Read straight into the window's model: the reader's warnings would open a message box.
    if (!ReadModel(w.Model(), model.toStdString()).Ok()) {
        state.SkipWithError("the corpus model is missing");
        return;
    }
    w.Model().StoreUndoStep(false);
    w.UpdateForm();
    QApplication::processEvents();
    qint64 worstStall = 0, worstRun = 0;
    bool finished = true;
    for (auto _ : state) {
        QElapsedTimer clock, tick;
        clock.start();
        tick.start();
        qint64 stall = 0;
        QTimer timer;
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            stall = std::max(stall, tick.elapsed());
            tick.restart();
        });
        timer.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier);
        QApplication::sendEvent(&w, &press);
        stall = std::max(stall, tick.elapsed());
        tick.restart();
        while (w.AnalysisRunning() && clock.elapsed() < 30000) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const qint64 ran = clock.elapsed();
        timer.stop();
        finished = finished && !w.AnalysisRunning() && w.LastAnalysisMs() >= 0;
        state.SetIterationTime(static_cast<double>(ran) / 1000);
        worstStall = std::max(worstStall, stall);
        worstRun = std::max(worstRun, ran);
    }
    state.counters["stall_ms"] = static_cast<double>(worstStall);
    state.counters["worst_ms"] = static_cast<double>(worstRun);
    state.counters["finished"] = finished ? 1 : 0;
}

// Opening a generated model file in the editor's window, up to the repainted window.
// Goal: a million wires within 3 s.
void BM_WindowOpenFile(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string file = dir.filePath("big.maa").toStdString();
    {
        TWireList m;
        bench::MakeLoopField(m, static_cast<int>(state.range(0)));
        WriteModel(m, file, false, {}, false);
    }
    for (auto _ : state) {
        TMainWindowOptions o;
        o.SettingsPath = dir.filePath("velomast.ini");
        TfmVelomast w(o);
        w.resize(1280, 820);
        w.show();
        QApplication::processEvents();
        if (!w.OpenModel(QString::fromStdString(file))) state.SkipWithError("not opened");
        QApplication::processEvents();
        state.PauseTiming();
        w.hide();
        state.counters["wires"] = static_cast<double>(w.Model().OwnCount());
        state.counters["history_held_bytes_per_wire"] =
            static_cast<double>(w.Model().History.HeldBytes()) / static_cast<double>(std::max<size_t>(1, w.Model().OwnCount()));
        state.ResumeTiming();
    }
}

// Ctrl+A on a big model: every wire selected, the window refreshed.
void BM_WindowSelectAll(benchmark::State& state) {
    TBigWindow bw(static_cast<int>(state.range(0)));
    QAction* all = bw.W->Action("NSelectAll");
    for (auto _ : state) {
        state.PauseTiming();
        bw.W->Model().ClearSelection();
        state.ResumeTiming();
        all->trigger();
        QApplication::processEvents();
    }
}

// A whole drag on a big model, press to release, with a few moves between.
void BM_WindowWholeDrag(benchmark::State& state) {
    TBigWindow bw(static_cast<int>(state.range(0)));
    QWidget* box = bw.Box();
    int i = 0;
    for (auto _ : state) {
        const QPoint start = bw.EndOfFirstWire();
        Send(box, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        QApplication::processEvents();
        const int dir = i++ % 2 ? -1 : 1;
        for (int k = 1; k <= 4; ++k) {
            Send(box, QEvent::MouseMove, start + QPoint(dir * 2 * k, k), Qt::NoButton, Qt::LeftButton);
            QApplication::processEvents();
        }
        Send(box, QEvent::MouseButtonRelease, start + QPoint(dir * 8, 4), Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
    }
}

} // namespace

BENCHMARK(BM_WindowOpenFile)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowSelectAll)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowWholeDrag)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowSceneTypeDx)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowMouseMove, DragEnd, DragEnd)
    ->Arg(2000)
    ->Arg(20000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowMouseMove, SelectBox, SelectBox)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowMouseMove, Hover, Hover)->Arg(2000)->Arg(20000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowCommitDrag)->Arg(100000)->Arg(1000000)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowUndoRedo, Undo, 0)->Arg(100000)->Arg(1000000)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowUndoRedo, Redo, 1)->Arg(100000)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowUndoRedo, NothingToUndo, 2)->Arg(100000)->Iterations(5)->Unit(benchmark::kMillisecond);
// 385 wires (511 segments) and the largest, 560 wires (5 322 segments at lambda/80).
BENCHMARK_CAPTURE(BM_WindowAnalyse, Broadcast385, "handiko__AntennaFiles-OLD__MW-Broadcasting.maa")
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowAnalyse, Echo560, "igorsan98v2__MMANAGAL-HELPER-GUI__echo__f68c2c3.maa")
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
