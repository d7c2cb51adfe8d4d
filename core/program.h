#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pace.h"
#include "pixelpicture.h"
#include "simulation.h"

/// The program that both front ends run: the lattice, its picture, slow
/// motion's pace, and whether the program has ended and why. The window and
/// the page hand it the user's events by the same names, put on the screen
/// what it says has changed, and show its run-time error in their own dialog.
///
/// Every call that runs the lattice's or the picture's code goes through one
/// failure rule: a run-time error, running out of memory or any other failure
/// ends the program with a numbered error. A call returns false (or nothing)
/// once the program has ended, and after the end nothing runs: no frame and
/// no handler.
class Program {
public:
    /// The window's picture is Xrgb, the page's Rgbx; pace is slow motion's,
    /// where asked for.
    Program(PixelPicture::Channels channels, std::optional<Pace> pace);

    /// Sizes the picture at the pixel ratio and builds the lattice.
    bool load(double pixelRatio);
    /// One frame: clear, then the force, draw and move passes.
    bool frame();
    /// "New Simulation": the lattice anew, at rest.
    bool newSimulation();
    /// The mass bar moved to value.
    bool massChanged(int value);
    /// The pointer moved over the picture: button mask 1 left, 2 right,
    /// 4 middle; position in twips; the radius bar's value.
    bool pointerMoved(int button, float x, float y, int radius);
    /// "Exit", or the window closed: nothing runs any more.
    void exit();
    /// The picture at another pixel ratio; picture() tells its new size. A
    /// ratio that is not a positive number leaves the picture as it is.
    bool resize(double pixelRatio);
    /// The bars' tips with their values; empty once ended. The mass bar's
    /// tells when New Simulation has made the top-left mass something else.
    std::string massTip(int value);
    std::string radiusTip(int value);

    /// What of the picture differs from what the screen shows: empty when
    /// nothing does (a settled lattice draws the picture the screen shows).
    PixelPicture::Rect changed();
    /// The screen shows the picture now.
    void shown();
    const PixelPicture& picture() const { return m_picture; }

    bool ended() const { return m_ended; }
    /// The run-time error's message; empty after Exit.
    const std::string& error() const { return m_error; }
    /// The run-time error's number; 0 while the program runs and after Exit.
    int errorNumber() const { return m_errorNumber; }
    /// A failure of the front end's own (a timer it cannot set) ends the
    /// program as a run-time error does.
    void fail(int number, const std::string& description);

    /// The form and the texts, by name, as JSON: the client area, each
    /// control's rectangle in logical pixels, the scroll bars' settings, the
    /// twips a pixel, and every text a front end shows.
    std::string describe() const;
    /// For tests and probes: read what the lattice is.
    Simulation& simulation() { return m_simulation; }
    /// Slow motion's clock and decisions, where a pace was asked for: which
    /// frames are due and how long to wait, asked on the front end's clock.
    Pace* pace() { return m_pace ? &*m_pace : nullptr; }

private:
    /// Runs the action under the failure rule; false once ended, or when it
    /// failed and so ended the program.
    template <typename Action>
    bool run(Action&& action);
    /// The screen shows nothing known of the picture: all of it is to be put.
    void screenUnknown();
    /// The picture's pixels are those on the screen: the pixels its lines set
    /// and those the screen's lines had set are compared, the rest being
    /// background in both.
    bool repeatsScreen() const;

    Simulation m_simulation;
    PixelPicture m_picture;
    std::optional<Pace> m_pace;
    bool m_loaded = false;
    bool m_ended = false;
    int m_errorNumber = 0;
    std::string m_error;

    /// Pixels where the screen may show something other than the background.
    PixelPicture::Rect m_onScreen;
    /// What the screen shows, where known: its pixels, and those of them the
    /// lines had set.
    bool m_screenKnown = false;
    std::vector<std::uint32_t> m_screen;
    std::vector<std::uint32_t> m_screenSet;
};
