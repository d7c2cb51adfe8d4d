#pragma once

// Lattices for the scaling benchmark: the program's construction rule at
// other sizes, stepped with the frame's three passes. The program itself
// keeps its fixed 8 x 6 lattice.

#include <memory>
#include <vector>

#include "model/mass.h"
#include "model/surface.h"

/// Calls connect(a, b) for every spring of a columns x rows lattice, masses
/// numbered from 1 row by row from the top: each mass to its right, lower and
/// lower-right neighbours (only the lower one in the last column), the bottom
/// row each to its right, in the order the program makes them.
template <typename Connect>
void connectLattice(int columns, int rows, Connect&& connect)
{
    for (int k = 1; k <= (rows - 1) * columns; ++k) {
        if (k % columns == 0) {
            connect(k, k + columns);
        } else {
            connect(k, k + 1);
            connect(k, k + columns);
            connect(k, k + columns + 1);
        }
    }
    for (int k = (rows - 1) * columns + 1; k <= rows * columns - 1; ++k)
        connect(k, k + 1);
}

class Lattice {
public:
    /// columns x rows masses 800 twips apart, the bottom row pinned, springs
    /// to the right, below and below-right as the program builds them.
    Lattice(int columns, int rows);

    /// Force pass, draw pass onto picture, move pass, in ascending order.
    void step(Surface& picture);

    int springCount() const;

private:
    Mass& at(int i) { return *m_masses[static_cast<std::size_t>(i - 1)]; }

    std::vector<std::unique_ptr<Mass>> m_masses;
};
