#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/simulation.h"

/// Runs the lattice through frames of random user actions, with a fixed seed,
/// and checks after every frame what must always hold: pinned masses stay put,
/// no broken spring mends before a rebuild, every state value is finite, and
/// the lattice keeps its 48 masses and 117 springs.
class Soak {
public:
    explicit Soak(std::uint64_t seed);

    /// Runs the frames; returns the first broken invariant, or an empty
    /// string. A run-time error passes out as the exception it is.
    std::string run(long frames);

    // What the run did, for the record.
    long cuts = 0;
    long cutsFarOutside = 0;
    long sliderMoves = 0;
    long rebuilds = 0;
    long springsBroken = 0;

private:
    void act();
    void rebuild();
    std::string check(long frame);

    Simulation m_sim;
    std::mt19937_64 m_random;
    std::vector<bool> m_broken;
    std::vector<double> m_pinnedAt;
};
