// Drives the real window through its controls and measures what its modes
// cost, what a person or an assistive tool sees of them, how soon Stop takes
// effect, and what the idle window costs.
//
// Ticks are counted through a second connection to each mode's tick timer,
// made after the window's own, and paints through an event filter, so the
// program runs exactly as it does alone. The benchmark builds against earlier
// versions of the window too, to measure before and after a change in one run.
#pragma once

#include <random>

#include "event_counters.h"
#include "mode_starter.h"
#include "observations.h"
#include "results.h"
#include "window/countdown_window.h"

namespace taborvane::bench {

class WindowDriver {
public:
    explicit WindowDriver(taborvane::window::CountdownWindow& window);

    // The modes started apart; the cost is measured over caseMs with no one
    // asking, then an assistive tool asks for queryMs more. Every
    // frame of both is held against the exact schedule.
    CaseResult runCase(int modes, int pace, int caseMs, int queryMs);

    // Stop clicked through the event queue from another thread, as input
    // arrives from outside, while the four modes run at 1 ms.
    ClickResult runClicks(int trials);

    // The main thread blocked for blockMs while the four modes run at 1 ms.
    StallResult runStalls(int blockMs, int trials);

    IdleResult runIdle(bool focused, int idleMs);

private:
    taborvane::window::CountdownWindow& window_;
    ModeStarter starter_;
    TickWatch ticks_;
    ObservationRecorder recorder_;
    std::mt19937 random_{20240607};
    Nanoseconds stopTookEffect_ = 0;
    std::uint64_t ticksAtStop_ = 0;
};

}  // namespace taborvane::bench
