// The four conversions every number passes through, and the one failure kind.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <stdexcept>
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
class LongText;
[[nodiscard]] LongText LongToText(std::int32_t n);

// The decimal text of a 32-bit value, held inline so that showing the value
// on every tick allocates and copies nothing.
class LongText {
public:
    [[nodiscard]] std::string_view view() const { return {chars_.data(), size_}; }
    operator std::string_view() const { return view(); }  // NOLINT(google-explicit-constructor): it is text
    friend bool operator==(const LongText& text, std::string_view other) { return text.view() == other; }

private:
    friend LongText LongToText(std::int32_t n);
    LongText() = default;

    // "-2147483648" is the longest text; the spare room makes the object too
    // large to return in registers, so the digits are written where they stay
    // and never reloaded through a register pair (a costly store-to-load stall).
    std::array<char, 16> chars_;
    std::uint8_t size_ = 0;
};

inline std::ostream& operator<<(std::ostream& out, const LongText& text) { return out << text.view(); }

enum class Operation { Subtract, Add, Divide, Multiply };

// A whole step on the counter: the double operation and its check (an
// invalid or overflowed result, or a division by zero, fails), then
// FloorToLong for a division and ToLong otherwise. Returns nullopt where the
// step fails instead of raising StepFailure, so that a mode whose every step
// fails (a product beyond 32 bits) ticks as cheaply as one that succeeds.
[[nodiscard]] std::optional<std::int32_t> StepValue(std::int32_t count, Operation operation, double operand);

}  // namespace taborvane
