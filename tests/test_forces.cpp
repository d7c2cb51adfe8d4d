#include <cfloat>

#include "model/mass.h"
#include "support.h"

namespace {

void frame(std::initializer_list<Mass*> masses)
{
    for (Mass* m : masses)
        m->Forces();
    for (Mass* m : masses)
        m->Move();
}

TEST(Forces, FreeMassFallsUnderItsWeightWithDamping)
{
    Mass m;
    m.Forces();
    EXPECT_EQ(m.Fy, 1.0);
    EXPECT_EQ(m.Ay, 1.0);
    EXPECT_EQ(m.Ax, 0.0);
    const double vy1 = (0.0 + 1.0 * 0.6) * 0.998;
    EXPECT_EQ(m.Vy, vy1);
    EXPECT_NEAR(m.Vy, 0.5988, 1e-15);
    m.Move();
    EXPECT_EQ(m.Y, vy1);
    EXPECT_EQ(m.Fx, 0.0);
    EXPECT_EQ(m.Fy, 0.0);

    frame({&m});
    const double vy2 = (vy1 + 1.0 * 0.6) * 0.998;
    EXPECT_EQ(m.Vy, vy2);
    EXPECT_NEAR(m.Vy, 1.1964024, 1e-15);
    EXPECT_EQ(m.Y, vy1 + vy2);
    EXPECT_EQ(m.X, 0.0);
}

TEST(Forces, HeavierMassFallsAtTheSameRate)
{
    // Weight M over mass M: the acceleration does not depend on the mass.
    Mass light, heavy;
    heavy.M = 80;
    frame({&light, &heavy});
    frame({&light, &heavy});
    EXPECT_EQ(heavy.Fy, 0.0);
    EXPECT_EQ(heavy.Vy, light.Vy);
    EXPECT_EQ(heavy.Y, light.Y);
}

TEST(Forces, PinnedMassKeepsItsPlaceButNotItsVelocity)
{
    Mass pinned;
    pinned.Fixed = true;
    pinned.X = 100;
    pinned.Y = 200;
    for (int i = 0; i < 3; ++i)
        frame({&pinned});
    EXPECT_EQ(pinned.X, 100.0);
    EXPECT_EQ(pinned.Y, 200.0);
    EXPECT_GT(pinned.Vy, 1.5);
    EXPECT_EQ(pinned.Fx, 0.0);
    EXPECT_EQ(pinned.Fy, 0.0);
}

struct TwoMasses : ::testing::Test {
    Mass a, b;
    std::shared_ptr<Spring> s;

    void SetUp() override
    {
        b.X = 3;
        b.Y = 4;
        a.ConnectTo(b, 1, 80);
        s = a.GetSpring(1);
    }
};

TEST_F(TwoMasses, StretchedSpringPullsBothEndsTogether)
{
    s->oLength = 4;
    s->k = 2;
    a.Forces();
    // Share per axis: force / rest length * delta = 2 / 4 * (3, 4).
    EXPECT_EQ(b.Fx, -1.5);
    EXPECT_EQ(b.Fy, -2.0);
    EXPECT_EQ(a.Fx, 1.5);
    EXPECT_EQ(a.Fy, 3.0); // 2 from the spring, 1 of weight
    EXPECT_EQ(a.Ax, 1.5);
    EXPECT_EQ(a.Ay, 3.0);
    EXPECT_EQ(a.Vx, (0.0 + 1.5 * 0.6) * 0.998);
    EXPECT_EQ(a.Vy, (0.0 + 3.0 * 0.6) * 0.998);
    EXPECT_NEAR(a.Vx, 0.8982, 1e-15);
    EXPECT_NEAR(a.Vy, 1.7964, 1e-15);
}

TEST_F(TwoMasses, CompressedSpringPushesBothEndsApart)
{
    s->oLength = 10;
    a.Forces();
    EXPECT_EQ(a.Fx, -1.5);
    EXPECT_EQ(a.Fy, -2.0 + 1.0);
    EXPECT_EQ(b.Fx, 1.5);
    EXPECT_EQ(b.Fy, 2.0);
}

TEST_F(TwoMasses, SpringAtRestContributesNothing)
{
    a.Forces();
    EXPECT_EQ(a.Fx, 0.0);
    EXPECT_EQ(a.Fy, 1.0);
    EXPECT_EQ(b.Fx, 0.0);
    EXPECT_EQ(b.Fy, 0.0);
}

TEST_F(TwoMasses, ForceEqualToTheBreakForceHolds)
{
    s->oLength = 4; // force 1
    s->BreakF = 1;
    a.Forces();
    EXPECT_FALSE(s->Broken);
    EXPECT_EQ(b.Fx, -0.75);
}

TEST_F(TwoMasses, ForceAboveTheBreakForceBreaksAtOnceAndForGood)
{
    s->oLength = 4;
    s->BreakF = 0.9999999999999999;
    a.Forces();
    EXPECT_TRUE(s->Broken);
    EXPECT_EQ(b.Fx, 0.0); // nothing in the frame it breaks
    EXPECT_EQ(b.Fy, 0.0);
    a.Move();
    b.Move();

    // Back at rest, it stays broken and still contributes nothing.
    s->oLength = s->GetLength();
    frame({&a, &b});
    EXPECT_TRUE(s->Broken);
    EXPECT_EQ(a.Vx, 0.0);
    EXPECT_EQ(b.Vx, 0.0);
}

TEST(Forces, BrokenSpringIsSkippedAndLaterSlotsStillApply)
{
    Mass a, b, c;
    b.X = 10;
    c.Y = 10;
    a.ConnectTo(b, 1, 80);
    a.ConnectTo(c, 1, 80);
    a.GetSpring(1)->oLength = 5;
    a.GetSpring(2)->oLength = 5;
    a.GetSpring(1)->Broken = true;
    a.Forces();
    EXPECT_EQ(b.Fx, 0.0);
    EXPECT_EQ(c.Fy, -10.0); // force 5 / rest 5 * delta 10
    EXPECT_EQ(a.Fx, 0.0);
    EXPECT_EQ(a.Fy, 11.0);
}

TEST(Forces, MassWithoutOwnSpringsStillReceivesShares)
{
    Mass a, b;
    b.X = 3;
    b.Y = 4;
    a.ConnectTo(b, 1, 80);
    a.GetSpring(1)->oLength = 4;
    frame({&a, &b});
    // b owns nothing but the spring's share reaches it before its own call.
    EXPECT_EQ(b.Ax, -0.75);
    EXPECT_EQ(b.Ay, -1.0 + 1.0);
    EXPECT_EQ(b.Vx, (0.0 + -0.75 * 0.6) * 0.998);
}

TEST(Forces, ShareArrivingAfterTheReceiversOwnCallIsLost)
{
    // A spring owned by the later mass: its share to the earlier mass comes
    // after that mass has integrated, and Move clears it.
    Mass early, late;
    late.X = 3;
    late.Y = 4;
    late.ConnectTo(early, 1, 80);
    late.GetSpring(1)->oLength = 4;
    frame({&early, &late});
    EXPECT_EQ(early.Vx, 0.0);
    EXPECT_EQ(early.Vy, 0.6 * 0.998);
    EXPECT_EQ(early.Fx, 0.0);
    EXPECT_NE(late.Vx, 0.0);
}

TEST(Forces, FaultsAreRunTimeErrors)
{
    {
        // Zero rest length with the ends apart: force over zero.
        Mass a, b;
        b.X = 10;
        a.ConnectTo(b, 1, 80);
        a.GetSpring(1)->oLength = 0;
        EXPECT_RUNTIME_ERROR(a.Forces(), 11);
    }
    {
        // Zero rest length with the ends together: zero over zero.
        Mass a, b;
        a.ConnectTo(b, 1, 80);
        EXPECT_RUNTIME_ERROR(a.Forces(), 6);
    }
    {
        Mass weightless;
        weightless.M = 0;
        EXPECT_RUNTIME_ERROR(weightless.Forces(), 6); // 0 / 0
        weightless.Fx = 1;
        EXPECT_RUNTIME_ERROR(weightless.Forces(), 11);
    }
    {
        Mass fast;
        fast.Fy = DBL_MAX;
        fast.M = 0.5;
        EXPECT_RUNTIME_ERROR(fast.Forces(), 6);
        Mass far;
        far.Y = DBL_MAX;
        far.Vy = DBL_MAX;
        EXPECT_RUNTIME_ERROR(far.Move(), 6);
    }
    {
        // A spring whose far end was never joined.
        Mass a;
        a.AddSpring();
        EXPECT_RUNTIME_ERROR(a.Forces(), 91);
    }
}

} // namespace
