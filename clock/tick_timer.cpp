#include "tick_timer.h"

namespace taborvane::clock {

TickTimer::TickTimer(TickScheduler& scheduler, QObject* parent) : QObject(parent), Timer(scheduler) {}

void TickTimer::start(std::int32_t milliseconds) { startRepeating(Nanoseconds{milliseconds} * 1'000'000); }

}  // namespace taborvane::clock
