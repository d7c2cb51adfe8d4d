#pragma once

// Floating-point arithmetic of the physics, each operation rounded to double
// and then tested: an infinite or NaN result is a run-time error instead of a
// value that would spread silently through the lattice. Testing the result
// for finiteness catches overflow and invalid operations alike, without
// touching the process-wide floating-point environment.

#include <cmath>
#include <cstdint>

#include "runtime_error.h"

namespace checked {

[[noreturn, gnu::cold, gnu::noinline]] void raise(int number);

/// The result of one operation, or error 6 when it is infinite or NaN.
inline double finite(double r)
{
    if (!std::isfinite(r)) [[unlikely]]
        raise(ErrorNumber::Overflow);
    return r;
}

inline double add(double a, double b) { return finite(a + b); }
inline double sub(double a, double b) { return finite(a - b); }
inline double mul(double a, double b) { return finite(a * b); }

/// a / b: a non-zero value over zero is error 11; 0 / 0 is an invalid
/// operation and, like every other invalid result, error 6.
inline double div(double a, double b)
{
    if (b == 0.0) [[unlikely]]
        raise(a == 0.0 || std::isnan(a) ? ErrorNumber::Overflow : ErrorNumber::DivisionByZero);
    return finite(a / b);
}

/// Rounds to the nearest whole number, a half going to the even neighbour,
/// as a 16-bit integer; a value outside -32768..32767 is error 6.
std::int16_t toInt16(double value);

} // namespace checked
