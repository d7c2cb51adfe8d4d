// The lattice in words for a screen reader: what is said of the fresh
// lattice, a cut and the heavy corner, and when it is said, on a clock the
// test holds. Runs natively and in the browser build.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/program.h"

namespace {

constexpr std::int64_t Millisecond = 1000000;

const std::string Fresh = "All 117 springs hold, and all 48 masses are in the picture. The most loaded spring, at the "
                          "bottom-left corner, is at 6 % of its breaking force. The lattice has settled.";

/// A program whose words are kept as they are told, with the time of each,
/// and a clock the test moves a frame at a time.
struct Described : ::testing::Test {
    struct Told {
        std::int64_t at;
        Description::Words words;
    };
    Program program{PixelPicture::Channels::Rgbx, std::nullopt, [] {}};
    std::vector<Told> told;
    std::int64_t now = 0;

    void SetUp() override
    {
        program.describeTo([this](const Description::Words& words) { told.push_back({now, words}); });
        ASSERT_TRUE(program.load(1));
    }

    /// Frames, each a frame long on the clock, a picture shown after every
    /// showEvery of them.
    void run(int frames, std::int64_t frame = Millisecond, int showEvery = 16)
    {
        for (int k = 1; k <= frames; ++k) {
            ASSERT_TRUE(program.frame());
            now += frame;
            if (k % showEvery == 0)
                program.pictureShown(now);
        }
    }
    std::string summary() const
    {
        for (auto t = told.rbegin(); t != told.rend(); ++t)
            if (!t->words.summary.empty())
                return t->words.summary;
        return {};
    }
    std::string account() const
    {
        for (auto t = told.rbegin(); t != told.rend(); ++t)
            if (!t->words.account.empty())
                return t->words.account;
        return {};
    }
};

TEST_F(Described, TheFreshLatticeACutAndTheHeavyCorner)
{
    run(12000);
    EXPECT_EQ(summary(), Fresh);
    EXPECT_EQ(account(), "") << "nothing the user did";

    ASSERT_TRUE(program.pointerMoved(1, 4000, 1400, 400));
    run(12000);
    EXPECT_EQ(account(), "3 springs cut near the top middle. 114 of 117 springs hold.");
    EXPECT_EQ(summary(), "114 of 117 springs hold, and all 48 masses are in the picture. The most loaded spring, at the "
                         "bottom-left corner, is at 6 % of its breaking force. The lattice has settled.");

    // Rebuilt, the lattice is described as it was at the start. Right after
    // the rebuild, and after a new weight, it is at rest but not settled: a
    // picture shown before the next frame tells nothing.
    ASSERT_TRUE(program.newSimulation());
    const std::size_t before = told.size();
    program.pictureShown(now += Millisecond);
    EXPECT_EQ(told.size(), before);
    run(12000);
    EXPECT_EQ(account(), "New Simulation: all 117 springs hold.");
    EXPECT_EQ(summary(), Fresh);

    ASSERT_TRUE(program.massChanged(80));
    program.pictureShown(now += Millisecond);
    run(20000);
    EXPECT_EQ(account(), "The top-left mass weighs 80: 3 springs broke at the top-left corner; 1 mass fell out of "
                         "the picture. 114 of 117 springs hold.");
    EXPECT_EQ(summary(), "114 of 117 springs hold; 47 of 48 masses are in the picture. The top-left mass weighs 80. "
                         "The most loaded spring, at the bottom-right corner, is at 6 % of its breaking force. The "
                         "lattice has settled.");

    // A bar that moves with nothing breaking is told with its weight.
    ASSERT_TRUE(program.newSimulation());
    ASSERT_TRUE(program.massChanged(40));
    run(12000);
    EXPECT_EQ(account(), "New Simulation. The top-left mass weighs 40: no spring broke.");
}

TEST_F(Described, ToldOnceSettledOrEveryTwoSecondsWhileItMovesAndNeverTwiceTheSame)
{
    // Slow motion at 100 frames a second, a picture for every frame: the
    // fresh lattice takes well over two seconds to settle.
    run(20000, 10 * Millisecond, 1);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back().words.summary, Fresh);
    ASSERT_TRUE(program.massChanged(40));
    // Frames alone tell nothing: only a picture shown counts, and the two
    // seconds run from the first picture after the change.
    const std::size_t before = told.size();
    run(500, 10 * Millisecond, 1000);
    EXPECT_EQ(told.size(), before);
    const std::int64_t firstPicture = now + 10 * Millisecond;
    run(300, 10 * Millisecond, 1);
    ASSERT_GT(told.size(), before);
    EXPECT_EQ(told[before].words.account, "The top-left mass weighs 40: no spring broke.");
    EXPECT_EQ(told[before].at, firstPicture + Description::Interval);
    run(20000, 10 * Millisecond, 1);
    EXPECT_NE(summary().find("The top-left mass weighs 40."), std::string::npos) << summary();
    EXPECT_NE(summary().find("The lattice has settled."), std::string::npos) << summary();

    for (std::size_t i = 1; i < told.size(); ++i) {
        const Told& last = told[i - 1];
        const Told& next = told[i];
        // While it moves, at most one telling every two seconds.
        if (next.words.summary.find("still moving") != std::string::npos || next.words.summary.empty()) {
            EXPECT_GE(next.at - last.at, Description::Interval) << i;
        }
        EXPECT_FALSE(next.words.summary.empty() && next.words.account.empty()) << i;
        EXPECT_NE(next.words.summary, last.words.summary.empty() ? "" : last.words.summary) << i;
    }
    std::vector<std::string> accounts;
    for (const Told& t : told)
        if (!t.words.account.empty())
            accounts.push_back(t.words.account);
    for (std::size_t i = 1; i < accounts.size(); ++i)
        EXPECT_NE(accounts[i], accounts[i - 1]) << i;
}

} // namespace
