// The picture area: drawing at the screen's pixel density, far-off lines, and
// pointer positions in twips. Runs at every scale factor CTest sets.
#include <QElapsedTimer>
#include <QScreen>

#include <cmath>

#include "window_support.h"

namespace {

struct Picture : ::testing::Test {
    Form1 form;
    PictureBox& picture = *form.Picture1;
    void SetUp() override { form.show(); }
};

TEST_F(Picture, ImageHasTheScreensPixelDensity)
{
    const qreal ratio = picture.devicePixelRatioF();
    // The ratio the run was set up for: a scale factor, or a scaled screen.
    const qreal expected = qEnvironmentVariableIsSet("EXPECTED_PIXEL_RATIO") ? qEnvironmentVariable("EXPECTED_PIXEL_RATIO").toDouble() : 1.0;
    EXPECT_EQ(ratio, expected);
    ASSERT_TRUE(form.program().load(ratio));
    EXPECT_EQ(picture.image().devicePixelRatio(), ratio);
    EXPECT_EQ(picture.image().size(), (QSizeF(681, 505) * ratio).toSize());
}

/// What reaches the screen: each paint of the picture copies the image
/// pixels that its region covers whole. Pixels no paint has covered yet are
/// black, which the picture never is.
class Screen : public QObject {
public:
    explicit Screen(PictureBox& picture) : m_picture(picture) { picture.installEventFilter(this); }
    QImage pixels;

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        const QImage& image = m_picture.image();
        if (pixels.size() != image.size()) {
            pixels = QImage(image.size(), QImage::Format_RGB32);
            pixels.fill(Qt::black);
        }
        const double r = image.devicePixelRatio();
        for (const QRect& rect : static_cast<QPaintEvent*>(event)->region()) {
            const QRect whole(QPoint(std::ceil(rect.left() * r), std::ceil(rect.top() * r)),
                              QPoint(std::floor((rect.right() + 1) * r) - 1, std::floor((rect.bottom() + 1) * r) - 1));
            for (int y = whole.top(); y <= whole.bottom() && y < image.height(); ++y)
                for (int x = whole.left(); x <= whole.right() && x < image.width(); ++x)
                    pixels.setPixel(x, y, image.pixel(x, y));
        }
        return false;
    }

private:
    PictureBox& m_picture;
};

TEST_F(Picture, EachShownFrameIsTheWholePicture)
{
    // Frames are drawn as the window draws them while a script sags the
    // lattice, cuts it, makes its corner heavy, rebuilds it and lets it all
    // fall out of the picture. Showing repaints only what changed, and
    // nothing where the picture repeats what the screen shows; what the
    // screen shows after a paint must be the whole picture.
    Screen screen(picture);
    Program& program = form.program();
    ASSERT_TRUE(program.load(picture.devicePixelRatioF()));
    for (int frame = 0; frame < 1000; ++frame) {
        if (frame == 150)
            program.pointerMoved(1, 2400, 2000, 900);
        if (frame == 300)
            program.massChanged(80);
        if (frame == 450)
            program.newSimulation();
        if (frame == 500)
            program.pointerMoved(1, 4400, 3200, 3000);
        if (frame == 800)
            program.newSimulation();
        ASSERT_TRUE(program.frame());
        picture.present();
        if (frame % 25 != 0) {
            QCoreApplication::processEvents();
            continue;
        }
        const auto shown = picture.shownFrames();
        QElapsedTimer waited;
        waited.start();
        while (picture.shownFrames() == shown && waited.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        ASSERT_GT(picture.shownFrames(), shown) << frame;
        ASSERT_EQ(screen.pixels, picture.image()) << frame;
        // Where the real screen can be read whole, it shows the same.
        if (picture.devicePixelRatioF() == 1.0 && QGuiApplication::platformName() == QStringLiteral("offscreen")) {
            const QPoint at = picture.mapTo(&form, QPoint(0, 0));
            const QImage real = form.screen()->grabWindow(form.winId()).toImage().copy(QRect(at, picture.size()));
            ASSERT_EQ(real.convertToFormat(QImage::Format_RGB32), picture.image()) << frame;
        }
    }
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
