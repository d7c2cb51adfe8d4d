#pragma once

#include "model/surface.h"

/// A surface whose Line does nothing: the step without drawing costs. Out of
/// line, so the compiler cannot drop the call the draw pass makes.
class NullSurface : public Surface {
public:
    void Line(double x1, double y1, double x2, double y2, std::int32_t colour) override;
};
