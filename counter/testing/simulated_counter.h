// The counter on the in-memory surface, bound and started as the window does:
// timers call their Timer procedures, edited entries their Change procedures
// (form_events.h), and the start value is loaded.
#pragma once

#include "../frm_countdown.h"
#include "memory_surface.h"

namespace taborvane::testing {

class SimulatedCounter {
public:
    SimulatedCounter();
    SimulatedCounter(const SimulatedCounter&) = delete;
    SimulatedCounter& operator=(const SimulatedCounter&) = delete;

    MemorySurface surface;
    frmCountdown form{surface.controls()};
};

}  // namespace taborvane::testing
