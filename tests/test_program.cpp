// The program both front ends run: nothing runs after Exit or a run-time
// error, what to put on the screen keeps the screen equal to the picture
// while putting nothing where the picture repeats it, the tips, and the form
// and texts by name. Runs natively and in the browser build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "support.h"
#include "core/controltexts.h"
#include "core/program.h"

namespace {

using Rect = PixelPicture::Rect;

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
    EXPECT_TRUE(program.changed().empty());
    EXPECT_TRUE(program.ended());
    EXPECT_EQ(program.simulation().Masses(1).Y, y);
    EXPECT_EQ(program.simulation().Masses(1).M, 1.0);
    EXPECT_EQ(brokenOwners(program.simulation()), broken);
}

TEST(Program, NothingRunsAfterExitOrARuntimeError)
{
    Program exited(PixelPicture::Channels::Rgbx, std::nullopt);
    ASSERT_TRUE(exited.load(1));
    ASSERT_TRUE(exited.frame());
    exited.exit();
    expectNothingRuns(exited);
    EXPECT_EQ(exited.error(), "");
    EXPECT_EQ(exited.errorNumber(), 0);

    // A weightless corner makes the next frame divide 0 by 0.
    Program failed(PixelPicture::Channels::Rgbx, std::nullopt);
    ASSERT_TRUE(failed.load(1));
    failed.simulation().Masses(1).M = 0;
    EXPECT_FALSE(failed.frame());
    EXPECT_EQ(failed.errorNumber(), 6);
    EXPECT_EQ(failed.error(), "Run-time error '6':\n\nOverflow");
    failed.simulation().Masses(1).M = 1;
    expectNothingRuns(failed);

    // Before the lattice is built the mass bar has no mass to set; a failure
    // of the front end's own ends the program the same way, and only the
    // first failure is told.
    Program early(PixelPicture::Channels::Xrgb, std::nullopt);
    EXPECT_FALSE(early.massChanged(10));
    EXPECT_EQ(early.error(), "Run-time error '9':\n\nSubscript out of range");
    early.fail(51, "cannot set the timer of slow motion");
    EXPECT_EQ(early.errorNumber(), 9);
    Program timer(PixelPicture::Channels::Xrgb, Pace(120));
    timer.fail(51, "cannot set the timer of slow motion: Invalid argument");
    EXPECT_TRUE(timer.ended());
    EXPECT_EQ(timer.error(), "Run-time error '51':\n\ncannot set the timer of slow motion: Invalid argument");
}

TEST(Program, WhatItPutsKeepsTheScreenThePictureAndPutsNothingForARepeat)
{
    // A screen that takes what changed() names and nothing else: after each
    // shown() it must hold the picture, through sagging, a cut, a heavy
    // corner, a rebuild, everything falling out and another pixel ratio.
    Program program(PixelPicture::Channels::Rgbx, std::nullopt);
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
        const Rect r = program.changed();
        if (frame == 16000) {
            EXPECT_EQ(r, (Rect{0, 0, picture.width(), picture.height()})) << "another ratio puts all of it";
        }
        for (int y = r.y; y < r.y + r.height; ++y)
            std::copy_n(picture.pixels() + y * picture.width() + r.x, r.width, screen.begin() + y * picture.width() + r.x);
        program.shown();
        (r.empty() ? repeats : puts) += 1;
        ASSERT_TRUE(std::equal(screen.begin(), screen.end(), picture.pixels())) << frame;
    }
    // The settled lattice, before the cut and at the end, is put no more.
    EXPECT_GT(repeats, 20);
    EXPECT_GT(puts, 30);
}

TEST(Program, TipsTellTheMassAndRatiosThatAreNoneChangeNothing)
{
    Program program(PixelPicture::Channels::Rgbx, std::nullopt);
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

TEST(Program, DescribesTheFormAndEveryTextByName)
{
    const std::string json = Program(PixelPicture::Channels::Rgbx, std::nullopt).describe();
    for (const char* part : {"{\"TwipsPerPixel\":15,\"Client\":{\"width\":682,\"height\":559}",
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
