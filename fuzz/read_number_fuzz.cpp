// Any byte string, as an entry's text: ReadNumber must not crash and must
// agree with the independent reading, bit for bit, failures included. The
// whole-number conversions every entry then goes through are checked on the
// value read too.
//
// The sign of a zero is compared as well: "-0" and "-1e-400" read -0.0, a
// text with no number +0.0. No step can tell the two zeros apart, but the
// reading is meant to be one function of the text, whichever internal path
// it takes, so any difference points at a path that disagrees.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "counter/number_rules.h"
#include "reference_reading.h"

namespace {

std::uint64_t Bits(double x) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

std::string Describe(const std::optional<double>& value) {
    if (!value) return "StepFailure";
    char text[64];
    std::snprintf(text, sizeof text, "%.17g (%a)", *value, *value);
    return text;
}

[[noreturn]] void Mismatch(const char* what, std::string_view text, const std::string& got,
                           const std::string& expected) {
    std::fprintf(stderr, "read_number: %s of a %zu-byte text: got %s, expected %s\n", what, text.size(), got.c_str(),
                 expected.c_str());
    std::abort();
}

template <typename Conversion>
std::optional<std::int32_t> Attempt(Conversion conversion) {
    try {
        return conversion();
    } catch (const taborvane::StepFailure&) {
        return std::nullopt;
    }
}

std::string Describe(const std::optional<std::int32_t>& value) {
    return value ? std::to_string(*value) : "StepFailure";
}

void CheckWholeNumbers(std::string_view text, double value) {
    const std::optional<std::int32_t> rounded = Attempt([value] { return taborvane::ToLong(value); });
    const std::optional<std::int32_t> expectedRounded = reference::RoundToInt32(value);
    if (rounded != expectedRounded) Mismatch("ToLong", text, Describe(rounded), Describe(expectedRounded));

    const std::optional<std::int32_t> floored = Attempt([value] { return taborvane::FloorToLong(value); });
    const std::optional<std::int32_t> expectedFloored = reference::FloorToInt32(value);
    if (floored != expectedFloored) Mismatch("FloorToLong", text, Describe(floored), Describe(expectedFloored));

    if (rounded) {
        const std::string shown(taborvane::LongToText(*rounded).view());
        if (shown != std::to_string(*rounded)) Mismatch("LongToText", text, shown, std::to_string(*rounded));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::optional<double> read;
    try {
        read = taborvane::ReadNumber(text);
    } catch (const taborvane::StepFailure&) {
    }
    const std::optional<double> expected = reference::ReadNumber(text);
    if (read.has_value() != expected.has_value() || (read && Bits(*read) != Bits(*expected)))
        Mismatch("ReadNumber", text, Describe(read), Describe(expected));

    if (read) CheckWholeNumbers(text, *read);
    return 0;
}
