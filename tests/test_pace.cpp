// Slow motion's decisions against a clock the test holds: when a frame is
// due, what a late frame makes up, that a stall brings no burst, and that a
// page shown again goes on from the frame it awaited. The window runs with no
// grace, the page with 20 ms and its clock's step. Runs natively and in the
// browser build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "core/pace.h"

namespace {

constexpr std::int64_t Ms = 1'000'000;
constexpr std::int64_t Second = 1000 * Ms;
constexpr int Paces[] = {1, 120, 1000, 10000, 100000};

/// A front end's loop: whenever its clock reads `now` it runs every frame
/// that is due, each taking no time, and returns how many it ran.
int runDue(Pace& pace, std::int64_t now)
{
    int ran = 0;
    for (; pace.due(now); ++ran)
        pace.ran(now);
    return ran;
}

TEST(Pace, FrameKIsDueAtKOverNAndNotANanosecondBefore)
{
    for (const int n : Paces) {
        SCOPED_TRACE(n);
        Pace pace(n);
        const std::int64_t start = 7 * Second + 3;
        pace.start(start);
        // Frame k at k * 10^9 / N rounded down, far into a run as well.
        for (const std::int64_t k : {std::int64_t{1}, std::int64_t{n} - 1, std::int64_t{n}, 3 * std::int64_t{n} + 7,
                                     std::int64_t{9'000'000'000} / n * n + n / 3})
            EXPECT_EQ(pace.dueSinceStart(k), k * Second / n) << k;
        // A loop woken exactly when each frame is due runs it then, one at a time.
        for (std::int64_t k = 0; k < 2 * n + 5 && k < 5000; ++k) {
            const std::int64_t at = start + k * Second / n;
            ASSERT_EQ(pace.dueAt(), at);
            ASSERT_FALSE(pace.due(at - 1)) << k;
            ASSERT_EQ(pace.wait(at - 1), 1);
            ASSERT_EQ(runDue(pace, at), 1) << k;
            ASSERT_EQ(pace.wait(at), (k + 1) * Second / n - k * Second / n);
        }
    }
}

TEST(Pace, FramesLateWithinTheGraceAreMadeUpAndALongerStallBringsNoBurst)
{
    // At 120 a second frames 1 and 2 fall due by 18 ms. The page, with 20 ms
    // of grace, makes both up; the window, with none, leaves frame 2 out.
    Pace page(120, 20 * Ms), window(120);
    for (Pace* pace : {&page, &window}) {
        pace->start(0);
        EXPECT_EQ(runDue(*pace, 0), 1);
    }
    EXPECT_EQ(runDue(page, 18 * Ms), 2);
    EXPECT_EQ(page.awaited(), 3);
    EXPECT_EQ(runDue(window, 18 * Ms), 1);
    EXPECT_EQ(window.awaited(), 3);

    for (const int n : Paces) {
        SCOPED_TRACE(n);
        for (const std::int64_t grace : {std::int64_t{0}, 20 * Ms}) {
            Pace pace(n, grace);
            pace.start(0);
            runDue(pace, 0);
            // Stalled 300 ms, or two frames at 1 a second: the late frame and no
            // more than the grace's, then the pace again from there.
            const std::int64_t stall = std::max(300 * Ms, 2 * Second / n) + 1;
            const int burst = runDue(pace, stall);
            EXPECT_GE(burst, 1);
            EXPECT_LE(burst, grace * n / Second + 2) << grace;
            EXPECT_GT(pace.dueAt(), stall);
            EXPECT_LE(pace.dueAt(), stall + Second / n);
        }
    }
}

TEST(Pace, KeepsItsPaceOnAJitteringClockAndAStepClockRunsAStepEarlyAtMost)
{
    std::mt19937 random(12345);
    for (const int n : Paces) {
        SCOPED_TRACE(n);
        // Woken up to 15 ms late, within the page's grace: every frame due
        // by then has run, and none before its time, so the count never drifts.
        Pace pace(n, 20 * Ms);
        pace.start(0);
        std::int64_t frames = 0;
        for (std::int64_t now = 0; now < 3 * Second;
             now = pace.dueAt() + std::uniform_int_distribution<std::int64_t>(0, 15 * Ms)(random)) {
            frames += runDue(pace, now);
            ASSERT_EQ(frames, pace.awaited());
            ASSERT_GT(pace.dueAt(), now);
        }
        EXPECT_GT(frames, 2 * n);

        // A clock that moves by whole milliseconds runs a frame once it reads
        // within a step of its time, never earlier.
        Pace stepped(n, 20 * Ms, Ms);
        stepped.start(0);
        for (std::int64_t reading = 0; reading < 50 * Ms; reading += Ms) {
            const std::int64_t awaited = stepped.awaited();
            const int ran = runDue(stepped, reading);
            if (ran > 0)
                ASSERT_LE(stepped.dueSinceStart(awaited + ran - 1), reading + Ms);
            ASSERT_GT(stepped.dueAt(), reading + Ms);
        }
    }
}

TEST(Pace, APageShownAgainGoesOnFromTheFrameItAwaited)
{
    Pace pace(50, 20 * Ms);
    pace.start(0);
    for (std::int64_t now = 0; now <= 100 * Ms; now += 20 * Ms)
        EXPECT_EQ(runDue(pace, now), 1);
    ASSERT_EQ(pace.awaited(), 6);
    // Hidden at 110 ms, shown at 5 s: frame 6 at once, the next 20 ms later.
    pace.resume(5 * Second);
    EXPECT_EQ(pace.wait(5 * Second), 0);
    EXPECT_EQ(runDue(pace, 5 * Second), 1);
    EXPECT_EQ(pace.wait(5 * Second), 20 * Ms);
    EXPECT_EQ(runDue(pace, 5 * Second + 20 * Ms), 1);
}

TEST(Pace, ReadsAWholeNumberInItsRange)
{
    int steps = 0;
    for (const char* bad : {"", "0", "100001", "abc", "1.5", "-3", "+3", " 3", "1234567890"})
        EXPECT_FALSE(Pace::read(bad, steps)) << bad;
    for (const int n : Paces) {
        ASSERT_TRUE(Pace::read(std::to_string(n), steps));
        EXPECT_EQ(steps, n);
    }
    EXPECT_THROW(Pace(0), std::invalid_argument);
    EXPECT_THROW(Pace(100001), std::invalid_argument);
}

} // namespace
