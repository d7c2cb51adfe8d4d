// The long soak: springlattice-soak [frames [seed]]. Runs the same random
// user actions as the soak test for as many frames as asked (10^7 by default)
// and reports what it did; exit status 1 on a broken invariant or a run-time
// error.
#include <cfenv>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "soak.h"

int main(int argc, char* argv[])
{
    const long frames = argc > 1 ? std::atol(argv[1]) : 10'000'000L;
    const unsigned long long seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20261208ULL;
    if (frames <= 0) {
        std::fprintf(stderr, "usage: %s [frames [seed]] (frames must be a positive number)\n", argv[0]);
        return 2;
    }
    std::feclearexcept(FE_ALL_EXCEPT);
    Soak soak(seed);
    try {
        const std::string fault = soak.run(frames);
        if (!fault.empty()) {
            std::fprintf(stderr, "FAILED: %s\n", fault.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "FAILED: run-time error %s\n", e.what());
        return 1;
    }
    const bool flags = std::fetestexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO) != 0;
    std::printf("%ld frames, seed %llu: %ld pointer moves (%ld far outside), %ld slider moves, %ld rebuilds, "
                "%ld springs broken; floating-point fault flags: %s\n",
                frames, seed, soak.cuts, soak.cutsFarOutside, soak.sliderMoves, soak.rebuilds, soak.springsBroken,
                flags ? "RAISED" : "none");
    return flags ? 1 : 0;
}
