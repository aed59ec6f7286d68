#include "memory_surface.h"

#include "../number_rules.h"

namespace taborvane::testing {

void MemoryControl::appendToJournal(std::string_view property, std::string_view value) const {
    std::string entry(name_);
    entry.append(".").append(property).append("=").append(value);
    journal_->push_back(std::move(entry));
}

void MemoryLabel::setCaption(std::string_view caption) {
    caption_ = caption;
    record("Caption", caption);
}

void MemoryTextBox::edit(std::string_view text) {
    text_ = text;
    if (onChange_) onChange_();
}

void MemoryShape::setVisible(bool visible) {
    visible_ = visible;
    record("Visible", visible ? "true" : "false");
}

MemoryTimer::MemoryTimer(std::string_view name, VirtualClock& clock, std::int32_t designInterval)
    : IntervalTimer(designInterval), MemoryControl(name), clock_(clock) {
    clock_.timers_.push_back(this);
}

void MemoryTimer::setEnabled(bool enabled) {
    IntervalTimer::setEnabled(enabled);
    record("Enabled", enabled ? "true" : "false");
}

void MemoryTimer::setInterval(std::int32_t milliseconds) {
    IntervalTimer::setInterval(milliseconds);  // a refused interval throws before it is recorded
    if (isJournaled()) record("Interval", LongToText(milliseconds));
}

void MemoryTimer::startWait(std::int32_t milliseconds) { dueAt_ = clock_.now() + milliseconds; }

void MemoryTimer::cancelWait() { dueAt_.reset(); }

void MemoryTimer::deliverTick(std::int64_t dueAt) {
    // The next tick is due one interval after this one, unless the procedure
    // disables the timer or changes its interval.
    dueAt_ = dueAt + interval();
    ++ticksDelivered_;
    if (onTick_) onTick_();
}

void MemoryProgramEnd::end() {
    ended_ = true;
    clock_.stop();
    record("End", "true");
}

VirtualClock::Due VirtualClock::earliestDue() const {
    Due earliest{nullptr, 0};
    for (MemoryTimer* timer : timers_) {
        if (const std::optional<std::int64_t>& due = timer->dueAt_;
            due && (earliest.timer == nullptr || *due < earliest.at))
            earliest = {timer, *due};
    }
    return earliest;
}

void VirtualClock::advance(std::int64_t milliseconds) {
    const std::int64_t target = now_ + milliseconds;
    while (!stopped_) {
        const Due next = earliestDue();
        if (next.timer == nullptr || next.at > target) break;
        now_ = next.at;
        next.timer->deliverTick(next.at);
    }
    now_ = target;
}

bool VirtualClock::deliverNextTick() {
    const Due next = stopped_ ? Due{nullptr, 0} : earliestDue();
    if (next.timer == nullptr) return false;
    now_ = next.at;
    next.timer->deliverTick(next.at);
    return true;
}

ControlSurface MemorySurface::controls() {
    return {
        .lblDisplay = lblDisplay,
        .txtStart = txtStart,
        .txtinterval = txtinterval,
        .txtincdown = txtincdown,
        .txtintUp = txtintUp,
        .txtIncriments = txtIncriments,
        .txtDividePace = txtDividePace,
        .txtdivideAmount = txtdivideAmount,
        .txtTimes = txtTimes,
        .txtTimesamount = txtTimesamount,
        .tmrCountdown = tmrCountdown,
        .tmrCountUp = tmrCountUp,
        .tmrDivide = tmrDivide,
        .tmrTimes = tmrTimes,
        .Shape1 = Shape1,
        .Shape2 = Shape2,
        .Shape3 = Shape3,
        .Shape4 = Shape4,
        .end = end,
    };
}

void MemorySurface::attachJournal(Journal* journal) {
    for (MemoryControl* control : std::initializer_list<MemoryControl*>{
             &lblDisplay, &tmrCountdown, &tmrCountUp, &tmrDivide, &tmrTimes, &Shape1, &Shape2, &Shape3, &Shape4, &end})
        control->attachJournal(journal);
}

}  // namespace taborvane::testing
