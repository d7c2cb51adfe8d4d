#pragma once

// The floor of the step: the lattice's state in flat arrays, stepped with the
// same operations in the same order and the same fault checks as
// Simulation::Step, so that it gives the same bits. It lives in the bench
// only; the program keeps its masses and springs.

#include <cstdint>
#include <vector>

#include "model/surface.h"

class Simulation;

class FlatLattice {
public:
    /// A copy of every mass and spring of the simulation, springs grouped by
    /// their owner in slot order.
    static FlatLattice of(Simulation& sim);

    /// One frame: force pass, draw pass onto picture, move pass.
    void step(Surface& picture);
    /// A cut at (x, y) twips: every mass nearer than radius loses the
    /// springs it owns (its first CutSlots slots).
    void cut(float x, float y, std::int16_t radius);

    /// Masses, index 0 for slot 1.
    std::vector<double> X, Y, Vx, Vy, Ax, Ay, Fx, Fy, M;
    std::vector<unsigned char> Fixed;
    /// Springs of mass i are firstSpring[i] .. firstSpring[i + 1] - 1.
    std::vector<int> firstSpring;
    std::vector<int> to;
    std::vector<double> k, oLength, BreakF;
    std::vector<unsigned char> Broken;

private:
    void forcePass();
    void drawPass(Surface& picture);
    void movePass();
};
