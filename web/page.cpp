// The page's side of the program: the few entry points that the page's
// script calls from the browser's events. Each does what the window does for
// the same event: hand it to the simulation, run a frame into the picture's
// pixels, report a run-time error. Everything else is the shared core.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/controltexts.h"
#include "core/failure.h"
#include "core/form.h"
#include "core/pace.h"
#include "core/pixelpicture.h"
#include "core/simulation.h"
#include "page.h"

namespace {

struct Page {
    Simulation simulation;
    PixelPicture picture{PixelPicture::Channels::Rgbx};
    std::optional<Pace> pace;
    /// The lattice is built.
    bool loaded = false;
    /// No frame or handler runs any more: Exit, or a run-time error.
    bool ended = false;
    /// The message of the run-time error that ended the program.
    std::string error;
    /// The last text handed to the script; it stays valid until the next.
    std::string text;
    /// Pixels where the canvas may show something other than the background,
    /// and the rectangle to put on it next, for the script to read.
    PixelPicture::Rect onScreen;
    int changed[4] = {};
    /// What the canvas shows, where known: its pixels, and those of them the
    /// lines had set. A picture equal to it need not be put again.
    std::vector<std::uint32_t> canvas;
    std::vector<std::uint32_t> canvasSet;
    bool canvasKnown = false;
};

Page& page()
{
    static Page instance;
    return instance;
}

/// Runs one frame or handler. 0 when it ran (or nothing may run any more),
/// else the number of the run-time error that has now ended the program.
template <typename Action>
int guarded(Action&& action)
{
    Page& p = page();
    if (p.ended)
        return 0;
    int failed = 0;
    runReportingFailures(action, [&](int number, const std::string& description) {
        p.ended = true;
        p.error = texts::runtimeErrorMessage(number, description);
        failed = number;
    });
    return failed;
}

} // namespace

namespace {

/// The canvas is all background, as the picture is when it has just been sized.
void shownAnew()
{
    Page& p = page();
    p.onScreen = {};
    p.canvas.assign(static_cast<std::size_t>(p.picture.width()) * static_cast<std::size_t>(p.picture.height()),
                    p.picture.background());
    p.canvasSet.clear();
    p.canvasKnown = true;
}

/// Whether the picture's pixels are those on the canvas: the pixels its
/// lines set and those the canvas's lines had set are compared, the rest
/// being background in both.
bool pictureOnCanvas()
{
    Page& p = page();
    if (!p.canvasKnown || !p.picture.setNoted())
        return false;
    const std::uint32_t* const pixels = p.picture.pixels();
    const auto differs = [&](std::uint32_t i) { return pixels[i] != p.canvas[i]; };
    const auto set = p.picture.set();
    return std::none_of(set.begin(), set.end(), differs)
           && std::none_of(p.canvasSet.begin(), p.canvasSet.end(), differs);
}

/// The picture is on the canvas now.
void recordShown()
{
    Page& p = page();
    p.canvasKnown = p.picture.setNoted();
    if (!p.canvasKnown)
        return;
    const std::uint32_t* const pixels = p.picture.pixels();
    const std::uint32_t background = p.picture.background();
    for (const std::uint32_t i : p.canvasSet)
        p.canvas[i] = background;
    const auto set = p.picture.set();
    for (const std::uint32_t i : set)
        p.canvas[i] = pixels[i];
    p.canvasSet.assign(set.begin(), set.end());
}

} // namespace

Simulation& pageSimulation()
{
    return page().simulation;
}

namespace {

/// Milliseconds on the page's clock, in whole nanoseconds.
std::int64_t nanoseconds(double milliseconds)
{
    return static_cast<std::int64_t>(std::floor(milliseconds * 1e6));
}

const char* handOver(std::string text)
{
    page().text = std::move(text);
    return page().text.c_str();
}

/// The texts the page shows, in the order of the numbers the script asks for
/// them by.
constexpr std::string_view Texts[] = {
    texts::Caption,         texts::ProgramName,      texts::ExitCaption,         texts::NewSimulationCaption,
    texts::PictureName,     texts::PictureDescription, texts::PictureTip,        texts::ExitDescription,
    texts::ExitTip,         texts::MassName,         texts::MassDescription,     texts::RadiusName,
    texts::RadiusDescription, texts::NewSimulationDescription, texts::NewSimulationTip,
    texts::PictureDescriptionFinger, texts::PictureTipFinger, texts::RadiusDescriptionFinger,
};

std::string json(const form::Rect& r)
{
    return "\"left\":" + std::to_string(r.left) + ",\"top\":" + std::to_string(r.top) + ",\"width\":"
           + std::to_string(r.width) + ",\"height\":" + std::to_string(r.height);
}

std::string json(const form::ScrollBar& bar)
{
    return json(bar.rect) + ",\"min\":" + std::to_string(bar.min) + ",\"max\":" + std::to_string(bar.max)
           + ",\"value\":" + std::to_string(bar.value) + ",\"small\":" + std::to_string(bar.smallChange)
           + ",\"large\":" + std::to_string(bar.largeChange);
}

} // namespace

extern "C" {

/// The form's layout and the scroll bars' settings, as JSON: the client
/// area's size, each control's rectangle in CSS pixels, and the twips a pixel.
EMSCRIPTEN_KEEPALIVE const char* springlattice_form()
{
    return handOver("{\"TwipsPerPixel\":" + std::to_string(form::TwipsPerPixel) + ",\"Client\":{\"width\":"
                    + std::to_string(form::Client.width) + ",\"height\":" + std::to_string(form::Client.height)
                    + "},\"Picture1\":{" + json(form::Picture1) + "},\"Command2\":{" + json(form::Command2)
                    + "},\"HScroll1\":{" + json(form::HScroll1) + "},\"HScroll2\":{" + json(form::HScroll2)
                    + "},\"Command1\":{" + json(form::Command1) + "}}");
}

/// Sizes the picture at the pixel ratio and builds the lattice.
EMSCRIPTEN_KEEPALIVE int springlattice_load(double ratio)
{
    return guarded([ratio] {
        page().picture.resize(form::Picture1.width, form::Picture1.height, ratio);
        shownAnew();
        page().simulation.Init();
        page().loaded = true;
    });
}

/// The screen's pixel ratio changed: 1 when the picture has new pixels, all
/// background, which the next frame draws on.
EMSCRIPTEN_KEEPALIVE int springlattice_resize(double ratio)
{
    if (!page().picture.resize(form::Picture1.width, form::Picture1.height, ratio))
        return 0;
    // The canvas is made anew as well, all background.
    shownAnew();
    return 1;
}

/// One frame: clear, then the force, draw and move passes.
EMSCRIPTEN_KEEPALIVE int springlattice_frame()
{
    return guarded([] {
        Page& p = page();
        p.picture.Cls();
        p.simulation.Step(p.picture);
    });
}

/// "New Simulation".
EMSCRIPTEN_KEEPALIVE int springlattice_new_simulation()
{
    return guarded([] { page().simulation.Init(); });
}

/// A change of the mass bar.
EMSCRIPTEN_KEEPALIVE int springlattice_mass_changed(int value)
{
    return guarded([value] { page().simulation.SetFirstMass(static_cast<std::int16_t>(value)); });
}

/// A pointer move over the picture: button mask 1 left, 2 right, 4 middle;
/// position in twips; the radius bar's value.
EMSCRIPTEN_KEEPALIVE int springlattice_pointer_moved(int button, float x, float y, int radius)
{
    return guarded([=] { page().simulation.Cut(button, x, y, static_cast<std::int16_t>(radius)); });
}

/// "Exit": nothing runs any more.
EMSCRIPTEN_KEEPALIVE void springlattice_exit()
{
    page().ended = true;
}

/// The message of the run-time error that ended the program.
EMSCRIPTEN_KEEPALIVE const char* springlattice_error()
{
    return page().error.c_str();
}

/// The picture's pixels and its size in device pixels.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* springlattice_pixels()
{
    return page().picture.pixels();
}

EMSCRIPTEN_KEEPALIVE int springlattice_width()
{
    return page().picture.width();
}

EMSCRIPTEN_KEEPALIVE int springlattice_height()
{
    return page().picture.height();
}

/// The newest frame goes on the canvas: the rectangle (x, y, width, height)
/// to put, where it or what the canvas shows of earlier frames can differ
/// from the background; empty when neither does.
EMSCRIPTEN_KEEPALIVE const int* springlattice_show()
{
    Page& p = page();
    const PixelPicture::Rect drawn = p.picture.drawn();
    // A picture that repeats the canvas's (a settled lattice) is not put.
    const PixelPicture::Rect changed = pictureOnCanvas() ? PixelPicture::Rect{} : p.onScreen.united(drawn);
    if (!changed.empty())
        recordShown();
    p.onScreen = drawn;
    p.changed[0] = changed.x;
    p.changed[1] = changed.y;
    p.changed[2] = changed.empty() ? 0 : changed.width;
    p.changed[3] = changed.empty() ? 0 : changed.height;
    return p.changed;
}

/// One of the page's fixed texts, by its number; "" for a number it does not
/// have.
EMSCRIPTEN_KEEPALIVE const char* springlattice_text(int id)
{
    constexpr int count = static_cast<int>(std::size(Texts));
    return handOver(id >= 0 && id < count ? std::string(Texts[id]) : std::string());
}

/// The bars' tips with their values; the mass bar's tells when New
/// Simulation has made the top-left mass something else since.
EMSCRIPTEN_KEEPALIVE const char* springlattice_mass_tip(int value)
{
    Page& p = page();
    const double mass = p.loaded ? p.simulation.Masses(1).M : value;
    return handOver(texts::massTip(value, mass));
}

EMSCRIPTEN_KEEPALIVE const char* springlattice_radius_tip(int value)
{
    return handOver(texts::radiusTip(value));
}

/// Takes the pace the address asks for, with the page's grace and its
/// clock's step in milliseconds: "" when it is one, else what is wrong with
/// it, in the words of the program's other errors.
EMSCRIPTEN_KEEPALIVE const char* springlattice_set_pace(const char* value, double grace, double step)
{
    int steps = 0;
    if (!Pace::read(value, steps))
        return handOver("steps-per-second takes " + Pace::wanted() + ", not '" + value + "'.");
    page().pace.emplace(steps, nanoseconds(grace), nanoseconds(step));
    return handOver({});
}

/// Slow motion's decisions, at `now`, milliseconds on the page's clock:
/// frame 0 is due now; whether a frame is due; a frame has run; how long
/// until the next is due; after a hidden time, the frame awaited is due now.
EMSCRIPTEN_KEEPALIVE void springlattice_pace_start(double now)
{
    page().pace->start(nanoseconds(now));
}

EMSCRIPTEN_KEEPALIVE int springlattice_pace_due(double now)
{
    return page().pace->due(nanoseconds(now)) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void springlattice_pace_ran(double now)
{
    page().pace->ran(nanoseconds(now));
}

EMSCRIPTEN_KEEPALIVE double springlattice_pace_wait(double now)
{
    return static_cast<double>(page().pace->wait(nanoseconds(now))) / 1e6;
}

EMSCRIPTEN_KEEPALIVE void springlattice_pace_resume(double now)
{
    page().pace->resume(nanoseconds(now));
}

} // extern "C"
