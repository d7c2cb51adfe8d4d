#include "controltexts.h"

#include <cstdio>

namespace texts {

std::string massTip(int value, double mass)
{
    const std::string tip = "Mass of the top-left mass: ";
    if (mass == value)
        return tip + std::to_string(value);
    // The shortest form of the mass, as a number is shown to a person.
    char shown[32];
    std::snprintf(shown, sizeof shown, "%g", mass);
    return tip + shown + " since New Simulation; move the bar to set it";
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
