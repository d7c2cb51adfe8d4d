#include <cfloat>
#include <cmath>

#include "model/mass.h"
#include "model/spring.h"
#include "support.h"

namespace {

void place(Mass& m, double x, double y)
{
    m.X = x;
    m.Y = y;
}

TEST(Spring, NewSpringHasCreationValuesAndNoEnds)
{
    const Spring s;
    EXPECT_EQ(s.k, 1.0);
    EXPECT_EQ(s.oLength, 1.0);
    EXPECT_EQ(s.MinLength, 1.0);
    EXPECT_EQ(s.BreakF, 50.0);
    EXPECT_FALSE(s.Broken);
    EXPECT_EQ(s.fromMass, nullptr);
    EXPECT_EQ(s.toMass, nullptr);
}

TEST(Spring, DistIsSymmetricAndUsesNothingOfTheSpring)
{
    Mass a, b;
    place(b, 3, 4);
    const Spring blank;
    EXPECT_EQ(blank.Dist(a, b), 5.0);
    EXPECT_EQ(blank.Dist(b, a), 5.0);
    EXPECT_EQ(blank.Dist(b, b), 0.0);
}

TEST(Spring, DistSquaresAreCorrectlyRoundedProducts)
{
    // pow(d, 2) from the C library is not always the correctly rounded
    // square; the distance must be sqrt(dx*dx + dy*dy) to the last bit.
    Mass a, b;
    const Spring s;
    for (double d : {1131.3708498984761, 0.1, 7.0000000000000009, 3.3333333333333335e150}) {
        place(b, d, 0);
        EXPECT_EQ(s.Dist(a, b), std::sqrt(d * d + 0.0)) << d;
        place(b, d, d / 3);
        EXPECT_EQ(s.Dist(a, b), std::sqrt(d * d + (d / 3) * (d / 3))) << d;
    }
}

TEST(Spring, QueriesReadTheEndsAsTheyAreNow)
{
    Mass from, to;
    place(from, 10, 20);
    place(to, 13, 16);
    Spring s;
    s.fromMass = &from;
    s.toMass = &to;
    EXPECT_EQ(s.GetDeltaX(), 3.0);
    EXPECT_EQ(s.GetDeltaY(), -4.0);
    EXPECT_EQ(s.GetLength(), 5.0);

    place(to, 10, 30);
    EXPECT_EQ(s.GetDeltaX(), 0.0);
    EXPECT_EQ(s.GetDeltaY(), 10.0);
    EXPECT_EQ(s.GetLength(), 10.0);
}

TEST(Spring, AddMassTakesThePresentLengthAsRest)
{
    Mass from, to;
    place(from, 1, 1);
    place(to, 1001, 801);
    Spring s;
    s.fromMass = &from;
    s.AddMass(to);
    EXPECT_EQ(s.toMass, &to);
    EXPECT_EQ(s.oLength, s.GetLength());
    EXPECT_EQ(s.GetForce(), 0.0);

    // Joined to its own first end, the rest length is zero.
    Spring self;
    self.fromMass = &from;
    self.AddMass(from);
    EXPECT_EQ(self.oLength, 0.0);
}

TEST(Spring, ForceIsTheSameMagnitudeStretchedOrCompressed)
{
    Mass from, to;
    place(to, 5, 0);
    Spring s;
    s.fromMass = &from;
    s.toMass = &to;
    s.oLength = 4;
    s.k = 2;
    EXPECT_EQ(s.GetForce(), 2.0);
    place(to, 3, 0);
    EXPECT_EQ(s.GetForce(), 2.0);
}

TEST(Spring, BrokenOrMinLengthChangeNoQuery)
{
    Mass from, to;
    place(to, 3, 4);
    Spring s;
    s.fromMass = &from;
    s.AddMass(to);
    s.oLength = 4;
    s.Broken = true;
    s.MinLength = 1e9;
    EXPECT_EQ(s.GetLength(), 5.0);
    EXPECT_EQ(s.GetForce(), 1.0);
    EXPECT_EQ(s.GetDeltaX(), 3.0);
    EXPECT_EQ(s.GetDeltaY(), 4.0);
    EXPECT_EQ(s.k, 1.0);
    EXPECT_EQ(s.oLength, 4.0);
}

TEST(Spring, QueriesWithoutBothEndsAreAnError)
{
    Mass m;
    Spring none;
    EXPECT_RUNTIME_ERROR(none.GetLength(), 91);
    EXPECT_RUNTIME_ERROR(none.GetForce(), 91);
    EXPECT_RUNTIME_ERROR(none.GetDeltaX(), 91);
    EXPECT_RUNTIME_ERROR(none.GetDeltaY(), 91);
    EXPECT_RUNTIME_ERROR(none.AddMass(m), 91);

    Spring half;
    half.fromMass = &m;
    EXPECT_RUNTIME_ERROR(half.GetLength(), 91);
}

TEST(Spring, OverflowingGeometryIsAnOverflowError)
{
    Mass a, b;
    place(a, DBL_MAX, 0);
    place(b, -DBL_MAX, 0);
    const Spring s;
    EXPECT_RUNTIME_ERROR(s.Dist(a, b), 6); // the difference overflows

    place(a, 1e200, 0);
    place(b, 0, 0);
    EXPECT_RUNTIME_ERROR(s.Dist(a, b), 6); // the sum of squares overflows

    Spring stiff;
    stiff.fromMass = &a;
    stiff.toMass = &b;
    stiff.oLength = 0;
    place(a, 1e300, 0);
    stiff.k = 1e10;
    EXPECT_RUNTIME_ERROR(stiff.GetForce(), 6); // the product overflows
}

} // namespace
