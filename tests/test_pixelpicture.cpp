// The picture's pixels apart from any toolkit: the layouts a pixel is set in,
// the size at a pixel ratio, and a clear that restores every pixel however
// many lines were drawn. Runs natively and in the browser build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/pixelpicture.h"

namespace {

int notBackground(const PixelPicture& picture)
{
    const std::uint32_t* p = picture.pixels();
    const std::uint32_t background = picture.background();
    return static_cast<int>(
        std::count_if(p, p + picture.width() * picture.height(), [=](std::uint32_t v) { return v != background; }));
}

TEST(PixelPicture, SetsColoursInItsLayoutAndSizesToTheRatio)
{
    const std::int32_t colour = 100 + 256 * 200 + 65536 * 30;
    PixelPicture qt(PixelPicture::Channels::Xrgb);
    PixelPicture canvas(PixelPicture::Channels::Rgbx);
    EXPECT_EQ(qt.pixelOf(colour), 0xff64c81eu);
    EXPECT_EQ(canvas.pixelOf(colour), 0xff1ec864u);
    EXPECT_EQ(qt.background(), 0xffffffffu);

    // Device pixels rounded to the nearest, halves up, as a toolkit sizes an
    // image at a fractional ratio.
    EXPECT_TRUE(canvas.resize(681, 505, 1.5));
    EXPECT_EQ(canvas.width(), 1022);
    EXPECT_EQ(canvas.height(), 758);
    EXPECT_FALSE(canvas.resize(681, 505, 1.5));
    EXPECT_TRUE(canvas.resize(681, 505, 2));
    EXPECT_EQ(canvas.width(), 1362);

    // A level line one logical pixel across: two device rows at ratio 2.
    canvas.Line(0, 1500, 10215, 1500, colour);
    EXPECT_EQ(notBackground(canvas), 2 * 1362);
    EXPECT_EQ(canvas.pixels()[200 * 1362 + 5], canvas.pixelOf(colour));
    EXPECT_EQ(canvas.drawn(), (PixelPicture::Rect{0, 199, 1362, 2})); // centred on the line
}

TEST(PixelPicture, ClearRestoresTheBackgroundAfterFewOrVeryManyLines)
{
    PixelPicture picture(PixelPicture::Channels::Xrgb);
    picture.resize(681, 505, 1);
    for (const int lines : {3, 117, 5000, 40}) {
        for (int i = 0; i < lines; ++i) {
            const double t = i * 7.0;
            picture.Line(std::fmod(t * 13, 10215), std::fmod(t * 5, 7575), std::fmod(t * 29 + 400, 10215),
                         std::fmod(t * 3 + 900, 7575), 100 + 256 * (i % 256));
        }
        ASSERT_GT(notBackground(picture), 0) << lines;
        picture.Cls();
        EXPECT_EQ(notBackground(picture), 0) << lines << " lines";
        EXPECT_TRUE(picture.drawn().empty());
    }
}

} // namespace
