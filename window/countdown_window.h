// Drawing: the one window. It builds its controls from the design table
// (design.h), adapts them to the counter's control surface (qt_surface.h), and
// binds each event to its procedure, which runs at the present instant of the
// ticks (clock/tick_scheduler.h):
//   Qt signal -> binding below -> ticks brought up to date -> one frmCountdown procedure -> surface -> widgets
// A mode's tick comes the same way, whenever the ticks are brought up to date:
//   clock::TickScheduler -> clock::TickTimer::timeout -> tick procedure -> surface
// The display takes each new text at once, but the window paints at most once
// per frame of the screen (clock::FrameClock, PaintPacer).
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "clock/event_catch_up.h"
#include "clock/frame_clock.h"
#include "clock/tick_scheduler.h"
#include "counter/frm_countdown.h"
#include "design.h"
#include "paint_pacer.h"
#include "qt_surface.h"

namespace taborvane::window {

class CountdownWindow : public QWidget {
    Q_OBJECT
public:
    explicit CountdownWindow(QWidget* parent = nullptr);
    // With the clock and alarm that the modes' ticks and the frames run on; tests drive one by hand.
    explicit CountdownWindow(std::unique_ptr<clock::WakeSource> wakeSource, QWidget* parent = nullptr);
    ~CountdownWindow() override;

    // The timer behind a design name, for tests that look at its state.
    [[nodiscard]] const IntervalTimer* timerNamed(std::string_view name) const;
    // The scale of every place, size and font against the design size.
    [[nodiscard]] double scale() const { return scale_; }
    // The instant the modes' ticks are up to, for tests and benchmarks that
    // hold what the window shows against the exact schedule.
    [[nodiscard]] clock::Nanoseconds ticksUpTo() const { return scheduler_.present(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct PlacedControl {
        const ControlDesign* design;
        QWidget* widget;
    };

    void buildControls();
    void buildSurface();
    void bindEvents();
    void setTabOrderFromDesign();
    void applyScale();
    void stopEveryTimer();
    void endProgram();
    void noteWhetherSeen();
    template <typename Widget>
    [[nodiscard]] Widget& control(std::string_view name) const;

    std::unique_ptr<clock::WakeSource> wakeSource_;
    clock::TickScheduler scheduler_;
    clock::FrameClock frames_;
    clock::EventCatchUp catchUp_;
    PaintPacer pacer_;
    std::vector<PlacedControl> placed_;
    std::vector<std::unique_ptr<QtTextBox>> entries_;
    std::vector<std::unique_ptr<QtTimer>> timers_;
    std::vector<std::unique_ptr<QtShape>> lamps_;
    std::unique_ptr<QtLabel> display_;
    std::unique_ptr<QtProgramEnd> end_;
    std::unique_ptr<frmCountdown> form_;
    double scale_ = 1.0;
};

}  // namespace taborvane::window
