// The benchmark's reference, on hand-computed schedules: the exact value at an
// instant (each tick at its own instant to the nanosecond, earliest first, ties
// in mode order), and the check of frames and answers against it (what
// differs, and the delay from a tick's due instant to the first frame painted
// after it ran). The amounts are modes.h's: countdown subtracts -2, count up
// adds 4, divide by -1, multiply by 1.0001, from 10,000,000.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exact_schedule.h"
#include "observation_check.h"

namespace taborvane::bench {
namespace {

constexpr Nanoseconds kMs = 1'000'000;
constexpr Nanoseconds kStart = 5'000 * kMs;  // any instant of the monotonic clock
constexpr int kCountdown = 0, kCountUp = 1, kDivide = 2, kMultiply = 3;

struct ValueCase {
    const char* name;
    int pace;
    std::vector<StartedMode> started;  // in click order
    Nanoseconds at;
    const char* value;
};

void PrintTo(const ValueCase& c, std::ostream* out) { *out << c.name; }

class ExactValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ExactValue, IsTheCounterAfterEveryTickDueByTheInstant) {
    const ValueCase& c = GetParam();
    ExactSchedule exact(c.pace, c.started);
    EXPECT_EQ(exact.valueAt(c.at), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Schedules, ExactValue,
    ::testing::Values(
        ValueCase{"before_the_first_tick", 1, {{kCountUp, kStart}}, kStart + kMs - 1, "10000000"},
        ValueCase{"tick_at_its_due_instant", 1, {{kCountUp, kStart}}, kStart + kMs, "10000004"},
        ValueCase{"every_tick_due_by_then", 1, {{kCountUp, kStart}}, kStart + 10 * kMs + kMs / 2, "10000040"},
        // A clock of whole milliseconds would have taken this tick at 2 ms.
        ValueCase{"due_to_the_nanosecond", 2, {{kCountUp, kStart + 400'000}}, kStart + 2 * kMs + 399'999, "10000000"},
        ValueCase{"countdown_subtracts_its_amount", 1, {{kCountdown, kStart}}, kStart + 3 * kMs, "10000006"},
        ValueCase{"multiply_rounds_its_product", 1, {{kMultiply, kStart}}, kStart + kMs, "10001000"},
        // Count up and divide due at once: count up first, whatever the clicks' order.
        ValueCase{"tie_in_mode_order", 1, {{kDivide, kStart}, {kCountUp, kStart}}, kStart + kMs, "-10000004"},
        // Divide due at 1 ms, count up at 1.5 ms.
        ValueCase{
            "earliest_first", 1, {{kDivide, kStart}, {kCountUp, kStart + kMs / 2}}, kStart + 3 * kMs / 2, "-9999996"},
        ValueCase{"no_mode_started", 1, {}, kStart, "10000000"}),
    [](const ::testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

TEST(ExactSchedule, TellsTheDueInstantOfEveryTickTaken) {
    ExactSchedule exact(5, {{kCountdown, kStart}, {kDivide, kStart + 123}});
    // Countdown at 5, 10, 15 and 20 ms; divide 123 ns after each of the first three.
    EXPECT_EQ(exact.valueAt(kStart + 20 * kMs), "-10000000");
    EXPECT_EQ(exact.duesOf(kCountdown),
              (std::vector<Nanoseconds>{kStart + 5 * kMs, kStart + 10 * kMs, kStart + 15 * kMs, kStart + 20 * kMs}));
    EXPECT_EQ(exact.duesOf(kDivide),
              (std::vector<Nanoseconds>{kStart + 123 + 5 * kMs, kStart + 123 + 10 * kMs, kStart + 123 + 15 * kMs}));
    EXPECT_TRUE(exact.duesOf(kCountUp).empty());
}

Observation Seen(Observation::Kind kind, Nanoseconds instant, Nanoseconds at, const char* value,
                 std::uint64_t countUpTicks) {
    return {kind, instant, at, QString::fromLatin1(value), {0, countUpTicks, 0, 0}};
}

TEST(CheckObservations, CountsTheFramesAndAnswersThatShowAnotherValue) {
    const ObservationResult result =
        CheckObservations({Seen(Observation::Kind::Frame, kStart + 3 * kMs / 2, kStart + 2 * kMs, "10000004", 1),
                           // Ticks due at 2 ms ran before this answer, but it shows the value before them.
                           Seen(Observation::Kind::Query, kStart + 2 * kMs, kStart + 2 * kMs, "10000004", 2),
                           Seen(Observation::Kind::Frame, kStart + 3 * kMs, kStart + 3 * kMs, "10000008", 3),
                           Seen(Observation::Kind::Query, kStart + 4 * kMs, kStart + 4 * kMs, "10000016", 4)},
                          1, {{kCountUp, kStart}});
    EXPECT_EQ(result.frames, 2);
    EXPECT_EQ(result.frameDifferences, 1);
    EXPECT_EQ(result.queries, 2);
    EXPECT_EQ(result.queryDifferences, 1);
    EXPECT_EQ(result.firstDifference, "answer at 2.000 ms showed 10000004, the exact schedule 10000008");
}

TEST(CheckObservations, DelayRunsFromTheDueInstantToTheFirstFramePaintedAfterTheTickRan) {
    const ObservationResult result =
        CheckObservations({Seen(Observation::Kind::Frame, kStart + kMs, kStart + kMs + 200'000, "10000004", 1),
                           // An answer shows no tick to a person.
                           Seen(Observation::Kind::Query, kStart + 2 * kMs, kStart + 2 * kMs, "10000008", 2),
                           Seen(Observation::Kind::Frame, kStart + 3 * kMs, kStart + 4 * kMs, "10000012", 3),
                           Seen(Observation::Kind::Frame, kStart + 3 * kMs, kStart + 5 * kMs, "10000012", 3)},
                          1, {{kCountUp, kStart}});
    EXPECT_EQ(result.delays, (std::vector<Nanoseconds>{200'000, 2 * kMs, kMs}));
}

}  // namespace
}  // namespace taborvane::bench
