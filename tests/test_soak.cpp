#include <cfenv>
#include <cmath>

#include "soak.h"
#include "support.h"

namespace {

/// The floating-point exceptions raised since the last clear. WebAssembly
/// keeps no such flags: there the run's own checks stand alone.
int raisedFlags()
{
#if defined(FE_OVERFLOW) && defined(FE_INVALID) && defined(FE_DIVBYZERO)
    return std::fetestexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO);
#else
    return 0;
#endif
}

TEST(Soak, RandomActionsForAHundredThousandFramesKeepEveryInvariant)
{
    std::feclearexcept(FE_ALL_EXCEPT);
    Soak soak(20261208);
    EXPECT_EQ(soak.run(100'000), "");
    // The run did what it claims: every kind of action, many times.
    EXPECT_GT(soak.cuts, 100'000);
    EXPECT_GT(soak.cutsFarOutside, 5'000);
    EXPECT_GT(soak.sliderMoves, 30'000);
    EXPECT_GT(soak.rebuilds, 500);
    EXPECT_GT(soak.springsBroken, 10'000);
    // Nothing overflowed or divided by zero on the way, not even silently.
    EXPECT_EQ(raisedFlags(), 0);
}

TEST(FreeFall, AMassFallsForTenMillionFramesWithoutOverflow)
{
    // Weight 1 per unit of mass and damping 0.998 give a terminal speed of
    // 0.6 * 0.998 / 0.002 = 299.4 twips a frame.
    std::feclearexcept(FE_ALL_EXCEPT);
    Mass m;
    for (long frame = 0; frame < 10'000'000; ++frame) {
        m.Forces();
        m.Move();
    }
    EXPECT_NEAR(m.Vy, 299.4, 1e-9);
    EXPECT_GT(m.Y, 2.99e9);
    EXPECT_LT(m.Y, 3.0e9);
    EXPECT_EQ(raisedFlags(), 0);
}

TEST(FreeFall, LatticeCutLooseKeepsFallingAndDrawing)
{
    Simulation sim;
    sim.Init();
    for (float x = 1600; x <= 7200; x += 800)
        sim.Cut(1, x, 4400, 400); // the row above the pinned one
    RecordingSurface surface;
    for (int frame = 0; frame < 100'000; ++frame) {
        surface.lines.clear();
        sim.Step(surface);
    }
    for (int i = 1; i <= 32; ++i)
        EXPECT_GT(sim.Masses(i).Y, 2.9e7) << i;
    // The loose body still holds together and is drawn, far below.
    EXPECT_EQ(surface.lines.size(), 117u - (7 * 3 + 1));
    for (const auto& line : surface.lines)
        EXPECT_TRUE(std::isfinite(line.y1) && std::isfinite(line.y2));
}

} // namespace
