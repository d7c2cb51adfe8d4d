#include "spring.h"

#include "spring_geometry.h"

void Spring::AddMass(Mass& ms)
{
    toMass = &ms;
    oLength = GetLength();
}

double Spring::Dist(const Mass& obj1, const Mass& obj2) const
{
    const double dy = checked::sub(obj1.Y, obj2.Y);
    const double dx = checked::sub(obj1.X, obj2.X);
    return distanceOf(dx, dy);
}

double Spring::GetDeltaX() const
{
    requireEnds(*this);
    return checked::sub(toMass->X, fromMass->X);
}

double Spring::GetDeltaY() const
{
    requireEnds(*this);
    return checked::sub(toMass->Y, fromMass->Y);
}

double Spring::GetForce() const
{
    return forceAt(*this, GetLength());
}

double Spring::GetLength() const
{
    requireEnds(*this);
    return Dist(*fromMass, *toMass);
}
