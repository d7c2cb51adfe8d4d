#include "controltexts.h"

#include <cmath>

namespace texts {

std::string shownMass(double mass)
{
    if (!std::isfinite(mass))
        return std::isnan(mass) ? "nan" : mass < 0 ? "-inf" : "inf";
    int exponent = 0;
    for (; std::fabs(mass) >= 1e12; ++exponent)
        mass /= 10;
    const long long millionths = std::llround(std::fabs(mass) * 1e6);
    std::string shown = (mass < 0 && millionths != 0 ? "-" : "") + std::to_string(millionths / 1000000);
    if (const std::string fraction = std::to_string(1000000 + millionths % 1000000).substr(1); fraction != "000000")
        shown += '.' + fraction.substr(0, fraction.find_last_not_of('0') + 1);
    return exponent == 0 ? shown : shown + "e+" + std::to_string(exponent);
}

std::string massTip(int value, double mass)
{
    const std::string tip = "Mass of the top-left mass: ";
    if (mass == value)
        return tip + std::to_string(value);
    return tip + shownMass(mass) + " since New Simulation; move the bar to set it";
}

std::string radiusTip(int value)
{
    return "Cutting radius: " + std::to_string(value) + " twips";
}

std::string runtimeErrorMessage(int number, std::string_view description)
{
    return "Run-time error '" + std::to_string(number) + "':\n\n" + std::string(description);
}

} // namespace texts
