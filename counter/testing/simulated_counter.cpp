#include "simulated_counter.h"

#include "../form_events.h"

namespace taborvane::testing {

SimulatedCounter::SimulatedCounter() {
    for (const EventBinding& timer : kTimerBindings)
        surface.timer(timer.control).onTick([this, tick = timer.procedure] { (form.*tick)(); });
    for (const EventBinding& change : kChangeBindings)
        surface.textBox(change.control).onChange([this, procedure = change.procedure] { (form.*procedure)(); });
    form.Form_Load();
}

}  // namespace taborvane::testing
