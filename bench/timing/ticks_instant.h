// The instant of the ticks that what the window shows now stands for.
#pragma once

#include "bench_clock.h"

namespace taborvane::bench {

// A window that brings its ticks up to date only when someone could observe
// them tells the instant they are up to. An earlier window, which took each
// tick at its own alarm, does not: what it shows stands for the clock's now.
template <typename Window>
Nanoseconds TicksUpTo(const Window& window) {
    if constexpr (requires { window.ticksUpTo(); })
        return window.ticksUpTo();
    else
        return Now();
}

// Whether the window tells the instant of its ticks.
template <typename Window>
constexpr bool TellsTicksInstant() {
    return requires(const Window& window) { window.ticksUpTo(); };
}

}  // namespace taborvane::bench
