// A scheduler's timer that runs a function at every tick, for tests of the
// clock alone.
#pragma once

#include <cstdint>
#include <functional>

#include "clock/tick_scheduler.h"

namespace taborvane::clock::testing {

class CallbackTimer final : public TickScheduler::Timer {
public:
    explicit CallbackTimer(TickScheduler& scheduler) : Timer(scheduler) {}

    void onTick(std::function<void()> action) { action_ = std::move(action); }
    void start(std::int32_t milliseconds) { startRepeating(milliseconds * kMillisecond); }
    void stop() { stopRepeating(); }
    [[nodiscard]] bool isActive() const { return isRepeating(); }

private:
    void tick() override {
        if (action_) action_();
    }

    std::function<void()> action_;
};

}  // namespace taborvane::clock::testing
