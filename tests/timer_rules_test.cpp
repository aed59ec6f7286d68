#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "counter/number_rules.h"
#include "counter/testing/memory_surface.h"

namespace taborvane::testing {
namespace {

// One write to the timer at a moment of the virtual clock.
struct TimerWrite {
    std::int64_t at;
    enum class Kind { Enable, Disable, Interval } kind;
    std::int32_t interval = 0;
};

struct TimerCase {
    const char* name;
    std::int32_t designInterval;
    std::vector<TimerWrite> writes;
    std::int64_t horizon;
    std::vector<std::int64_t> expectedTicks;
    std::int32_t expectedInterval;
};

using Kind = TimerWrite::Kind;

void PrintTo(const TimerCase& c, std::ostream* os) { *os << c.name; }

class TimerRulesTest : public ::testing::TestWithParam<TimerCase> {};

TEST_P(TimerRulesTest, TicksFallDueAsTheRulesSay) {
    const TimerCase& c = GetParam();
    VirtualClock clock;
    MemoryTimer timer("timer", clock, c.designInterval);
    std::vector<std::int64_t> ticks;
    timer.onTick([&] { ticks.push_back(clock.now()); });
    for (const TimerWrite& write : c.writes) {
        clock.advance(write.at - clock.now());
        switch (write.kind) {
        case Kind::Enable:
            timer.setEnabled(true);
            break;
        case Kind::Disable:
            timer.setEnabled(false);
            break;
        case Kind::Interval:
            try {
                timer.setInterval(write.interval);
            } catch (const StepFailure&) {
            }
            break;
        }
    }
    clock.advance(c.horizon - clock.now());
    EXPECT_EQ(ticks, c.expectedTicks);
    EXPECT_EQ(timer.interval(), c.expectedInterval);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TimerRulesTest,
    ::testing::Values(
        TimerCase{"DisabledNeverTicks", 10, {}, 100, {}, 10},
        TimerCase{"TicksEveryInterval", 10, {{5, Kind::Enable}}, 40, {15, 25, 35}, 10},
        TimerCase{
            "SameIntervalKeepsRhythm", 10, {{0, Kind::Enable}, {13, Kind::Interval, 10}}, 40, {10, 20, 30, 40}, 10},
        TimerCase{"NewIntervalRestartsWait", 10, {{0, Kind::Enable}, {13, Kind::Interval, 20}}, 60, {10, 33, 53}, 20},
        TimerCase{"NegativeIntervalRefused", 10, {{0, Kind::Enable}, {13, Kind::Interval, -5}}, 30, {10, 20, 30}, 10},
        TimerCase{"ZeroIntervalPausesThenResumes",
                  10,
                  {{0, Kind::Enable}, {12, Kind::Interval, 0}, {50, Kind::Interval, 7}},
                  64,
                  {10, 57, 64},
                  7},
        TimerCase{
            "EnablingRunningTimerChangesNothing", 10, {{0, Kind::Enable}, {15, Kind::Enable}}, 30, {10, 20, 30}, 10},
        TimerCase{"ReenableStartsFreshWait",
                  10,
                  {{0, Kind::Enable}, {15, Kind::Disable}, {17, Kind::Enable}},
                  40,
                  {10, 27, 37},
                  10},
        TimerCase{
            "IntervalWhileDisabledUsedAtStart", 555, {{3, Kind::Interval, 20}, {10, Kind::Enable}}, 50, {30, 50}, 20},
        TimerCase{"LargestIntervalAccepted",
                  10,
                  {{0, Kind::Interval, 2147483647}, {0, Kind::Enable}},
                  2147483647,
                  {2147483647},
                  2147483647}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VirtualClock, DeliversTiesInModeOrderAndNothingAfterTheEnd) {
    MemorySurface surface;
    std::vector<std::string> order;
    for (MemoryTimer* timer : {&surface.tmrTimes, &surface.tmrDivide, &surface.tmrCountUp, &surface.tmrCountdown}) {
        timer->setInterval(10);
        timer->onTick([&order, timer] { order.emplace_back(timer->name()); });
        timer->setEnabled(true);
    }
    surface.clock.advance(10);
    EXPECT_EQ(order, (std::vector<std::string>{"tmrCountdown", "tmrCountUp", "tmrDivide", "tmrTimes"}));

    surface.end.end();
    surface.clock.advance(100);
    EXPECT_FALSE(surface.clock.deliverNextTick());
    EXPECT_EQ(order.size(), 4U);
}

}  // namespace
}  // namespace taborvane::testing
