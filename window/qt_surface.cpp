#include "qt_surface.h"

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

QtTimer::QtTimer(QObject& window, clock::TickScheduler& scheduler, const QString& name, std::int32_t designInterval)
    : IntervalTimer(designInterval), timer_(new clock::TickTimer(scheduler, &window)) {
    timer_->setObjectName(name);
}

QtSurface::QtSurface(const DesignedForm& form, clock::TickScheduler& scheduler, QObject& window,
                     std::function<void()> endProgram)
    : display_(form.control<DisplayLabel>("lblDisplay"), scheduler),
      end_(std::move(endProgram)),
      controls_{display_,
                entry(form, "txtStart"),
                entry(form, "txtinterval"),
                entry(form, "txtincdown"),
                entry(form, "txtintUp"),
                entry(form, "txtIncriments"),
                entry(form, "txtDividePace"),
                entry(form, "txtdivideAmount"),
                entry(form, "txtTimes"),
                entry(form, "txtTimesamount"),
                timer(scheduler, window, kTimers[0]),
                timer(scheduler, window, kTimers[1]),
                timer(scheduler, window, kTimers[2]),
                timer(scheduler, window, kTimers[3]),
                lamp(form, "Shape1"),
                lamp(form, "Shape2"),
                lamp(form, "Shape3"),
                lamp(form, "Shape4"),
                end_} {
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

QtTimer& QtSurface::timer(clock::TickScheduler& scheduler, QObject& window, const TimerDesign& design) {
    timers_.push_back(std::make_unique<QtTimer>(window, scheduler, ToQString(design.name), design.interval));
    return *timers_.back();
}

const IntervalTimer* QtSurface::timerNamed(std::string_view name) const {
    for (std::size_t i = 0; i < kTimers.size() && i < timers_.size(); ++i)
        if (kTimers[i].name == name) return timers_[i].get();
    return nullptr;
}

void QtSurface::stopEveryTimer() {
    // Through the rule every surface shares, so that the timer knows itself stopped.
    for (const auto& timer : timers_) timer->setEnabled(false);
}

}  // namespace taborvane::window
