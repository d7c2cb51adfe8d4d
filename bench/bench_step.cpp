// The step without drawing: the program's lattice through Simulation::Step,
// next to the same lattice in Box2D, and larger lattices of the same
// construction rule in both for the scaling.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "box2d_lattice.h"
#include "lattice.h"
#include "null_surface.h"
#include "warm_up.h"
#include "core/simulation.h"

void NullSurface::Line(double, double, double, double, std::int32_t) {}

namespace {

// Past the first sag the 8 x 6 lattice comes to rest under its weight
// (damping 0.998 a frame) and stays there: every spring intact and loaded,
// every frame the same work.
constexpr int SettleFrames = 3000;

void BM_Step(benchmark::State& state)
{
    static NullSurface surface;
    static Simulation sim;
    [[maybe_unused]] static const bool ready = [] {
        sim.Init();
        for (int i = 0; i < SettleFrames; ++i)
            sim.Step(surface);
        warmUp([] { sim.Step(surface); });
        return true;
    }();
    for (auto _ : state)
        sim.Step(surface);
    benchmark::DoNotOptimize(sim.Masses(1).Y);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Step);

void BM_StepBox2D(benchmark::State& state)
{
    static Box2DLattice lattice(Simulation::Columns, Simulation::Rows);
    [[maybe_unused]] static const bool ready = [] {
        warmUp([] { lattice.step(); });
        return true;
    }();
    for (auto _ : state)
        lattice.step();
    benchmark::DoNotOptimize(lattice.corner());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StepBox2D);

// A lattice of more than 8 x 6 tears under its own weight: the first spring
// breaks in frame 54 or later, and the torn lattice falls away. Each lattice
// is therefore stepped 50 frames, its first sag with every spring intact, and
// then rebuilt with the clock stopped. All sizes, 8 included, and Box2D's
// lattices run the same frames.
constexpr int FramesPerBuild = 50;

/// The program's rule at a larger size, stepped without drawing.
class ProgramLattice : public Lattice {
public:
    using Lattice::Lattice;
    void step() { Lattice::step(m_surface); }

private:
    NullSurface m_surface;
};

/// A lattice of one size, built anew every FramesPerBuild frames; kept for
/// the whole run, warmed up once.
template <typename L>
class Rebuilt {
public:
    explicit Rebuilt(int columns) : m_columns(columns), m_lattice(build())
    {
        warmUp([this] { step(nullptr); });
    }

    /// One step; the rebuild before it, when due, is left out of the time.
    void step(benchmark::State* state)
    {
        if (m_frame == FramesPerBuild) {
            if (state)
                state->PauseTiming();
            m_lattice.reset();
            m_lattice = build();
            m_frame = 0;
            if (state)
                state->ResumeTiming();
        }
        m_lattice->step();
        ++m_frame;
    }

    int springCount() const { return m_lattice->springCount(); }

private:
    std::unique_ptr<L> build() const { return std::make_unique<L>(m_columns, m_columns * 3 / 4); }

    int m_columns;
    std::unique_ptr<L> m_lattice;
    int m_frame = 0;
};

template <typename L>
void stepLattices(benchmark::State& state)
{
    static std::map<int, Rebuilt<L>> scenes;
    const int columns = static_cast<int>(state.range(0));
    Rebuilt<L>& scene = scenes.try_emplace(columns, columns).first->second;
    const int springs = scene.springCount();
    for (auto _ : state)
        scene.step(&state);
    state.SetItemsProcessed(state.iterations() * springs);
    state.counters["springs"] = springs;
    // Seconds per spring and step.
    state.counters["per_spring"] =
        benchmark::Counter(springs, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_StepLattice(benchmark::State& state)
{
    stepLattices<ProgramLattice>(state);
}
BENCHMARK(BM_StepLattice)->Arg(8)->Arg(16)->Arg(32)->Arg(64)->Arg(128);

void BM_StepLatticeBox2D(benchmark::State& state)
{
    stepLattices<Box2DLattice>(state);
}
BENCHMARK(BM_StepLatticeBox2D)->Arg(8)->Arg(16)->Arg(32)->Arg(64)->Arg(128);

} // namespace
