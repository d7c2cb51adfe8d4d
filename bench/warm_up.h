#pragma once

// Every scene is built once per run and run for a while before it is first
// measured. On a virtual machine, memory that a process has just been given
// runs several times slower for its first second or so (here: 117 lines
// drawn in 27 us at first, in 9 us from about one second on), so a scene
// measured at once would measure the host's paging, not the program.

#include <chrono>

inline constexpr auto WarmUp = std::chrono::seconds(2);

/// Calls step() over and over for WarmUp.
template <typename Step>
void warmUp(Step&& step)
{
    const auto end = std::chrono::steady_clock::now() + WarmUp;
    while (std::chrono::steady_clock::now() < end)
        for (int i = 0; i < 100; ++i)
            step();
}
