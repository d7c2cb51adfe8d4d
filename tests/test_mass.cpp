#include "model/mass.h"
#include "support.h"

namespace {

TEST(Mass, NewMassHasCreationValues)
{
    const Mass m;
    for (double field : {m.X, m.Y, m.Vx, m.Vy, m.Ax, m.Ay, m.Fx, m.Fy})
        EXPECT_EQ(field, 0.0);
    EXPECT_EQ(m.M, 1.0);
    EXPECT_FALSE(m.Fixed);
    EXPECT_EQ(m.SpringCount(), 0);
    EXPECT_FALSE(m.HasSpring());
}

TEST(Mass, AddSpringFillsSlotsFromOneWithBlankSpringsFromThisMass)
{
    Mass m;
    EXPECT_EQ(m.AddSpring(), 1);
    EXPECT_EQ(m.AddSpring(), 2);
    EXPECT_EQ(m.SpringCount(), 2);
    for (int n = 1; n <= 2; ++n) {
        const auto s = m.GetSpring(n);
        EXPECT_EQ(s->fromMass, &m);
        EXPECT_EQ(s->toMass, nullptr);
        EXPECT_EQ(s->k, 1.0);
        EXPECT_EQ(s->oLength, 1.0);
        EXPECT_EQ(s->BreakF, 50.0);
    }
    EXPECT_NE(m.GetSpring(1), m.GetSpring(2));
}

TEST(Mass, ConnectToStoresASpringAtRestOnlyAtThisMass)
{
    Mass a, b;
    b.X = 3;
    b.Y = 4;
    a.ConnectTo(b, 1, 80);
    ASSERT_EQ(a.SpringCount(), 1);
    const auto s = a.GetSpring(1);
    EXPECT_EQ(s->fromMass, &a);
    EXPECT_EQ(s->toMass, &b);
    EXPECT_EQ(s->oLength, 5.0);
    EXPECT_EQ(s->k, 1.0);
    EXPECT_EQ(s->BreakF, 80.0);
    EXPECT_EQ(s->MinLength, 1.0);
    EXPECT_FALSE(s->Broken);
    EXPECT_EQ(s->GetForce(), 0.0);
    EXPECT_TRUE(a.HasSpring());
    EXPECT_EQ(b.SpringCount(), 0);
    EXPECT_FALSE(b.HasSpring());
}

TEST(Mass, GetSpringHandsOutTheStoredSpringItself)
{
    Mass a, b;
    b.X = 10;
    a.ConnectTo(b, 1, 80);
    const auto first = a.GetSpring(1);
    const auto second = a.GetSpring(1);
    EXPECT_EQ(first.get(), second.get());
    first->Broken = true;
    EXPECT_TRUE(second->Broken);

    // Seen by the drawing, too: a broken spring draws nothing.
    RecordingSurface surface;
    a.Draw(surface);
    EXPECT_TRUE(surface.lines.empty());
}

TEST(Mass, GetSpringPastTheEndIsABlankSpringOfTheCallerAlone)
{
    Mass a, b;
    b.X = 10;
    a.ConnectTo(b, 1, 80);
    const auto blank = a.GetSpring(2);
    EXPECT_EQ(blank->fromMass, nullptr);
    EXPECT_EQ(blank->toMass, nullptr);
    EXPECT_EQ(blank->BreakF, 50.0);
    EXPECT_EQ(blank.use_count(), 1);
    blank->Broken = true;
    EXPECT_FALSE(a.GetSpring(1)->Broken);
    EXPECT_EQ(a.SpringCount(), 1);
    EXPECT_NE(a.GetSpring(2).get(), a.GetSpring(1).get());
}

TEST(Mass, SlotBelowOneIsOutOfRangeOnlyWhenThereAreSprings)
{
    Mass empty;
    EXPECT_EQ(empty.GetSpring(0)->fromMass, nullptr);
    EXPECT_EQ(empty.GetSpring(-5)->fromMass, nullptr);

    Mass a;
    a.AddSpring();
    EXPECT_RUNTIME_ERROR(a.GetSpring(0), 9);
    EXPECT_RUNTIME_ERROR(a.GetSpring(-1), 9);
}

TEST(Mass, CapacityIsTenThousandSprings)
{
    Mass m;
    for (int n = 1; n < Mass::Capacity; ++n)
        m.AddSpring();
    EXPECT_EQ(m.AddSpring(), 10000);
    EXPECT_RUNTIME_ERROR(m.AddSpring(), 9);
    // The failed call leaves the table as it was: every counted slot holds a spring.
    EXPECT_EQ(m.SpringCount(), 10000);
    EXPECT_EQ(m.GetSpring(10000)->fromMass, &m);
    EXPECT_EQ(m.GetSpring(10001)->fromMass, nullptr);
}

} // namespace
