// The picture area: drawing at the screen's pixel density, far-off lines, and
// pointer positions in twips. Runs at every scale factor CTest sets.
#include <cmath>

#include "window_support.h"

namespace {

struct Picture : ::testing::Test {
    Form1 form;
    PictureBox& picture = *form.Picture1;
    void SetUp() override { form.show(); }

    /// Device pixels of the picture in the given colour.
    int countOf(QRgb colour)
    {
        const QImage& image = picture.image();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixel(x, y) == colour ? 1 : 0;
        return count;
    }

    QRgb at(double logicalX, double logicalY)
    {
        const QImage& image = picture.image();
        return image.pixel(QPointF(logicalX * image.devicePixelRatio(), logicalY * image.devicePixelRatio()).toPoint());
    }
};

constexpr std::int32_t Green = 100 + 256 * 200;

TEST_F(Picture, ImageHasTheScreensPixelDensity)
{
    const qreal ratio = picture.devicePixelRatioF();
    // The ratio the run was set up for: a scale factor, or a scaled screen.
    const qreal expected = qEnvironmentVariableIsSet("EXPECTED_PIXEL_RATIO") ? qEnvironmentVariable("EXPECTED_PIXEL_RATIO").toDouble() : 1.0;
    EXPECT_EQ(ratio, expected);
    picture.Cls();
    EXPECT_EQ(picture.image().devicePixelRatio(), ratio);
    EXPECT_EQ(picture.image().size(), (QSizeF(681, 505) * ratio).toSize());
}

TEST_F(Picture, LinesAreCrispAtAnyDensity)
{
    picture.Cls();
    picture.Line(0, 1500, 10215, 1500, Green); // y = 100 pixels, across the picture
    picture.present();
    const QImage& image = picture.image();
    const QRgb green = qRgb(100, 200, 0);
    // Every pixel is the background or exactly the spring colour: no blur
    // from scaling a coarse picture, no blending.
    EXPECT_EQ(countOf(green) + countOf(PictureBox::Background), image.width() * image.height());
    // One logical pixel thick, every column.
    const int thickness = countOf(green) / image.width();
    EXPECT_EQ(countOf(green) % image.width(), 0);
    EXPECT_GE(thickness, 1);
    EXPECT_LE(thickness, static_cast<int>(std::ceil(image.devicePixelRatio())));
}

TEST_F(Picture, FarOffLinesAreClippedAndDrawnWhereTheyCross)
{
    picture.Cls();
    // From far above the picture to far below it, as a mass falling for
    // ten million frames would pull a spring.
    picture.Line(3000, -3e9, 3000, 3e9, Green);
    // Across the picture's corner diagonal, ends a million pictures away.
    picture.Line(-1e12, -1e12, 1e12, 1e12, Green);
    // Wholly outside: nothing.
    picture.Line(-5e9, -5e9, -4e9, 4e9, Green);
    picture.Line(20000, -1e300, 30000, 1e300, Green);
    picture.present();
    const QRgb green = qRgb(100, 200, 0);
    for (double y : {0.5, 100.5, 250.5, 503.5})
        EXPECT_EQ(at(200, y), green) << y; // x = 3000 twips
    for (double k : {0.5, 100.5, 300.5, 500.5})
        EXPECT_EQ(at(k, k), green) << k;
    EXPECT_EQ(at(100.5, 300.5), PictureBox::Background);
    EXPECT_EQ(at(300.5, 100.5), PictureBox::Background);
    EXPECT_EQ(at(10, 400), PictureBox::Background);
}

TEST_F(Picture, PointerPositionsAreExactTwips)
{
    // Each device pixel the pointer can be on, as the toolkit reports it in
    // logical pixels; in twips that is exactly 15 / ratio per device pixel.
    const qreal ratio = picture.devicePixelRatioF();
    std::vector<std::pair<float, float>> got;
    QObject::connect(&picture, &PictureBox::pointerMoved, &picture,
                     [&](int, float x, float y) { got.emplace_back(x, y); });
    const int pixels = static_cast<int>(681 * ratio);
    for (int p = 0; p < pixels; ++p) {
        const QPointF logical(p / ratio, (pixels - 1 - p) / ratio);
        QMouseEvent event(QEvent::MouseMove, logical, picture.mapToGlobal(logical), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&picture, &event);
    }
    ASSERT_EQ(got.size(), static_cast<std::size_t>(pixels));
    for (int p = 0; p < pixels; ++p) {
        ASSERT_EQ(got[p].first, static_cast<float>(p * 15.0 / ratio)) << p;
        ASSERT_EQ(got[p].second, static_cast<float>((pixels - 1 - p) * 15.0 / ratio)) << p;
    }
}

} // namespace
