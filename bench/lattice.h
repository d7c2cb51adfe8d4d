#pragma once

// Lattices for the scaling benchmark: the program's construction rule at
// other sizes, stepped with the frame's three passes. The program itself
// keeps its fixed 8 x 6 lattice.

#include <memory>
#include <vector>

#include "model/mass.h"
#include "model/surface.h"

class Lattice {
public:
    /// columns x rows masses 800 twips apart, the bottom row pinned, springs
    /// to the right, below and below-right as the program builds them.
    Lattice(int columns, int rows);

    /// Force pass, draw pass onto picture, move pass, in ascending order.
    void step(Surface& picture);

    int springCount() const;
    const Mass& mass(int i) const { return *m_masses[static_cast<std::size_t>(i - 1)]; }

private:
    Mass& at(int i) { return *m_masses[static_cast<std::size_t>(i - 1)]; }

    std::vector<std::unique_ptr<Mass>> m_masses;
};
