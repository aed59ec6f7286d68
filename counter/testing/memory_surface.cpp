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

void MemoryTimer::deliverTick() {
    // The next tick is due one interval after this one, unless the procedure
    // disables the timer or changes its interval.
    dueAt_ = *dueAt_ + interval();
    ++ticksDelivered_;
    if (onTick_) onTick_();
}

void MemoryProgramEnd::end() {
    ended_ = true;
    clock_.stop();
    record("End", "true");
}

MemoryTimer* VirtualClock::earliestDue() const {
    MemoryTimer* earliest = nullptr;
    for (MemoryTimer* timer : timers_) {
        if (timer->dueAt_ && (earliest == nullptr || *timer->dueAt_ < *earliest->dueAt_)) earliest = timer;
    }
    return earliest;
}

void VirtualClock::advance(std::int64_t milliseconds) {
    const std::int64_t target = now_ + milliseconds;
    while (!stopped_) {
        MemoryTimer* next = earliestDue();
        if (next == nullptr || *next->dueAt_ > target) break;
        now_ = *next->dueAt_;
        next->deliverTick();
    }
    now_ = target;
}

bool VirtualClock::deliverNextTick() {
    MemoryTimer* next = stopped_ ? nullptr : earliestDue();
    if (next == nullptr) return false;
    now_ = *next->dueAt_;
    next->deliverTick();
    return true;
}

ControlSurface MemorySurface::controls() {
    return {lblDisplay,      txtStart, txtinterval,    txtincdown,   txtintUp,   txtIncriments, txtDividePace,
            txtdivideAmount, txtTimes, txtTimesamount, tmrCountdown, tmrCountUp, tmrDivide,     tmrTimes,
            Shape1,          Shape2,   Shape3,         Shape4,       end};
}

void MemorySurface::attachJournal(Journal* journal) {
    for (MemoryControl* control : std::initializer_list<MemoryControl*>{
             &lblDisplay, &tmrCountdown, &tmrCountUp, &tmrDivide, &tmrTimes, &Shape1, &Shape2, &Shape3, &Shape4, &end})
        control->attachJournal(journal);
}

}  // namespace taborvane::testing
