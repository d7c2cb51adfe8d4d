#include "lattice.h"

#include "core/simulation.h"

Lattice::Lattice(int columns, int rows)
{
    for (int j = 1; j <= rows; ++j) {
        for (int i = 1; i <= columns; ++i) {
            auto mass = std::make_unique<Mass>();
            mass->X = Simulation::Spacing * i + Simulation::Spacing;
            mass->Y = Simulation::Spacing * j + Simulation::Spacing / 2;
            mass->Fixed = j == rows;
            m_masses.push_back(std::move(mass));
        }
    }
    connectLattice(columns, rows,
                   [this](int a, int b) { at(a).ConnectTo(at(b), Simulation::Stiffness, Simulation::BreakForce); });
}

void Lattice::step(Surface& picture)
{
    for (auto& mass : m_masses)
        mass->Forces();
    for (auto& mass : m_masses)
        mass->Draw(picture);
    for (auto& mass : m_masses)
        mass->Move();
}

int Lattice::springCount() const
{
    int count = 0;
    for (const auto& mass : m_masses)
        count += mass->SpringCount();
    return count;
}
