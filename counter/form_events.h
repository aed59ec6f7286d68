// Every event of the form that has a procedure, for whatever binds them (the
// window, the in-memory counter): the modes' from the mode table, the rest
// from a small table here. No other event of any control has a procedure.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "frm_countdown.h"
#include "modes.h"

namespace taborvane {

struct EventBinding {
    std::string_view control;
    Procedure procedure;
};

inline constexpr std::array<EventBinding, 3> kOtherClicks{{
    {"cmdStop", &frmCountdown::cmdStop_Click},
    {"cmdReset", &frmCountdown::cmdReset_Click},
    {"Cmdexit", &frmCountdown::Cmdexit_Click},
}};

inline constexpr std::array<EventBinding, 2> kOtherChanges{{
    {"txtStart", &frmCountdown::txtStart_Change},
    {"txtdivideAmount", &frmCountdown::txtdivideAmount_Change},
}};

// One column pair of the mode table, in mode order, then the others.
template <std::size_t N>
[[nodiscard]] constexpr std::array<EventBinding, kModes.size() + N> ModesThen(
    std::string_view ModeRow::*control, Procedure ModeRow::*procedure, const std::array<EventBinding, N>& others) {
    std::array<EventBinding, kModes.size() + N> bindings{};
    std::size_t next = 0;
    for (const ModeRow& mode : kModes) bindings[next++] = {mode.*control, mode.*procedure};
    for (const EventBinding& other : others) bindings[next++] = other;
    return bindings;
}

inline constexpr auto kClickBindings = ModesThen(&ModeRow::startButton, &ModeRow::startClick, kOtherClicks);
inline constexpr auto kChangeBindings = ModesThen(&ModeRow::pace, &ModeRow::paceChange, kOtherChanges);
inline constexpr auto kTimerBindings = ModesThen(&ModeRow::timer, &ModeRow::tick, std::array<EventBinding, 0>{});

// A control answers an event with one procedure at most, and every edited entry is one the surface has.
template <std::size_t N>
[[nodiscard]] constexpr bool EachControlOnce(const std::array<EventBinding, N>& bindings) {
    for (std::size_t i = 0; i < N; ++i)
        for (std::size_t j = i + 1; j < N; ++j)
            if (bindings[i].control == bindings[j].control) return false;
    return true;
}
static_assert(EachControlOnce(kClickBindings) && EachControlOnce(kChangeBindings));
static_assert(std::all_of(kChangeBindings.begin(), kChangeBindings.end(),
                          [](const EventBinding& change) { return HasNamed(kTextBoxesByName, change.control); }));

}  // namespace taborvane
