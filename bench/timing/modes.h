// The four modes by the names of their controls on the window, the values the
// benchmark types into them, the cases it runs, and how a case's modes were
// started.
#pragma once

#include <array>
#include <span>

#include "bench_clock.h"

namespace taborvane::bench {

struct ModeNames {
    const char* label;
    const char* button;
    const char* pace;
    const char* amount;
    const char* timer;
};

inline constexpr std::array<ModeNames, 4> kModes{{
    {"countdown", "cmdStart", "txtinterval", "txtincdown", "tmrCountdown"},
    {"count up", "Command1", "txtintUp", "txtIncriments", "tmrCountUp"},
    {"divide", "cmdDivide", "txtDividePace", "txtdivideAmount", "tmrDivide"},
    {"multiply", "cmdTimes", "txtTimes", "txtTimesamount", "tmrTimes"},
}};

// Amounts with which every tick changes the value, and so does every batch of
// ticks a frame shows, whatever their order: countdown subtracts -2 and count
// up adds 4, so neither undoes the other; divide by -1 flips the sign, which
// no batch undoes without a multiply tick (at one pace, one falls between two
// divide ticks); multiply by 1.0001 moves |value| by at least 1,000, far more
// than the additions of a frame. From 10,000,000 the value stays far from
// every stop value (1, 999,999,999, -999,999,999) in cases up to 40 s at a
// pace of 1 ms.
inline constexpr const char* kStartValue = "10000000";
inline constexpr std::array<const char*, 4> kAmounts{{"-2", "4", "-1", "1.0001"}};

// The modes a case starts, in the order their buttons are clicked: one mode is
// count up, two are countdown and count up, four are all.
inline std::span<const int> ModesStarted(int count) {
    static constexpr std::array<int, 1> kOne{1};
    static constexpr std::array<int, 2> kTwo{0, 1};
    static constexpr std::array<int, 4> kFour{0, 1, 2, 3};
    if (count == 1) return kOne;
    if (count == 2) return kTwo;
    return kFour;
}

// The curve: every number of modes at every pace (ms).
inline constexpr std::array<int, 3> kModeCounts{1, 2, 4};
inline constexpr std::array<int, 5> kPaces{1, 2, 5, 10, 47};

// The headline cases, printed first: four modes at 1 ms, and one mode at 10 ms.
struct CaseShape {
    int modes;
    int pace;
};
inline constexpr std::array<CaseShape, 2> kHeadline{{{4, 1}, {1, 10}}};

// An assistive tool asks for the display's value this often (ms), at a pace
// unrelated to the frames.
inline constexpr int kQueryEveryMs = 7;

// A mode as its start button's click left it: ticks due at `at` + k·pace.
struct StartedMode {
    int mode;
    Nanoseconds at;  // the instant the click took effect
};

}  // namespace taborvane::bench
