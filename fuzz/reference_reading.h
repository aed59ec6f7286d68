// A slow, independent reading of entry texts and of the step arithmetic, for
// the fuzz targets to compare the counter logic against. It shares no code
// with number_rules: blanks are removed from the whole text first (they can
// never end a number, so dropping those after it changes nothing), the grammar
// is matched on what is left, and the number goes through the C library's
// strtod in the "C" locale.
#pragma once

#include <locale.h>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace reference {

inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
inline bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// The number at the start of the text as a double; nullopt where the reading
// fails (a value beyond the double range). No number reads +0.0; a negative
// number too small for a double reads -0.0, as strtod gives it.
inline std::optional<double> ReadNumber(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (const char c : text) {
        if (!IsBlank(c)) compact.push_back(c);
    }

    std::size_t i = 0;
    const auto at = [&compact](std::size_t k) { return k < compact.size() ? compact[k] : '\0'; };
    std::string number;  // what strtod gets: sign, digits "." digits, exponent
    if (at(i) == '+' || at(i) == '-') number.push_back(compact[i++]);
    std::string whole;
    while (IsAsciiDigit(at(i))) whole.push_back(compact[i++]);
    std::string fraction;
    if (at(i) == '.') {
        ++i;
        while (IsAsciiDigit(at(i))) fraction.push_back(compact[i++]);
    }
    if (whole.empty() && fraction.empty()) return 0.0;
    number += whole.empty() ? "0" : whole;
    number += ".";
    number += fraction.empty() ? "0" : fraction;

    const char letter = at(i);
    if (letter == 'e' || letter == 'E' || letter == 'd' || letter == 'D') {
        std::size_t k = i + 1;
        std::string exponent = "e";
        if (at(k) == '+' || at(k) == '-') exponent.push_back(compact[k++]);
        if (IsAsciiDigit(at(k))) {
            while (IsAsciiDigit(at(k))) exponent.push_back(compact[k++]);
            number += exponent;
        }
    }

    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (cLocale == static_cast<locale_t>(nullptr)) std::abort();
    char* end = nullptr;
    errno = 0;
    const double value = strtod_l(number.c_str(), &end, cLocale);
    const int error = errno;
    // The text was built to be a whole strtod number; anything left over is a
    // fault of this reading, not of the one under test.
    if (end != number.c_str() + number.size()) std::abort();
    // strtod reports both ends of the range as ERANGE: only an infinite result
    // is beyond the range, a zero or subnormal one is a valid reading.
    if (error == ERANGE && std::isinf(value)) return std::nullopt;
    return value;
}

constexpr double kInt32Min = -2147483648.0;
constexpr double kInt32Max = 2147483647.0;

// Nearest integer, halfway cases to the even one; nullopt outside int32.
inline std::optional<std::int32_t> RoundToInt32(double x) {
    if (!std::isfinite(x) || x < kInt32Min - 1.0 || x > kInt32Max + 1.0) return std::nullopt;
    const double below = std::floor(x);
    const double halfway = below + 0.5;  // exact in this range
    double rounded = below + 1.0;
    if (x < halfway || (x == halfway && std::fmod(below, 2.0) == 0.0)) rounded = below;
    if (rounded < kInt32Min || rounded > kInt32Max) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

// Largest integer not above x; nullopt outside int32.
inline std::optional<std::int32_t> FloorToInt32(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    const double below = std::floor(x);
    if (below < kInt32Min || below > kInt32Max) return std::nullopt;
    return static_cast<std::int32_t>(below);
}

// An entry read as a whole 32-bit number, as every pace, divisor and start value is.
inline std::optional<std::int32_t> ReadInt32(std::string_view text) {
    const std::optional<double> value = ReadNumber(text);
    if (!value) return std::nullopt;
    return RoundToInt32(*value);
}

}  // namespace reference
