#pragma once

#include <cstdint>

/// A drawing surface: the one thing a mass needs to draw its springs.
class Surface {
public:
    virtual ~Surface() = default;

    /// Draws a straight line from (x1, y1) to (x2, y2), in the surface's own
    /// units (twips of the picture, y downward), in a colour packed as
    /// red + 256 * green + 65536 * blue, each component 0..255.
    virtual void Line(double x1, double y1, double x2, double y2, std::int32_t colour) = 0;
};
