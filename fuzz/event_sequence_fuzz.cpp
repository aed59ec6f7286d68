// Runs the counter on the in-memory surface through a sequence of events read
// from the input, and checks every event and every tick against a model of
// what the counter must do, kept here from the entry rules and the timer rules.
//
// Input: one event per line (a line break ends it; a line with an unknown
// first character is skipped):
//   e<k><text>  the user edits entry k ('0'..'8', any byte taken modulo 9) to
//               the rest of the line: txtStart, txtinterval, txtincdown,
//               txtintUp, txtIncriments, txtDividePace, txtdivideAmount,
//               txtTimes, txtTimesamount
//   c<b>        the user clicks button b ('0'..'6', modulo 7): the modes' start
//               buttons in mode order (Start, Count up, Divide, Times), then
//               Stop, Reset, Exit
//   a<digits>   the virtual clock moves on by that many milliseconds
//   t           the virtual clock delivers its next due tick, whenever it falls
// Line breaks inside entry texts are left to the reading target.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "counter/modes.h"
#include "counter/testing/simulated_counter.h"
#include "reference_reading.h"

namespace {

using taborvane::frmCountdown;
using taborvane::kModes;
using taborvane::testing::MemoryShape;
using taborvane::testing::MemoryTextBox;
using taborvane::testing::MemoryTimer;
using taborvane::testing::SimulatedCounter;

// Bounds on one input's work: an interval of 1 ms on all four timers makes
// four ticks per virtual millisecond.
constexpr std::size_t kMaxEvents = 64;
constexpr std::int64_t kMaxAdvance = 1000;
constexpr std::int64_t kMaxTotalAdvance = 8000;
constexpr std::uint64_t kTickBudget = 4000;
constexpr std::size_t kModeCount = kModes.size();

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "event_sequence: %s\n", what.c_str());
    std::abort();
}

// The message is built only when the check fails: most checks run on every tick.
template <typename Message>
void Expect(bool holds, Message&& message) {
    if (!holds) Fail(std::string(message()));
}

struct TimerState {
    bool enabled = false;
    std::int32_t interval = 0;
    std::optional<std::int64_t> dueAt;
    std::uint64_t ticks = 0;
    bool operator==(const TimerState&) const = default;
};

struct State {
    std::int32_t count = 0;
    std::int32_t divisor = 0;
    std::string caption;
    std::array<TimerState, kModeCount> timers;
    std::array<bool, kModeCount> lamps{};
    std::int64_t now = 0;
    bool ended = false;
    bool operator==(const State&) const = default;
};

std::string Show(const State& s) {
    std::string out = "count=" + std::to_string(s.count) + " divisor=" + std::to_string(s.divisor) + " caption=\"" +
                      s.caption + "\" now=" + std::to_string(s.now) + (s.ended ? " ended" : "");
    for (std::size_t m = 0; m < kModeCount; ++m) {
        const TimerState& t = s.timers[m];
        out += " | timer" + std::to_string(m) + (t.enabled ? " on" : " off") +
               " interval=" + std::to_string(t.interval) + " due=" + (t.dueAt ? std::to_string(*t.dueAt) : "-") +
               " ticks=" + std::to_string(t.ticks) + (s.lamps[m] ? " lamp" : "");
    }
    return out;
}

// The timer rules: enabling a running timer or disabling a stopped one does
// nothing; a new interval restarts the wait of a running timer; an enabled
// timer with interval 0 waits for nothing.
void SetEnabled(TimerState& t, bool enabled, std::int64_t now) {
    if (t.enabled == enabled) return;
    t.enabled = enabled;
    t.dueAt = enabled && t.interval > 0 ? std::optional<std::int64_t>(now + t.interval) : std::nullopt;
}

void SetInterval(TimerState& t, std::int32_t interval, std::int64_t now) {
    if (interval == t.interval) return;
    t.interval = interval;
    if (t.enabled) t.dueAt = interval > 0 ? std::optional<std::int64_t>(now + interval) : std::nullopt;
}

// A pace entry: a whole number of at least 0, or the interval stays.
void ReloadPace(TimerState& t, std::string_view text, std::int64_t now) {
    const std::optional<std::int32_t> pace = reference::ReadInt32(text);
    if (pace && *pace >= 0) SetInterval(t, *pace, now);
}

enum class Kind { Subtract, Add, Divide, Multiply };

// The model's own arithmetic and stop value for each mode, in the mode table's
// order; which controls a mode has comes from the table.
struct ModeModel {
    Kind kind;
    std::optional<std::int32_t> stopValue;
};

const std::array<ModeModel, kModeCount> kModels{{
    {Kind::Subtract, 1},
    {Kind::Add, 999'999'999},
    {Kind::Divide, -999'999'999},
    {Kind::Multiply, std::nullopt},
}};

// The value after one step, or nullopt where the step fails and the value stays.
std::optional<std::int32_t> Step(Kind kind, std::int32_t count, std::int32_t divisor, std::string_view amount) {
    if (kind == Kind::Divide) {
        if (divisor == 0) return std::nullopt;
        // Exact floor division of two 32-bit integers.
        const std::int64_t n = count;
        const std::int64_t d = divisor;
        std::int64_t q = n / d;
        if (n % d != 0 && ((n < 0) != (d < 0))) --q;
        if (q < INT32_MIN || q > INT32_MAX) return std::nullopt;
        return static_cast<std::int32_t>(q);
    }
    const std::optional<double> operand = reference::ReadNumber(amount);
    if (!operand) return std::nullopt;
    // Each step is one double operation, then rounding to a whole number.
    const double c = count;
    const double result = kind == Kind::Subtract ? c - *operand : kind == Kind::Add ? c + *operand : c * *operand;
    return reference::RoundToInt32(result);
}

class Harness {
public:
    Harness() {
        for (std::size_t m = 0; m < kModeCount; ++m) {
            timers_[m] = &s().timer(kModes[m].timer);
            lamps_[m] = &s().shape(kModes[m].lamp);
            // Each timer calls its tick procedure as bound, with the model's check around it.
            timers_[m]->onTick([this, m] { checkedTick(m); });
        }
        // The input's entry numbers follow the surface's order of its entries.
        for (std::size_t k = 0; k < entries_.size(); ++k)
            entries_[k] = &s().textBox(taborvane::kTextBoxesByName[k].name);
        const State initial = snapshot();
        Expect(initial.count == 777 && initial.caption == "777", [&] { return "after loading: " + Show(initial); });
        checkInvariants(initial, "loading");
    }

    void run(std::string_view input) {
        std::size_t events = 0;
        while (!input.empty() && events < kMaxEvents) {
            const std::size_t end = std::min(input.find('\n'), input.size());
            const std::string_view line = input.substr(0, end);
            input.remove_prefix(std::min(end + 1, input.size()));
            if (line.empty()) continue;
            ++events;
            event(line);
        }
    }

private:
    taborvane::testing::MemorySurface& s() { return sim_.surface; }
    frmCountdown& form() { return sim_.form; }

    State snapshot() const {
        State state;
        state.count = sim_.form.count();
        state.divisor = sim_.form.divisor();
        state.caption = sim_.surface.lblDisplay.caption();
        for (std::size_t m = 0; m < kModeCount; ++m) {
            state.timers[m] = {timers_[m]->isEnabled(), timers_[m]->interval(), timers_[m]->dueAt(),
                               timers_[m]->ticksDelivered()};
            state.lamps[m] = lamps_[m]->isVisible();
        }
        state.now = sim_.surface.clock.now();
        state.ended = sim_.surface.end.hasEnded();
        return state;
    }

    // What holds between any two events. Ticks due at the same moment may be
    // left after deliverNextTick, which delivers one; advance leaves none due.
    static void checkInvariants(const State& state, std::string_view event, bool allDelivered = false) {
        const auto where = [event] { return "after " + std::string(event) + ": "; };
        Expect(state.caption == std::to_string(state.count),
               [&] { return where() + "caption does not show the value; " + Show(state); });
        for (const TimerState& t : state.timers) {
            Expect(t.interval >= 0, [&] { return where() + "negative interval; " + Show(state); });
            Expect(t.dueAt.has_value() == (t.enabled && t.interval > 0),
                   [&] { return where() + "wait out of step; " + Show(state); });
            if (!state.ended && t.dueAt)
                Expect(*t.dueAt > state.now || (*t.dueAt == state.now && !allDelivered),
                       [&] { return where() + "a due tick was left; " + Show(state); });
        }
    }

    static void expectState(const State& got, const State& expected, std::string_view event) {
        if (!(got == expected))
            Fail("after " + std::string(event) + ":\n  got      " + Show(got) + "\n  expected " + Show(expected));
        checkInvariants(got, event);
    }

    void event(std::string_view line) {
        const char op = line[0];
        const std::string_view arg = line.substr(1);
        const State before = snapshot();
        if (op == 'e' && !arg.empty()) {
            if (before.ended) return;  // the window is gone: nobody can type
            edit(before, static_cast<unsigned char>(arg[0]) % 9, arg.substr(1));
        } else if (op == 'c' && !arg.empty()) {
            if (before.ended) return;
            click(before, static_cast<unsigned char>(arg[0]) % (kModeCount + 3));
        } else if (op == 'a') {
            std::int64_t milliseconds = 0;
            for (const char c : arg) {
                if (!reference::IsAsciiDigit(c)) break;
                milliseconds = std::min(milliseconds * 10 + (c - '0'), kMaxAdvance);
            }
            if (advanced_ + milliseconds > kMaxTotalAdvance || ticks_ >= kTickBudget) return;
            advanced_ += milliseconds;
            advance(before, milliseconds);
        } else if (op == 't') {
            if (ticks_ >= kTickBudget) return;
            deliverNextTick(before);
        }
    }

    void edit(const State& before, std::size_t k, std::string_view text) {
        State expected = before;
        const std::int64_t now = before.now;
        // The step amounts are read at each tick: nothing runs on their edit.
        const std::string_view name = entries_[k]->name();
        if (name == "txtStart") {
            if (const std::optional<std::int32_t> value = reference::ReadInt32(text)) {
                expected.count = *value;
                expected.caption = std::to_string(*value);
            }
        }
        if (name == "txtdivideAmount") {
            if (const std::optional<std::int32_t> value = reference::ReadInt32(text)) expected.divisor = *value;
        }
        for (std::size_t m = 0; m < kModeCount; ++m)
            if (name == kModes[m].pace) ReloadPace(expected.timers[m], text, now);
        entries_[k]->edit(text);
        Expect(entries_[k]->text() == text, [&] { return "an edit did not keep its text"; });
        expectState(snapshot(), expected, "edit of entry " + std::to_string(k));
    }

    void click(const State& before, std::size_t b) {
        State expected = before;
        if (b < kModeCount) {
            SetEnabled(expected.timers[b], true, before.now);
            (form().*kModes[b].startClick)();
            expectState(snapshot(), expected, "click of button " + std::to_string(b));
            return;
        }
        switch (b - kModeCount) {
        case 0:
            for (std::size_t m = 0; m < kModeCount; ++m) {
                expected.lamps[m] = false;
                SetEnabled(expected.timers[m], false, before.now);
            }
            form().cmdStop_Click();
            break;
        case 1:
            expected.lamps.fill(false);
            expected.count = 0;
            expected.caption = "0";
            form().cmdReset_Click();
            break;
        default:
            expected.ended = true;
            form().Cmdexit_Click();
            Expect(s().clock.isStopped(), [&] { return "the clock runs on after Exit"; });
            break;
        }
        expectState(snapshot(), expected, "click of button " + std::to_string(b));
    }

    void advance(const State& before, std::int64_t milliseconds) {
        s().clock.advance(milliseconds);
        const State after = snapshot();
        const auto event = [milliseconds] { return "advance by " + std::to_string(milliseconds); };
        Expect(after.now == before.now + milliseconds,
               [&] { return event() + ": clock at " + std::to_string(after.now); });
        for (std::size_t m = 0; m < kModeCount; ++m) {
            // Ticks never enable a timer, so one not waiting before stays silent.
            if (before.ended || !before.timers[m].dueAt)
                Expect(after.timers[m].ticks == before.timers[m].ticks, [&] {
                    return event() + ": timer " + std::to_string(m) + " ticked while stopped or ended; " + Show(after);
                });
        }
        if (before.ended) {
            State expected = before;
            expected.now = after.now;
            expectState(after, expected, event());
        }
        checkInvariants(after, event(), true);
    }

    void deliverNextTick(const State& before) {
        std::optional<std::size_t> due;
        for (std::size_t m = 0; m < kModeCount; ++m) {
            const std::optional<std::int64_t>& at = before.timers[m].dueAt;
            if (at && (!due || *at < *before.timers[*due].dueAt)) due = m;
        }
        if (before.ended) due.reset();
        const bool delivered = s().clock.deliverNextTick();
        const State after = snapshot();
        Expect(delivered == due.has_value(),
               [&] { return "deliverNextTick returned " + std::to_string(delivered) + "; " + Show(before); });
        if (!due) {
            expectState(after, before, "an empty deliverNextTick");
            return;
        }
        for (std::size_t m = 0; m < kModeCount; ++m)
            Expect(after.timers[m].ticks == before.timers[m].ticks + (m == *due ? 1 : 0),
                   [&] { return "deliverNextTick delivered other than the earliest tick; " + Show(after); });
        Expect(after.now == *before.timers[*due].dueAt,
               [&] { return "deliverNextTick left the clock off the tick's time"; });
        checkInvariants(after, "deliverNextTick");
    }

    // Runs around every tick the clock delivers, inside advance and deliverNextTick alike.
    void checkedTick(std::size_t m) {
        ++ticks_;
        // The clock has already moved this timer's wait on by one interval.
        const State before = snapshot();
        const auto event = [m] { return "tick of timer " + std::to_string(m); };
        Expect(!before.ended, [&] { return event() + " after the program ended"; });
        const TimerState& self = before.timers[m];
        Expect(self.enabled && self.interval > 0 && self.dueAt == before.now + self.interval,
               [&] { return event() + " not due; " + Show(before); });
        for (std::size_t other = 0; other < kModeCount; ++other) {
            const std::optional<std::int64_t>& at = before.timers[other].dueAt;
            if (other != m && at)
                Expect(*at > before.now || (*at == before.now && other > m),
                       [&] { return event() + " delivered before an earlier one; " + Show(before); });
        }
        Expect(before.now >= lastTickAt_, [&] { return event() + " went back in time"; });
        lastTickAt_ = before.now;

        const ModeModel& mode = kModels[m];
        State expected = before;
        expected.lamps[m] = true;
        // The stop value is tested on the value before the step.
        if (mode.stopValue && before.count == *mode.stopValue) SetEnabled(expected.timers[m], false, before.now);
        if (mode.kind == Kind::Divide) {
            if (const std::optional<std::int32_t> divisor = reference::ReadInt32(s().txtdivideAmount.text()))
                expected.divisor = *divisor;
        }
        ReloadPace(expected.timers[m], s().textBox(kModes[m].pace).text(), before.now);
        if (const std::optional<std::int32_t> value =
                Step(mode.kind, before.count, expected.divisor, s().textBox(kModes[m].amount).text()))
            expected.count = *value;
        expected.caption = std::to_string(expected.count);

        (form().*kModes[m].tick)();
        const State after = snapshot();
        if (!(after == expected))
            Fail(event() + ":\n  before   " + Show(before) + "\n  got      " + Show(after) + "\n  expected " +
                 Show(expected));
    }

    SimulatedCounter sim_;
    std::array<MemoryTimer*, kModeCount> timers_{};
    std::array<MemoryShape*, kModeCount> lamps_{};
    std::array<MemoryTextBox*, taborvane::kTextBoxesByName.size()> entries_{};
    std::int64_t advanced_ = 0;
    std::uint64_t ticks_ = 0;
    std::int64_t lastTickAt_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Harness harness;
    harness.run(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
