#pragma once

#include <cstdint>
#include <vector>

#include "pixelpicture.h"

/// What the screen shows of the picture, and the rule of what of the picture
/// to put on it: every pixel where the screen may differ from the picture,
/// and nothing where the picture repeats what the screen shows (a settled
/// lattice draws the same picture frame after frame).
class Screen {
public:
    /// The screen shows nothing known of the picture (it has new pixels, at
    /// another size or ratio): all of it is to be put.
    void forget(const PixelPicture& picture);
    /// What of the picture differs from what the screen shows: empty when
    /// nothing does.
    PixelPicture::Rect toPut(const PixelPicture& picture) const;
    /// The screen shows the picture now.
    void shows(const PixelPicture& picture);

private:
    /// The picture's pixels are those on the screen: the pixels its lines set
    /// and those the screen's lines had set are compared, the rest being
    /// background in both.
    bool repeatedBy(const PixelPicture& picture) const;

    /// Pixels where the screen may show something other than the background.
    PixelPicture::Rect m_drawn;
    /// What the screen shows, where known: its pixels, and those of them the
    /// lines had set.
    bool m_known = false;
    std::vector<std::uint32_t> m_pixels;
    std::vector<std::uint32_t> m_set;
};
