// The step without drawing: the program's lattice through Simulation::Step,
// the same arithmetic on flat arrays as its floor, and larger lattices of the
// same construction rule for the scaling.
#include <benchmark/benchmark.h>

#include "flat_lattice.h"
#include "lattice.h"
#include "null_surface.h"
#include "window/simulation.h"

void NullSurface::Line(double, double, double, double, std::int32_t) {}

namespace {

// Past the first sag the 8 x 6 lattice comes to rest under its weight
// (damping 0.998 a frame) and stays there: every spring intact and loaded,
// every frame the same work.
constexpr int SettleFrames = 3000;

void settle(Simulation& sim, Surface& surface)
{
    sim.Init();
    for (int i = 0; i < SettleFrames; ++i)
        sim.Step(surface);
}

void BM_Step(benchmark::State& state)
{
    Simulation sim;
    NullSurface surface;
    settle(sim, surface);
    for (auto _ : state)
        sim.Step(surface);
    benchmark::DoNotOptimize(sim.Masses(1).Y);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Step);

void BM_StepFlat(benchmark::State& state)
{
    Simulation sim;
    NullSurface surface;
    settle(sim, surface);
    FlatLattice flat = FlatLattice::of(sim);
    for (auto _ : state)
        flat.step(surface);
    benchmark::DoNotOptimize(flat.Y[0]);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StepFlat);

// A lattice of more than 8 x 6 tears under its own weight: the first spring
// breaks in frame 54 or later, and the torn lattice falls away. Each lattice
// is therefore stepped 50 frames, its first sag with every spring intact, and
// then rebuilt with the clock stopped. All sizes, 8 included, run the same
// frames.
constexpr int FramesPerBuild = 50;

void BM_StepLattice(benchmark::State& state)
{
    const int columns = static_cast<int>(state.range(0));
    const int rows = columns * 3 / 4;
    NullSurface surface;
    auto lattice = std::make_unique<Lattice>(columns, rows);
    const int springs = lattice->springCount();
    int frame = 0;
    for (auto _ : state) {
        if (frame == FramesPerBuild) {
            state.PauseTiming();
            lattice.reset();
            lattice = std::make_unique<Lattice>(columns, rows);
            frame = 0;
            state.ResumeTiming();
        }
        lattice->step(surface);
        ++frame;
    }
    benchmark::DoNotOptimize(lattice->mass(1).Y);
    state.SetItemsProcessed(state.iterations() * springs);
    state.counters["springs"] = springs;
    // Seconds per spring and step.
    state.counters["per_spring"] =
        benchmark::Counter(springs, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StepLattice)->Arg(8)->Arg(16)->Arg(32)->Arg(64)->Arg(128);

} // namespace
