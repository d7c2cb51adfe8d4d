#include "simulation.h"

#include "model/checked.h"

namespace {

constexpr int LeftButton = 1;

} // namespace

void Simulation::requireSized() const
{
    if (!m_sized)
        checked::raise(ErrorNumber::SubscriptOutOfRange);
}

int Simulation::LBound() const
{
    requireSized();
    return 1;
}

int Simulation::UBound() const
{
    requireSized();
    return static_cast<int>(m_masses.size());
}

Mass& Simulation::Masses(int i)
{
    if (i < LBound() || i > UBound())
        checked::raise(ErrorNumber::SubscriptOutOfRange);
    return filled(i);
}

void Simulation::Init()
{
    // The new lattice is built aside and then replaces the old one whole,
    // which drops every old mass with its springs.
    constexpr int count = Columns * Rows;
    std::vector<std::unique_ptr<Mass>> lattice(count);
    const auto at = [&lattice](int n) -> Mass& { return *lattice[static_cast<std::size_t>(n - 1)]; };

    // Masses row by row from the top, left to right; the bottom row pinned.
    int n = 0;
    for (int j = 1; j <= Rows; ++j) {
        for (int i = 1; i <= Columns; ++i) {
            ++n;
            lattice[static_cast<std::size_t>(n - 1)] = std::make_unique<Mass>();
            Mass& mass = at(n);
            mass.X = Spacing * i + Spacing;
            mass.Y = Spacing * j + Spacing / 2;
            mass.M = 1.0;
            if (j == Rows)
                mass.Fixed = true;
        }
    }

    // Every spring is made by its lower-indexed end, so the force pass in
    // ascending order delivers each share before its receiver integrates.
    // Rows above the bottom: right, below, below-right (only below in the
    // last column).
    for (int k = 1; k <= (Rows - 1) * Columns; ++k) {
        if (k % Columns == 0) {
            at(k).ConnectTo(at(k + Columns), Stiffness, BreakForce);
        } else {
            at(k).ConnectTo(at(k + 1), Stiffness, BreakForce);
            at(k).ConnectTo(at(k + Columns), Stiffness, BreakForce);
            at(k).ConnectTo(at(k + Columns + 1), Stiffness, BreakForce);
        }
    }
    // The bottom row: each to its right neighbour.
    for (int k = (Rows - 1) * Columns + 1; k <= Rows * Columns - 1; ++k)
        at(k).ConnectTo(at(k + 1), Stiffness, BreakForce);

    m_masses = std::move(lattice);
    m_sized = true;
}

void Simulation::Step(Surface& picture)
{
    forcePass();
    drawPass(picture);
    movePass();
}

// Each pass reads the bounds once at its start; the slots between them are
// reached without checking each index again.
void Simulation::forcePass()
{
    for (int i = LBound(), last = UBound(); i <= last; ++i)
        filled(i).Forces();
}

void Simulation::drawPass(Surface& picture)
{
    for (int i = LBound(), last = UBound(); i <= last; ++i)
        filled(i).Draw(picture);
}

void Simulation::movePass()
{
    for (int i = LBound(), last = UBound(); i <= last; ++i)
        filled(i).Move();
}

void Simulation::Cut(int button, float x, float y, std::int16_t radius)
{
    if (button != LeftButton)
        return;
    Mass probe;
    probe.X = x;
    probe.Y = y;
    const Spring measuring;
    const int last = UBound();
    for (int i = LBound(); i <= last; ++i) {
        const double r = radius;
        Mass& mass = Masses(i);
        if (measuring.Dist(mass, probe) < r) {
            for (int n = 1; n <= CutSlots; ++n)
                mass.GetSpring(n)->Broken = true;
        }
    }
}

void Simulation::SetFirstMass(std::int16_t value)
{
    Masses(1).M = value;
}
