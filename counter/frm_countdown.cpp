#include "frm_countdown.h"

namespace taborvane {
namespace {

std::int32_t ReadLong(const TextBox& entry) { return ToLong(ReadNumber(entry.text())); }

// Ticks and edits keep the previous value or interval when a step fails.
template <typename Action>
void AbsorbStepFailure(Action&& action) {
    try {
        action();
    } catch (const StepFailure&) {  // NOLINT(bugprone-empty-catch): a failing step is skipped, by design
    }
}

}  // namespace

frmCountdown::frmCountdown(const ControlSurface& controls)
    : controls_(controls),
      countdown_{controls.tmrCountdown, controls.Shape1,     controls.txtinterval,
                 controls.txtincdown,   Operation::Subtract, 1},
      countUp_{controls.tmrCountUp,    controls.Shape2, controls.txtintUp,
               controls.txtIncriments, Operation::Add,  999'999'999},
      divide_{controls.tmrDivide,       controls.Shape3,   controls.txtDividePace,
              controls.txtdivideAmount, Operation::Divide, -999'999'999},
      multiply_{controls.tmrTimes,       controls.Shape4,     controls.txtTimes,
                controls.txtTimesamount, Operation::Multiply, std::nullopt} {}

template <frmCountdown::TickStep... Steps>
void frmCountdown::runTick(const Mode& mode) {
    (AbsorbStepFailure([&] { perform(Steps, mode); }), ...);
}

void frmCountdown::Form_Load() { LoadStartValue(); }

void frmCountdown::LoadStartValue() {
    lngCount = ReadLong(controls_.txtStart);
    showCount();
}

void frmCountdown::tmrCountdown_Timer() {
    using enum TickStep;
    runTick<LightLamp, StopAtStopValue, ReloadPace, StepCount, ShowCount>(countdown_);
}

void frmCountdown::tmrCountUp_Timer() {
    using enum TickStep;
    runTick<LightLamp, StopAtStopValue, ReloadPace, StepCount, ShowCount>(countUp_);
}

void frmCountdown::tmrDivide_Timer() {
    using enum TickStep;
    runTick<LightLamp, StopAtStopValue, ReloadDivisor, ReloadPace, StepCount, ShowCount>(divide_);
}

void frmCountdown::tmrTimes_Timer() {
    using enum TickStep;
    runTick<LightLamp, ReloadPace, StepCount, ShowCount>(multiply_);
}

void frmCountdown::perform(TickStep step, const Mode& mode) {
    switch (step) {
    case TickStep::LightLamp:
        mode.lamp.setVisible(true);
        break;
    case TickStep::StopAtStopValue:
        if (mode.stopValue && lngCount == *mode.stopValue) mode.timer.setEnabled(false);
        break;
    case TickStep::ReloadDivisor:
        reloadDivisor();
        break;
    case TickStep::ReloadPace:
        reloadPace(mode);
        break;
    case TickStep::StepCount:
        stepCount(mode);
        break;
    case TickStep::ShowCount:
        showCount();
        break;
    }
}

void frmCountdown::reloadPace(const Mode& mode) { mode.timer.setInterval(ReadLong(mode.pace)); }

void frmCountdown::reloadDivisor() { lngDivisor = ReadLong(divide_.amount); }

void frmCountdown::stepCount(const Mode& mode) {
    const double operand = mode.operation == Operation::Divide ? lngDivisor : ReadNumber(mode.amount.text());
    // A failing step leaves the value as it was.
    if (const std::optional<std::int32_t> value = StepValue(lngCount, mode.operation, operand)) lngCount = *value;
}

void frmCountdown::showCount() { controls_.lblDisplay.setCaption(LongToText(lngCount)); }

std::array<const frmCountdown::Mode*, 4> frmCountdown::modes() const {
    return {&countdown_, &countUp_, &divide_, &multiply_};
}

void frmCountdown::cmdStart_Click() { countdown_.timer.setEnabled(true); }
void frmCountdown::Command1_Click() { countUp_.timer.setEnabled(true); }
void frmCountdown::cmdDivide_Click() { divide_.timer.setEnabled(true); }
void frmCountdown::cmdTimes_Click() { multiply_.timer.setEnabled(true); }

void frmCountdown::cmdStop_Click() {
    // All lamps go out before any timer stops.
    for (const Mode* mode : modes()) mode->lamp.setVisible(false);
    for (const Mode* mode : modes()) mode->timer.setEnabled(false);
}

void frmCountdown::cmdReset_Click() {
    for (const Mode* mode : modes()) mode->lamp.setVisible(false);
    lngCount = 0;
    showCount();
}

void frmCountdown::Cmdexit_Click() { controls_.end.end(); }

void frmCountdown::txtStart_Change() {
    AbsorbStepFailure([&] { LoadStartValue(); });
}

void frmCountdown::txtinterval_Change() {
    AbsorbStepFailure([&] { reloadPace(countdown_); });
}

void frmCountdown::txtintUp_Change() {
    AbsorbStepFailure([&] { reloadPace(countUp_); });
}

void frmCountdown::txtDividePace_Change() {
    AbsorbStepFailure([&] { reloadPace(divide_); });
}

void frmCountdown::txtdivideAmount_Change() {
    AbsorbStepFailure([&] { reloadDivisor(); });
}

void frmCountdown::txtTimes_Change() {
    AbsorbStepFailure([&] { reloadPace(multiply_); });
}

}  // namespace taborvane
