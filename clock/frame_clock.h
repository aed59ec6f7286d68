// The frames of the screen the window is on: at most one per refresh period of
// that screen (60 a second where it tells none), and only while something
// asks for one, so an idle window never wakes for it.
#pragma once

#include <QObject>
#include <functional>
#include <limits>

#include "tick_scheduler.h"

namespace taborvane::clock {

class FrameClock : public QObject, private TickScheduler::Client {
    Q_OBJECT
public:
    // framesPerSecond is asked at every frame: the window may move to another screen.
    FrameClock(TickScheduler& scheduler, std::function<double()> framesPerSecond, QObject* parent = nullptr);

    // True when a frame may be drawn at once; that frame is then taken, and
    // frame() comes at once, also for whoever had asked for one.
    [[nodiscard]] bool takeFrameNow();
    // frame() comes once: at once if a frame may be drawn now; else right
    // after the first ticks once it may, and one period from now at the latest.
    void requestFrame();
    [[nodiscard]] Nanoseconds period() const;

signals:
    // Every frame, taken at once or asked for.
    void frame();

private:
    void fire() override;

    std::function<double()> framesPerSecond_;
    Nanoseconds lastFrame_ = std::numeric_limits<Nanoseconds>::min() / 2;
};

}  // namespace taborvane::clock
