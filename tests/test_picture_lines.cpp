// The picture's own line drawing, pixel for pixel against the drawing as it
// was before its fast path (column by column, every column held within the
// ends and the image), and against the lines Qt's painter draws for the same
// ends. Runs at every scale factor CTest sets.
#include <QApplication>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "support.h"
#include "window/picturebox.h"
#include "core/pixelpicture.h"
#include "core/simulation.h"

namespace {

struct Segment {
    double x1, y1, x2, y2;
    std::int32_t colour;
};

constexpr int PictureWidth = 681;
constexpr int PictureHeight = 505;

QRgb pixelOf(std::int32_t colour)
{
    return qRgb(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

/// The line drawing as it was before its fast path, column by column: the
/// centre held within the ends and the pixels across held within the image
/// in every column. The picture must set exactly the same pixels.
void columnByColumn(QImage& image, const Segment& s)
{
    const double ratio = image.devicePixelRatio();
    const double scale = ratio / 15.0;
    const int thickness = std::max(1, static_cast<int>(std::lround(ratio)));
    const double x1 = s.x1 * scale, y1 = s.y1 * scale, x2 = s.x2 * scale, y2 = s.y2 * scale;
    const bool alongX = std::fabs(x2 - x1) >= std::fabs(y2 - y1);
    double u1 = alongX ? x1 : y1, v1 = alongX ? y1 : x1;
    double u2 = alongX ? x2 : y2, v2 = alongX ? y2 : x2;
    if (u2 < u1) {
        std::swap(u1, u2);
        std::swap(v1, v2);
    }
    const int uSize = alongX ? image.width() : image.height();
    const int vSize = alongX ? image.height() : image.width();
    const double slope = u2 > u1 ? (v2 - v1) / (u2 - u1) : 0.0;
    const double offset = (1 - thickness) * 0.5;
    for (int u = std::max(static_cast<int>(std::floor(u1)), 0); u <= std::min(static_cast<int>(std::floor(u2)), uSize - 1); ++u) {
        const double v = v1 + (std::clamp(u + 0.5, u1, u2) - u1) * slope;
        const int from = static_cast<int>(std::floor(v + offset));
        for (int w = std::max(from, 0); w <= std::min(from + thickness - 1, vSize - 1); ++w)
            image.setPixel(alongX ? u : w, alongX ? w : u, pixelOf(s.colour));
    }
}

/// The picture with one line drawn column by column on the background.
QImage reference(const QImage& like, const Segment& s)
{
    QImage image(like.size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(like.devicePixelRatio());
    image.fill(PictureBox::Background);
    columnByColumn(image, s);
    return image;
}

/// Pixels that differ, at most the first few listed in `where`.
int differences(const QImage& a, const QImage& b, std::string& where)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        if (std::memcmp(p, q, a.width() * sizeof(QRgb)) == 0)
            continue;
        for (int x = 0; x < a.width(); ++x) {
            if ((p[x] & 0xffffff) != (q[x] & 0xffffff) && count++ < 4)
                where += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
        }
    }
    return count;
}

/// Lines of the lattice over a few hundred frames of sagging, a cut and a
/// heavy corner, those wholly inside the picture; and random lines of every
/// direction and length, points included.
std::vector<Segment> testLines()
{
    std::vector<Segment> lines;
    const auto inside = [](const struct RecordingSurface::Line& l) {
        const auto in = [](double x, double y) { return x >= 0 && y >= 0 && x < PictureWidth * 15.0 && y < PictureHeight * 15.0; };
        return in(l.x1, l.y1) && in(l.x2, l.y2);
    };
    Simulation sim;
    sim.Init();
    for (int frame = 0; frame < 400; ++frame) {
        if (frame == 100)
            sim.Cut(1, 4000.25f, 3000.5f, 900);
        if (frame == 200)
            sim.SetFirstMass(80);
        RecordingSurface surface;
        sim.Step(surface);
        if (frame % 100 == 0)
            for (const auto& l : surface.lines)
                if (inside(l))
                    lines.push_back({l.x1, l.y1, l.x2, l.y2, l.colour});
    }

    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> x(0, PictureWidth * 15.0 - 1e-6);
    std::uniform_real_distribution<double> y(0, PictureHeight * 15.0 - 1e-6);
    std::uniform_real_distribution<double> near(-40, 40);
    std::uniform_int_distribution<std::int32_t> colour(0, 0xffffff);
    for (int i = 0; i < 150; ++i) {
        const double ax = x(random), ay = y(random);
        // Long lines, short ones, and horizontal, vertical and diagonal ones.
        switch (i % 5) {
        case 0:
            lines.push_back({ax, ay, x(random), y(random), colour(random)});
            break;
        case 1:
            lines.push_back({ax, ay, std::clamp(ax + near(random), 0.0, 10214.0), std::clamp(ay + near(random), 0.0, 7574.0), colour(random)});
            break;
        case 2:
            lines.push_back({ax, ay, x(random), ay, colour(random)});
            break;
        case 3:
            lines.push_back({ax, ay, ax, y(random), colour(random)});
            break;
        default: {
            const double d = std::min({10214.0 - ax, 7574.0 - ay, 3000.0});
            lines.push_back({ax + d, ay, ax, ay + d, colour(random)});
        }
        }
    }
    lines.push_back({3000, 3000, 3000, 3000, 0x123456}); // a point
    lines.push_back({0, 0, PictureWidth * 15.0 - 1e-6, PictureHeight * 15.0 - 1e-6, 0x00ff00}); // corner to corner
    return lines;
}

/// The picture's pixels at the screen's pixel ratio, as the picture area
/// shows them, with lines drawn straight into them.
class LinePicture {
public:
    qreal devicePixelRatioF() const { return m_widget.devicePixelRatioF(); }
    /// All background, at the screen's ratio.
    void Cls()
    {
        if (!m_pixels.resize(PictureWidth, PictureHeight, devicePixelRatioF()))
            m_pixels.Cls();
        m_image = QImage(reinterpret_cast<const uchar*>(m_pixels.pixels()), m_pixels.width(), m_pixels.height(),
                         m_pixels.width() * 4, QImage::Format_RGB32);
        m_image.setDevicePixelRatio(m_pixels.ratio());
    }
    void Line(double x1, double y1, double x2, double y2, std::int32_t colour) { m_pixels.Line(x1, y1, x2, y2, colour); }
    const QImage& image() const { return m_image; }

private:
    QWidget m_widget;
    PixelPicture m_pixels{PixelPicture::Channels::Xrgb};
    QImage m_image;
};

struct PictureLines : ::testing::Test {
    LinePicture picture;
};

TEST_F(PictureLines, MatchTheReferencePixelForPixel)
{
    const std::vector<Segment> lines = testLines();
    ASSERT_GT(lines.size(), 400u);
    int failures = 0;
    for (std::size_t i = 0; i < lines.size() && failures < 5; ++i) {
        const Segment& s = lines[i];
        picture.Cls();
        picture.Line(s.x1, s.y1, s.x2, s.y2, s.colour);
        std::string where;
        const int count = differences(picture.image(), reference(picture.image(), s), where);
        if (count != 0) {
            ++failures;
            ADD_FAILURE() << "line " << i << " (" << s.x1 << "," << s.y1 << ")-(" << s.x2 << "," << s.y2 << "): " << count
                          << " pixels differ, at" << where;
        }
    }
}

TEST_F(PictureLines, MatchTheColumnByColumnDrawingOverManyRandomLines)
{
    // Lines of every kind inside the picture, its edges included: anywhere,
    // short, points, level, upright, and ends on pixel centres and edges,
    // where rounding decides. They are drawn 20 at a time after a clear, so
    // the clear is checked as well: whatever it leaves shows as a difference.
    const double ratio = picture.devicePixelRatioF();
    const double pixel = 15.0 / ratio;
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> x(0, PictureWidth * 15.0), y(0, PictureHeight * 15.0);
    std::uniform_real_distribution<double> near(-3 * pixel, 3 * pixel);
    std::uniform_int_distribution<int> kind(0, 6), column(0, static_cast<int>(PictureWidth * ratio)),
        row(0, static_cast<int>(PictureHeight * ratio));
    std::uniform_int_distribution<std::int32_t> colour(0, 0xffffff);
    const auto inside = [](double v, double high) { return std::clamp(v, 0.0, high); };
    const auto onGrid = [&](int k) { return k * pixel + (k % 3) * 0.5 * pixel; }; // edges and centres
    picture.Cls();
    QImage expected(picture.image().size(), QImage::Format_RGB32);
    expected.setDevicePixelRatio(ratio);
    int failures = 0;
    for (int batch = 0; batch < 1000 && failures < 3; ++batch) {
        picture.Cls();
        expected.fill(PictureBox::Background);
        std::vector<Segment> lines;
        for (int i = 0; i < 20; ++i) {
            double ax = x(random), ay = y(random), bx = x(random), by = y(random);
            switch (kind(random)) {
            case 1: // short, a point at times
                bx = ax + near(random) * (i % 4 != 0);
                by = ay + near(random) * (i % 4 != 0);
                break;
            case 2: // level
                by = ay;
                break;
            case 3: // upright
                bx = ax;
                break;
            case 4: // on the pixel grid
                ax = onGrid(column(random)), ay = onGrid(row(random)), bx = onGrid(column(random)), by = onGrid(row(random));
                break;
            case 5: // along an edge of the picture
                ay = by = i % 2 ? 0.0 : PictureHeight * 15.0;
                break;
            case 6: // at 45 degrees
                by = ay + (bx - ax) * (i % 2 ? 1 : -1);
                break;
            default:
                break;
            }
            lines.push_back({inside(ax, PictureWidth * 15.0), inside(ay, PictureHeight * 15.0),
                             inside(bx, PictureWidth * 15.0), inside(by, PictureHeight * 15.0), colour(random)});
        }
        for (const Segment& s : lines) {
            picture.Line(s.x1, s.y1, s.x2, s.y2, s.colour);
            columnByColumn(expected, s);
        }
        std::string where;
        if (const int count = differences(picture.image(), expected, where); count != 0) {
            ++failures;
            std::string drawn;
            for (const Segment& s : lines)
                drawn += " (" + std::to_string(s.x1) + "," + std::to_string(s.y1) + ")-(" + std::to_string(s.x2) + ","
                       + std::to_string(s.y2) + ")";
            ADD_FAILURE() << "batch " << batch << ": " << count << " pixels differ, at" << where << "; lines" << drawn;
        }
    }
}

TEST_F(PictureLines, LieWhereQtsPainterDrawsThem)
{
    // Every pixel set by one lies within one logical pixel of a pixel set by
    // the other, per line and both ways.
    const auto setPixels = [](const QImage& image) {
        std::vector<QPoint> set;
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (line[x] != PictureBox::Background)
                    set.emplace_back(x, y);
        }
        return set;
    };
    const auto strays = [](const std::vector<QPoint>& from, const QImage& other, int reach) {
        int count = 0;
        for (const QPoint& p : from) {
            bool near = false;
            for (int dy = -reach; dy <= reach && !near; ++dy)
                for (int dx = -reach; dx <= reach && !near; ++dx) {
                    const QPoint q = p + QPoint(dx, dy);
                    near = other.rect().contains(q) && other.pixel(q) != PictureBox::Background;
                }
            count += near ? 0 : 1;
        }
        return count;
    };
    const std::vector<Segment> lines = testLines();
    int failures = 0;
    for (std::size_t i = 0; i < lines.size() && failures < 5; ++i) {
        const Segment& s = lines[i];
        picture.Cls();
        picture.Line(s.x1, s.y1, s.x2, s.y2, s.colour);
        const QImage& ours = picture.image();
        QImage qt(ours.size(), QImage::Format_RGB32);
        qt.setDevicePixelRatio(ours.devicePixelRatio());
        qt.fill(PictureBox::Background);
        {
            QPainter painter(&qt);
            painter.setPen(QPen(QColor(pixelOf(s.colour)), 1.0));
            painter.drawLine(QLineF(s.x1 / 15.0, s.y1 / 15.0, s.x2 / 15.0, s.y2 / 15.0));
        }
        const int reach = std::max(1, static_cast<int>(std::lround(ours.devicePixelRatio())));
        const std::vector<QPoint> oursSet = setPixels(ours);
        const std::vector<QPoint> qtSet = setPixels(qt);
        EXPECT_FALSE(oursSet.empty()) << i;
        const int stray = strays(oursSet, qt, reach) + strays(qtSet, ours, reach);
        if (stray != 0) {
            ++failures;
            ADD_FAILURE() << "line " << i << " (" << s.x1 << "," << s.y1 << ")-(" << s.x2 << "," << s.y2 << "): " << stray
                          << " pixels away from Qt's line";
        }
    }
}

TEST_F(PictureLines, AreCrispAtAnyDensity)
{
    constexpr std::int32_t Green = 100 + 256 * 200;
    picture.Cls();
    picture.Line(0, 1500, 10215, 1500, Green); // y = 100 pixels, across the picture
    const QImage& image = picture.image();
    const QRgb green = qRgb(100, 200, 0);
    int greens = 0, others = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            (image.pixel(x, y) == green ? greens : others) += image.pixel(x, y) != PictureBox::Background ? 1 : 0;
    // Every pixel is the background or exactly the spring colour: no blur
    // from scaling a coarse picture, no blending; one logical pixel thick in
    // every column.
    EXPECT_EQ(others, 0);
    EXPECT_EQ(greens % image.width(), 0);
    EXPECT_GE(greens / image.width(), 1);
    EXPECT_LE(greens / image.width(), static_cast<int>(std::ceil(image.devicePixelRatio())));
}

TEST_F(PictureLines, FarOffLinesAreClippedAndDrawnWhereTheyCross)
{
    constexpr std::int32_t Green = 100 + 256 * 200;
    picture.Cls();
    // From far above the picture to far below it, as a mass falling for
    // ten million frames would pull a spring.
    picture.Line(3000, -3e9, 3000, 3e9, Green);
    // Across the picture's corner diagonal, ends a million pictures away.
    picture.Line(-1e12, -1e12, 1e12, 1e12, Green);
    // Wholly outside: nothing.
    picture.Line(-5e9, -5e9, -4e9, 4e9, Green);
    picture.Line(20000, -1e300, 30000, 1e300, Green);
    const QImage& image = picture.image();
    const double r = image.devicePixelRatio();
    const auto at = [&](double x, double y) { return image.pixel(QPointF(x * r, y * r).toPoint()); };
    const QRgb green = qRgb(100, 200, 0);
    for (double y : {0.5, 100.5, 250.5, 503.5})
        EXPECT_EQ(at(200, y), green) << y; // x = 3000 twips
    for (double k : {0.5, 100.5, 300.5, 500.5})
        EXPECT_EQ(at(k, k), green) << k;
    EXPECT_EQ(at(100.5, 300.5), PictureBox::Background);
    EXPECT_EQ(at(300.5, 100.5), PictureBox::Background);
    EXPECT_EQ(at(10, 400), PictureBox::Background);
}

TEST_F(PictureLines, LaterLinesLieOnTopInTheirExactColours)
{
    picture.Cls();
    picture.Line(1500, 1500, 4500, 4500, 100 + 256 * 255);   // green, down the diagonal
    picture.Line(1500, 4500, 4500, 1500, 100 + 65536 * 200); // blue, across it
    picture.Line(3000, 1000, 3000, 5000, 100);               // red, through both
    const QImage& image = picture.image();
    const double r = image.devicePixelRatio();
    const auto at = [&](double x, double y) { return image.pixel(static_cast<int>(x * r), static_cast<int>(y * r)); };
    EXPECT_EQ(at(200, 200), qRgb(100, 0, 0));     // the crossing: the last line
    EXPECT_EQ(at(150, 150), qRgb(100, 255, 0));   // green alone
    EXPECT_EQ(at(150, 249.5), qRgb(100, 0, 200)); // blue alone
    EXPECT_EQ(at(210, 150), PictureBox::Background);
}

} // namespace
