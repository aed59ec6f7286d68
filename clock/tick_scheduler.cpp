#include "tick_scheduler.h"

#include <algorithm>
#include <cstdint>

namespace taborvane::clock {
namespace {

// The alarm's clock (CLOCK_MONOTONIC) stands still while the machine sleeps,
// but not while the process is stopped or stalled: it then owes the ticks of
// the time it stood still, and replaying more than this many a timer at once
// would freeze the window. Beyond them, ticks are dropped.
constexpr std::int64_t kMostTicksReplayed = 1000;

}  // namespace

TickScheduler::Timer::Timer(TickScheduler& scheduler) : scheduler_(&scheduler) { scheduler.timers_.push_back(this); }

TickScheduler::Timer::~Timer() {
    if (scheduler_ == nullptr) return;
    auto& timers = scheduler_->timers_;
    timers.erase(std::find(timers.begin(), timers.end(), this));
    if (repeating_) scheduler_->rearm();
}

void TickScheduler::Timer::startRepeating(Nanoseconds interval) {
    if (scheduler_ == nullptr) return;
    // Started now, unless a tick or an action is under way: then at its instant.
    scheduler_->catchUp();
    due_ = scheduler_->present_ + interval;
    interval_ = interval;
    repeating_ = true;
    scheduler_->rearm();
}

void TickScheduler::Timer::stopRepeating() {
    if (!repeating_) return;
    repeating_ = false;
    if (scheduler_ != nullptr) scheduler_->rearm();
}

TickScheduler::TickScheduler(WakeSource& source) : source_(source), present_(source.now()) {
    source_.onWake([this] { ring(); });
}

TickScheduler::~TickScheduler() {
    source_.onWake({});
    source_.cancelWake();
    for (Timer* timer : timers_) timer->scheduler_ = nullptr;
}

void TickScheduler::setPacing(Pacing* pacing) {
    pacing_ = pacing;
    rearm();
}

void TickScheduler::catchUp() {
    if (holds_ > 0) return;
    runDueBy(source_.now());
    rearm();
}

TickScheduler::Timer* TickScheduler::earliestDueBy(Nanoseconds moment) const {
    Timer* earliest = nullptr;
    for (Timer* timer : timers_) {
        // The first made wins a tie.
        if (timer->repeating_ && timer->due_ <= moment && (earliest == nullptr || timer->due_ < earliest->due_))
            earliest = timer;
    }
    return earliest;
}

void TickScheduler::runDueBy(Nanoseconds moment) {
    const Hold hold(*this);
    for (Timer* timer : timers_) {
        if (!timer->repeating_ || timer->due_ > moment) continue;
        const std::int64_t owed = (moment - timer->due_) / timer->interval_ + 1;  // ticks
        if (owed > kMostTicksReplayed) timer->due_ += (owed - kMostTicksReplayed) * timer->interval_;
    }
    // Each tick at its own instant: a timer it starts counts its interval from there.
    while (Timer* next = earliestDueBy(moment)) {
        present_ = next->due_;
        // Moved on before it ticks, so that a restart inside the tick wins.
        next->due_ += next->interval_;
        next->tick();
    }
    present_ = std::max(present_, moment);
}

void TickScheduler::ring() {
    const Nanoseconds moment = source_.now();
    if (holds_ == 0) {
        runDueBy(moment);
        if (pacing_ != nullptr) {
            const Hold hold(*this);
            pacing_->afterTicks(moment);
        }
    }
    // The alarm that rang is set again or cancelled, whatever comes.
    setAlarm(nextRing());
}

std::optional<Nanoseconds> TickScheduler::nextRing() const {
    std::optional<Nanoseconds> next;
    for (const Timer* timer : timers_)
        if (timer->repeating_) next = std::min(next.value_or(timer->due_), timer->due_);
    if (pacing_ == nullptr) return next;
    if (next) next = std::max(*next, pacing_->earliestRing());
    if (const std::optional<Nanoseconds> wanted = pacing_->wantedRing())
        next = std::min(next.value_or(*wanted), *wanted);
    return next;
}

void TickScheduler::rearm() {
    if (holds_ > 0) return;  // set once the ticks or the action are over
    const std::optional<Nanoseconds> next = nextRing();
    if (next != alarm_) setAlarm(next);
}

void TickScheduler::setAlarm(std::optional<Nanoseconds> moment) {
    alarm_ = moment;
    if (moment)
        source_.wakeAt(*moment);
    else
        source_.cancelWake();
}

}  // namespace taborvane::clock
