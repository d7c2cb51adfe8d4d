// The benchmarks' floor, the step on flat arrays, against Simulation::Step:
// the same state to the last bit and the same lines, frame after frame, so
// that the ratio between the two measures the object model and nothing else.
#include <cstring>
#include <functional>
#include <sstream>

#include "bench/flat_lattice.h"
#include "support.h"
#include "window/simulation.h"

namespace {

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

/// Empty when the flat lattice holds exactly the simulation's state,
/// otherwise the first difference.
std::string difference(Simulation& sim, const FlatLattice& flat)
{
    std::ostringstream out;
    out << std::hexfloat;
    std::size_t spring = 0;
    for (int i = sim.LBound(); i <= sim.UBound(); ++i) {
        const Mass& m = sim.Masses(i);
        const auto at = static_cast<std::size_t>(i - sim.LBound());
        const double model[] = {m.X, m.Y, m.Vx, m.Vy, m.Ax, m.Ay, m.Fx, m.Fy, m.M};
        const double flatValues[] = {flat.X[at], flat.Y[at], flat.Vx[at], flat.Vy[at], flat.Ax[at],
                                     flat.Ay[at], flat.Fx[at], flat.Fy[at], flat.M[at]};
        for (std::size_t v = 0; v < std::size(model); ++v)
            if (!sameBits(model[v], flatValues[v]))
                return (out << "mass " << i << " field " << v << ": " << model[v] << " vs " << flatValues[v], out.str());
        for (int n = 1; n <= sim.Masses(i).SpringCount(); ++n, ++spring)
            if (sim.Masses(i).GetSpring(n)->Broken != static_cast<bool>(flat.Broken[spring]))
                return (out << "mass " << i << " spring " << n << ": broken differs", out.str());
    }
    return {};
}

bool sameLines(const RecordingSurface& a, const RecordingSurface& b)
{
    if (a.lines.size() != b.lines.size())
        return false;
    for (std::size_t i = 0; i < a.lines.size(); ++i) {
        const auto& p = a.lines[i];
        const auto& q = b.lines[i];
        if (!sameBits(p.x1, q.x1) || !sameBits(p.y1, q.y1) || !sameBits(p.x2, q.x2) || !sameBits(p.y2, q.y2)
            || p.colour != q.colour)
            return false;
    }
    return true;
}

/// Steps both count frames, comparing state and lines after every frame;
/// stops at the first difference.
void stepBoth(Simulation& sim, FlatLattice& flat, int count)
{
    for (int frame = 0; frame < count && !testing::Test::HasFailure(); ++frame) {
        RecordingSurface model;
        RecordingSurface flatLines;
        sim.Step(model);
        flat.step(flatLines);
        EXPECT_TRUE(sameLines(model, flatLines)) << "frame " << frame << ": lines differ";
        const std::string diff = difference(sim, flat);
        EXPECT_TRUE(diff.empty()) << "frame " << frame << ": " << diff;
    }
}

int brokenCount(const FlatLattice& flat)
{
    int count = 0;
    for (unsigned char b : flat.Broken)
        count += b;
    return count;
}

TEST(FlatStep, CopiesTheLatticeOfInit)
{
    Simulation sim;
    sim.Init();
    const FlatLattice flat = FlatLattice::of(sim);
    EXPECT_EQ(flat.X.size(), 48u);
    EXPECT_EQ(flat.to.size(), 117u);
    EXPECT_EQ(flat.firstSpring.front(), 0);
    EXPECT_EQ(flat.firstSpring.back(), 117);
    EXPECT_EQ(flat.to[0], 1); // mass 1's first spring goes to mass 2
    EXPECT_EQ(difference(sim, flat), "");
}

// Sag, a drag cut through the third row while it swings, then a fresh lattice
// whose corner turns heavy and tears: every frame the same bits as the model.
TEST(FlatStep, GivesTheModelsBitsThroughSagCutAndHeavyCorner)
{
    Simulation sim;
    sim.Init();
    FlatLattice flat = FlatLattice::of(sim);
    stepBoth(sim, flat, 1500);

    for (int x = 1000; x <= 8000; x += 250) {
        sim.Cut(1, static_cast<float>(x), 2900.5f, 400);
        flat.cut(static_cast<float>(x), 2900.5f, 400);
        stepBoth(sim, flat, 1);
    }
    EXPECT_GT(brokenCount(flat), 0);
    stepBoth(sim, flat, 1000);

    sim.Init();
    flat = FlatLattice::of(sim);
    stepBoth(sim, flat, 300);
    // The corner made heavy at once swings down and tears a spring.
    sim.SetFirstMass(80);
    flat.M[0] = 80;
    stepBoth(sim, flat, 1500);
    EXPECT_GT(brokenCount(flat), 0);
}

TEST(FlatStep, RaisesTheModelsErrors)
{
    const auto errorOf = [](const std::function<void(Simulation&)>& spoil, bool flatStep) {
        Simulation sim;
        sim.Init();
        spoil(sim);
        FlatLattice flat = FlatLattice::of(sim);
        NullSurface surface;
        try {
            if (flatStep)
                flat.step(surface);
            else
                sim.Step(surface);
        } catch (const RuntimeError& e) {
            return e.Number();
        }
        return 0;
    };
    const std::function<void(Simulation&)> spoils[] = {
        // A rest length of zero on a spring too strong to break.
        [](Simulation& sim) {
            sim.Masses(1).GetSpring(1)->oLength = 0;
            sim.Masses(1).GetSpring(1)->BreakF = 1e9;
        },
        // No mass: 0 / 0 for a mass at rest, a division by zero for one with
        // a force on it.
        [](Simulation& sim) { sim.Masses(48).M = 0; },
        [](Simulation& sim) {
            sim.Masses(5).M = 0;
            sim.Masses(5).Fx = 1;
        },
        // Overflow of a distance.
        [](Simulation& sim) { sim.Masses(3).Vx = 1.7e308; sim.Masses(3).X = 1.7e308; },
        // A force whose colour overflows 16 bits.
        [](Simulation& sim) {
            sim.Masses(2).GetSpring(1)->k = 1e6;
            sim.Masses(2).GetSpring(1)->oLength = 700;
            sim.Masses(2).GetSpring(1)->BreakF = 1e12;
        },
    };
    for (std::size_t i = 0; i < std::size(spoils); ++i) {
        const int model = errorOf(spoils[i], false);
        EXPECT_NE(model, 0) << i;
        EXPECT_EQ(errorOf(spoils[i], true), model) << i;
    }
}

} // namespace
