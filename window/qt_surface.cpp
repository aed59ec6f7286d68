#include "qt_surface.h"

#include "counter/modes.h"
#include "qt_text.h"

namespace taborvane::window {

void QtLabel::setCaption(std::string_view caption) {
    caption_ = caption;
    pending_ = true;
    if (!scheduler_.isHolding()) flush();
}

void QtLabel::flush() {
    if (!pending_) return;
    pending_ = false;
    display_.showValue(ToQString(caption_));
}

QtTextBox::QtTextBox(QLineEdit& edit) : edit_(edit) { refresh(); }

void QtTextBox::refresh() { utf8_ = edit_.text().toStdString(); }

void QtTimer::tick() {
    const bool wasEnabled = isEnabled();
    if (procedure_ != nullptr) (form_->*procedure_)();
    if (after_) after_(wasEnabled && !isEnabled());
}

QtSurface::QtSurface(const DesignedForm& form, clock::TickScheduler& scheduler, std::function<void()> endProgram)
    : display_(form.control<DisplayLabel>("lblDisplay"), scheduler),
      end_(std::move(endProgram)),
      controls_{.lblDisplay = display_,
                .txtStart = entry(form, "txtStart"),
                .txtinterval = entry(form, "txtinterval"),
                .txtincdown = entry(form, "txtincdown"),
                .txtintUp = entry(form, "txtintUp"),
                .txtIncriments = entry(form, "txtIncriments"),
                .txtDividePace = entry(form, "txtDividePace"),
                .txtdivideAmount = entry(form, "txtdivideAmount"),
                .txtTimes = entry(form, "txtTimes"),
                .txtTimesamount = entry(form, "txtTimesamount"),
                .tmrCountdown = timer(scheduler, "tmrCountdown"),
                .tmrCountUp = timer(scheduler, "tmrCountUp"),
                .tmrDivide = timer(scheduler, "tmrDivide"),
                .tmrTimes = timer(scheduler, "tmrTimes"),
                .Shape1 = lamp(form, "Shape1"),
                .Shape2 = lamp(form, "Shape2"),
                .Shape3 = lamp(form, "Shape3"),
                .Shape4 = lamp(form, "Shape4"),
                .end = end_} {
    scheduler.whenSettled([this] { display_.flush(); });
}

QtTextBox& QtSurface::entry(const DesignedForm& form, std::string_view name) {
    entries_.push_back(std::make_unique<QtTextBox>(form.control<QLineEdit>(name)));
    return *entries_.back();
}

QtShape& QtSurface::lamp(const DesignedForm& form, std::string_view name) {
    lamps_.push_back(std::make_unique<QtShape>(form.control<LampWidget>(name)));
    return *lamps_.back();
}

QtTimer& QtSurface::timer(clock::TickScheduler& scheduler, std::string_view name) {
    timers_.push_back(std::make_unique<QtTimer>(scheduler, name, DesignIntervalOf(name)));
    return *timers_.back();
}

QString QtSurface::shownNumber() const { return ToQString(display_.caption()); }

QtTimer* QtSurface::timerNamed(std::string_view name) const {
    for (const auto& timer : timers_)
        if (timer->name() == name) return timer.get();
    return nullptr;
}

void QtSurface::stopEveryTimer() {
    // Through the rule every surface shares, so that the timer knows itself stopped.
    for (const auto& timer : timers_) timer->setEnabled(false);
}

}  // namespace taborvane::window
