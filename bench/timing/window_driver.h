// Drives the real window through its controls and measures how punctually the
// modes tick, what each pace costs, how soon Stop takes effect and what the idle
// window costs.
//
// Ticks are observed through a second connection to each mode's tick timer, made
// after the window's own, and paints through an event filter, so the program
// runs exactly as it does alone. The benchmark builds against earlier versions
// of the window too, to measure before and after a change in one run.
#pragma once

#include <array>
#include <vector>

#include "bench_clock.h"
#include "results.h"
#include "window/countdown_window.h"

class QPushButton;

namespace taborvane::bench {

class WindowDriver {
public:
    explicit WindowDriver(taborvane::window::CountdownWindow& window);

    // spreadUs > 0 starts the modes at least that far apart, so that they
    // fall due at different instants, as after a person's clicks.
    CaseResult runCase(int pace, bool together, int spreadUs, int caseMs);

    // Stop clicked through the event queue from another thread, as input
    // arrives from outside, while the four modes run at 1 ms.
    ClickResult runClicks(int trials);

    IdleResult runIdle(bool focused, int idleMs);

private:
    template <typename Widget>
    Widget* find(const char* name) const;

    void type(const char* entry, const char* text);

    void prepare(int pace, bool together);

    taborvane::window::CountdownWindow& window_;
    std::array<taborvane::clock::TickTimer*, 4> timers_{};
    std::array<std::vector<Nanoseconds>, 4> ticks_;
    QPushButton* stop_ = nullptr;
    std::array<Nanoseconds, 4> clickedAt_{};
    Nanoseconds stopTookEffect_ = 0;
};

}  // namespace taborvane::bench
