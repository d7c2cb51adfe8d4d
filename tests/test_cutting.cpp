#include <cmath>
#include <utility>

#include "support.h"
#include "core/simulation.h"

namespace {

struct Cutting : ::testing::Test {
    Simulation sim;
    void SetUp() override { sim.Init(); }

    std::vector<int> brokenOwners() { return ::brokenOwners(sim); }
};

TEST_F(Cutting, LeftButtonOverAMassCutsExactlyTheSpringsItOwns)
{
    sim.Cut(1, 2400, 2000, 400); // mass 10
    EXPECT_EQ(brokenOwners(), (std::vector<int>{10, 10, 10}));
    // Springs from 1, 2 and 9 that end at mass 10 hold.
    for (int owner : {1, 2, 9})
        for (int n = 1; n <= 3; ++n)
            EXPECT_FALSE(sim.Masses(owner).GetSpring(n)->Broken);

    // The cut springs exert no force and are not drawn from the next frame on.
    RecordingSurface surface;
    sim.Step(surface);
    EXPECT_EQ(surface.lines.size(), 114u);
}

TEST_F(Cutting, OnlyTheLeftButtonAloneCuts)
{
    for (int button : {0, 2, 3, 4, 5, 7, -1})
        sim.Cut(button, 2400, 2000, 3000);
    EXPECT_TRUE(brokenOwners().empty());
}

TEST_F(Cutting, MassExactlyAtTheRadiusKeepsItsSprings)
{
    // 400 straight below mass 10 (2400, 2000): exactly at the radius.
    sim.Cut(1, 2400, 2400, 400);
    EXPECT_TRUE(brokenOwners().empty());
    sim.Cut(1, 2400, 2399.999755859375f, 400); // the float just above
    EXPECT_EQ(brokenOwners(), (std::vector<int>{10, 10, 10}));
}

TEST_F(Cutting, PointerIsTakenAsAFloat)
{
    // 2400.0001 has no float of its own; widened from the float it is 2400.
    sim.Cut(1, 2400.0001f, 2400, 400);
    EXPECT_TRUE(brokenOwners().empty());
}

TEST_F(Cutting, MassesThatOwnNoSpringsLoseNothing)
{
    sim.Cut(1, 7200, 5200, 100); // mass 48
    EXPECT_TRUE(brokenOwners().empty());
    sim.Cut(1, 1600, 5200, 100); // mass 41
    EXPECT_EQ(brokenOwners(), (std::vector<int>{41}));
}

TEST_F(Cutting, RadiusReachesEveryMassWithinIt)
{
    // Radius 900 around mass 10 takes it and its four straight neighbours;
    // the diagonal neighbours are 1131 away.
    sim.Cut(1, 2400, 2000, 900);
    EXPECT_EQ(brokenOwners(), (std::vector<int>{2, 2, 2, 9, 9, 9, 10, 10, 10, 11, 11, 11, 18, 18, 18}));
    // The largest radius from the centre and the corners leaves nothing whole.
    for (const auto& [x, y] : {std::pair{4400.0f, 3200.0f}, {1600.0f, 1200.0f}, {7200.0f, 1200.0f}, {1600.0f, 5200.0f}, {7200.0f, 5200.0f}})
        sim.Cut(1, x, y, 3000);
    EXPECT_EQ(brokenOwners().size(), 117u);
}

TEST_F(Cutting, CutStructureFallsAway)
{
    // Cut a whole row's springs: rows 1 and 2 then hang free and fall.
    for (int x = 1600; x <= 7200; x += 100)
        sim.Cut(1, static_cast<float>(x), 2000, 400);
    NullSurface surface;
    for (int frame = 0; frame < 300; ++frame)
        sim.Step(surface);
    EXPECT_GT(sim.Masses(1).Y, 2800.0 + 10000);
    EXPECT_LT(sim.Masses(17).Y, 2800.0 + 1000);
}

TEST_F(Cutting, MassSliderSetsOnlyTheFirstMassUntilARebuild)
{
    sim.SetFirstMass(50);
    EXPECT_EQ(sim.Masses(1).M, 50.0);
    for (int n = 2; n <= 48; ++n)
        EXPECT_EQ(sim.Masses(n).M, 1.0);
    sim.Init();
    EXPECT_EQ(sim.Masses(1).M, 1.0);
}

TEST_F(Cutting, HeavyCornerPullsTheTopLeftDown)
{
    Simulation light;
    light.Init();
    sim.SetFirstMass(20);
    NullSurface surface;
    for (int frame = 0; frame < 3000; ++frame) {
        sim.Step(surface);
        light.Step(surface);
    }
    // Settled, the corner hangs lower by far than the rest of its row.
    EXPECT_GT(sim.Masses(1).Y, light.Masses(1).Y + 30);
    EXPECT_GT(sim.Masses(1).Y - sim.Masses(2).Y, 20.0);
    EXPECT_LT(std::abs(light.Masses(1).Y - light.Masses(2).Y), 1.0);
}

} // namespace
