#include "pixelpicture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace {

/// Clips the segment to [0, w] x [0, h] (Liang-Barsky). Returns false when
/// nothing of it lies inside.
bool clip(double& x1, double& y1, double& x2, double& y2, double w, double h)
{
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1, w - x1, y1, h - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1)
                return false;
            if (t > t0)
                t0 = t;
        } else {
            if (t < t0)
                return false;
            if (t < t1)
                t1 = t;
        }
    }
    // An end inside the picture stays exactly where it is.
    const double sx = x1;
    const double sy = y1;
    if (t0 > 0.0) {
        x1 = sx + t0 * dx;
        y1 = sy + t0 * dy;
    }
    if (t1 < 1.0) {
        x2 = sx + t1 * dx;
        y2 = sy + t1 * dy;
    }
    return true;
}

/// floor(v) for the small values of a picture, without a library call.
int floorOf(double v)
{
    const int i = static_cast<int>(v);
    return v < i ? i - 1 : i;
}

/// Sets columns a to b of a line whose pixels across all lie inside the
/// picture: the first at floor(v1 + (u + 0.5 - u1) * slope + offset), which is
/// never negative here, so truncation gives it. The centres u + 0.5 are
/// counted in doubles, exactly. Where Record, the index of every pixel set is
/// written at `record`, which moves past them.
template <bool AlongX, bool Record>
void run(std::uint32_t* const bits, const std::ptrdiff_t stride, const int a, const int b, const double v1,
         const double u1, const double slope, const double offset, const int thickness, const std::uint32_t pixel,
         std::uint32_t*& record)
{
    const std::ptrdiff_t uStep = AlongX ? 1 : stride;
    const std::ptrdiff_t vStep = AlongX ? stride : 1;
    std::uint32_t* out = record;
    double centre = a + 0.5;
    if (thickness == 1) {
        for (int u = a; u <= b; ++u, centre += 1.0) {
            const int w = static_cast<int>(v1 + (centre - u1) * slope + offset);
            const std::ptrdiff_t at = u * uStep + w * vStep;
            bits[at] = pixel;
            if constexpr (Record)
                *out++ = static_cast<std::uint32_t>(at);
        }
    } else {
        for (int u = a; u <= b; ++u, centre += 1.0) {
            const int w = static_cast<int>(v1 + (centre - u1) * slope + offset);
            std::ptrdiff_t at = u * uStep + w * vStep;
            for (int k = 0; k < thickness; ++k, at += vStep) {
                bits[at] = pixel;
                if constexpr (Record)
                    *out++ = static_cast<std::uint32_t>(at);
            }
        }
    }
    record = out;
}

/// Sets the pixels of the line from (x1, y1) to (x2, y2), device pixels,
/// along its major axis (x when |dx| >= |dy|): each pixel column i from the
/// one holding x1 to the one holding x2 gets thickness pixels centred on the
/// line's height at the column's centre, the centre held within the line's
/// ends. Pixels outside the picture are left alone. Returns the rectangle of
/// pixels it may have set. Unless `record` is null, the index of every pixel
/// set is written there, at most thickness for each pixel along the longer
/// axis, and `record` moves past them.
PixelPicture::Rect rasterize(std::uint32_t* const bits, const int pixelsAcross, const int pixelsDown, double x1,
                             double y1, double x2, double y2, int thickness, std::uint32_t pixel,
                             std::uint32_t*& record)
{
    const bool alongX = std::fabs(x2 - x1) >= std::fabs(y2 - y1);
    // Major axis u, minor axis v; the pixels are addressed as pixel (u, v)
    // through the strides of each axis.
    double u1 = alongX ? x1 : y1;
    double v1 = alongX ? y1 : x1;
    double u2 = alongX ? x2 : y2;
    double v2 = alongX ? y2 : x2;
    if (u2 < u1) {
        std::swap(u1, u2);
        std::swap(v1, v2);
    }
    const int uSize = alongX ? pixelsAcross : pixelsDown;
    const int vSize = alongX ? pixelsDown : pixelsAcross;
    const std::ptrdiff_t stride = pixelsAcross;
    const std::ptrdiff_t uStep = alongX ? 1 : stride;
    const std::ptrdiff_t vStep = alongX ? stride : 1;

    const double slope = u2 > u1 ? (v2 - v1) / (u2 - u1) : 0.0;
    const double offset = (1 - thickness) * 0.5;
    const int first = std::max(floorOf(u1), 0);
    const int last = std::min(floorOf(u2), uSize - 1);
    if (first > last)
        return {};

    // The line's height at a column's centre, moved to the first pixel across.
    const auto height = [&](double centre) { return v1 + (centre - u1) * slope + offset; };
    // Column u in full: the centre held within the ends, the pixels across
    // held within the picture.
    const auto column = [&](int u) {
        const int from = floorOf(height(std::clamp(u + 0.5, u1, u2)));
        for (int w = std::max(from, 0); w <= std::min(from + thickness - 1, vSize - 1); ++w) {
            const std::ptrdiff_t at = u * uStep + w * vStep;
            bits[at] = pixel;
            if (record != nullptr)
                *record++ = static_cast<std::uint32_t>(at);
        }
        return from;
    };
    const int acrossFirst = column(first);
    const int acrossLast = first < last ? column(last) : acrossFirst;

    // Between the end columns every centre u + 0.5 lies inside the ends, and
    // the height only grows (or only falls) from column to column, since each
    // rounded operation of it is monotonic. So the columns whose pixels across
    // lie wholly inside the picture form one run: it is found from its ends, and
    // its columns are set without holding anything, with the same arithmetic.
    const double limit = vSize - thickness + 1;
    const auto inside = [&](int u) {
        const double t = height(u + 0.5);
        return t >= 0.0 && t < limit;
    };
    int a = first + 1;
    int b = last - 1;
    while (a <= b && !inside(a))
        column(a++);
    while (a <= b && !inside(b))
        column(b--);
    if (a <= b) {
        const auto runOf = [&]<bool Record>() {
            if (alongX)
                run<true, Record>(bits, stride, a, b, v1, u1, slope, offset, thickness, pixel, record);
            else
                run<false, Record>(bits, stride, a, b, v1, u1, slope, offset, thickness, pixel, record);
        };
        if (record != nullptr)
            runOf.template operator()<true>();
        else
            runOf.template operator()<false>();
    }

    // The pixels across of all columns lie between those of the end columns.
    const int low = std::max(std::min(acrossFirst, acrossLast), 0);
    const int high = std::min(std::max(acrossFirst, acrossLast) + thickness - 1, vSize - 1);
    if (low > high)
        return {};
    if (alongX)
        return {first, low, last - first + 1, high - low + 1};
    return {low, first, high - low + 1, last - first + 1};
}

/// Sets every pixel of the rectangle to the colour.
void fill(std::uint32_t* const bits, const int width, const PixelPicture::Rect& rect, std::uint32_t colour)
{
    std::uint32_t* row = bits + static_cast<std::ptrdiff_t>(rect.y) * width + rect.x;
    for (int y = 0; y < rect.height; ++y, row += width)
        std::fill_n(row, rect.width, colour);
}

} // namespace

PixelPicture::Rect PixelPicture::Rect::united(const Rect& other) const
{
    if (other.empty())
        return *this;
    if (empty())
        return other;
    const int left = std::min(x, other.x);
    const int top = std::min(y, other.y);
    const int right = std::max(x + width, other.x + other.width);
    const int bottom = std::max(y + height, other.y + other.height);
    return {left, top, right - left, bottom - top};
}

PixelPicture::PixelPicture(Channels channels) : m_channels(channels) {}

std::uint32_t PixelPicture::pixelOf(std::int32_t colour) const
{
    const std::uint32_t red = static_cast<std::uint32_t>(colour) & 0xff;
    const std::uint32_t green = (static_cast<std::uint32_t>(colour) >> 8) & 0xff;
    const std::uint32_t blue = (static_cast<std::uint32_t>(colour) >> 16) & 0xff;
    if (m_channels == Channels::Xrgb)
        return 0xff000000u | red << 16 | green << 8 | blue;
    // Little-endian words: the first byte in memory is the lowest.
    return 0xff000000u | blue << 16 | green << 8 | red;
}

bool PixelPicture::resize(int logicalWidth, int logicalHeight, double ratio)
{
    // Rounded as a toolkit rounds a size scaled to device pixels: to the
    // nearest, halves away from zero.
    const int width = static_cast<int>(std::floor(logicalWidth * ratio + 0.5));
    const int height = static_cast<int>(std::floor(logicalHeight * ratio + 0.5));
    m_widthTwips = logicalWidth * TwipsPerPixel;
    m_heightTwips = logicalHeight * TwipsPerPixel;
    m_pixelsPerTwip = ratio / TwipsPerPixel;
    // One logical pixel across, at least one device pixel.
    m_thickness = std::max(1, static_cast<int>(std::lround(ratio)));
    if (width == m_width && height == m_height && ratio == m_ratio)
        return false;
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_ratio = ratio;
    m_pixels.assign(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), background());
    m_drawn = {};
    m_setCount = 0;
    m_manyPixels = false;
    // Room for the pixels of a frame's lines, and for one more line as long
    // as the picture is wide or high.
    m_set.resize(static_cast<std::size_t>(std::max(m_width, m_height)) * static_cast<std::size_t>(m_thickness)
                 + MaxRecordedPixels);
    return true;
}

void PixelPicture::Cls()
{
    // Everything else is still the background. A frame's lines cover a small
    // part of their rectangle: the pixels they set are set back one by one.
    if (m_manyPixels) {
        fill(m_pixels.data(), m_width, m_drawn, background());
    } else {
        std::uint32_t* const bits = m_pixels.data();
        const std::uint32_t colour = background();
        for (std::size_t i = 0; i < m_setCount; ++i)
            bits[m_set[i]] = colour;
    }
    m_drawn = {};
    m_setCount = 0;
    m_manyPixels = false;
}

void PixelPicture::Line(double x1, double y1, double x2, double y2, std::int32_t colour)
{
    // A clipped line lies within the picture; a NaN end clips to nothing. A
    // line with both ends inside is one that clipping leaves as it is.
    const auto inside = [this](double x, double y) {
        return x >= 0.0 && x <= m_widthTwips && y >= 0.0 && y <= m_heightTwips;
    };
    if (!(inside(x1, y1) && inside(x2, y2))
        && (!clip(x1, y1, x2, y2, m_widthTwips, m_heightTwips) || !std::isfinite(x1 + y1 + x2 + y2)))
        return;
    // Past MaxRecordedPixels the pixels set are no longer noted, and
    // clearing fills the rectangle drawn instead.
    m_manyPixels = m_manyPixels || m_setCount > MaxRecordedPixels;
    std::uint32_t* record = m_manyPixels ? nullptr : m_set.data() + m_setCount;
    const double s = m_pixelsPerTwip;
    m_drawn = m_drawn.united(
        rasterize(m_pixels.data(), m_width, m_height, x1 * s, y1 * s, x2 * s, y2 * s, m_thickness, pixelOf(colour), record));
    if (record != nullptr)
        m_setCount = static_cast<std::size_t>(record - m_set.data());
}
