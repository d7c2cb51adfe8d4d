// The program both front ends run: the end is told once, at the moment it
// comes, and nothing runs after Exit or a run-time error; what to put on the screen keeps the screen equal to the picture
// while putting nothing where the picture repeats it, the tips, and the form
// and texts by name. Runs natively and in the browser build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "support.h"
#include "core/controltexts.h"
#include "core/form.h"
#include "core/program.h"

namespace {

using Rect = PixelPicture::Rect;

/// A program whose end handler counts the ends it is told of, and checks that
/// each is told when the program has ended, with nothing running from inside.
struct Told {
    int ends = 0;
    Program program;

    explicit Told(PixelPicture::Channels channels = PixelPicture::Channels::Rgbx, std::optional<Pace> pace = {})
        : program(channels, std::move(pace), [this] {
              ++ends;
              EXPECT_TRUE(program.ended());
              EXPECT_FALSE(program.frame());
              program.exit();
              program.fail(51, "a second failure");
          })
    {
    }
};

/// Every call after the end: none runs, and each says so.
void expectNothingRuns(Program& program)
{
    const double y = program.simulation().Masses(1).Y;
    const auto broken = brokenOwners(program.simulation());
    EXPECT_FALSE(program.frame());
    EXPECT_FALSE(program.newSimulation());
    EXPECT_FALSE(program.massChanged(40));
    EXPECT_FALSE(program.pointerMoved(1, 2400, 2000, 3000));
    EXPECT_FALSE(program.resize(2));
    EXPECT_FALSE(program.load(1));
    EXPECT_EQ(program.massTip(40), "");
    EXPECT_EQ(program.radiusTip(400), "");
    EXPECT_TRUE(program.toPut().empty());
    EXPECT_TRUE(program.ended());
    EXPECT_EQ(program.simulation().Masses(1).Y, y);
    EXPECT_EQ(program.simulation().Masses(1).M, 1.0);
    EXPECT_EQ(brokenOwners(program.simulation()), broken);
}

TEST(Program, TellsItsEndOnceAndRunsNothingAfterExitOrARuntimeError)
{
    Told exited;
    ASSERT_TRUE(exited.program.load(1));
    ASSERT_TRUE(exited.program.frame());
    EXPECT_EQ(exited.ends, 0);
    exited.program.exit();
    EXPECT_EQ(exited.ends, 1);
    expectNothingRuns(exited.program);
    exited.program.exit();
    EXPECT_EQ(exited.program.error(), "");
    EXPECT_EQ(exited.program.errorNumber(), 0);

    // A weightless corner makes the next frame divide 0 by 0.
    Told failed;
    ASSERT_TRUE(failed.program.load(1));
    failed.program.simulation().Masses(1).M = 0;
    EXPECT_FALSE(failed.program.frame());
    EXPECT_EQ(failed.ends, 1);
    EXPECT_EQ(failed.program.errorNumber(), 6);
    EXPECT_EQ(failed.program.error(), "Run-time error '6':\n\nOverflow");
    failed.program.simulation().Masses(1).M = 1;
    expectNothingRuns(failed.program);

    // Before the lattice is built the mass bar has no mass to set; a failure
    // of the front end's own ends the program the same way, and only the
    // first failure is told.
    Told early(PixelPicture::Channels::Xrgb);
    EXPECT_FALSE(early.program.massChanged(10));
    EXPECT_EQ(early.program.error(), "Run-time error '9':\n\nSubscript out of range");
    early.program.fail(51, "cannot set the timer of slow motion");
    EXPECT_EQ(early.program.errorNumber(), 9);
    Told timer(PixelPicture::Channels::Xrgb, Pace(120));
    timer.program.fail(51, "cannot set the timer of slow motion: Invalid argument");
    EXPECT_TRUE(timer.program.ended());
    EXPECT_EQ(timer.program.error(), "Run-time error '51':\n\ncannot set the timer of slow motion: Invalid argument");
    for (const Told* told : {&early, &timer})
        EXPECT_EQ(told->ends, 1);
}

TEST(Program, WhatItPutsKeepsTheScreenThePictureAndPutsNothingForARepeat)
{
    // A screen that takes what toPut() names and nothing else: after each
    // pictureShown() it must hold the picture, through sagging, a cut, a heavy
    // corner, a rebuild, everything falling out and another pixel ratio.
    Told told;
    Program& program = told.program;
    ASSERT_TRUE(program.load(1));
    std::vector<std::uint32_t> screen;
    int puts = 0, repeats = 0;
    for (int frame = 1; frame <= 30000; ++frame) {
        if (frame == 12000)
            program.pointerMoved(1, 2400, 2000, 900);
        if (frame == 13000)
            program.massChanged(80);
        if (frame == 14000)
            program.newSimulation();
        if (frame == 15000)
            program.pointerMoved(1, 4400, 3200, 3000);
        if (frame == 16000)
            program.resize(1.5);
        if (frame == 17000)
            program.newSimulation();
        ASSERT_TRUE(program.frame());
        if (frame % 97 != 0 && frame != 16000)
            continue;
        const PixelPicture& picture = program.picture();
        const std::size_t size = static_cast<std::size_t>(picture.width()) * picture.height();
        if (screen.size() != size)
            screen.assign(size, 0); // black: never the picture's
        const Rect r = program.toPut();
        if (frame == 16000) {
            EXPECT_EQ(r, (Rect{0, 0, picture.width(), picture.height()})) << "another ratio puts all of it";
        }
        for (int y = r.y; y < r.y + r.height; ++y)
            std::copy_n(picture.pixels() + y * picture.width() + r.x, r.width, screen.begin() + y * picture.width() + r.x);
        program.pictureShown(frame * std::int64_t{1000000});
        (r.empty() ? repeats : puts) += 1;
        ASSERT_TRUE(std::equal(screen.begin(), screen.end(), picture.pixels())) << frame;
    }
    // The settled lattice, before the cut and at the end, is put no more.
    EXPECT_GT(repeats, 20);
    EXPECT_GT(puts, 30);
}

TEST(Program, TipsTellTheMassAndRatiosThatAreNoneChangeNothing)
{
    Told told;
    Program& program = told.program;
    EXPECT_EQ(program.massTip(7), "Mass of the top-left mass: 7");
    ASSERT_TRUE(program.load(2));
    ASSERT_TRUE(program.massChanged(10));
    EXPECT_EQ(program.massTip(10), "Mass of the top-left mass: 10");
    ASSERT_TRUE(program.newSimulation());
    EXPECT_EQ(program.massTip(10), "Mass of the top-left mass: 1 since New Simulation; move the bar to set it");
    EXPECT_EQ(program.radiusTip(400), "Cutting radius: 400 twips");
    EXPECT_EQ(texts::massTip(3, 2.5), "Mass of the top-left mass: 2.5 since New Simulation; move the bar to set it");
    EXPECT_EQ(texts::massTip(3, -1.0 / 3), "Mass of the top-left mass: -0.333333 since New Simulation; move the bar to set it");

    for (const double none : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        EXPECT_TRUE(program.resize(none));
    EXPECT_EQ(program.picture().width(), 1362);
    EXPECT_EQ(program.picture().ratio(), 2.0);
    EXPECT_FALSE(program.ended());
}

TEST(Form, DescribesItselfAndEveryTextByName)
{
    const std::string json = form::describe();
    for (const char* part : {"{\"TwipsPerPixel\":15,\"Client\":{\"width\":682,\"height\":559}",
                             "\"Controls\":[\"Picture1\",\"Command2\",\"HScroll1\",\"HScroll2\",\"Command1\"]",
                             "\"Picture1\":{\"left\":0,\"top\":0,\"width\":681,\"height\":505}",
                             "\"HScroll1\":{\"left\":8,\"top\":512,\"width\":505,\"height\":17,\"min\":1,\"max\":80,"
                             "\"value\":1,\"small\":2,\"large\":5}",
                             "\"Caption\":\"Tovek Marlund - Quellith - Click on the structure\"",
                             "\"NewSimulationCaption\":\"New Simulation\""})
        EXPECT_NE(json.find(part), std::string::npos) << part;
    for (const auto& [name, text] : texts::ByName)
        EXPECT_NE(json.find("\"" + std::string(name) + "\":\""), std::string::npos) << name;
}

} // namespace
