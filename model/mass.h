#pragma once

#include <memory>
#include <vector>

#include "spring.h"
#include "surface.h"

/// A point mass of the lattice. It owns the springs it created; springs refer
/// to it by address, so a mass is neither copied nor moved.
class Mass {
public:
    /// Position in twips of the picture, x to the right, y downward.
    double X = 0;
    double Y = 0;
    /// Velocity in twips per frame.
    double Vx = 0;
    double Vy = 0;
    /// Acceleration of the last frame.
    double Ax = 0;
    double Ay = 0;
    /// Force accumulated during the current frame's force pass.
    double Fx = 0;
    double Fy = 0;
    /// Mass value; also its weight, added to Fy once a frame.
    double M = 1.0;
    /// Pinned: Move never changes the position.
    bool Fixed = false;

    /// The most springs one mass can own; slots run from 1 to this.
    static constexpr int Capacity = 10000;

    Mass() = default;
    Mass(const Mass&) = delete;
    Mass& operator=(const Mass&) = delete;
    Mass(Mass&&) = delete;
    Mass& operator=(Mass&&) = delete;

    /// Creates a spring from this mass in the next slot and returns the slot
    /// (the new SpringCount). Error 9 past Capacity.
    int AddSpring();
    /// Adds a spring to obj, at rest at the present distance, with stiffness
    /// kk and break force bf.
    void ConnectTo(Mass& obj, double kk, double bf);
    /// Draws every intact spring of this mass as a line to its far end:
    /// green for tension, blue otherwise, growing with the force, on red 100.
    void Draw(Surface& obj) const;
    /// Applies this mass's springs to both their ends, breaking those whose
    /// force exceeds their break force, then adds the weight and advances the
    /// velocity of this mass.
    void Forces();
    /// True when the mass owns at least one spring.
    bool HasSpring() const;
    /// Empties the force accumulators and, unless pinned, advances the position.
    void Move();
    /// The spring in slot n (the stored one, not a copy), or a new blank spring
    /// owned by the caller alone when n is past the last slot in use.
    /// Error 9 for n < 1 on a mass that has springs.
    std::shared_ptr<Spring> GetSpring(int n);
    /// The spring in slot n, from 1 to SpringCount(), to read.
    const Spring& spring(int n) const { return *Springs[static_cast<std::size_t>(n - 1)].spring; }
    /// Number of slots in use.
    int SpringCount() const;

private:
    /// A slot: the spring, and what the last force pass measured of it (the
    /// vector between its ends and its length, which depends on nothing
    /// else). Drawing reuses the length while the ends still lie the same way
    /// apart.
    struct Slot {
        std::shared_ptr<Spring> spring;
        double deltaX;
        double deltaY;
        double length;
    };
    /// Slot n is Springs[n - 1].
    std::vector<Slot> Springs;
};
