#pragma once

#include <functional>
#include <optional>
#include <string>

#include "description.h"
#include "pace.h"
#include "pixelpicture.h"
#include "screen.h"
#include "simulation.h"

/// The program that both front ends run: the lattice, its picture, what the
/// screen shows of it, slow motion's pace, and whether the program has ended
/// and why. The window and the page hand it the user's events by the same
/// names, put on the screen what it says is to be put, and show its run-time
/// error in their own dialog.
///
/// Every call that runs the lattice's or the picture's code goes through one
/// failure rule: a run-time error, running out of memory or any other failure
/// ends the program with a numbered error. The end is told once, at the
/// moment it comes, through the front end's end handler: after Exit, after
/// the first failure in any call, or after the front end's own fail(). A
/// call returns false (or nothing) once the program has ended, and after the
/// end nothing runs: no frame and no handler.
class Program {
public:
    /// What the front end does when the program ends: stop its frames and
    /// its input, and show the run-time error, which error() and
    /// errorNumber() tell, or after Exit close. Called once, from inside the
    /// call that ended the program; every call made from it returns at once.
    using EndHandler = std::function<void()>;

    /// The window's picture is Xrgb, the page's Rgbx; pace is slow motion's,
    /// where asked for; ended is told of the end.
    Program(PixelPicture::Channels channels, std::optional<Pace> pace, EndHandler ended);

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

    /// What of the picture is to be put on the screen: where it differs from
    /// what the screen shows; empty when nothing does (a settled lattice
    /// draws the picture the screen shows) and once ended.
    PixelPicture::Rect toPut();
    /// News from the front end: the screen shows the picture now, at now
    /// (nanoseconds on the front end's clock, which only ever goes forward).
    /// The lattice's words are counted then, and told where they are due.
    void pictureShown(std::int64_t now);
    const PixelPicture& picture() const { return m_picture; }

    /// What the front end does with the lattice's words, for a screen
    /// reader: the summary where it has changed, the account of the latest
    /// changes where there is a new one (each empty otherwise). Called from
    /// pictureShown, once the lattice has settled after a change or every
    /// Description::Interval while it moves.
    using DescribedHandler = std::function<void(const Description::Words&)>;
    void describeTo(DescribedHandler described) { m_describedHandler = std::move(described); }

    /// For tests and probes; a front end learns of the end from its handler.
    bool ended() const { return m_ended; }
    /// The run-time error's message; empty after Exit.
    const std::string& error() const { return m_error; }
    /// The run-time error's number; 0 while the program runs and after Exit.
    int errorNumber() const { return m_errorNumber; }
    /// A failure of the front end's own (a timer it cannot set) ends the
    /// program as a run-time error does.
    void fail(int number, const std::string& description);

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
    /// The program ends: the error's number and message (0 and none after
    /// Exit), then the front end is told.
    void end(int number, std::string message);

    Simulation m_simulation;
    PixelPicture m_picture;
    Screen m_screen;
    Description m_description;
    std::optional<Pace> m_pace;
    EndHandler m_endHandler;
    DescribedHandler m_describedHandler;
    bool m_ended = false;
    int m_errorNumber = 0;
    std::string m_error;
};
