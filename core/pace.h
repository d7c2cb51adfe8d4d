#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// Slow motion's clock: at N frames a second, frame k is due k/N seconds
/// after the start, so the pace does not drift. A frame that comes late runs
/// at once, and the frames due meanwhile are not made up: the next is the
/// first one due after it. Times are nanoseconds since the start.
class Pace {
public:
    /// The slowest and the fastest pace a user can ask for, in frames a second.
    static constexpr int MinStepsPerSecond = 1;
    static constexpr int MaxStepsPerSecond = 100000;

    /// stepsPerSecond from MinStepsPerSecond to MaxStepsPerSecond.
    explicit Pace(int stepsPerSecond);

    /// Time of frame k since the start: k * 10^9 / N, rounded down.
    std::int64_t dueSinceStart(std::int64_t k) const;
    /// The frame to wait for after frame `ran` has run and the time is now:
    /// the first one due after now, and never one that has run.
    std::int64_t next(std::int64_t ran, std::int64_t now) const;

    /// Reads a pace written in decimal digits alone; false unless it is a
    /// whole number from the slowest to the fastest.
    static bool read(std::string_view text, int& stepsPerSecond);
    /// What a pace must be, as the errors about it say.
    static std::string wanted();

private:
    std::int64_t m_stepsPerSecond;
};
