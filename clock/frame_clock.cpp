#include "frame_clock.h"

#include <cmath>

namespace taborvane::clock {
namespace {

constexpr double kFallbackFramesPerSecond = 60.0;
// While the window cannot be seen: far fewer wake-ups, and at a pace of 1 ms
// still far fewer owed ticks than the scheduler would drop.
constexpr Nanoseconds kUnseenSpacing = 250'000'000;

}  // namespace

FrameClock::FrameClock(TickScheduler& scheduler, std::function<double()> framesPerSecond, QObject* parent)
    : QObject(parent), scheduler_(scheduler), framesPerSecond_(std::move(framesPerSecond)) {
    takeSlot(lastSlot_);
    scheduler_.setPacing(this);
}

FrameClock::~FrameClock() { scheduler_.setPacing(nullptr); }

void FrameClock::takeSlot(Nanoseconds moment) {
    lastSlot_ = moment;
    double rate = framesPerSecond_ ? framesPerSecond_() : 0.0;
    // Some screens report no rate, or nonsense.
    if (!(rate >= 1.0 && rate <= 1000.0)) rate = kFallbackFramesPerSecond;
    period_ = std::llround(1e9 / rate);
}

void FrameClock::setVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    scheduler_.rearm();
}

bool FrameClock::takeFrameNow() {
    const Nanoseconds now = scheduler_.now();
    if (now < lastSlot_ + period_) return false;
    takeSlot(now);
    requested_ = false;
    scheduler_.rearm();
    return true;
}

void FrameClock::requestFrame() {
    if (requested_) return;
    requested_ = true;
    scheduler_.rearm();
}

Nanoseconds FrameClock::earliestRing() const { return lastSlot_ + (visible_ ? period_ : kUnseenSpacing); }

std::optional<Nanoseconds> FrameClock::wantedRing() const {
    if (!requested_) return std::nullopt;
    return lastSlot_ + period_;
}

void FrameClock::afterTicks(Nanoseconds moment) {
    // A ring a little late still takes the slot it was set for, as a screen's
    // frames keep their cadence: lateness does not add up from frame to frame.
    const Nanoseconds planned = earliestRing();
    takeSlot(moment >= planned && moment - planned < period_ ? planned : moment);
    requested_ = false;
    emit frame();
}

}  // namespace taborvane::clock

// Compiled here rather than on its own, where Qt's headers are read already.
#include "moc_frame_clock.cpp"  // NOLINT(bugprone-suspicious-include): moc's output for frame_clock.h
