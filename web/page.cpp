// The page's side of the program: the entry points that the page's script
// calls from the browser's events, each the program's call of the same name.
// Those that run the program's code return 0 when it ran, or else the number
// of the run-time error that has ended the program. The end itself is told to
// the script once, at the moment it comes, through the function it gave the
// core when it made it (programEnded); so are the lattice's words for a
// screen reader, when they are due (described).
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "core/pace.h"
#include "core/program.h"
#include "page.h"

namespace {

// The script's own reaction to the end: it stops its frames and its input,
// and shows the run-time error or that the program has ended.
EM_JS(void, tellScriptEnded, (), { Module["programEnded"](); });
// The lattice's new words for a screen reader: its summary, and the account
// of the latest changes; each empty where it is not new.
EM_JS(void, tellScriptDescribed, (const char* summary, const char* account),
      { Module["described"](UTF8ToString(summary), UTF8ToString(account)); });

void describedToScript(const Description::Words& words)
{
    tellScriptDescribed(words.summary.c_str(), words.account.c_str());
}

struct Page {
    /// Made at the first call, or with its pace when the address asks for one.
    std::optional<Program> program;
    /// The last text handed to the script; it stays valid until the next.
    std::string text;
    /// The rectangle toPut() last gave, for the script to read.
    int toPut[4] = {};
};

Page& page()
{
    static Page instance;
    return instance;
}

/// The program, at full speed or at a pace, that tells the script its end
/// and its lattice's words.
Program& make(std::optional<Pace> pace)
{
    Program& made = page().program.emplace(PixelPicture::Channels::Rgbx, std::move(pace), tellScriptEnded);
    made.describeTo(describedToScript);
    return made;
}

/// Not inlined: every entry point calls it.
[[gnu::noinline]] Program& program()
{
    std::optional<Program>& p = page().program;
    return p ? *p : make(std::nullopt);
}

/// 0 when the call ran, or nothing may run any more after Exit; else the
/// number of the run-time error that has ended the program.
int outcome(bool ran)
{
    return ran ? 0 : program().errorNumber();
}

const char* handOver(std::string text)
{
    page().text = std::move(text);
    return page().text.c_str();
}

/// Milliseconds on the page's clock, in whole nanoseconds.
std::int64_t nanoseconds(double milliseconds)
{
    return static_cast<std::int64_t>(std::floor(milliseconds * 1e6));
}

} // namespace

Simulation& pageSimulation()
{
    return program().simulation();
}

extern "C" {

/// Takes the pace the address asks for, with the page's grace and its
/// clock's step in milliseconds: "" when it is one, else what is wrong with
/// it, in the words of the program's other errors. Before the load.
EMSCRIPTEN_KEEPALIVE const char* springlattice_set_pace(const char* value, double grace, double step)
{
    int steps = 0;
    if (!Pace::read(value, steps))
        return handOver("steps-per-second takes " + Pace::wanted() + ", not '" + value + "'.");
    make(Pace(steps, nanoseconds(grace), nanoseconds(step)));
    return handOver({});
}

EMSCRIPTEN_KEEPALIVE int springlattice_load(double ratio)
{
    return outcome(program().load(ratio));
}

EMSCRIPTEN_KEEPALIVE int springlattice_frame()
{
    return outcome(program().frame());
}

EMSCRIPTEN_KEEPALIVE int springlattice_new_simulation()
{
    return outcome(program().newSimulation());
}

EMSCRIPTEN_KEEPALIVE int springlattice_mass_changed(int value)
{
    return outcome(program().massChanged(value));
}

EMSCRIPTEN_KEEPALIVE int springlattice_pointer_moved(int button, float x, float y, int radius)
{
    return outcome(program().pointerMoved(button, x, y, radius));
}

EMSCRIPTEN_KEEPALIVE void springlattice_exit()
{
    program().exit();
}

/// The picture at another pixel ratio; springlattice_width and _height tell
/// its size.
EMSCRIPTEN_KEEPALIVE int springlattice_resize(double ratio)
{
    return outcome(program().resize(ratio));
}

EMSCRIPTEN_KEEPALIVE const char* springlattice_mass_tip(int value)
{
    return handOver(program().massTip(value));
}

EMSCRIPTEN_KEEPALIVE const char* springlattice_radius_tip(int value)
{
    return handOver(program().radiusTip(value));
}

/// What of the picture is to be put on the canvas: (x, y, width, height),
/// all 0 when nothing is.
EMSCRIPTEN_KEEPALIVE const int* springlattice_to_put()
{
    const PixelPicture::Rect r = program().toPut();
    int* const out = page().toPut;
    const bool empty = r.empty();
    out[0] = empty ? 0 : r.x;
    out[1] = empty ? 0 : r.y;
    out[2] = empty ? 0 : r.width;
    out[3] = empty ? 0 : r.height;
    return out;
}

/// The canvas shows the picture now, at now, milliseconds on the page's clock.
EMSCRIPTEN_KEEPALIVE void springlattice_picture_shown(double now)
{
    program().pictureShown(nanoseconds(now));
}

/// The picture's pixels and its size in device pixels.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* springlattice_pixels()
{
    return program().picture().pixels();
}

EMSCRIPTEN_KEEPALIVE int springlattice_width()
{
    return program().picture().width();
}

EMSCRIPTEN_KEEPALIVE int springlattice_height()
{
    return program().picture().height();
}

/// The run-time error's message; empty after Exit.
EMSCRIPTEN_KEEPALIVE const char* springlattice_error()
{
    return program().error().c_str();
}

/// Slow motion's decisions, at `now`, milliseconds on the page's clock:
/// frame 0 is due now; whether a frame is due; a frame has run; how long
/// until the next is due; after a hidden time, the frame awaited is due now.
EMSCRIPTEN_KEEPALIVE void springlattice_pace_start(double now)
{
    program().pace()->start(nanoseconds(now));
}

EMSCRIPTEN_KEEPALIVE int springlattice_pace_due(double now)
{
    return program().pace()->due(nanoseconds(now)) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void springlattice_pace_ran(double now)
{
    program().pace()->ran(nanoseconds(now));
}

EMSCRIPTEN_KEEPALIVE double springlattice_pace_wait(double now)
{
    return static_cast<double>(program().pace()->wait(nanoseconds(now))) / 1e6;
}

EMSCRIPTEN_KEEPALIVE void springlattice_pace_resume(double now)
{
    program().pace()->resume(nanoseconds(now));
}

} // extern "C"
