#include "counter/frm_countdown.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "counter/testing/simulated_counter.h"

namespace taborvane::testing {
namespace {

// One mode's controls, as the tests reach them.
struct ModeHandles {
    void (frmCountdown::*start)();
    MemoryTimer MemorySurface::*timer;
    MemoryShape MemorySurface::*lamp;
};

const ModeHandles kCountdown{&frmCountdown::cmdStart_Click, &MemorySurface::tmrCountdown, &MemorySurface::Shape1};
const ModeHandles kCountUp{&frmCountdown::Command1_Click, &MemorySurface::tmrCountUp, &MemorySurface::Shape2};
const ModeHandles kDivide{&frmCountdown::cmdDivide_Click, &MemorySurface::tmrDivide, &MemorySurface::Shape3};
const ModeHandles kMultiply{&frmCountdown::cmdTimes_Click, &MemorySurface::tmrTimes, &MemorySurface::Shape4};

using Edit = std::pair<MemoryTextBox MemorySurface::*, std::string>;

struct ModeCase {
    const char* name;
    std::vector<Edit> edits;
    ModeHandles mode;
    std::vector<std::string> captions;  // after each tick
    bool stillEnabled;
    bool ticksGoOn;
    std::int32_t interval;
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

class ModeTickTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModeTickTest, StepsTheValueLightsTheLampAndStopsAsDesigned) {
    const ModeCase& c = GetParam();
    SimulatedCounter sim;
    MemorySurface& s = sim.surface;
    for (const auto& [entry, text] : c.edits) (s.*entry).edit(text);
    (sim.form.*c.mode.start)();

    std::vector<std::string> captions;
    for (std::size_t i = 0; i < c.captions.size(); ++i) {
        ASSERT_TRUE(s.clock.deliverNextTick()) << "tick " << i + 1;
        captions.push_back(s.lblDisplay.caption());
        EXPECT_TRUE((s.*c.mode.lamp).isVisible());
    }
    EXPECT_EQ(captions, c.captions);
    EXPECT_EQ(std::to_string(sim.form.count()), s.lblDisplay.caption());
    EXPECT_EQ((s.*c.mode.timer).isEnabled(), c.stillEnabled);
    EXPECT_EQ((s.*c.mode.timer).interval(), c.interval);
    EXPECT_EQ(s.clock.deliverNextTick(), c.ticksGoOn);
}

const std::vector<std::string> kMultiplySequence{"2875",       "10638",      "39361",     "145636",    "538853",
                                                 "1993756",    "7376897",    "27294519",  "100989720", "373661964",
                                                 "1382549267", "1382549267", "1382549267"};

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeTickTest,
    ::testing::Values(
        ModeCase{"CountdownDefaults", {}, kCountdown, {"407", "37", "-333", "-703"}, true, true, 4700},
        ModeCase{"CountdownStopsOnFindingOne",
                 {{&MemorySurface::txtStart, "371"}},
                 kCountdown,
                 {"1", "-369"},
                 false,
                 false,
                 4700},
        ModeCase{"CountdownHoldsAtBottom",
                 {{&MemorySurface::txtStart, "-2147483500"}},
                 kCountdown,
                 {"-2147483500", "-2147483500"},
                 true,
                 true,
                 4700},
        ModeCase{"CountdownAmountBeyondDouble",
                 {{&MemorySurface::txtincdown, "1e999"}},
                 kCountdown,
                 {"777", "777"},
                 true,
                 true,
                 4700},
        ModeCase{"CountdownRefusedPaceKeepsInterval",
                 {{&MemorySurface::txtinterval, "-5"}},
                 kCountdown,
                 {"407", "37"},
                 true,
                 true,
                 555},
        ModeCase{"CountUpDefaults", {}, kCountUp, {"814", "851"}, true, true, 470},
        ModeCase{"CountUpStopsOnFindingTop",
                 {{&MemorySurface::txtStart, "999999999"}},
                 kCountUp,
                 {"1000000036"},
                 false,
                 false,
                 470},
        ModeCase{"CountUpHoldsAtTop",
                 {{&MemorySurface::txtStart, "2147483600"}},
                 kCountUp,
                 {"2147483637", "2147483637"},
                 true,
                 true,
                 470},
        ModeCase{"CountUpFractionalStep",
                 {{&MemorySurface::txtIncriments, "0.5"}},
                 kCountUp,
                 {"778", "778"},
                 true,
                 true,
                 470},
        ModeCase{"DivideDefaults", {}, kDivide, {"21", "0", "0"}, true, true, 4700},
        ModeCase{"DivideNegativeFloors", {{&MemorySurface::txtStart, "-5"}}, kDivide, {"-1", "-1"}, true, true, 4700},
        ModeCase{
            "DivideByEmptyEntry", {{&MemorySurface::txtdivideAmount, ""}}, kDivide, {"777", "777"}, true, true, 4700},
        ModeCase{"DivideByZero", {{&MemorySurface::txtdivideAmount, "0"}}, kDivide, {"777"}, true, true, 4700},
        ModeCase{"DivideByMinusOneStops",
                 {{&MemorySurface::txtStart, "999999999"}, {&MemorySurface::txtdivideAmount, "-1"}},
                 kDivide,
                 {"-999999999", "999999999"},
                 false,
                 false,
                 4700},
        ModeCase{"DivideKeepsPreviousDivisor",
                 {{&MemorySurface::txtdivideAmount, "2"}, {&MemorySurface::txtdivideAmount, "99999999999"}},
                 kDivide,
                 {"388", "194"},
                 true,
                 true,
                 4700},
        ModeCase{"DivideBottomByMinusOneOverflows",
                 {{&MemorySurface::txtStart, "-2147483648"}, {&MemorySurface::txtdivideAmount, "-1"}},
                 kDivide,
                 {"-2147483648"},
                 true,
                 true,
                 4700},
        ModeCase{"MultiplyDefaultsSaturate", {}, kMultiply, kMultiplySequence, true, true, 470},
        ModeCase{"MultiplyTieGoesToEven",
                 {{&MemorySurface::txtStart, "5"}, {&MemorySurface::txtTimesamount, "2.5"}},
                 kMultiply,
                 {"12"},
                 true,
                 true,
                 470},
        ModeCase{"MultiplyHasNoStopValue",
                 {{&MemorySurface::txtStart, "999999999"}, {&MemorySurface::txtTimesamount, "1"}},
                 kMultiply,
                 {"999999999", "999999999"},
                 true,
                 true,
                 470},
        ModeCase{"MultiplyPaceZeroNeverTicks", {{&MemorySurface::txtTimes, "0"}}, kMultiply, {}, true, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct JournalCase {
    const char* name;
    std::vector<Edit> edits;
    void (frmCountdown::*procedure)();
    Journal expected;
};

void PrintTo(const JournalCase& c, std::ostream* os) { *os << c.name; }

class WriteOrderTest : public ::testing::TestWithParam<JournalCase> {};

TEST_P(WriteOrderTest, WritesInTheProcedureOrder) {
    const JournalCase& c = GetParam();
    SimulatedCounter sim;
    for (const auto& [entry, text] : c.edits) (sim.surface.*entry).edit(text);
    Journal journal;
    sim.surface.attachJournal(&journal);
    (sim.form.*c.procedure)();
    EXPECT_EQ(journal, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Procedures, WriteOrderTest,
    ::testing::Values(JournalCase{"CountdownTick",
                                  {},
                                  &frmCountdown::tmrCountdown_Timer,
                                  {"Shape1.Visible=true", "tmrCountdown.Interval=4700", "lblDisplay.Caption=407"}},
                      JournalCase{"CountdownStoppingTick",
                                  {{&MemorySurface::txtStart, "1"}},
                                  &frmCountdown::tmrCountdown_Timer,
                                  {"Shape1.Visible=true", "tmrCountdown.Enabled=false", "tmrCountdown.Interval=4700",
                                   "lblDisplay.Caption=-369"}},
                      JournalCase{"CountUpTick",
                                  {},
                                  &frmCountdown::tmrCountUp_Timer,
                                  {"Shape2.Visible=true", "tmrCountUp.Interval=470", "lblDisplay.Caption=814"}},
                      JournalCase{"DivideTick",
                                  {},
                                  &frmCountdown::tmrDivide_Timer,
                                  {"Shape3.Visible=true", "tmrDivide.Interval=4700", "lblDisplay.Caption=21"}},
                      JournalCase{"MultiplyTick",
                                  {},
                                  &frmCountdown::tmrTimes_Timer,
                                  {"Shape4.Visible=true", "tmrTimes.Interval=470", "lblDisplay.Caption=2875"}},
                      JournalCase{"FailingStepsStillShowTheValue",
                                  {{&MemorySurface::txtTimes, "-1"}, {&MemorySurface::txtTimesamount, "1e300"}},
                                  &frmCountdown::tmrTimes_Timer,
                                  {"Shape4.Visible=true", "lblDisplay.Caption=777"}},
                      JournalCase{"Stop",
                                  {},
                                  &frmCountdown::cmdStop_Click,
                                  {"Shape1.Visible=false", "Shape2.Visible=false", "Shape3.Visible=false",
                                   "Shape4.Visible=false", "tmrCountdown.Enabled=false", "tmrCountUp.Enabled=false",
                                   "tmrDivide.Enabled=false", "tmrTimes.Enabled=false"}},
                      JournalCase{"ResetZero",
                                  {},
                                  &frmCountdown::cmdReset_Click,
                                  {"Shape1.Visible=false", "Shape2.Visible=false", "Shape3.Visible=false",
                                   "Shape4.Visible=false", "lblDisplay.Caption=0"}},
                      JournalCase{"StartButton", {}, &frmCountdown::cmdTimes_Click, {"tmrTimes.Enabled=true"}},
                      JournalCase{"Exit", {}, &frmCountdown::Cmdexit_Click, {"End.End=true"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct EditCase {
    const char* name;
    std::vector<Edit> edits;
    std::string caption;
    std::int32_t divisor;
    std::vector<std::int32_t> intervals;  // countdown, count up, divide, multiply
};

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

class EntryEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(EntryEditTest, TakesEffectAtOnceOrKeepsThePrevious) {
    const EditCase& c = GetParam();
    SimulatedCounter sim;
    MemorySurface& s = sim.surface;
    for (const auto& [entry, text] : c.edits) (s.*entry).edit(text);
    EXPECT_EQ(s.lblDisplay.caption(), c.caption);
    EXPECT_EQ(sim.form.divisor(), c.divisor);
    const std::vector<std::int32_t> intervals{s.tmrCountdown.interval(), s.tmrCountUp.interval(),
                                              s.tmrDivide.interval(), s.tmrTimes.interval()};
    EXPECT_EQ(intervals, c.intervals);
    for (const MemoryTimer* timer : {&s.tmrCountdown, &s.tmrCountUp, &s.tmrDivide, &s.tmrTimes})
        EXPECT_FALSE(timer->isEnabled()) << "an edit never starts a mode";
}

const std::vector<std::int32_t> kDesignIntervals{555, 66, 47, 47};

INSTANTIATE_TEST_SUITE_P(
    Edits, EntryEditTest,
    ::testing::Values(
        EditCase{"ClearedStartShowsZero", {{&MemorySurface::txtStart, ""}}, "0", 0, kDesignIntervals},
        EditCase{"TypedStartShowsEachKeystroke",
                 {{&MemorySurface::txtStart, ""}, {&MemorySurface::txtStart, "1"}},
                 "1",
                 0,
                 kDesignIntervals},
        EditCase{"StartBeyondRangeKeepsValue",
                 {{&MemorySurface::txtStart, "12"}, {&MemorySurface::txtStart, "99999999999"}},
                 "12",
                 0,
                 kDesignIntervals},
        EditCase{"StartBeyondDoubleKeepsValue", {{&MemorySurface::txtStart, "1e999"}}, "777", 0, kDesignIntervals},
        EditCase{"FractionalStartRounds", {{&MemorySurface::txtStart, "12.5"}}, "12", 0, kDesignIntervals},
        EditCase{"EveryPaceEntry",
                 {{&MemorySurface::txtinterval, "100"},
                  {&MemorySurface::txtintUp, "470.5"},
                  {&MemorySurface::txtDividePace, "471.5"},
                  {&MemorySurface::txtTimes, "0"}},
                 "777",
                 0,
                 {100, 470, 472, 0}},
        EditCase{"RefusedPaceKeepsPrevious",
                 {{&MemorySurface::txtintUp, "200"}, {&MemorySurface::txtintUp, "-200"}},
                 "777",
                 0,
                 {555, 200, 47, 47}},
        EditCase{"DivisorEditSetsDivisor", {{&MemorySurface::txtdivideAmount, "-4"}}, "777", -4, kDesignIntervals},
        EditCase{"DivisorBeyondRangeKeepsPrevious",
                 {{&MemorySurface::txtdivideAmount, "9"}, {&MemorySurface::txtdivideAmount, "3e9"}},
                 "777",
                 9,
                 kDesignIntervals},
        EditCase{"AmountEntriesHaveNoEditProcedure",
                 {{&MemorySurface::txtincdown, "1"},
                  {&MemorySurface::txtIncriments, "2"},
                  {&MemorySurface::txtTimesamount, "3"}},
                 "777",
                 0,
                 kDesignIntervals}),
    [](const auto& info) { return std::string(info.param.name); });

class CounterTest : public ::testing::Test {
protected:
    SimulatedCounter sim;
    MemorySurface& s = sim.surface;
};

TEST_F(CounterTest, StartUpShowsTheStartValue) {
    MemorySurface fresh;
    frmCountdown form(fresh.controls());
    EXPECT_EQ(fresh.lblDisplay.caption(), "000000000");
    form.Form_Load();
    EXPECT_EQ(fresh.lblDisplay.caption(), "777");
    EXPECT_EQ(form.count(), 777);
    EXPECT_EQ(form.divisor(), 0);
}

TEST_F(CounterTest, StartButtonEnablesItsTimerOnly) {
    for (const ModeHandles& mode : {kCountdown, kCountUp, kDivide, kMultiply}) {
        const std::int32_t designInterval = (s.*mode.timer).interval();
        (sim.form.*mode.start)();
        EXPECT_TRUE((s.*mode.timer).isEnabled());
        EXPECT_EQ((s.*mode.timer).interval(), designInterval);
        EXPECT_FALSE((s.*mode.lamp).isVisible());
    }
    EXPECT_EQ(s.lblDisplay.caption(), "777");
}

TEST_F(CounterTest, StartOnRunningModeKeepsItsRhythm) {
    sim.form.cmdStart_Click();
    s.clock.advance(600);
    ASSERT_EQ(s.tmrCountdown.dueAt(), 555 + 4700);
    sim.form.cmdStart_Click();
    EXPECT_EQ(s.tmrCountdown.dueAt(), 555 + 4700);
    EXPECT_EQ(s.lblDisplay.caption(), "407");
}

TEST_F(CounterTest, StopHaltsEveryModeAndKeepsTheValue) {
    for (const ModeHandles& mode : {kCountdown, kCountUp, kDivide, kMultiply}) (sim.form.*mode.start)();
    s.clock.advance(100);
    const std::string shown = s.lblDisplay.caption();
    sim.form.cmdStop_Click();
    for (const ModeHandles& mode : {kCountdown, kCountUp, kDivide, kMultiply}) {
        EXPECT_FALSE((s.*mode.timer).isEnabled());
        EXPECT_FALSE((s.*mode.lamp).isVisible());
    }
    EXPECT_FALSE(s.clock.deliverNextTick());
    EXPECT_EQ(s.lblDisplay.caption(), shown);
}

TEST_F(CounterTest, ResetZeroLeavesRunningModesRunning) {
    sim.form.cmdStart_Click();
    s.clock.advance(555);
    sim.form.cmdReset_Click();
    EXPECT_EQ(s.lblDisplay.caption(), "0");
    EXPECT_FALSE(s.Shape1.isVisible());
    ASSERT_TRUE(s.clock.deliverNextTick());
    EXPECT_EQ(s.lblDisplay.caption(), "-370");
    EXPECT_TRUE(s.Shape1.isVisible());
}

TEST_F(CounterTest, EditedPaceOfIdleModeSetsItsFirstTick) {
    s.txtinterval.edit("100");
    EXPECT_FALSE(s.tmrCountdown.isEnabled());
    s.clock.advance(1000);
    sim.form.cmdStart_Click();
    EXPECT_EQ(s.tmrCountdown.dueAt(), 1100);
}

TEST_F(CounterTest, StartEditWhileRunningGoesOnFromTheNewValue) {
    sim.form.Command1_Click();
    s.clock.advance(66);
    s.txtStart.edit("100");
    EXPECT_EQ(s.lblDisplay.caption(), "100");
    s.clock.advance(470);
    EXPECT_EQ(s.lblDisplay.caption(), "137");
}

TEST_F(CounterTest, CountdownAndCountUpInterleaveOnOneValue) {
    std::vector<std::pair<std::int64_t, std::string>> shown;
    s.tmrCountdown.onTick([&] {
        sim.form.tmrCountdown_Timer();
        shown.emplace_back(s.clock.now(), s.lblDisplay.caption());
    });
    s.tmrCountUp.onTick([&] {
        sim.form.tmrCountUp_Timer();
        shown.emplace_back(s.clock.now(), s.lblDisplay.caption());
    });
    sim.form.cmdStart_Click();
    sim.form.Command1_Click();
    s.clock.advance(1500);
    const std::vector<std::pair<std::int64_t, std::string>> expected{
        {66, "814"}, {536, "851"}, {555, "481"}, {1006, "518"}, {1476, "555"}};
    EXPECT_EQ(shown, expected);
}

TEST_F(CounterTest, ExitWhileRunningEndsWithoutAnotherTick) {
    sim.form.Command1_Click();
    s.clock.advance(66);
    sim.form.Cmdexit_Click();
    EXPECT_TRUE(s.end.hasEnded());
    s.clock.advance(10'000);
    EXPECT_EQ(s.tmrCountUp.ticksDelivered(), 1U);
    EXPECT_EQ(s.lblDisplay.caption(), "814");
}

TEST_F(CounterTest, CountUpRunsToItsStopValue) {
    sim.form.Command1_Click();
    std::uint64_t ticksToTop = 0;
    while (sim.form.count() != 999'999'999 && s.clock.deliverNextTick()) ++ticksToTop;
    EXPECT_EQ(ticksToTop, 27'027'006U);
    EXPECT_EQ(s.lblDisplay.caption(), "999999999");
    EXPECT_TRUE(s.clock.deliverNextTick());
    EXPECT_EQ(s.lblDisplay.caption(), "1000000036");
    EXPECT_FALSE(s.tmrCountUp.isEnabled());
    EXPECT_FALSE(s.clock.deliverNextTick());
}

}  // namespace
}  // namespace taborvane::testing
