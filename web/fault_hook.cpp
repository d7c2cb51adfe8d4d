// For the page's tests alone, never in the published page: a fault on
// demand. window.springLatticeFault() puts a NaN into the top-left mass's
// position, so that the next frame's arithmetic raises a run-time error as a
// real fault would.
#include <emscripten/emscripten.h>

#include <limits>

#include "page.h"
#include "core/simulation.h"

extern "C" EMSCRIPTEN_KEEPALIVE void springlattice_fault()
{
    pageSimulation().Masses(1).X = std::numeric_limits<double>::quiet_NaN();
}

namespace {

const bool installed = [] {
    EM_ASM({ globalThis.springLatticeFault = () => Module._springlattice_fault(); });
    return true;
}();

} // namespace
