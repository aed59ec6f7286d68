// Drawing: the one window. It builds its controls from the design table
// (design.h), adapts them to the counter's control surface (qt_surface.h), and
// binds each event to its procedure:
//   Qt signal -> binding below -> one frmCountdown procedure -> surface -> widgets
// A mode's tick comes the same way from the clock folder's one alarm:
//   kernel alarm -> clock::TickScheduler -> clock::TickTimer::timeout -> tick procedure -> surface
// and the display takes each new text at once but paints it at the next frame
// of the screen (clock::FrameClock, PaintPacer), however many ticks came between.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

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

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

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
    template <typename Widget>
    [[nodiscard]] Widget& control(std::string_view name) const;

    std::unique_ptr<clock::WakeSource> wakeSource_;
    clock::TickScheduler scheduler_;
    clock::FrameClock frames_;
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
