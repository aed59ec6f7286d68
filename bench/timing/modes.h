// The four modes by the names of their controls on the window, and the values
// the benchmark types into them.
#pragma once

#include <array>

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
inline constexpr int kCountUp = 1;

// Amounts that keep the value changing at every tick and far inside 32 bits:
// alone, count up adds 2 (at most 5,000 ticks a case). Together, the value
// starts even and every step keeps it even (-2, +4, divide and multiply by -1
// flip the sign), so countdown never finds its stop value 1, and |value|
// grows by at most 4 a tick.
inline constexpr const char* kStartValue = "1000";
inline constexpr std::array<const char*, 4> kAmountsTogether{{"2", "4", "-1", "-1"}};
inline constexpr const char* kAmountAlone = "2";

}  // namespace taborvane::bench
