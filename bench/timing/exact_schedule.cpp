// Runs the counter's own tick procedures in the order of their due instants,
// rather than through its virtual clock, which counts whole milliseconds.
#include "exact_schedule.h"

#include <QtGlobal>
#include <cstdio>

namespace taborvane::bench {
namespace {

constexpr Nanoseconds kMillisecond = 1'000'000;

}  // namespace

std::array<ExactSchedule::Mode, 4> ExactSchedule::modes() {
    auto& s = counter_.surface;
    return {{
        {s.txtinterval, s.txtincdown, s.tmrCountdown, &frmCountdown::cmdStart_Click, &frmCountdown::tmrCountdown_Timer},
        {s.txtintUp, s.txtIncriments, s.tmrCountUp, &frmCountdown::Command1_Click, &frmCountdown::tmrCountUp_Timer},
        {s.txtDividePace, s.txtdivideAmount, s.tmrDivide, &frmCountdown::cmdDivide_Click,
         &frmCountdown::tmrDivide_Timer},
        {s.txtTimes, s.txtTimesamount, s.tmrTimes, &frmCountdown::cmdTimes_Click, &frmCountdown::tmrTimes_Timer},
    }};
}

ExactSchedule::ExactSchedule(int pace, std::vector<StartedMode> started) : started_(std::move(started)) {
    // The entries as the benchmark leaves the window's before the clicks.
    counter_.surface.txtStart.edit(kStartValue);
    char paceText[16];
    std::snprintf(paceText, sizeof paceText, "%d", pace);
    const std::array<Mode, 4> table = modes();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].pace.name() != kModes[i].pace || table[i].amount.name() != kModes[i].amount)
            qFatal("the reference's mode %zu is not the window's %s", i, kModes[i].label);
        table[i].pace.edit(paceText);
        table[i].amount.edit(kAmounts[i]);
    }
}

std::optional<std::size_t> ExactSchedule::nextTickBy(Nanoseconds instant) const {
    std::optional<std::size_t> next;
    for (std::size_t i = 0; i < nextDue_.size(); ++i)
        if (nextDue_[i] && *nextDue_[i] <= instant && (!next || *nextDue_[i] < *nextDue_[*next])) next = i;
    return next;
}

const std::string& ExactSchedule::valueAt(Nanoseconds instant) {
    for (;;) {
        const std::optional<std::size_t> tickMode = nextTickBy(instant);
        const bool startDue = nextStart_ < started_.size() && started_[nextStart_].at <= instant;
        // A click at an instant comes after the ticks due by then.
        if (startDue && (!tickMode || started_[nextStart_].at < *nextDue_[*tickMode]))
            start(started_[nextStart_++]);
        else if (tickMode)
            tick(*tickMode);
        else
            break;
    }
    return counter_.surface.lblDisplay.caption();
}

void ExactSchedule::start(const StartedMode& started) {
    const auto mode = static_cast<std::size_t>(started.mode);
    (counter_.form.*modes()[mode].click)();
    followOn(mode, started.at);
}

void ExactSchedule::tick(std::size_t mode) {
    const Nanoseconds due = *nextDue_[mode];
    dues_[mode].push_back(due);
    (counter_.form.*modes()[mode].tick)();
    // A tick that changes its interval restarts the timer from its own instant.
    followOn(mode, due);
}

void ExactSchedule::followOn(std::size_t mode, Nanoseconds from) {
    const taborvane::testing::MemoryTimer& timer = modes()[mode].timer;
    if (timer.isWaiting())
        nextDue_[mode] = from + Nanoseconds{timer.interval()} * kMillisecond;
    else
        nextDue_[mode].reset();
}

}  // namespace taborvane::bench
