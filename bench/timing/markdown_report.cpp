// Formats the measurements: Markdown tables on standard output, figures rounded
// for reading, and the cases' costs unrounded in a tab-separated file.
#include "markdown_report.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include <unistd.h>

#include "modes.h"
#include "process_usage.h"

namespace taborvane::bench {
namespace {

double Ms(Nanoseconds ns) { return static_cast<double>(ns) / 1e6; }

struct Spread {
    double median = 0, p99 = 0, max = 0;  // milliseconds
};

// Nearest-rank percentiles.
Spread SpreadOf(std::vector<Nanoseconds> values) {
    if (values.empty()) return {};
    std::sort(values.begin(), values.end());
    const auto rank = [&values](double fraction) {
        const auto index = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
        return Ms(values[std::max<std::size_t>(index, 1) - 1]);
    };
    return {rank(0.5), rank(0.99), Ms(values.back())};
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Row(const std::vector<std::string>& cells) {
    std::string row = "|";
    for (const std::string& cell : cells) row += " " + cell + " |";
    return row + "\n";
}

std::string Rate(double value) { return Fixed(value, value < 20 ? 2 : 1); }

std::string ModesLabel(const CaseResult& c) {
    if (!c.together) return "one";
    return c.spreadUs > 0 ? "four, " + std::to_string(c.spreadUs) + " µs apart" : "four";
}

double CpuShare(const CaseCost& cost) { return 100.0 * static_cast<double>(cost.cpu) / (cost.seconds * 1e9); }

}  // namespace

void PrintPlatform() {
    std::printf("Platform `%s`, event dispatcher `%s`; load average at start: %s.\n\n",
                qPrintable(QGuiApplication::platformName()),
                QAbstractEventDispatcher::instance()->metaObject()->className(), LoadAverage().c_str());
}

void PrintPunctuality(const std::vector<CaseResult>& cases, int caseMs) {
    std::printf(
        "Each pace runs %.1f s with count up alone (from %s, adding %s) and %.1f s with the four modes\n"
        "together (from %s: countdown subtracts %s, count up adds %s, divide by %s, multiply by %s).\n\n",
        caseMs / 1000.0, kStartValue, kAmountAlone, caseMs / 1000.0, kStartValue, kAmountsTogether[0],
        kAmountsTogether[1], kAmountsTogether[2], kAmountsTogether[3]);
    std::printf(
        "Ticks per second against 1000/pace, and lateness of each tick past its due time (the k-th tick\n"
        "is due k paces after its start button was clicked, so drift and lost ticks count as lateness).\n"
        "The rate is met when every due tick came, but for the one that may fall due as the case ends.\n\n");
    std::printf("%s", Row({"pace", "modes", "mode", "ticks/s", "goal", "ticks / due", "met", "late median", "late p99",
                           "late max", "value at end"})
                          .c_str());
    std::printf("%s",
                Row({"---:", "---", "---", "---:", "---:", "---:", "---", "---:", "---:", "---:", "---:"}).c_str());
    for (const CaseResult& c : cases) {
        const double goal = 1000.0 / c.pace;
        const std::string pace = std::to_string(c.pace) + " ms";
        const std::string modes = ModesLabel(c);
        const auto row = [&](const std::string& mode, double rate, double rateGoal, std::size_t ticks, std::size_t due,
                             std::size_t boundary, const std::vector<Nanoseconds>& lateness, const std::string& value) {
            const Spread s = SpreadOf(lateness);
            std::printf(
                "%s", Row({pace, modes, mode, Rate(rate), Rate(rateGoal),
                           std::to_string(ticks) + " / " + std::to_string(due), ticks + boundary >= due ? "yes" : "no",
                           Fixed(s.median, 3) + " ms", Fixed(s.p99, 3) + " ms", Fixed(s.max, 3) + " ms", value})
                          .c_str());
        };
        std::vector<Nanoseconds> all;
        std::size_t ticks = 0, due = 0;
        double rate = 0;
        for (const ModeResult& m : c.modes) {
            const double modeRate = static_cast<double>(m.ticks) / m.seconds;
            row(kModes[static_cast<std::size_t>(m.mode)].label, modeRate, goal, m.ticks, m.due, 1, m.lateness,
                c.modes.size() == 1 ? c.endValue : "");
            all.insert(all.end(), m.lateness.begin(), m.lateness.end());
            ticks += m.ticks;
            due += m.due;
            rate += modeRate;
        }
        if (c.modes.size() > 1)
            row("**all**", rate, goal * static_cast<double>(c.modes.size()), ticks, due, c.modes.size(), all,
                c.endValue);
    }
    std::printf("\n");
}

void PrintCosts(const std::vector<CaseResult>& cases) {
    std::printf(
        "What each case cost while its modes ran: CPU time of the process (getrusage, all threads) over\n"
        "the wall time, paints of the display, and wake-ups (voluntary + involuntary context switches,\n"
        "all threads), each per second.\n\n");
    std::printf("%s",
                Row({"pace", "modes", "ticks/s", "CPU share of a core", "display paints/s", "wake-ups/s"}).c_str());
    std::printf("%s", Row({"---:", "---", "---:", "---:", "---:", "---:"}).c_str());
    for (const CaseResult& c : cases) {
        std::size_t ticks = 0;
        for (const ModeResult& m : c.modes) ticks += m.ticks;
        const double seconds = c.cost.seconds;
        std::printf("%s",
                    Row({std::to_string(c.pace) + " ms", ModesLabel(c), Rate(static_cast<double>(ticks) / seconds),
                         Fixed(CpuShare(c.cost), 2) + " %", Fixed(c.cost.displayPaints / seconds, 1),
                         Fixed(static_cast<double>(c.cost.wakeUps) / seconds, 0)})
                        .c_str());
    }
    std::printf("\n");
}

void WriteCosts(const std::vector<CaseResult>& cases, const QString& path) {
    std::ofstream out(path.toStdString());
    for (const CaseResult& c : cases) {
        std::size_t ticks = 0;
        for (const ModeResult& m : c.modes) ticks += m.ticks;
        const double seconds = c.cost.seconds;
        out << c.pace << '\t' << ModesLabel(c) << '\t' << static_cast<double>(ticks) / seconds << '\t'
            << CpuShare(c.cost) << '\t' << c.cost.displayPaints / seconds << '\t'
            << static_cast<double>(c.cost.wakeUps) / seconds << '\n';
    }
}

void PrintWakeFloor(const std::vector<FloorResult>& results) {
    std::printf(
        "The floor: this platform's event loop woken by a kernel timer (timerfd) at a fixed rate and\n"
        "doing nothing else, with the window shown and idle; and an empty window of the program's size\n"
        "repainting one child as large as the display, background only, at 60 frames a second. A\n"
        "program that takes each tick at its own instant, or paints each frame, cannot cost less than\n"
        "this for as many wake-ups or frames.\n\n");
    std::printf(
        "%s",
        Row({"what", "CPU share of a core", "wake-ups/s", "timer rings or frames/s", "CPU per ring or frame"}).c_str());
    std::printf("%s", Row({"---", "---:", "---:", "---:", "---:"}).c_str());
    for (const FloorResult& r : results) {
        const double events = static_cast<double>(r.woken) / r.seconds;
        std::printf(
            "%s",
            Row({r.what, Fixed(100.0 * static_cast<double>(r.cpu) / (r.seconds * 1e9), 2) + " %",
                 Fixed(static_cast<double>(r.wakeUps) / r.seconds, 0), Fixed(events, 1),
                 Fixed(static_cast<double>(r.cpu) / 1e3 / std::max(1.0, static_cast<double>(r.woken)), 1) + " µs"})
                .c_str());
    }
    std::printf("\n");
}

void PrintClicks(const ClickResult& r, int trials) {
    const Spread s = SpreadOf(r.delays);
    const bool met = r.noEffect == 0 && !r.delays.empty() && s.max <= 20.0;
    std::printf(
        "A click on Stop posted to the event queue from another thread while the four modes run at 1 ms,\n"
        "until every timer is disabled (%d trials, each 150-350 ms after the start).\n\n",
        trials);
    std::printf("%s", Row({"trials", "median", "p99", "max", "goal", "met", "no effect in 3 s", "ticks after Stop",
                           "timers left on"})
                          .c_str());
    std::printf("%s", Row({"---:", "---:", "---:", "---:", "---:", "---", "---:", "---:", "---:"}).c_str());
    std::printf("%s", Row({std::to_string(r.delays.size()), Fixed(s.median, 3) + " ms", Fixed(s.p99, 3) + " ms",
                           Fixed(s.max, 3) + " ms", "≤ 20 ms", met ? "yes" : "no", std::to_string(r.noEffect),
                           std::to_string(r.ticksAfterStop), std::to_string(r.timersLeftOn)})
                          .c_str());
    std::printf("\n");
}

void PrintIdle(const std::vector<IdleResult>& results) {
    std::printf(
        "Idle, no mode running: CPU time of the process (getrusage, all threads) and its wake-ups\n"
        "(voluntary + involuntary context switches, all threads). The window ends on one timer of the\n"
        "benchmark itself (`benchEndOfWait`): one wake-up of the main thread. Other timers: timer events\n"
        "of anything but the cursor and that one.\n\n");
    std::printf("%s", Row({"window", "seconds", "CPU", "share of a core", "goal", "wake-ups", "main thread",
                           "cursor blinks", "other timers", "goal"})
                          .c_str());
    std::printf("%s", Row({"---", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---"}).c_str());
    for (const IdleResult& r : results) {
        const Nanoseconds cpu = r.after.cpu - r.before.cpu;
        const double share = 100.0 * static_cast<double>(cpu) / (r.seconds * 1e9);
        const long wakes = (r.after.voluntary - r.before.voluntary) + (r.after.involuntary - r.before.involuntary);
        const auto before = r.before.threads.find(static_cast<int>(getpid()));
        const auto after = r.after.threads.find(static_cast<int>(getpid()));
        const long mainWakes =
            after->second.voluntary - before->second.voluntary + after->second.involuntary - before->second.involuntary;
        int otherTimers = 0;
        for (const auto& [what, count] : r.events)
            if (what.ends_with(": Timer") && what != kBlinkTimer && what != kEndOfWaitTimer) otherTimers += count;
        std::printf("%s", Row({r.window + (r.stateReached ? "" : " (**state not reached**)"), Fixed(r.seconds, 2),
                               Fixed(Ms(cpu), 1) + " ms", Fixed(share, 3) + " %", "< 0.1 %", std::to_string(wakes),
                               std::to_string(mainWakes), std::to_string(r.blinkTicks), std::to_string(otherTimers),
                               r.focused ? "cursor blink only" : "none"})
                              .c_str());
    }
    std::printf("\n");
    for (const IdleResult& r : results) {
        std::printf("- %s: wake-ups and CPU by thread:", r.window.c_str());
        const char* separator = " ";
        for (const auto& [tid, after] : r.after.threads) {
            const auto b = r.before.threads.find(tid);
            const ThreadUsage before = b == r.before.threads.end() ? ThreadUsage{} : b->second;
            std::printf("%s%s %ld, %.2f ms", separator, after.name.c_str(),
                        (after.voluntary - before.voluntary) + (after.involuntary - before.involuntary),
                        Ms(after.cpu - before.cpu));
            separator = "; ";
        }
        std::printf(". Events handled:");
        separator = " ";
        for (const auto& [what, count] : r.events) {
            std::printf("%s%s ×%d", separator, what.c_str(), count);
            separator = ", ";
        }
        std::printf("%s\n", r.events.empty() ? " none." : ".");
    }
    std::printf("\n");
}

void PrintLoadAtEnd() { std::printf("Load average at the end: %s.\n", LoadAverage().c_str()); }

}  // namespace taborvane::bench
