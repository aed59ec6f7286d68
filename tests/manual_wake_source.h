// A clock and alarm that a test moves by hand, so that ticks and frames can
// be checked at exact moments without waiting for real time.
#pragma once

#include <algorithm>

#include "clock/tick_scheduler.h"

namespace taborvane::clock::testing {

class ManualWakeSource final : public WakeSource {
public:
    [[nodiscard]] Nanoseconds now() const override { return now_; }
    void wakeAt(Nanoseconds deadline) override {
        deadline_ = deadline;
        armed_ = true;
    }
    void cancelWake() override { armed_ = false; }

    // Moves the clock to the moment given, ringing at every deadline on the
    // way as a punctual alarm would.
    void advanceTo(Nanoseconds moment) {
        while (armed_ && deadline_ <= moment) {
            now_ = std::max(now_, deadline_);
            ringOnce();
        }
        now_ = std::max(now_, moment);
    }
    void advanceBy(Nanoseconds duration) { advanceTo(now_ + duration); }
    // Moves the clock on while the program is busy, then rings once, late.
    void advanceBusyBy(Nanoseconds duration) {
        now_ += duration;
        if (armed_ && deadline_ <= now_) ringOnce();
    }
    [[nodiscard]] int wakeUps() const { return wakeUps_; }

private:
    void ringOnce() {
        armed_ = false;
        ++wakeUps_;
        static_cast<void>(ring());  // the scheduler always listens
    }

    Nanoseconds now_ = 0;
    Nanoseconds deadline_ = 0;
    bool armed_ = false;
    int wakeUps_ = 0;
};

}  // namespace taborvane::clock::testing
