#include "frame_clock.h"

#include <algorithm>
#include <cmath>

namespace taborvane::clock {
namespace {

constexpr double kFallbackFramesPerSecond = 60.0;

}  // namespace

FrameClock::FrameClock(TickScheduler& scheduler, std::function<double()> framesPerSecond, QObject* parent)
    : QObject(parent), Client(scheduler, TickScheduler::Rank::Frame), framesPerSecond_(std::move(framesPerSecond)) {}

Nanoseconds FrameClock::period() const {
    double rate = framesPerSecond_ ? framesPerSecond_() : 0.0;
    // Some screens report no rate, or nonsense.
    if (!(rate >= 1.0 && rate <= 1000.0)) rate = kFallbackFramesPerSecond;
    return std::llround(1e9 / rate);
}

bool FrameClock::takeFrameNow() {
    const Nanoseconds at = now();
    if (at < lastFrame_ + period()) return false;
    lastFrame_ = at;
    stopWaiting();
    emit frame();
    return true;
}

void FrameClock::requestFrame() {
    if (isWaiting()) return;
    const Nanoseconds at = now();
    const Nanoseconds allowed = lastFrame_ + period();
    if (at >= allowed)
        waitOnce(at);
    else
        // Drawn after the first ticks once a frame is allowed, and one frame
        // after this request at the latest, so nothing waits longer than that.
        waitWithin(allowed, at + period());
}

void FrameClock::fire() {
    lastFrame_ = now();
    emit frame();
}

}  // namespace taborvane::clock
