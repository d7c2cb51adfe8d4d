#include "flat_lattice.h"

#include <cmath>
#include <cstddef>
#include <map>
#include <stdexcept>

#include "model/checked.h"
#include "model/constants.h"
#include "window/simulation.h"

namespace {

std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

} // namespace

FlatLattice FlatLattice::of(Simulation& sim)
{
    FlatLattice f;
    std::map<const Mass*, int> index;
    for (int i = sim.LBound(); i <= sim.UBound(); ++i)
        index[&sim.Masses(i)] = i - sim.LBound();
    for (int i = sim.LBound(); i <= sim.UBound(); ++i) {
        Mass& m = sim.Masses(i);
        f.X.push_back(m.X);
        f.Y.push_back(m.Y);
        f.Vx.push_back(m.Vx);
        f.Vy.push_back(m.Vy);
        f.Ax.push_back(m.Ax);
        f.Ay.push_back(m.Ay);
        f.Fx.push_back(m.Fx);
        f.Fy.push_back(m.Fy);
        f.M.push_back(m.M);
        f.Fixed.push_back(m.Fixed);
        f.firstSpring.push_back(static_cast<int>(f.to.size()));
        for (int n = 1; n <= m.SpringCount(); ++n) {
            const auto s = m.GetSpring(n);
            // The flat form holds lattice springs only: owned by the mass
            // they start from, ending on a mass of the lattice.
            if (s->fromMass != &m || !index.contains(s->toMass))
                throw std::invalid_argument("spring outside the lattice");
            f.to.push_back(index[s->toMass]);
            f.k.push_back(s->k);
            f.oLength.push_back(s->oLength);
            f.BreakF.push_back(s->BreakF);
            f.Broken.push_back(s->Broken);
        }
    }
    f.firstSpring.push_back(static_cast<int>(f.to.size()));
    return f;
}

void FlatLattice::step(Surface& picture)
{
    forcePass();
    drawPass(picture);
    movePass();
}

// The spring's geometry is read as the model reads it: delta y before delta
// x, the squares as plain products, the force from the unchecked difference
// of lengths.
void FlatLattice::forcePass()
{
    const int masses = static_cast<int>(X.size());
    for (int i = 0; i < masses; ++i) {
        for (int s = firstSpring[at(i)]; s < firstSpring[at(i + 1)]; ++s) {
            const int j = to[at(s)];
            const double dy = checked::sub(Y[at(j)], Y[at(i)]);
            const double dx = checked::sub(X[at(j)], X[at(i)]);
            const double length = std::sqrt(checked::add(dx * dx, dy * dy));
            const double force = checked::mul(std::fabs(length - oLength[at(s)]), k[at(s)]);
            if (force > BreakF[at(s)])
                Broken[at(s)] = 1;
            if (Broken[at(s)])
                continue;
            const double perLength = checked::div(force, oLength[at(s)]);
            double cX = checked::mul(perLength, dx);
            double cY = checked::mul(perLength, dy);
            if (oLength[at(s)] > length) {
                cX = -cX;
                cY = -cY;
            }
            Fx[at(i)] = checked::add(Fx[at(i)], cX);
            Fy[at(i)] = checked::add(Fy[at(i)], cY);
            Fx[at(j)] = checked::sub(Fx[at(j)], cX);
            Fy[at(j)] = checked::sub(Fy[at(j)], cY);
        }
        Fy[at(i)] = checked::add(Fy[at(i)], M[at(i)]);
        Ax[at(i)] = checked::div(Fx[at(i)], M[at(i)]);
        Ay[at(i)] = checked::div(Fy[at(i)], M[at(i)]);
        Vx[at(i)] = checked::mul(checked::add(Vx[at(i)], checked::mul(Ax[at(i)], step::AccelerationFactor)), step::Damping);
        Vy[at(i)] = checked::mul(checked::add(Vy[at(i)], checked::mul(Ay[at(i)], step::AccelerationFactor)), step::Damping);
    }
}

void FlatLattice::drawPass(Surface& picture)
{
    const int masses = static_cast<int>(X.size());
    for (int i = 0; i < masses; ++i) {
        for (int s = firstSpring[at(i)]; s < firstSpring[at(i + 1)]; ++s) {
            if (Broken[at(s)])
                continue;
            const int j = to[at(s)];
            const double dy = checked::sub(Y[at(j)], Y[at(i)]);
            const double dx = checked::sub(X[at(j)], X[at(i)]);
            const double length = std::sqrt(checked::add(dx * dx, dy * dy));
            const double force = checked::mul(std::fabs(length - oLength[at(s)]), k[at(s)]);
            const int v = checked::toInt16(checked::mul(force, drawing::IntensityPerForce));
            const std::int32_t colour = drawing::springColour(length > oLength[at(s)], v);
            picture.Line(X[at(i)], Y[at(i)], X[at(j)], Y[at(j)], colour);
        }
    }
}

void FlatLattice::movePass()
{
    const int masses = static_cast<int>(X.size());
    for (int i = 0; i < masses; ++i) {
        Fx[at(i)] = 0;
        Fy[at(i)] = 0;
        if (!Fixed[at(i)]) {
            X[at(i)] = checked::add(X[at(i)], Vx[at(i)]);
            Y[at(i)] = checked::add(Y[at(i)], Vy[at(i)]);
        }
    }
}

void FlatLattice::cut(float x, float y, std::int16_t radius)
{
    const double px = x;
    const double py = y;
    const int masses = static_cast<int>(X.size());
    for (int i = 0; i < masses; ++i) {
        const double dy = checked::sub(Y[at(i)], py);
        const double dx = checked::sub(X[at(i)], px);
        if (std::sqrt(checked::add(dx * dx, dy * dy)) < radius) {
            const int owned = firstSpring[at(i + 1)] - firstSpring[at(i)];
            for (int n = 0; n < owned && n < Simulation::CutSlots; ++n)
                Broken[at(firstSpring[at(i)] + n)] = 1;
        }
    }
}
