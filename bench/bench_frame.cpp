// The window's frame: clearing the picture, a frame drawn into the picture's
// real image, and the real window running frames through Qt's event loop.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "window/form1.h"
#include "window/picturebox.h"

namespace {

// As in the step benchmarks: the lattice is stepped past its first sag to
// rest, where it stays, so every frame draws the same 117 loaded springs.
constexpr int SettleFrames = 3000;

void settle(Form1& form)
{
    Simulation& sim = form.simulation();
    sim.Init();
    for (int i = 0; i < SettleFrames; ++i) {
        form.Picture1->Cls();
        sim.Step(*form.Picture1);
    }
}

void BM_Clear(benchmark::State& state)
{
    Form1 form;
    form.Picture1->Cls();
    for (auto _ : state) {
        form.Picture1->Cls();
        benchmark::ClobberMemory();
    }
    const QImage& image = form.Picture1->image();
    state.counters["width"] = image.width();
    state.counters["height"] = image.height();
    state.SetBytesProcessed(state.iterations() * image.sizeInBytes());
}
BENCHMARK(BM_Clear);

void BM_Frame(benchmark::State& state)
{
    Form1 form;
    settle(form);
    for (auto _ : state) {
        form.Picture1->Cls();
        form.simulation().Step(*form.Picture1);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Frame);

/// Counts the frames the picture shows: each frame ends with a synchronous
/// repaint of the picture.
class FrameCounter : public QObject {
public:
    std::int64_t frames = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++frames;
        return false;
    }
};

// The window runs as the program does, from Load on; each iteration turns the
// event loop for a fixed time. Frames of the first two seconds, while the
// lattice sags and settles, are not measured.
constexpr int WarmUpMilliseconds = 2000;
constexpr int MillisecondsPerIteration = 100;

void runEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void BM_EventLoop(benchmark::State& state)
{
    Form1 form;
    FrameCounter counter;
    form.Picture1->installEventFilter(&counter);
    form.Load();
    runEventLoop(WarmUpMilliseconds);
    const std::int64_t before = counter.frames;
    for (auto _ : state)
        runEventLoop(MillisecondsPerIteration);
    // items_per_second: frames per second.
    state.SetItemsProcessed(counter.frames - before);
}
BENCHMARK(BM_EventLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
