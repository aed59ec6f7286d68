#include "interval_timer.h"

#include "number_rules.h"

namespace taborvane {

void IntervalTimer::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    rearm();
}

void IntervalTimer::setInterval(std::int32_t milliseconds) {
    if (milliseconds < 0) throw StepFailure();
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    if (enabled_) rearm();
}

void IntervalTimer::rearm() {
    if (isWaiting())
        startWait(interval_);
    else
        cancelWait();
}

}  // namespace taborvane
