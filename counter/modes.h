// The four modes as one table, one row per mode in mode order (ticks due at
// the same instant run in this order): its controls by their design names, the
// procedures that answer them, and what its tick does to the number.
// frmCountdown builds its modes from the rows, and whatever binds the form's
// events (the window, the in-memory counter, tests) binds the modes' from here.
// Another mode is one more row, its procedures and its controls.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "control_surface.h"
#include "frm_countdown.h"
#include "number_rules.h"

namespace taborvane {

using Procedure = void (frmCountdown::*)();

struct ModeRow {
    std::string_view startButton;
    Procedure startClick;
    std::string_view timer;
    Procedure tick;
    std::int32_t designInterval;  // milliseconds, until a pace edit or a tick sets another
    std::string_view lamp;
    std::string_view pace;  // the timer's interval in milliseconds
    Procedure paceChange;
    std::string_view amount;  // the operand of each step
    Operation operation;
    std::optional<std::int32_t> stopValue;  // tested before the step; none: never stops
};

inline constexpr std::array<ModeRow, frmCountdown::kModeCount> kModes{{
    {.startButton = "cmdStart",
     .startClick = &frmCountdown::cmdStart_Click,
     .timer = "tmrCountdown",
     .tick = &frmCountdown::tmrCountdown_Timer,
     .designInterval = 555,
     .lamp = "Shape1",
     .pace = "txtinterval",
     .paceChange = &frmCountdown::txtinterval_Change,
     .amount = "txtincdown",
     .operation = Operation::Subtract,
     .stopValue = 1},
    {.startButton = "Command1",
     .startClick = &frmCountdown::Command1_Click,
     .timer = "tmrCountUp",
     .tick = &frmCountdown::tmrCountUp_Timer,
     .designInterval = 66,
     .lamp = "Shape2",
     .pace = "txtintUp",
     .paceChange = &frmCountdown::txtintUp_Change,
     .amount = "txtIncriments",
     .operation = Operation::Add,
     .stopValue = 999'999'999},
    {.startButton = "cmdDivide",
     .startClick = &frmCountdown::cmdDivide_Click,
     .timer = "tmrDivide",
     .tick = &frmCountdown::tmrDivide_Timer,
     .designInterval = 47,
     .lamp = "Shape3",
     .pace = "txtDividePace",
     .paceChange = &frmCountdown::txtDividePace_Change,
     .amount = "txtdivideAmount",
     .operation = Operation::Divide,
     .stopValue = -999'999'999},
    {.startButton = "cmdTimes",
     .startClick = &frmCountdown::cmdTimes_Click,
     .timer = "tmrTimes",
     .tick = &frmCountdown::tmrTimes_Timer,
     .designInterval = 47,
     .lamp = "Shape4",
     .pace = "txtTimes",
     .paceChange = &frmCountdown::txtTimes_Change,
     .amount = "txtTimesamount",
     .operation = Operation::Multiply,
     .stopValue = std::nullopt},
}};

// The row whose column holds that name; a name no row has is the program's
// mistake, which stops compiling where the name is a constant.
[[nodiscard]] constexpr std::size_t ModeIndexWhere(std::string_view ModeRow::*column, std::string_view name) {
    for (std::size_t index = 0; index < kModes.size(); ++index)
        if (kModes[index].*column == name) return index;
    throw std::out_of_range("no mode has a control of this name");
}

[[nodiscard]] constexpr const ModeRow& ModeOfTimer(std::string_view timer) {
    return kModes[ModeIndexWhere(&ModeRow::timer, timer)];
}

[[nodiscard]] constexpr std::int32_t DesignIntervalOf(std::string_view timer) {
    return ModeOfTimer(timer).designInterval;
}

// Each row names controls the surface has, and no control belongs to two
// modes or to two parts of one. (Procedures are not compared here: a
// sanitizer build cannot compare member pointers when compiling; a procedure
// in the wrong row fails the rows that click, type and tick.)
[[nodiscard]] constexpr bool EachModeHasControlsOfItsOwn() {
    std::array<std::string_view, kModes.size() * 5> names{};
    std::size_t name = 0;
    for (const ModeRow& mode : kModes) {
        if (!HasNamed(kTimersByName, mode.timer) || !HasNamed(kShapesByName, mode.lamp) ||
            !HasNamed(kTextBoxesByName, mode.pace) || !HasNamed(kTextBoxesByName, mode.amount))
            return false;
        for (const std::string_view control : {mode.startButton, mode.timer, mode.lamp, mode.pace, mode.amount})
            names[name++] = control;
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        for (std::size_t j = i + 1; j < names.size(); ++j)
            if (names[i] == names[j]) return false;
    return true;
}
static_assert(EachModeHasControlsOfItsOwn());

}  // namespace taborvane
