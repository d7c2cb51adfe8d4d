#pragma once

// One reading of a spring's geometry, for the force pass and the drawing,
// which need its deltas, length and force together. The values are the same
// bits as the spring's own queries: toMass - fromMass is the exact negation
// of fromMass - toMass, so the squares and the length are unchanged.

#include "checked.h"
#include "mass.h"
#include "spring.h"

struct SpringGeometry {
    double deltaX;
    double deltaY;
    double length;
    double force;
};

/// Error 91 unless the spring has both ends.
inline void requireEnds(const Spring& s)
{
    if (s.fromMass == nullptr || s.toMass == nullptr) [[unlikely]]
        checked::raise(ErrorNumber::ObjectNotSet);
}

/// sqrt(dx^2 + dy^2). The squares are plain products, which are correctly
/// rounded; pow(d, 2) is not always.
inline double distanceOf(double dx, double dy)
{
    return std::sqrt(checked::add(dx * dx, dy * dy));
}

/// |length - oLength| * k.
inline double forceAt(const Spring& s, double length)
{
    return checked::mul(std::fabs(length - s.oLength), s.k);
}

inline SpringGeometry measure(const Spring& s)
{
    requireEnds(s);
    SpringGeometry g;
    g.deltaY = checked::sub(s.toMass->Y, s.fromMass->Y);
    g.deltaX = checked::sub(s.toMass->X, s.fromMass->X);
    g.length = distanceOf(g.deltaX, g.deltaY);
    g.force = forceAt(s, g.length);
    return g;
}
