#include "model/checked.h"
#include "model/mass.h"
#include "support.h"

namespace {

constexpr std::int32_t rgb(int r, int g, int b)
{
    return r + 256 * g + 65536 * b;
}

/// Colour of one spring from (0, 0) along x with the given rest length and
/// length: force = |length - rest|.
std::int32_t colourOf(double rest, double length)
{
    Mass a, b;
    b.X = length;
    a.ConnectTo(b, 1, 80);
    a.GetSpring(1)->oLength = rest;
    RecordingSurface surface;
    a.Draw(surface);
    EXPECT_EQ(surface.lines.size(), 1u);
    return surface.lines.empty() ? -1 : surface.lines[0].colour;
}

TEST(Drawing, SpringAtRestIsRedOnly)
{
    EXPECT_EQ(colourOf(100, 100), 100);
    EXPECT_EQ(colourOf(100, 100.05), 100); // a force up to 0.05 shows no green
    EXPECT_EQ(colourOf(100, 99.96), 100);
}

TEST(Drawing, TensionIsGreenCompressionIsBlue)
{
    EXPECT_EQ(colourOf(100, 112.5), 32100);
    EXPECT_EQ(colourOf(100, 87.5), 8192100);
    EXPECT_EQ(colourOf(100, 112.5), rgb(100, 125, 0));
    EXPECT_EQ(colourOf(100, 87.5), rgb(100, 0, 125));
}

TEST(Drawing, IntensityTiesRoundToEven)
{
    EXPECT_EQ(colourOf(0, 0.25), rgb(100, 2, 0));
    EXPECT_EQ(colourOf(0, 0.75), rgb(100, 8, 0));
    EXPECT_EQ(colourOf(0, 1.25), rgb(100, 12, 0));
    EXPECT_EQ(colourOf(10, 8.75), rgb(100, 0, 12));
}

TEST(Drawing, StrongForcesShowAtFullIntensity)
{
    EXPECT_EQ(colourOf(100, 130), 65380);
    EXPECT_EQ(colourOf(100, 70), 16711780);
    EXPECT_EQ(colourOf(100, 125.5), rgb(100, 255, 0));
    EXPECT_EQ(colourOf(100, 125.4), rgb(100, 254, 0));
}

TEST(Drawing, IntensityBeyondSixteenBitsIsAnOverflow)
{
    Mass a, b;
    b.X = 3276.7;
    a.ConnectTo(b, 1, 1e9);
    a.GetSpring(1)->oLength = 0;
    RecordingSurface surface;
    a.Draw(surface); // 32767 still fits
    EXPECT_EQ(surface.lines.size(), 1u);
    b.X = 3276.8;
    EXPECT_RUNTIME_ERROR(a.Draw(surface), 6);

    // Ties go to the even neighbour at the ends of the range too.
    EXPECT_EQ(checked::toInt16(32766.5), 32766);
    EXPECT_EQ(checked::toInt16(-32767.5), -32768);
    EXPECT_EQ(checked::toInt16(-2.5), -2);
    EXPECT_EQ(checked::toInt16(0.49999999999999994), 0);
    EXPECT_RUNTIME_ERROR(checked::toInt16(32767.5), 6);
    EXPECT_RUNTIME_ERROR(checked::toInt16(-32768.5 - 0.5), 6);
    EXPECT_RUNTIME_ERROR(checked::toInt16(1e300), 6);
}

TEST(Drawing, LinesGoFromThisMassToEachIntactSpringsFarEndInSlotOrder)
{
    Mass a, b, c, d;
    a.X = 1;
    a.Y = 2;
    b.X = 30;
    c.Y = 40;
    d.X = 50;
    d.Y = 60;
    a.Fixed = true; // pinned masses draw like any other
    a.ConnectTo(b, 1, 80);
    a.ConnectTo(c, 1, 80);
    a.ConnectTo(d, 1, 80);
    a.GetSpring(2)->Broken = true;
    RecordingSurface surface;
    a.Draw(surface);
    ASSERT_EQ(surface.lines.size(), 2u);
    EXPECT_EQ(surface.lines[0].x1, 1.0);
    EXPECT_EQ(surface.lines[0].y1, 2.0);
    EXPECT_EQ(surface.lines[0].x2, 30.0);
    EXPECT_EQ(surface.lines[0].y2, 0.0);
    EXPECT_EQ(surface.lines[1].x2, 50.0);
    EXPECT_EQ(surface.lines[1].y2, 60.0);

    // The far ends own nothing and draw nothing.
    b.Draw(surface);
    EXPECT_EQ(surface.lines.size(), 2u);
}

} // namespace
