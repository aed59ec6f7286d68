#include "number_rules.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace taborvane {
namespace {

constexpr double kLongMin = -2147483648.0;
constexpr double kLongMax = 2147483647.0;

bool isSkippedBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isExponentLetter(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

// Walks the text while skipping blanks, so that "1 000" scans like "1000".
class BlankSkippingCursor {
public:
    explicit BlankSkippingCursor(std::string_view text) : text_(text) { skipBlanks(); }
    [[nodiscard]] bool atEnd() const { return pos_ >= text_.size(); }
    [[nodiscard]] char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void advance() {
        ++pos_;
        skipBlanks();
    }

private:
    void skipBlanks() {
        while (!atEnd() && isSkippedBlank(text_[pos_])) ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The number's characters with blanks removed, in the form std::from_chars
// reads: no '+' sign and 'e' for every exponent letter.
struct ScannedNumber {
    std::string chars;
    bool negative = false;
    // Power of ten of the leading significant digit, saturated; it tells an
    // overflow from an underflow when the value does not fit a double.
    std::int64_t magnitude = 0;
    bool hasNonZeroDigit = false;
};

constexpr std::int64_t kSaturation = std::int64_t{1} << 40;

std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
    const std::int64_t sum = a + b;
    return sum > kSaturation ? kSaturation : (sum < -kSaturation ? -kSaturation : sum);
}

// Returns false when the text does not begin with a number.
bool scanNumber(std::string_view text, ScannedNumber& out) {
    BlankSkippingCursor cursor(text);
    if (cursor.peek() == '+' || cursor.peek() == '-') {
        out.negative = cursor.peek() == '-';
        cursor.advance();
    }
    std::size_t mantissaDigits = 0;
    std::int64_t integerDigitsAfterLeadingZeros = 0;
    std::int64_t fractionZerosBeforeSignificant = 0;
    for (; isDigit(cursor.peek()); cursor.advance()) {
        const char c = cursor.peek();
        out.hasNonZeroDigit = out.hasNonZeroDigit || c != '0';
        if (out.hasNonZeroDigit) integerDigitsAfterLeadingZeros = saturatingAdd(integerDigitsAfterLeadingZeros, 1);
        out.chars.push_back(c);
        ++mantissaDigits;
    }
    if (cursor.peek() == '.') {
        out.chars.push_back('.');
        cursor.advance();
        for (; isDigit(cursor.peek()); cursor.advance()) {
            const char c = cursor.peek();
            if (!out.hasNonZeroDigit && c == '0')
                fractionZerosBeforeSignificant = saturatingAdd(fractionZerosBeforeSignificant, 1);
            out.hasNonZeroDigit = out.hasNonZeroDigit || c != '0';
            out.chars.push_back(c);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) return false;
    out.magnitude = integerDigitsAfterLeadingZeros > 0 ? integerDigitsAfterLeadingZeros - 1
                                                      : -(fractionZerosBeforeSignificant + 1);

    if (!isExponentLetter(cursor.peek())) return true;
    // An exponent letter counts only when digits follow it: "1.5e" reads 1.5.
    BlankSkippingCursor exponent = cursor;
    exponent.advance();
    std::string exponentChars = "e";
    bool exponentNegative = false;
    if (exponent.peek() == '+' || exponent.peek() == '-') {
        exponentNegative = exponent.peek() == '-';
        if (exponentNegative) exponentChars.push_back('-');
        exponent.advance();
    }
    if (!isDigit(exponent.peek())) return true;
    std::int64_t exponentValue = 0;
    for (; isDigit(exponent.peek()); exponent.advance()) {
        exponentChars.push_back(exponent.peek());
        exponentValue = saturatingAdd(exponentValue * 10 > kSaturation ? kSaturation : exponentValue * 10,
                                      exponent.peek() - '0');
    }
    out.chars += exponentChars;
    out.magnitude = saturatingAdd(out.magnitude, exponentNegative ? -exponentValue : exponentValue);
    return true;
}

}  // namespace

double ReadNumber(std::string_view text) {
    ScannedNumber number;
    if (!scanNumber(text, number)) return 0.0;
    double value = 0.0;
    const char* first = number.chars.data();
    const char* last = first + number.chars.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too large for a double fails; too small reads as zero.
        if (number.hasNonZeroDigit && number.magnitude > 0) throw StepFailure();
        value = 0.0;
    }
    return number.negative ? -value : value;
}

std::int32_t ToLong(double x) {
    // The default rounding mode sends halfway cases to the even neighbour.
    const double rounded = std::nearbyint(x);
    if (!(rounded >= kLongMin && rounded <= kLongMax)) throw StepFailure();
    return static_cast<std::int32_t>(rounded);
}

std::int32_t FloorToLong(double x) {
    const double floored = std::floor(x);
    if (!(floored >= kLongMin && floored <= kLongMax)) throw StepFailure();
    return static_cast<std::int32_t>(floored);
}

std::string LongToText(std::int32_t n) {
    std::array<char, std::numeric_limits<std::int32_t>::digits10 + 3> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), n);
    return std::string(buffer.data(), end);
}

double CheckedStep(double value, Operation operation, double operand) {
    double result = 0.0;
    switch (operation) {
    case Operation::Subtract: result = value - operand; break;
    case Operation::Add: result = value + operand; break;
    case Operation::Multiply: result = value * operand; break;
    case Operation::Divide:
        if (operand == 0.0) throw StepFailure();
        result = value / operand;
        break;
    }
    if (!std::isfinite(result)) throw StepFailure();
    return result;
}

}  // namespace taborvane
