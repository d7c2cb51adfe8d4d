#include <cmath>
#include <utility>

#include "support.h"
#include "core/simulation.h"

namespace {

struct Lattice : ::testing::Test {
    Simulation sim;
    void SetUp() override { sim.Init(); }

    /// (owner, far end) of every spring, as lattice indexes.
    std::vector<std::pair<int, int>> springs()
    {
        std::vector<std::pair<int, int>> found;
        for (int i = 1; i <= 48; ++i) {
            Mass& m = sim.Masses(i);
            for (int n = 1; n <= m.SpringCount(); ++n)
                found.emplace_back(i, indexOf(m.GetSpring(n)->toMass));
        }
        return found;
    }

    int indexOf(const Mass* m)
    {
        for (int i = 1; i <= 48; ++i)
            if (&sim.Masses(i) == m)
                return i;
        return 0;
    }
};

TEST(LatticeBounds, UsingTheLatticeBeforeItIsBuiltIsOutOfRange)
{
    Simulation sim;
    EXPECT_RUNTIME_ERROR(sim.LBound(), 9);
    EXPECT_RUNTIME_ERROR(sim.UBound(), 9);
    EXPECT_RUNTIME_ERROR(sim.Masses(1), 9);
    EXPECT_RUNTIME_ERROR(sim.SetFirstMass(5), 9);
    NullSurface surface;
    EXPECT_RUNTIME_ERROR(sim.Step(surface), 9);
    EXPECT_RUNTIME_ERROR(sim.Cut(1, 0, 0, 400), 9);
    EXPECT_NO_THROW(sim.Cut(2, 0, 0, 400)); // no left button: nothing is read
}

TEST_F(Lattice, HasFortyEightMassesInRowsFromTheTopLeft)
{
    EXPECT_EQ(sim.LBound(), 1);
    EXPECT_EQ(sim.UBound(), 48);
    EXPECT_RUNTIME_ERROR(sim.Masses(0), 9);
    EXPECT_RUNTIME_ERROR(sim.Masses(49), 9);
    for (int n = 1; n <= 48; ++n) {
        const Mass& m = sim.Masses(n);
        const int column = (n - 1) % 8 + 1;
        const int row = (n - 1) / 8 + 1;
        EXPECT_EQ(m.X, 800.0 * column + 800) << n;
        EXPECT_EQ(m.Y, 800.0 * row + 400) << n;
        EXPECT_EQ(m.M, 1.0) << n;
        EXPECT_EQ(m.Fixed, row == 6) << n;
        EXPECT_EQ(m.Vx, 0.0);
        EXPECT_EQ(m.Vy, 0.0);
    }
    EXPECT_EQ(sim.Masses(1).X, 1600.0);
    EXPECT_EQ(sim.Masses(1).Y, 1200.0);
    EXPECT_EQ(sim.Masses(48).X, 7200.0);
    EXPECT_EQ(sim.Masses(48).Y, 5200.0);
}

TEST_F(Lattice, SpringsRightBelowAndDiagonalOwnedByTheLowerIndex)
{
    std::vector<std::pair<int, int>> expected;
    for (int k = 1; k <= 40; ++k) {
        if (k % 8 == 0) {
            expected.emplace_back(k, k + 8);
        } else {
            expected.emplace_back(k, k + 1);
            expected.emplace_back(k, k + 8);
            expected.emplace_back(k, k + 9);
        }
    }
    for (int k = 41; k <= 47; ++k)
        expected.emplace_back(k, k + 1);
    ASSERT_EQ(expected.size(), 117u);
    EXPECT_EQ(springs(), expected);
    EXPECT_EQ(sim.Masses(48).SpringCount(), 0);
}

TEST_F(Lattice, EverySpringStartsAtRestWithTheLatticeConstants)
{
    const double diagonal = std::sqrt(1280000.0);
    EXPECT_NEAR(diagonal, 1131.37085, 1e-5);
    for (const auto& [from, to] : springs()) {
        Mass& owner = sim.Masses(from);
        for (int n = 1; n <= owner.SpringCount(); ++n) {
            const auto s = owner.GetSpring(n);
            EXPECT_EQ(s->fromMass, &owner);
            EXPECT_EQ(s->k, 1.0);
            EXPECT_EQ(s->BreakF, 80.0);
            EXPECT_FALSE(s->Broken);
            EXPECT_EQ(s->GetForce(), 0.0);
            const bool isDiagonal = indexOf(s->toMass) - from == 9;
            EXPECT_EQ(s->oLength, isDiagonal ? diagonal : 800.0);
        }
    }
}

TEST_F(Lattice, SagsUnderItsWeightAndSettlesWithoutBreaking)
{
    NullSurface surface;
    for (int frame = 0; frame < 5000; ++frame)
        sim.Step(surface);
    for (int n = 1; n <= 48; ++n) {
        const Mass& m = sim.Masses(n);
        if (n > 40) {
            EXPECT_EQ(m.Y, 5200.0);
            continue;
        }
        EXPECT_GT(m.Y, 800.0 * ((n - 1) / 8 + 1) + 400) << n;
        EXPECT_LT(std::abs(m.Vy), 0.5) << n;
    }
    for (int n = 1; n <= 47; ++n)
        for (int slot = 1; slot <= sim.Masses(n).SpringCount(); ++slot)
            EXPECT_FALSE(sim.Masses(n).GetSpring(slot)->Broken);
    // The top row sags most.
    EXPECT_GT(sim.Masses(1).Y - 1200, sim.Masses(33).Y - 4400);
}

TEST_F(Lattice, EachStepDrawsEveryIntactSpringOnce)
{
    RecordingSurface surface;
    sim.Step(surface);
    ASSERT_EQ(surface.lines.size(), 117u);
    // Drawn at the positions the forces were computed at, before the move.
    EXPECT_EQ(surface.lines[0].x1, 1600.0);
    EXPECT_EQ(surface.lines[0].y1, 1200.0);
    EXPECT_EQ(surface.lines[0].x2, 2400.0);
    EXPECT_EQ(surface.lines[0].colour, 100);
    EXPECT_GT(sim.Masses(1).Y, 1200.0);
}

TEST_F(Lattice, RebuildGivesTheSameFreshLattice)
{
    NullSurface surface;
    sim.SetFirstMass(80);
    sim.Cut(1, 2400, 2000, 3000);
    for (int frame = 0; frame < 50; ++frame)
        sim.Step(surface);
    sim.Init();

    Simulation fresh;
    fresh.Init();
    EXPECT_EQ(springs().size(), 117u);
    for (int n = 1; n <= 48; ++n) {
        Mass& m = sim.Masses(n);
        Mass& f = fresh.Masses(n);
        EXPECT_EQ(m.X, f.X);
        EXPECT_EQ(m.Y, f.Y);
        EXPECT_EQ(m.Vx, 0.0);
        EXPECT_EQ(m.Vy, 0.0);
        EXPECT_EQ(m.M, 1.0);
        for (int slot = 1; slot <= m.SpringCount(); ++slot)
            EXPECT_FALSE(m.GetSpring(slot)->Broken);
    }
}

} // namespace
