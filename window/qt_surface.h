// The control surface on real Qt widgets: each adapter turns one operation of
// the counter logic into a widget call; QtSurface makes them all.
#pragma once

#include <QLineEdit>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "clock/tick_scheduler.h"
#include "counter/control_surface.h"
#include "counter/frm_countdown.h"
#include "counter/interval_timer.h"
#include "design.h"
#include "designed_form.h"
#include "display_label.h"
#include "lamp_widget.h"

namespace taborvane::window {

// While ticks run in a batch, only the last caption reaches the display:
// nobody can see the ones between.
class QtLabel final : public Label {
public:
    QtLabel(DisplayLabel& display, const clock::TickScheduler& scheduler) : display_(display), scheduler_(scheduler) {}
    void setCaption(std::string_view caption) override;
    // The last caption set: what the display shows once the batch of ticks is over.
    [[nodiscard]] const std::string& caption() const { return caption_; }
    // Hands the last caption to the display; the scheduler calls it when the batch is over.
    void flush();

private:
    DisplayLabel& display_;
    const clock::TickScheduler& scheduler_;
    std::string caption_;
    bool pending_ = false;
};

class QtTextBox final : public TextBox {
public:
    explicit QtTextBox(QLineEdit& edit);
    [[nodiscard]] std::string_view text() const override { return utf8_; }
    // Takes in the entry's new text; the window calls it before any Change procedure.
    void refresh();
    [[nodiscard]] QLineEdit& edit() const { return edit_; }

private:
    QLineEdit& edit_;
    std::string utf8_;
};

class QtShape final : public Shape {
public:
    explicit QtShape(LampWidget& lamp) : lamp_(lamp) {}
    void setVisible(bool visible) override { lamp_.setLit(visible); }

private:
    LampWidget& lamp_;
};

// A mode's timer: the shared rules on the scheduler's timer, whose tick runs
// the mode's Timer procedure straight away.
class QtTimer final : public IntervalTimer, private clock::TickScheduler::Timer {
public:
    using Procedure = void (frmCountdown::*)();

    QtTimer(clock::TickScheduler& scheduler, std::string_view name, std::int32_t designInterval)
        : IntervalTimer(designInterval), clock::TickScheduler::Timer(scheduler), name_(name) {}
    [[nodiscard]] std::string_view name() const { return name_; }
    // What each tick runs; until bound, a tick runs nothing.
    void bind(frmCountdown& form, Procedure procedure) {
        form_ = &form;
        procedure_ = procedure;
    }
    // Told of every tick once its procedure has run, and whether the
    // procedure stopped this timer.
    void afterEachTick(std::function<void(bool stoppedItself)> after) { after_ = std::move(after); }

protected:
    void startWait(std::int32_t milliseconds) override { startRepeating(milliseconds * clock::kMillisecond); }
    void cancelWait() override { stopRepeating(); }

private:
    void tick() override;

    std::string_view name_;
    frmCountdown* form_ = nullptr;
    Procedure procedure_ = nullptr;
    std::function<void(bool stoppedItself)> after_;
};

class QtProgramEnd final : public ProgramEnd {
public:
    explicit QtProgramEnd(std::function<void()> endProgram) : endProgram_(std::move(endProgram)) {}
    void end() override { endProgram_(); }

private:
    std::function<void()> endProgram_;
};

// An adapter for each control the counter touches, made on the designed
// form, and the control surface made of them.
class QtSurface {
public:
    QtSurface(const DesignedForm& form, clock::TickScheduler& scheduler, std::function<void()> endProgram);

    [[nodiscard]] const ControlSurface& controls() const { return controls_; }
    [[nodiscard]] const std::vector<std::unique_ptr<QtTextBox>>& entries() const { return entries_; }
    // Null when the counter has no timer of that name.
    [[nodiscard]] QtTimer* timerNamed(std::string_view name) const;
    [[nodiscard]] const std::vector<std::unique_ptr<QtTimer>>& timers() const { return timers_; }
    // The number as the display shows it once the ticks under way are over.
    [[nodiscard]] QString shownNumber() const;
    // Disables every timer, as the counter would.
    void stopEveryTimer();

private:
    QtTextBox& entry(const DesignedForm& form, std::string_view name);
    QtShape& lamp(const DesignedForm& form, std::string_view name);
    QtTimer& timer(clock::TickScheduler& scheduler, std::string_view name);

    std::vector<std::unique_ptr<QtTextBox>> entries_;
    std::vector<std::unique_ptr<QtTimer>> timers_;
    std::vector<std::unique_ptr<QtShape>> lamps_;
    QtLabel display_;
    QtProgramEnd end_;
    ControlSurface controls_;
};

}  // namespace taborvane::window
