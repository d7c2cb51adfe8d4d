#include "checked.h"

namespace checked {

void raise(int number)
{
    throw RuntimeError(number);
}

std::int16_t toInt16(double value)
{
    // nearbyint rounds in the current mode, which the program never changes
    // from round-to-nearest-even.
    const double whole = std::nearbyint(value);
    if (!(whole >= -32768.0 && whole <= 32767.0))
        raise(ErrorNumber::Overflow);
    return static_cast<std::int16_t>(whole);
}

} // namespace checked
