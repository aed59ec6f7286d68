// The timer rules every implementation of the surface shares: which intervals
// are refused, and which writes restart the wait for the next tick.
#pragma once

#include <cstdint>

#include "control_surface.h"

namespace taborvane {

class IntervalTimer : public Timer {
public:
    explicit IntervalTimer(std::int32_t designInterval) : interval_(designInterval) {}

    // Enabling a running timer, or disabling a stopped one, changes nothing.
    void setEnabled(bool enabled) override;
    // Negative intervals are refused; rewriting the interval in force changes
    // nothing, so a tick that re-reads an unchanged pace keeps its rhythm.
    void setInterval(std::int32_t milliseconds) override;

    [[nodiscard]] bool isEnabled() const { return enabled_; }
    [[nodiscard]] std::int32_t interval() const { return interval_; }
    // Enabled with a positive interval: waiting for its next tick. Enabled
    // with an interval of 0, it has no tick to wait for until a positive one comes.
    [[nodiscard]] bool isWaiting() const { return enabled_ && interval_ > 0; }

protected:
    // Starts a fresh wait of the given positive interval, then one tick per interval.
    virtual void startWait(std::int32_t milliseconds) = 0;
    virtual void cancelWait() = 0;

private:
    void rearm();

    bool enabled_ = false;
    std::int32_t interval_;
};

}  // namespace taborvane
