#include "tick_timer.h"

namespace taborvane::clock {

TickTimer::TickTimer(TickScheduler& scheduler, QObject* parent) : QObject(parent), Client(scheduler) {}

void TickTimer::start(std::int32_t milliseconds) {
    const Nanoseconds interval = Nanoseconds{milliseconds} * 1'000'000;
    waitRepeating(now() + interval, interval);
}

}  // namespace taborvane::clock
