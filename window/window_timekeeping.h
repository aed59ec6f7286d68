// The window's time: the one alarm behind everything (a clock::WakeSource),
// the scheduler that runs the modes' ticks at their own instants, the frames
// of the screen, the catch-up before every event, the pacer that lets the
// window paint once a frame, and the watch that slows the frames while the
// window cannot be seen.
#pragma once

#include <memory>

#include "clock/event_catch_up.h"
#include "clock/frame_clock.h"
#include "clock/tick_scheduler.h"
#include "paint_pacer.h"
#include "visibility_watch.h"

class QWidget;

namespace taborvane::window {

class WindowTimekeeping {
public:
    WindowTimekeeping(QWidget& window, std::unique_ptr<clock::WakeSource> wakeSource);

    [[nodiscard]] clock::TickScheduler& scheduler() { return scheduler_; }
    [[nodiscard]] const clock::TickScheduler& scheduler() const { return scheduler_; }

private:
    std::unique_ptr<clock::WakeSource> wakeSource_;
    clock::TickScheduler scheduler_;
    clock::FrameClock frames_;
    clock::EventCatchUp catchUp_;
    PaintPacer pacer_;
    VisibilityWatch visibility_;
};

}  // namespace taborvane::window
