#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/mass.h"
#include "model/surface.h"

/// The window's model side, free of any toolkit: the lattice of masses, the
/// frame's passes over it, and what the user's actions do to it.
class Simulation {
public:
    /// Lattice size, spacing in twips, and the springs' constants.
    static constexpr int Columns = 8;
    static constexpr int Rows = 6;
    static constexpr int Spacing = 800;
    static constexpr double Stiffness = 1;
    static constexpr double BreakForce = 80;
    /// How many springs of a mass a cut marks broken, from slot 1 on.
    static constexpr int CutSlots = 10;

    /// Slot i of the lattice, 1-based. Error 9 outside the bounds, also before
    /// the first Init; an empty slot gets a new mass with creation values.
    Mass& Masses(int i);
    /// Current bounds of the lattice array (error 9 before the first Init).
    int LBound() const;
    int UBound() const;
    /// Whether Init has built a lattice yet.
    bool built() const { return m_sized; }

    /// Throws the lattice away and builds a fresh one: 8 x 6 masses 800 twips
    /// apart, the bottom row pinned, 117 springs at rest.
    void Init();
    /// One time step: the force pass, the draw pass onto picture, the move pass.
    void Step(Surface& picture);
    /// A pointer move over the picture at (x, y) twips with the given button
    /// mask (1 left, 2 right, 4 middle): with the left button alone, every
    /// mass nearer than radius loses the springs it owns.
    void Cut(int button, float x, float y, std::int16_t radius);
    /// The mass slider: the first mass takes the value as its mass.
    void SetFirstMass(std::int16_t value);

private:
    void forcePass();
    void drawPass(Surface& picture);
    void movePass();
    void requireSized() const;
    /// Slot i, which lies within the bounds; an empty slot gets a new mass.
    Mass& filled(int i)
    {
        std::unique_ptr<Mass>& slot = m_masses[static_cast<std::size_t>(i - 1)];
        if (!slot) [[unlikely]]
            slot = std::make_unique<Mass>();
        return *slot;
    }

    /// Slot i is m_masses[i - 1]; empty until the first Init sizes it.
    std::vector<std::unique_ptr<Mass>> m_masses;
    bool m_sized = false;
};
