#include "pace.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr std::int64_t NanosecondsPerSecond = 1'000'000'000;

} // namespace

Pace::Pace(int stepsPerSecond, std::int64_t grace, std::int64_t clockStep)
    : m_stepsPerSecond(stepsPerSecond), m_grace(grace), m_clockStep(clockStep)
{
    if (stepsPerSecond < MinStepsPerSecond || stepsPerSecond > MaxStepsPerSecond)
        throw std::invalid_argument("a pace is a whole number of frames a second from 1 to 100000");
    if (grace < 0 || clockStep < 0)
        throw std::invalid_argument("a pace's grace and clock step are not negative");
}

std::int64_t Pace::dueSinceStart(std::int64_t k) const
{
    // Worked out in integers, without overflowing for any k a run reaches.
    const std::int64_t n = m_stepsPerSecond;
    return k / n * NanosecondsPerSecond + k % n * NanosecondsPerSecond / n;
}

std::int64_t Pace::firstDueAfter(std::int64_t sinceStart) const
{
    if (sinceStart < 0)
        return 0;
    const std::int64_t n = m_stepsPerSecond;
    // Within a frame of the answer; the loop settles the rounding.
    std::int64_t k = sinceStart / NanosecondsPerSecond * n + sinceStart % NanosecondsPerSecond * n / NanosecondsPerSecond;
    while (dueSinceStart(k) <= sinceStart)
        ++k;
    return k;
}

void Pace::start(std::int64_t now)
{
    m_start = now;
    m_awaited = 0;
}

bool Pace::due(std::int64_t now) const
{
    return wait(now) == 0;
}

void Pace::ran(std::int64_t now)
{
    // Frames that fell due within the grace are still awaited, one after
    // another, and so made up; those before it are left out. A frame that has
    // run is never awaited again.
    m_awaited = std::max(m_awaited + 1, firstDueAfter(now - m_start - m_grace));
}

std::int64_t Pace::wait(std::int64_t now) const
{
    return std::max<std::int64_t>(0, dueAt() - m_clockStep - now);
}

std::int64_t Pace::dueAt() const
{
    return m_start + dueSinceStart(m_awaited);
}

void Pace::resume(std::int64_t now)
{
    m_start = now - dueSinceStart(m_awaited);
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
