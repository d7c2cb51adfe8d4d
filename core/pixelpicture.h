#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "form.h"
#include "model/surface.h"

/// The picture area's pixels, free of any toolkit: a buffer at a given pixel
/// ratio that the simulation draws into, in twips, and that a front end shows
/// as it is (the window through a QImage, the page through a canvas). Lines
/// are set straight into the pixels: one pixel per step along the line's
/// longer axis, one logical pixel across, in the exact colour, no blending.
/// Parts outside the picture are clipped away first, so far-off ends cost no
/// more than near ones. With the line running more along x (ties too), every
/// device pixel column it passes gets the pixels nearest its height at the
/// column's centre (at the end, the height at the end point); likewise rows
/// for a line running along y.
class PixelPicture : public Surface {
public:
    /// Twips per logical pixel.
    static constexpr double TwipsPerPixel = form::TwipsPerPixel;

    /// How a pixel is laid out in its 32-bit word.
    enum class Channels {
        /// 0xffRRGGBB: Qt's RGB32 image.
        Xrgb,
        /// The bytes R, G, B, 0xff in memory order: a canvas's image data.
        Rgbx,
    };

    /// Pixels from (x, y), width by height; empty when either is not positive.
    struct Rect {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;

        bool empty() const { return width <= 0 || height <= 0; }
        /// The smallest rectangle holding both.
        Rect united(const Rect& other) const;
        bool operator==(const Rect&) const = default;
    };

    explicit PixelPicture(Channels channels);

    /// Sizes the picture to the logical size at the pixel ratio (device pixels
    /// rounded to the nearest, halves up). True when it made new pixels, all
    /// background; false when the size and ratio were those it had.
    bool resize(int logicalWidth, int logicalHeight, double ratio);

    /// Clears the picture to its background and starts a frame's drawing. Only
    /// what was drawn since the last clear is restored, the rest being still
    /// the background: the pixels the lines set, or after very many lines
    /// their rectangle.
    void Cls();
    /// Draws a line between two points in twips; colour is red + 256 * green
    /// + 65536 * blue.
    void Line(double x1, double y1, double x2, double y2, std::int32_t colour) override;

    /// Device pixels across and down, and device pixels per logical pixel.
    int width() const { return m_width; }
    int height() const { return m_height; }
    double ratio() const { return m_ratio; }
    /// Row after row, width() words each, in the picture's channel layout.
    const std::uint32_t* pixels() const { return m_pixels.data(); }
    /// The pixels that may differ from the background: those drawn since the
    /// last clear.
    Rect drawn() const { return m_drawn; }
    /// The pixels the lines set since the last clear, as indices row * width()
    /// + column, each as often as it was set; empty where there were too many
    /// to note, which pixelsSetKnown() tells.
    std::span<const std::uint32_t> pixelsSet() const
    {
        return {m_set.data(), m_manyPixels ? std::size_t{0} : m_setCount};
    }
    bool pixelsSetKnown() const { return !m_manyPixels; }

    /// The background that clearing restores, in the picture's layout: white,
    /// on which every spring colour (red 100, green or blue up to 255) stands
    /// out.
    std::uint32_t background() const { return pixelOf(0xffffff); }
    /// A spring colour as a pixel in the picture's layout.
    std::uint32_t pixelOf(std::int32_t colour) const;

private:
    /// Beyond this many pixels set since the last clear, clearing fills their
    /// rectangle instead of setting each back.
    static constexpr std::size_t MaxRecordedPixels = 1 << 16;

    const Channels m_channels;
    std::vector<std::uint32_t> m_pixels;
    int m_width = 0;
    int m_height = 0;
    double m_ratio = 0.0;
    /// The picture's size in twips, the clipping bounds of every line.
    double m_widthTwips = 0;
    double m_heightTwips = 0;
    /// Device pixels per twip, and device pixels across a line.
    double m_pixelsPerTwip = 1.0 / TwipsPerPixel;
    int m_thickness = 1;
    Rect m_drawn;
    /// The indices of the pixels set since the last clear, the first
    /// m_setCount of m_set, unless there were more than MaxRecordedPixels
    /// (then m_manyPixels).
    std::vector<std::uint32_t> m_set;
    std::size_t m_setCount = 0;
    bool m_manyPixels = false;
};
