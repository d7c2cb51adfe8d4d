#include "pace.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr std::int64_t NanosecondsPerSecond = 1'000'000'000;

} // namespace

Pace::Pace(int stepsPerSecond) : m_stepsPerSecond(stepsPerSecond)
{
    if (stepsPerSecond < MinStepsPerSecond || stepsPerSecond > MaxStepsPerSecond)
        throw std::invalid_argument("a pace is a whole number of frames a second from 1 to 100000");
}

std::int64_t Pace::dueSinceStart(std::int64_t k) const
{
    // Worked out in integers, without overflowing for any k a run reaches.
    const std::int64_t n = m_stepsPerSecond;
    return k / n * NanosecondsPerSecond + k % n * NanosecondsPerSecond / n;
}

std::int64_t Pace::next(std::int64_t ran, std::int64_t now) const
{
    const std::int64_t n = m_stepsPerSecond;
    std::int64_t k = now / NanosecondsPerSecond * n + now % NanosecondsPerSecond * n / NanosecondsPerSecond;
    while (dueSinceStart(k) <= now)
        ++k;
    return std::max(ran + 1, k);
}

bool Pace::read(std::string_view text, int& stepsPerSecond)
{
    // At most nine digits, so that the value cannot overflow.
    if (text.empty() || text.size() > 9)
        return false;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    stepsPerSecond = value;
    return value >= MinStepsPerSecond && value <= MaxStepsPerSecond;
}

std::string Pace::wanted()
{
    return "a whole number of frames a second from " + std::to_string(MinStepsPerSecond) + " to "
           + std::to_string(MaxStepsPerSecond);
}
