#include "screen.h"

#include <algorithm>

void Screen::forget(const PixelPicture& picture)
{
    m_drawn = {0, 0, picture.width(), picture.height()};
    m_known = false;
}

bool Screen::repeatedBy(const PixelPicture& picture) const
{
    if (!m_known || !picture.pixelsSetKnown())
        return false;
    const std::uint32_t* const pixels = picture.pixels();
    const auto differs = [&](std::uint32_t i) { return pixels[i] != m_pixels[i]; };
    const auto set = picture.pixelsSet();
    return std::none_of(set.begin(), set.end(), differs) && std::none_of(m_set.begin(), m_set.end(), differs);
}

PixelPicture::Rect Screen::toPut(const PixelPicture& picture) const
{
    if (repeatedBy(picture))
        return {};
    return m_drawn.united(picture.drawn());
}

void Screen::shows(const PixelPicture& picture)
{
    m_drawn = picture.drawn();
    // The screen's pixels are kept where the lines that set them are known:
    // then a picture that repeats them need not be put again.
    if (!picture.pixelsSetKnown()) {
        m_known = false;
        return;
    }
    const std::uint32_t* const pixels = picture.pixels();
    const std::uint32_t background = picture.background();
    if (!m_known)
        m_pixels.assign(static_cast<std::size_t>(picture.width()) * static_cast<std::size_t>(picture.height()),
                        background);
    else
        for (const std::uint32_t i : m_set)
            m_pixels[i] = background;
    const auto set = picture.pixelsSet();
    for (const std::uint32_t i : set)
        m_pixels[i] = pixels[i];
    m_set.assign(set.begin(), set.end());
    m_known = true;
}
