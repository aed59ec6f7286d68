// The counter: one signed 32-bit value that four self-running modes change.
//
// How the parts fit:
//   number_rules      text -> double -> int32 -> text, and StepFailure
//   control_surface   what the logic does to the window (label, entries,
//                     lamps, timers, ending the program), as interfaces
//   interval_timer    the timer rules shared by every surface
//   frmCountdown      one member function per (control, event) pair
//   modes             the four modes as one table: their controls' names, the
//                     procedures that answer them, operation and stop value
//   form_events       every event that has a procedure, for whatever binds them
//
// An event's way: the window system (or the in-memory surface of tests)
// calls one procedure here; the procedure reads entries, does its arithmetic
// with the number rules and writes to the surface. Nothing flows back except
// an entry's text being read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "control_surface.h"
#include "number_rules.h"

namespace taborvane {

struct ModeRow;

class frmCountdown {
public:
    static constexpr std::size_t kModeCount = 4;  // the rows of the mode table (modes.h)

    // Throws std::out_of_range where a mode row names a control the surface lacks.
    explicit frmCountdown(const ControlSurface& controls);

    void Form_Load();
    void LoadStartValue();

    // Timer ticks: a step that fails is abandoned and the tick goes on.
    void tmrCountdown_Timer();
    void tmrCountUp_Timer();
    void tmrDivide_Timer();
    void tmrTimes_Timer();

    void cmdStart_Click();
    void Command1_Click();
    void cmdDivide_Click();
    void cmdTimes_Click();
    void cmdStop_Click();
    void cmdReset_Click();
    void Cmdexit_Click();

    // Entry edits: a failing edit leaves the previous value or interval.
    void txtStart_Change();
    void txtinterval_Change();
    void txtintUp_Change();
    void txtDividePace_Change();
    void txtdivideAmount_Change();
    void txtTimes_Change();

    [[nodiscard]] std::int32_t count() const { return lngCount; }
    [[nodiscard]] std::int32_t divisor() const { return lngDivisor; }

private:
    // What differs between the modes: a mode row's controls on this surface.
    struct Mode {
        Mode(const ModeRow& row, const ControlSurface& controls);
        Timer& timer;
        Shape& lamp;
        TextBox& pace;
        TextBox& amount;
        Operation operation;
        std::optional<std::int32_t> stopValue;  // tested before the step; none: never stops
    };
    // The numbered steps of a tick; each procedure lists its own order.
    enum class TickStep { LightLamp, StopAtStopValue, ReloadDivisor, ReloadPace, StepCount, ShowCount };

    template <TickStep... Steps>
    void runTick(const Mode& mode);
    void perform(TickStep step, const Mode& mode);
    void reloadPace(const Mode& mode);
    void reloadDivisor();
    void stepCount(const Mode& mode);
    void showCount();
    [[nodiscard]] static std::array<Mode, kModeCount> modesOn(const ControlSurface& controls);

    ControlSurface controls_;
    std::array<Mode, kModeCount> modes_;  // in the mode table's order
    std::int32_t lngCount = 0;
    std::int32_t lngDivisor = 0;
};

}  // namespace taborvane
