#include "frm_countdown.h"

#include <utility>

#include "modes.h"

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

// A procedure's mode is the row that names the procedure's own control, found
// when compiling: a name no row has does not compile, and nothing is looked up
// when the procedure runs.
consteval std::size_t RowOfButton(std::string_view button) { return ModeIndexWhere(&ModeRow::startButton, button); }
consteval std::size_t RowOfTimer(std::string_view timer) { return ModeIndexWhere(&ModeRow::timer, timer); }
consteval std::size_t RowOfPace(std::string_view pace) { return ModeIndexWhere(&ModeRow::pace, pace); }

}  // namespace

frmCountdown::Mode::Mode(const ModeRow& row, const ControlSurface& controls)
    : timer(controls.timer(row.timer)),
      lamp(controls.shape(row.lamp)),
      pace(controls.textBox(row.pace)),
      amount(controls.textBox(row.amount)),
      operation(row.operation),
      stopValue(row.stopValue) {}

std::array<frmCountdown::Mode, frmCountdown::kModeCount> frmCountdown::modesOn(const ControlSurface& controls) {
    const auto eachRow = [&controls]<std::size_t... Index>(std::index_sequence<Index...>) {
        return std::array<Mode, kModeCount>{Mode(kModes[Index], controls)...};
    };
    return eachRow(std::make_index_sequence<kModeCount>());
}

frmCountdown::frmCountdown(const ControlSurface& controls) : controls_(controls), modes_(modesOn(controls)) {}

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
    runTick<LightLamp, StopAtStopValue, ReloadPace, StepCount, ShowCount>(modes_[RowOfTimer("tmrCountdown")]);
}

void frmCountdown::tmrCountUp_Timer() {
    using enum TickStep;
    runTick<LightLamp, StopAtStopValue, ReloadPace, StepCount, ShowCount>(modes_[RowOfTimer("tmrCountUp")]);
}

void frmCountdown::tmrDivide_Timer() {
    using enum TickStep;
    runTick<LightLamp, StopAtStopValue, ReloadDivisor, ReloadPace, StepCount, ShowCount>(
        modes_[RowOfTimer("tmrDivide")]);
}

void frmCountdown::tmrTimes_Timer() {
    using enum TickStep;
    runTick<LightLamp, ReloadPace, StepCount, ShowCount>(modes_[RowOfTimer("tmrTimes")]);
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

void frmCountdown::reloadDivisor() { lngDivisor = ReadLong(controls_.txtdivideAmount); }

void frmCountdown::stepCount(const Mode& mode) {
    const double operand = mode.operation == Operation::Divide ? lngDivisor : ReadNumber(mode.amount.text());
    // A failing step leaves the value as it was.
    if (const std::optional<std::int32_t> value = StepValue(lngCount, mode.operation, operand)) lngCount = *value;
}

void frmCountdown::showCount() { controls_.lblDisplay.setCaption(LongToText(lngCount)); }

void frmCountdown::cmdStart_Click() { modes_[RowOfButton("cmdStart")].timer.setEnabled(true); }
void frmCountdown::Command1_Click() { modes_[RowOfButton("Command1")].timer.setEnabled(true); }
void frmCountdown::cmdDivide_Click() { modes_[RowOfButton("cmdDivide")].timer.setEnabled(true); }
void frmCountdown::cmdTimes_Click() { modes_[RowOfButton("cmdTimes")].timer.setEnabled(true); }

void frmCountdown::cmdStop_Click() {
    // All lamps go out before any timer stops.
    for (const Mode& mode : modes_) mode.lamp.setVisible(false);
    for (const Mode& mode : modes_) mode.timer.setEnabled(false);
}

void frmCountdown::cmdReset_Click() {
    for (const Mode& mode : modes_) mode.lamp.setVisible(false);
    lngCount = 0;
    showCount();
}

void frmCountdown::Cmdexit_Click() { controls_.end.end(); }

void frmCountdown::txtStart_Change() {
    AbsorbStepFailure([&] { LoadStartValue(); });
}

void frmCountdown::txtinterval_Change() {
    AbsorbStepFailure([&] { reloadPace(modes_[RowOfPace("txtinterval")]); });
}

void frmCountdown::txtintUp_Change() {
    AbsorbStepFailure([&] { reloadPace(modes_[RowOfPace("txtintUp")]); });
}

void frmCountdown::txtDividePace_Change() {
    AbsorbStepFailure([&] { reloadPace(modes_[RowOfPace("txtDividePace")]); });
}

void frmCountdown::txtdivideAmount_Change() {
    AbsorbStepFailure([&] { reloadDivisor(); });
}

void frmCountdown::txtTimes_Change() {
    AbsorbStepFailure([&] { reloadPace(modes_[RowOfPace("txtTimes")]); });
}

}  // namespace taborvane
