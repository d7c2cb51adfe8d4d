#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// Slow motion's clock, and every decision it makes for a front end that
/// reads its own clock: whether a frame is due, how long to wait for the
/// next, and which frame to await once one has run.
///
/// At N frames a second, frame k is due k/N seconds after the start, so the
/// pace does not drift. A frame that runs late by no more than the grace
/// leaves the frames that fell due meanwhile due at once, so that they are
/// made up; after a longer stall they are left out, and the next frame is the
/// first one due after the stall less the grace, so no burst follows it.
/// A clock that moves in steps may run a frame up to one step before its
/// time. Times are nanoseconds on the front end's clock.
class Pace {
public:
    /// The slowest and the fastest pace a user can ask for, in frames a second.
    static constexpr int MinStepsPerSecond = 1;
    static constexpr int MaxStepsPerSecond = 100000;

    /// stepsPerSecond from MinStepsPerSecond to MaxStepsPerSecond; grace and
    /// clockStep in nanoseconds, neither negative. The clock starts at 0.
    explicit Pace(int stepsPerSecond, std::int64_t grace = 0, std::int64_t clockStep = 0);

    int stepsPerSecond() const { return static_cast<int>(m_stepsPerSecond); }
    /// Time of frame k since the start: k * 10^9 / N, rounded down.
    std::int64_t dueSinceStart(std::int64_t k) const;

    /// Frame 0 is due at `now`, and awaited.
    void start(std::int64_t now);
    /// The awaited frame is due at `now`.
    bool due(std::int64_t now) const;
    /// The awaited frame has run, and the time is `now`: the next one is awaited.
    void ran(std::int64_t now);
    /// How long from `now` until the awaited frame is due; 0 once it is.
    std::int64_t wait(std::int64_t now) const;
    /// The time the awaited frame is due, on the front end's clock.
    std::int64_t dueAt() const;
    /// The frame awaited, counted from 0.
    std::int64_t awaited() const { return m_awaited; }
    /// After a time in which no frame could run (a hidden page), the pace
    /// goes on from the frame awaited, which is due at `now`.
    void resume(std::int64_t now);

    /// Reads a pace written in decimal digits alone; false unless it is a
    /// whole number from the slowest to the fastest.
    static bool read(std::string_view text, int& stepsPerSecond);
    /// What a pace must be, as the errors about it say.
    static std::string wanted();

private:
    /// The first frame due after `sinceStart`.
    std::int64_t firstDueAfter(std::int64_t sinceStart) const;

    std::int64_t m_stepsPerSecond;
    std::int64_t m_grace;
    std::int64_t m_clockStep;
    /// The time of frame 0, and the frame awaited.
    std::int64_t m_start = 0;
    std::int64_t m_awaited = 0;
};
