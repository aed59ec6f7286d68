#include "number_rules.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

namespace taborvane {
namespace {

constexpr double kLongMin = -2147483648.0;
constexpr double kLongMax = 2147483647.0;

bool isSkippedBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }  // ASCII only: full-width digits read as text
bool isExponentLetter(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

// Walks the text while skipping blanks, so that "1 000" scans like "1000".
class BlankSkippingCursor {
public:
    explicit BlankSkippingCursor(std::string_view text) : text_(text) { skipBlanks(); }
    [[nodiscard]] char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    void advance() {
        ++pos_;
        skipBlanks();
    }

private:
    void skipBlanks() {
        while (pos_ < text_.size() && isSkippedBlank(text_[pos_])) ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The number as read, in the form std::from_chars reads: blanks removed, no
// '+' sign, 'e' for every exponent letter.
struct ScannedNumber {
    std::string chars;
    bool negative = false;
    // Power of ten of the leading significant digit; it tells an overflow
    // from an underflow when the value does not fit a double.
    std::int64_t magnitude = 0;
};

// Digit counts cannot overflow 64 bits (no text is that long); a written
// exponent can, so it saturates far beyond any double's range.
constexpr std::int64_t kExponentSaturation = std::int64_t{1} << 40;
constexpr std::size_t kMostExactDigits = 15;  // any 15-digit integer is an exact double
// Every power of ten that is an exact double.
constexpr std::array<double, 23> kPowersOfTen{1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Reads the number at the start of the text; false when there is none.
bool scanNumber(std::string_view text, ScannedNumber& out) {
    BlankSkippingCursor cursor(text);
    if (cursor.peek() == '+' || cursor.peek() == '-') {
        out.negative = cursor.peek() == '-';
        cursor.advance();
    }
    bool anyDigit = false;
    bool significant = false;        // a non-zero digit has been seen
    std::int64_t integerDigits = 0;  // significant ones, leading zeros excluded
    std::int64_t fractionLeadingZeros = 0;
    for (char c = cursor.peek(); isDigit(c); cursor.advance(), c = cursor.peek()) {
        anyDigit = true;
        out.chars.push_back(c);
        significant = significant || c != '0';
        if (significant) ++integerDigits;
    }
    if (cursor.peek() == '.') {
        out.chars.push_back('.');
        cursor.advance();
        for (char c = cursor.peek(); isDigit(c); cursor.advance(), c = cursor.peek()) {
            anyDigit = true;
            out.chars.push_back(c);
            significant = significant || c != '0';
            if (!significant) ++fractionLeadingZeros;
        }
    }
    if (!anyDigit) return false;
    out.magnitude = integerDigits > 0 ? integerDigits - 1 : -(fractionLeadingZeros + 1);

    if (!isExponentLetter(cursor.peek())) return true;
    // An exponent letter counts only when digits follow it: "1.5e" reads 1.5.
    BlankSkippingCursor exponent = cursor;
    exponent.advance();
    bool exponentNegative = false;
    if (exponent.peek() == '+' || exponent.peek() == '-') {
        exponentNegative = exponent.peek() == '-';
        exponent.advance();
    }
    if (!isDigit(exponent.peek())) return true;
    out.chars += exponentNegative ? "e-" : "e";
    std::int64_t exponentValue = 0;
    for (char c = exponent.peek(); isDigit(c); exponent.advance(), c = exponent.peek()) {
        out.chars.push_back(c);
        exponentValue = std::min(exponentValue * 10 + (c - '0'), kExponentSaturation);
    }
    out.magnitude += exponentNegative ? -exponentValue : exponentValue;
    return true;
}

// A sign, digits and at most one point, nothing else, at most 15 digits:
// the digits make an exact integer, and one division by an exact power of
// ten rounds correctly.
std::optional<double> plainDecimal(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.size() > kMostExactDigits) return std::nullopt;
    std::uint64_t digits = 0;
    std::size_t fractionDigits = 0;
    bool seenPoint = false;
    bool seenDigit = false;
    for (const char c : text) {
        if (isDigit(c)) {
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
            fractionDigits += seenPoint ? 1 : 0;
            seenDigit = true;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            return std::nullopt;
        }
    }
    if (!seenDigit) return std::nullopt;
    const double value = static_cast<double>(digits) / kPowersOfTen[fractionDigits];
    return negative ? -value : value;
}

std::optional<std::int32_t> inLongRange(double integral) {
    if (!(integral >= kLongMin && integral <= kLongMax)) return std::nullopt;  // NaN fails too
    return static_cast<std::int32_t>(integral);
}

// The default rounding mode sends halfway cases to the even neighbour.
std::optional<std::int32_t> roundToLong(double x) { return inLongRange(std::nearbyint(x)); }

std::optional<std::int32_t> floorToLong(double x) { return inLongRange(std::floor(x)); }

std::optional<double> checkedStep(double value, Operation operation, double operand) {
    double result = 0.0;
    switch (operation) {
    case Operation::Subtract:
        result = value - operand;
        break;
    case Operation::Add:
        result = value + operand;
        break;
    case Operation::Multiply:
        result = value * operand;
        break;
    case Operation::Divide:
        if (operand == 0.0) return std::nullopt;
        result = value / operand;
        break;
    }
    // The operands are finite, so a non-finite result is an overflow or 0/0.
    if (!std::isfinite(result)) return std::nullopt;
    return result;
}

}  // namespace

double ReadNumber(std::string_view text) {
    // Entries nearly always hold a short plain number ("470", "000000777",
    // "3.7", "-37"): read those directly, exactly, before the general grammar.
    if (const std::optional<double> plain = plainDecimal(text)) return *plain;
    ScannedNumber number;
    if (!scanNumber(text, number)) return 0.0;
    double value = 0.0;
    const char* first = number.chars.data();
    const char* last = first + number.chars.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too large for a double fails; too small reads as zero.
        if (number.magnitude > 0) throw StepFailure();
        value = 0.0;
    }
    return number.negative ? -value : value;
}

std::int32_t ToLong(double x) {
    const std::optional<std::int32_t> value = roundToLong(x);
    if (!value) throw StepFailure();
    return *value;
}

std::int32_t FloorToLong(double x) {
    const std::optional<std::int32_t> value = floorToLong(x);
    if (!value) throw StepFailure();
    return *value;
}

LongText LongToText(std::int32_t n) {
    LongText text;
    char* const first = text.chars_.data();
    const auto [end, error] = std::to_chars(first, first + text.chars_.size(), n);
    text.size_ = static_cast<std::uint8_t>(end - first);
    return text;
}

std::optional<std::int32_t> StepValue(std::int32_t count, Operation operation, double operand) {
    const std::optional<double> result = checkedStep(count, operation, operand);
    if (!result) return std::nullopt;
    return operation == Operation::Divide ? floorToLong(*result) : roundToLong(*result);
}

}  // namespace taborvane
