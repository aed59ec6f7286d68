// The four conversions every number passes through, and the one failure kind.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace taborvane {

// A conversion, a step's arithmetic or a control refused its input. It carries
// no message for the user: the program never shows one.
class StepFailure : public std::runtime_error {
public:
    StepFailure() : std::runtime_error("step failure") {}
};

// The number written at the start of the text; 0 when none is written there.
// Blanks, tabs and line breaks are skipped before and inside the number.
// Throws StepFailure when the number lies beyond the double range.
[[nodiscard]] double ReadNumber(std::string_view text);

// Nearest integer, halfway cases to the even one; StepFailure outside int32.
[[nodiscard]] std::int32_t ToLong(double x);

// Largest integer not above x; StepFailure outside int32.
[[nodiscard]] std::int32_t FloorToLong(double x);

// Plain decimal digits, a leading minus sign for negatives, "0" for zero.
[[nodiscard]] std::string LongToText(std::int32_t n);

// The check after each double operation of a step: an invalid or overflowed
// result, or a division by zero, is a StepFailure.
enum class Operation { Subtract, Add, Divide, Multiply };
[[nodiscard]] double CheckedStep(double value, Operation operation, double operand);

}  // namespace taborvane
