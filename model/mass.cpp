#include "mass.h"

#include <limits>

#include "constants.h"
#include "spring_geometry.h"

int Mass::AddSpring()
{
    if (SpringCount() >= Capacity)
        checked::raise(ErrorNumber::SubscriptOutOfRange);
    auto spring = std::make_shared<Spring>();
    spring->fromMass = this;
    // Not measured yet: a NaN equals nothing.
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    Springs.push_back({std::move(spring), none, none, none});
    return SpringCount();
}

void Mass::ConnectTo(Mass& obj, double kk, double bf)
{
    const int n = AddSpring();
    const std::shared_ptr<Spring> spring = GetSpring(n);
    spring->AddMass(obj);
    spring->k = kk;
    spring->BreakF = bf;
}

void Mass::Draw(Surface& obj) const
{
    for (const Slot& slot : Springs) {
        const Spring& s = *slot.spring;
        if (s.Broken)
            continue;
        // Between the force pass and the drawing of a frame nothing moves, so
        // the length the force pass measured still holds; it is measured
        // again only if the ends lie otherwise apart now (never in a frame).
        // The differences are compared with finite values: an infinite or
        // NaN one never matches, and measuring it raises the error.
        requireEnds(s);
        const bool unmoved =
            s.toMass->X - s.fromMass->X == slot.deltaX && s.toMass->Y - s.fromMass->Y == slot.deltaY;
        const double length = unmoved ? slot.length : measure(s).length;
        const bool stretched = length > s.oLength;
        const int v = checked::toInt16(checked::mul(forceAt(s, length), drawing::IntensityPerForce));
        obj.Line(X, Y, s.toMass->X, s.toMass->Y, drawing::springColour(stretched, v));
    }
}

void Mass::Forces()
{
    for (Slot& slot : Springs) {
        Spring& s = *slot.spring;
        const SpringGeometry g = measure(s);
        slot.deltaX = g.deltaX;
        slot.deltaY = g.deltaY;
        slot.length = g.length;
        // Equal to the break force still holds; the test runs on broken
        // springs too, which changes nothing.
        if (g.force > s.BreakF)
            s.Broken = true;
        if (s.Broken)
            continue;
        // Shorter than at rest pushes the ends apart, otherwise they pull
        // together. The share is force / rest length * delta: divided by the
        // rest length, not the present one.
        const double perLength = checked::div(g.force, s.oLength);
        double cX = checked::mul(perLength, g.deltaX);
        double cY = checked::mul(perLength, g.deltaY);
        if (s.oLength > g.length) {
            cX = -cX;
            cY = -cY;
        }
        Mass& from = *s.fromMass;
        Mass& to = *s.toMass;
        from.Fx = checked::add(from.Fx, cX);
        from.Fy = checked::add(from.Fy, cY);
        to.Fx = checked::sub(to.Fx, cX);
        to.Fy = checked::sub(to.Fy, cY);
    }

    // The weight and the velocity of this mass, pinned or not. Shares that
    // other masses' springs add after this call come too late for this frame:
    // the lattice lets each spring be owned by its lower-indexed end, so in
    // ascending order every share arrives in time.
    Fy = checked::add(Fy, M);
    Ax = checked::div(Fx, M);
    Ay = checked::div(Fy, M);
    Vx = checked::mul(checked::add(Vx, checked::mul(Ax, step::AccelerationFactor)), step::Damping);
    Vy = checked::mul(checked::add(Vy, checked::mul(Ay, step::AccelerationFactor)), step::Damping);
}

bool Mass::HasSpring() const
{
    return SpringCount() > 0;
}

void Mass::Move()
{
    Fx = 0;
    Fy = 0;
    if (!Fixed) {
        X = checked::add(X, Vx);
        Y = checked::add(Y, Vy);
    }
}

std::shared_ptr<Spring> Mass::GetSpring(int n)
{
    const int count = SpringCount();
    if (n <= count && count > 0) {
        if (n < 1)
            checked::raise(ErrorNumber::SubscriptOutOfRange);
        return Springs[static_cast<std::size_t>(n - 1)].spring;
    }
    return std::make_shared<Spring>();
}

int Mass::SpringCount() const
{
    return static_cast<int>(Springs.size());
}
