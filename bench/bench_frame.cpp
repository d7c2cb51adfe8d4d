// The window's frame: clearing the whole picture once (the reference), a
// frame drawn into the picture's real image, and the real window running
// frames through Qt's event loop.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "scenes.h"
#include "warm_up.h"
#include "window/form1.h"
#include "window/picturebox.h"

namespace {

// As in the step benchmarks: the lattice is stepped past its first sag to
// rest, where it stays, so every frame draws the same 117 loaded springs.
constexpr int SettleFrames = 3000;

/// One frame as the window runs it, without showing it: clear, then the
/// step with its lines.
void frame(Form1& form)
{
    form.program().frame();
}

/// The window with its lattice at rest, kept for the whole run and warmed
/// up; deleted with the application.
Form1& restingWindow()
{
    static Form1* form = [] {
        auto* f = new Form1;
        qAddPostRoutine([] { delete form; });
        f->program().load(f->Picture1->devicePixelRatioF());
        for (int i = 0; i < SettleFrames; ++i)
            frame(*f);
        warmUp([f] { frame(*f); });
        return f;
    }();
    return *form;
}

/// An image of the picture's size and kind, kept for the whole run.
QImage& wholePicture()
{
    static QImage image = [] {
        const QImage& picture = restingWindow().Picture1->image();
        QImage i(picture.size(), picture.format());
        warmUp([&i] { i.fill(PictureBox::Background); });
        return i;
    }();
    return image;
}

// Filling the whole picture with the background: what clearing cost when
// every frame cleared everything, and the reference a frame is measured by.
void BM_Clear(benchmark::State& state)
{
    QImage& image = wholePicture();
    for (auto _ : state) {
        image.fill(PictureBox::Background);
        benchmark::ClobberMemory();
    }
    state.counters["width"] = image.width();
    state.counters["height"] = image.height();
    state.SetBytesProcessed(state.iterations() * image.sizeInBytes());
}
BENCHMARK(BM_Clear);

void BM_Frame(benchmark::State& state)
{
    Form1& form = restingWindow();
    for (auto _ : state) {
        frame(form);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Frame);

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

// Steps: frames the loop ran (each one time step). Paints: frames that
// reached the screen. The loop never waits for the screen, so the first is
// the simulation's speed and the second the display's.
void BM_EventLoop(benchmark::State& state)
{
    Form1 form;
    form.Load();
    runEventLoop(WarmUpMilliseconds);
    const PictureBox& picture = *form.Picture1;
    const std::int64_t steps = picture.drawnFrames();
    const std::int64_t paints = picture.shownFrames();
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state)
        runEventLoop(MillisecondsPerIteration);
    const double seconds = clock.nsecsElapsed() / 1e9;
    state.counters["steps_per_second"] = (picture.drawnFrames() - steps) / seconds;
    state.counters["paints_per_second"] = (picture.shownFrames() - paints) / seconds;
}
BENCHMARK(BM_EventLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

void makeWindowScenes()
{
    wholePicture();
}
