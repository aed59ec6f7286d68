#include "window_timekeeping.h"

#include <QScreen>
#include <QWidget>

namespace taborvane::window {

WindowTimekeeping::WindowTimekeeping(QWidget& window, std::unique_ptr<clock::WakeSource> wakeSource)
    : wakeSource_(std::move(wakeSource)),
      scheduler_(*wakeSource_),
      frames_(scheduler_, [&window] { return window.screen()->refreshRate(); }),
      catchUp_(scheduler_),
      pacer_(window, scheduler_, frames_),
      visibility_(window, frames_) {}

}  // namespace taborvane::window
