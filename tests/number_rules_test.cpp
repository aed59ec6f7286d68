#include "counter/number_rules.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <random>
#include <string>

namespace taborvane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

template <typename Function>
std::optional<double> Attempt(Function&& function) {
    try {
        return static_cast<double>(function());
    } catch (const StepFailure&) {
        return std::nullopt;
    }
}

// --- ReadNumber -------------------------------------------------------------

struct ReadCase {
    const char* name;
    std::string text;
    std::optional<double> expected;  // nullopt: StepFailure
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ReadNumberTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumberTest, ReadsTheNumberAtTheStart) {
    const ReadCase& c = GetParam();
    const std::optional<double> actual = Attempt([&] { return ReadNumber(c.text); });
    ASSERT_EQ(actual.has_value(), c.expected.has_value()) << "text: \"" << c.text << "\"";
    if (actual) {
        EXPECT_EQ(*actual, *c.expected) << "text: \"" << c.text << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Readings, ReadNumberTest,
    ::testing::Values(ReadCase{"LeadingZeros", "000000777", 777}, ReadCase{"Pace", "4700", 4700},
                      ReadCase{"LeadingZeroPace", "0470", 470}, ReadCase{"Fraction", "3.7", 3.7},
                      ReadCase{"Negative", "-37", -37}, ReadCase{"Empty", "", 0}, ReadCase{"Alphabetic", "abc", 0},
                      ReadCase{"BlankInside", "1 000", 1000}, ReadCase{"BlankBeforeSign", " -37", -37},
                      ReadCase{"BlanksEverywhere", "- 3\t7\r\n", -37}, ReadCase{"TrailingPoint", "5.", 5},
                      ReadCase{"LeadingPoint", ".5", 0.5}, ReadCase{"NegativeLeadingPoint", "-.5", -0.5},
                      ReadCase{"Exponent", "1e3", 1000}, ReadCase{"ExponentLetterD", "2.5D2", 250},
                      ReadCase{"ExponentLowerD", "2d1", 20}, ReadCase{"SignedExponent", "1E-2", 0.01},
                      ReadCase{"PlusExponent", "1e+3", 1000}, ReadCase{"BlanksInExponent", "1.5 e 3", 1500},
                      ReadCase{"ExponentWithoutDigits", "1.5e", 1.5}, ReadCase{"ExponentSignWithoutDigits", "1e+", 1},
                      ReadCase{"ExponentAlone", "e5", 0}, ReadCase{"SignAlone", "-", 0}, ReadCase{"PointAlone", ".", 0},
                      ReadCase{"SignAndPoint", "-.", 0}, ReadCase{"HexPrefix", "&H10", 0},
                      ReadCase{"CStyleHex", "0x10", 0}, ReadCase{"FullWidthDigits", "\xEF\xBC\x91\xEF\xBC\x92", 0},
                      ReadCase{"DoubleMinus", "--5", 0}, ReadCase{"PlusMinus", "+-5", 0}, ReadCase{"PlusSign", "+5", 5},
                      ReadCase{"TrailingText", "12abc", 12}, ReadCase{"SecondPoint", "1.2.3", 1.2},
                      ReadCase{"Comma", "1,5", 1},
                      ReadCase{"NoBreakSpace",
                               "\xC2\xA0"
                               "5",
                               0},
                      ReadCase{"LargestDouble", "1.7976931348623157e308", std::numeric_limits<double>::max()},
                      ReadCase{"TooSmall", "1e-999", 0}, ReadCase{"TooSmallNegative", "-1e-400", -0.0},
                      ReadCase{"HugeNegativeExponent", "1e-99999999999999999999999", 0},
                      ReadCase{"ZeroWithHugeExponent", "0e99999999999999999999", 0},
                      ReadCase{"SmallMantissaLargeExponent", "0.0001e310", 1e306},
                      ReadCase{"BeyondDouble", "1e999", std::nullopt},
                      ReadCase{"BeyondDoubleNegative", "-1.8e308", std::nullopt},
                      ReadCase{"HugeExponent", "1e99999999999999999999999", std::nullopt},
                      ReadCase{"LongDigitRun", std::string(400, '9'), std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadNumberExactness, IsTheCorrectlyRoundedDouble) {
    EXPECT_EQ(ReadNumber("3.7"), 3.7);
    EXPECT_EQ(ReadNumber("0.1"), 0.1);
    // The default multiply step depends on this product being exactly a tie.
    EXPECT_EQ(ReadNumber("2875") * ReadNumber("3.7"), 10637.5);
}

// --- ToLong and FloorToLong -------------------------------------------------

struct ConversionCase {
    const char* name;
    double input;
    std::optional<std::int32_t> expected;  // nullopt: StepFailure
};

void ExpectConversion(std::int32_t (*convert)(double), const ConversionCase& c) {
    const std::optional<double> actual = Attempt([&] { return convert(c.input); });
    ASSERT_EQ(actual.has_value(), c.expected.has_value()) << "input " << c.input;
    if (actual) {
        EXPECT_EQ(*actual, *c.expected) << "input " << c.input;
    }
}

void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.name; }

class ToLongTest : public ::testing::TestWithParam<ConversionCase> {};
TEST_P(ToLongTest, RoundsHalfToEvenWithinRange) { ExpectConversion(ToLong, GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    Conversions, ToLongTest,
    ::testing::Values(
        ConversionCase{"HalfToZero", 0.5, 0}, ConversionCase{"OneAndHalf", 1.5, 2},
        ConversionCase{"TwoAndHalf", 2.5, 2}, ConversionCase{"TwelveAndHalf", 12.5, 12},
        ConversionCase{"NegativeTwoAndHalf", -2.5, -2}, ConversionCase{"BelowHalf", 2.49, 2},
        ConversionCase{"AboveHalf", -2.51, -3}, ConversionCase{"FiveTimesTwoAndHalf", 5 * 2.5, 12},
        ConversionCase{"MultiplyTie", 2875 * 3.7, 10638}, ConversionCase{"BelowTopTie", 2147483647.4, 2147483647},
        ConversionCase{"TopTie", 2147483647.5, std::nullopt}, ConversionCase{"AboveTop", 2147483648.0, std::nullopt},
        ConversionCase{"BottomTie", -2147483648.5, -2147483647 - 1},
        ConversionCase{"BelowBottomTie", -2147483648.6, std::nullopt},
        ConversionCase{"Bottom", -2147483648.0, -2147483647 - 1}, ConversionCase{"NaN", kNaN, std::nullopt},
        ConversionCase{"Infinity", kInf, std::nullopt}, ConversionCase{"NegativeInfinity", -kInf, std::nullopt},
        ConversionCase{"Huge", 1e300, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

class FloorToLongTest : public ::testing::TestWithParam<ConversionCase> {};
TEST_P(FloorToLongTest, FloorsWithinRange) { ExpectConversion(FloorToLong, GetParam()); }

INSTANTIATE_TEST_SUITE_P(Conversions, FloorToLongTest,
                         ::testing::Values(ConversionCase{"Whole", 21.0, 21}, ConversionCase{"Fraction", 0.567, 0},
                                           ConversionCase{"NegativeFraction", -0.135, -1},
                                           ConversionCase{"MinusFiveBy37", -5.0 / 37, -1},
                                           ConversionCase{"DefaultDivide", 777.0 / 37, 21},
                                           ConversionCase{"NearTop", 2147483647.9, 2147483647},
                                           ConversionCase{"AboveTop", 2147483648.0, std::nullopt},
                                           ConversionCase{"Bottom", -2147483648.0, -2147483647 - 1},
                                           ConversionCase{"BelowBottom", -2147483648.1, std::nullopt},
                                           ConversionCase{"NaN", kNaN, std::nullopt},
                                           ConversionCase{"Infinity", kInf, std::nullopt},
                                           ConversionCase{"NegativeInfinity", -kInf, std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

// Independent formulations: integer arithmetic on the truncated value.
std::optional<std::int64_t> InRange(std::int64_t n) {
    if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return n;
}

std::optional<std::int64_t> ReferenceFloor(double x) {
    if (!(std::fabs(x) < 0x1p62)) return std::nullopt;
    const auto truncated = static_cast<std::int64_t>(x);
    return InRange(static_cast<double>(truncated) > x ? truncated - 1 : truncated);
}

std::optional<std::int64_t> ReferenceRoundHalfEven(double x) {
    if (!(std::fabs(x) < 0x1p62)) return std::nullopt;
    const auto truncated = static_cast<std::int64_t>(x);
    const std::int64_t below = static_cast<double>(truncated) > x ? truncated - 1 : truncated;
    const double fraction = x - static_cast<double>(below);  // exact for |x| < 2^52
    std::int64_t nearest = below;
    if (fraction > 0.5 || (fraction == 0.5 && below % 2 != 0)) nearest = below + 1;
    return InRange(nearest);
}

TEST(ConversionProperty, AgreesWithIntegerReferenceOnRandomDoubles) {
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> wide(-4.0e9, 4.0e9);
    std::uniform_int_distribution<std::int64_t> nearLimit(-64, 64);
    std::uniform_int_distribution<int> quarter(0, 3);
    for (int i = 0; i < 200'000; ++i) {
        double x = 0;
        switch (i % 4) {
        case 0:
            x = wide(random);
            break;
        case 1:
            x = (i % 8 == 1 ? 2147483647.0 : -2147483648.0) + static_cast<double>(nearLimit(random)) +
                0.25 * quarter(random);
            break;
        case 2:
            x = static_cast<double>(nearLimit(random)) * 0.5;
            break;
        default:
            x = std::bit_cast<double>(random());
            break;
        }
        const std::optional<double> rounded = Attempt([&] { return ToLong(x); });
        const std::optional<double> floored = Attempt([&] { return FloorToLong(x); });
        const auto expectRounded = ReferenceRoundHalfEven(x);
        const auto expectFloored = ReferenceFloor(x);
        ASSERT_EQ(rounded.has_value(), expectRounded.has_value()) << x;
        ASSERT_EQ(floored.has_value(), expectFloored.has_value()) << x;
        if (rounded) {
            ASSERT_EQ(*rounded, static_cast<double>(*expectRounded)) << x;
        }
        if (floored) {
            ASSERT_EQ(*floored, static_cast<double>(*expectFloored)) << x;
        }
    }
}

// --- LongToText and the step check -----------------------------------------

TEST(LongToText, WritesPlainDecimal) {
    EXPECT_EQ(LongToText(777), "777");
    EXPECT_EQ(LongToText(-333), "-333");
    EXPECT_EQ(LongToText(0), "0");
    EXPECT_EQ(LongToText(2147483647), "2147483647");
    EXPECT_EQ(LongToText(-2147483647 - 1), "-2147483648");
}

struct StepCase {
    const char* name;
    std::int32_t count;
    Operation operation;
    double operand;
    std::optional<std::int32_t> expected;  // nullopt: the step fails
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

class StepValueTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepValueTest, ChecksTheOperationThenConverts) {
    const StepCase& c = GetParam();
    EXPECT_EQ(StepValue(c.count, c.operation, c.operand), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StepValueTest,
    ::testing::Values(StepCase{"Subtract", 777, Operation::Subtract, 370, 407},
                      StepCase{"Add", 777, Operation::Add, 37, 814},
                      StepCase{"AddRoundsHalfToEven", 2, Operation::Add, 0.5, 2},
                      StepCase{"DivideFloors", -5, Operation::Divide, 37, -1},
                      StepCase{"MultiplyTie", 2875, Operation::Multiply, 3.7, 10638},
                      StepCase{"Underflow", 1, Operation::Multiply, 1e-320, 0},
                      StepCase{"ZeroByZero", 0, Operation::Divide, 0, std::nullopt},
                      StepCase{"ByZero", 7, Operation::Divide, 0, std::nullopt},
                      StepCase{"ByNegativeZero", -7, Operation::Divide, -0.0, std::nullopt},
                      StepCase{"BeyondDouble", 2'000'000'000, Operation::Multiply, 1e300, std::nullopt},
                      StepCase{"BeyondLong", 2'147'483'647, Operation::Add, 1, std::nullopt},
                      StepCase{"BottomByMinusOne", -2'147'483'647 - 1, Operation::Divide, -1, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace taborvane
