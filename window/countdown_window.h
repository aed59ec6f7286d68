// Drawing: the one window, made of four parts, each in a file of its own:
//   DesignedForm (designed_form.h)           the controls as the design table draws them
//   WindowTimekeeping (window_timekeeping.h) the ticks' scheduler, the frames, the paint pacer
//   QtSurface (qt_surface.h)                 the counter's control surface on those controls
//   FormBindings (form_bindings.h)           each event bound to its frmCountdown procedure
// The ticks are caught up (clock::TickScheduler::catchUp) before every event
// but a paint, and again, to the instant itself, by each click and edit,
// which then holds them off until its procedure has run to its end:
//   Qt signal -> FormBindings -> TickScheduler::atPresent -> one frmCountdown procedure -> QtSurface -> widgets
// A mode's tick, whenever the ticks are caught up:
//   clock::TickScheduler -> QtTimer (the mode's timer) -> its Timer procedure -> QtSurface -> widgets
// The one way back: an assistive tool reading the display has the ticks
// caught up to that instant first. The display takes each new text at once,
// but the window paints at most once per frame.
#pragma once

#include <QWidget>
#include <memory>
#include <string_view>

#include "announcer.h"
#include "clock/tick_scheduler.h"
#include "counter/interval_timer.h"
#include "designed_form.h"
#include "form_bindings.h"
#include "qt_surface.h"
#include "window_timekeeping.h"

namespace taborvane::window {

class CountdownWindow : public QWidget {
    Q_OBJECT
    // For benchmarks that reach the window of any build by its names and properties only.
    Q_PROPERTY(qint64 ticksUpTo READ ticksUpTo)
public:
    explicit CountdownWindow(QWidget* parent = nullptr);
    // With the clock and alarm that the modes' ticks and the frames run on; tests drive one by hand.
    explicit CountdownWindow(std::unique_ptr<clock::WakeSource> wakeSource, QWidget* parent = nullptr);
    ~CountdownWindow() override;

    // The timer behind a design name, for tests that look at its state.
    [[nodiscard]] const IntervalTimer* timerNamed(std::string_view name) const { return surface_.timerNamed(name); }
    // The scale of every place, size and font against the design size.
    [[nodiscard]] double scale() const { return form_.scale(); }
    // The instant the modes' ticks are up to, for tests and benchmarks that
    // hold what the window shows against the exact schedule.
    [[nodiscard]] clock::Nanoseconds ticksUpTo() const { return time_.scheduler().present(); }

signals:
    // After each tick's procedure, with the design name of its timer. Where
    // nothing listens, Qt's emit returns at once.
    void tickRan(const QString& timer);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void endProgram();
    void announceWhatChangesTheNumber();

    WindowTimekeeping time_;
    DesignedForm form_;
    QtSurface surface_;
    FormBindings bindings_;
    Announcer announcer_;
    bool shownBefore_ = false;
};

}  // namespace taborvane::window
