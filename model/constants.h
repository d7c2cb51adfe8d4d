#pragma once

#include <cstdint>

// The fixed numbers of the time step and of the spring colours.

namespace step {

/// Factor on the acceleration as it is added to the velocity.
inline constexpr double AccelerationFactor = 0.6;
/// Damping of the velocity, once a frame.
inline constexpr double Damping = 0.998;

} // namespace step

namespace drawing {

/// Red component of every spring line.
inline constexpr int SpringRed = 100;
/// Green (tension) or blue (otherwise) per unit of force.
inline constexpr double IntensityPerForce = 10.0;

/// The colour of a spring line with intensity v: green when stretched, blue
/// otherwise, on red 100; packed red + 256 * green + 65536 * blue, each
/// component held to 0..255 (a negative intensity only comes from a negative
/// stiffness, and draws as none).
inline std::int32_t springColour(bool stretched, int v)
{
    const int c = v > 255 ? 255 : (v < 0 ? 0 : v);
    return SpringRed + (stretched ? 256 * c : 65536 * c);
}

} // namespace drawing
