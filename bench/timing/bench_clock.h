// The benchmark's clock: steady time in nanoseconds, and a wait that runs the
// program's event loop meanwhile.
#pragma once

#include <chrono>
#include <cstdint>

namespace taborvane::bench {

using Nanoseconds = std::int64_t;

inline Nanoseconds Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Runs the program's event loop, as its own main would, for a while.
void RunEventLoopFor(int milliseconds);

}  // namespace taborvane::bench
