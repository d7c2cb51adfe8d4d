// For the page's tests alone, never in the published page: faults on demand.
// window.springLatticeFault() puts a NaN into the top-left mass's position,
// so that the next frame's arithmetic raises a run-time error as a real fault
// would. Opened with ?fault=large-allocations, the page refuses every
// allocation of a megabyte or more after its first, the picture's: the next
// is the copy of what the screen shows, made as the first picture is shown.
#include <emscripten/emscripten.h>

#include <cstdlib>
#include <limits>
#include <new>

#include "page.h"
#include "core/simulation.h"

extern "C" EMSCRIPTEN_KEEPALIVE void springlattice_fault()
{
    pageSimulation().Masses(1).X = std::numeric_limits<double>::quiet_NaN();
}

namespace {

constexpr std::size_t Large = std::size_t{1} << 20;
bool refuseLarge = false;
int largeAllocations = 0;

const bool installed = [] {
    EM_ASM({ globalThis.springLatticeFault = () => Module._springlattice_fault(); });
    refuseLarge = EM_ASM_INT({ return new URLSearchParams(location.search).get("fault") === "large-allocations"; });
    return true;
}();

} // namespace

void* operator new(std::size_t size)
{
    if (size >= Large && refuseLarge && ++largeAllocations > 1)
        throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
