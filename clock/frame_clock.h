// The frames of the screen the window is on: at most one per refresh period
// of that screen (60 a second where it tells none). They pace the alarm: while
// a mode runs and the window can be seen, its ticks are caught up at
// most once a frame, right before the frame; while the window cannot be seen,
// four times a second.
#pragma once

#include <QObject>
#include <functional>
#include <limits>
#include <optional>

#include "tick_scheduler.h"

namespace taborvane::clock {

class FrameClock : public QObject, private TickScheduler::Pacing {
    Q_OBJECT
public:
    // framesPerSecond is asked at every frame: the window may move to another screen.
    FrameClock(TickScheduler& scheduler, std::function<double()> framesPerSecond, QObject* parent = nullptr);
    ~FrameClock() override;

    // Whether the window can be seen (shown, not minimised, exposed).
    void setVisible(bool visible);
    // True when a frame may be drawn at once; that frame's slot is then taken.
    [[nodiscard]] bool takeFrameNow();
    // frame() comes once, at the next slot, after the ticks due by then.
    void requestFrame();
    [[nodiscard]] Nanoseconds period() const { return period_; }

signals:
    // A slot: the ticks due by now have run; whatever changed may be drawn.
    void frame();

private:
    [[nodiscard]] Nanoseconds earliestRing() const override;
    [[nodiscard]] std::optional<Nanoseconds> wantedRing() const override;
    void afterTicks(Nanoseconds moment) override;
    void takeSlot(Nanoseconds moment);

    TickScheduler& scheduler_;
    std::function<double()> framesPerSecond_;
    Nanoseconds period_ = 0;
    Nanoseconds lastSlot_ = std::numeric_limits<Nanoseconds>::min() / 2;
    bool visible_ = true;
    bool requested_ = false;
};

}  // namespace taborvane::clock
