// Formats the cases: goals and the floor's comparisons, the curve's tables and
// the observations, figures rounded for reading; unrounded in the file.
#include "case_report.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

#include "markdown_format.h"
#include "modes.h"

namespace taborvane::bench {
namespace {

constexpr double kFloorCpuMargin = 1.0;      // percentage points over the frame floor
constexpr double kFloorWakeUpFactor = 1.15;  // the frame floor's main-thread wake-ups, times this

std::string Label(const CaseResult& c) {
    return std::to_string(c.modes) + (c.modes == 1 ? " mode" : " modes") + " at " + std::to_string(c.pace) + " ms";
}

bool IsHeadline(const CaseResult& c) {
    return std::any_of(kHeadline.begin(), kHeadline.end(),
                       [&c](const CaseShape& shape) { return shape.modes == c.modes && shape.pace == c.pace; });
}

// The headline cases first, each curve case once.
std::vector<const CaseResult*> HeadlineFirst(const std::vector<CaseResult>& cases) {
    std::vector<const CaseResult*> ordered;
    for (const CaseShape& shape : kHeadline)
        for (const CaseResult& c : cases)
            if (c.modes == shape.modes && c.pace == shape.pace) ordered.push_back(&c);
    for (const CaseResult& c : cases)
        if (!IsHeadline(c)) ordered.push_back(&c);
    return ordered;
}

double Cpu(const Spent& s) { return CpuShare(s.cpu, s.seconds); }
double MainCpu(const Spent& s) { return CpuShare(s.mainCpu, s.seconds); }
double WakeUps(const Spent& s) { return PerSecond(static_cast<double>(s.wakeUps), s.seconds); }
double MainWakeUps(const Spent& s) { return PerSecond(static_cast<double>(s.mainWakeUps), s.seconds); }
double Paints(const CaseResult& c) {
    return PerSecond(static_cast<double>(c.cost.displayPaints), c.cost.spent.seconds);
}

bool CpuNearFloor(const CaseResult& c, const FrameFloor& floor) {
    return Cpu(c.cost.spent) <= floor.cpuShare + kFloorCpuMargin;
}
bool WakeUpsNearFloor(const CaseResult& c, const FrameFloor& floor) {
    return MainWakeUps(c.cost.spent) <= floor.mainWakeUps * kFloorWakeUpFactor;
}

// This machine's goals of a share of a core, by case and platform.
std::optional<double> AbsoluteGoal(const CaseResult& c) {
    const bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
    if (c.modes == 4 && c.pace == 1) return offscreen ? 1.5 : 3.0;
    if (c.modes == 1 && c.pace == 10 && offscreen) return 1.0;
    return std::nullopt;
}

long Observed(const ObservationResult& s) { return s.frames + s.queries; }
long Differing(const ObservationResult& s) { return s.frameDifferences + s.queryDifferences; }

void PrintHeadline(const std::vector<const CaseResult*>& ordered, const FrameFloor& floor, double period) {
    std::printf(
        "**Headline.** The frame floor of this run: %.2f %% of a core, %.0f main-thread wake-ups a second.\n"
        "Goals: CPU at most the frame floor + %.0f percentage point, main-thread wake-ups at most the frame\n"
        "floor's × %.2f; frames and answers all showing the exact value; a tick painted within one frame\n"
        "(%.2f ms) of its due instant. The shares of a core are this shared machine's and vary from run\n"
        "to run by about a point; the comparisons with the floor measured in the same run are what hold.\n\n",
        floor.cpuShare, floor.mainWakeUps, kFloorCpuMargin, kFloorWakeUpFactor, period);
    PrintHeader({"case", "CPU share of a core", "goal here", "met", "≤ floor + 1 pp", "main-thread wake-ups/s",
                 "≤ floor × 1.15", "differing / observed", "delay median", "delay max", "≤ one frame"},
                {"---", "---:", "---:", "---", "---", "---:", "---", "---:", "---:", "---:", "---"});
    for (const CaseResult* c : ordered) {
        if (!IsHeadline(*c)) continue;
        const std::optional<double> goal = AbsoluteGoal(*c);
        const Spread delay = SpreadInMs(c->seen.delays);
        PrintRow({Label(*c) + (c->modes > 1 ? ", started apart" : ""), Fixed(Cpu(c->cost.spent), 2) + " %",
                  goal ? "≤ " + Fixed(*goal, 1) + " %" : "—", goal ? YesNo(Cpu(c->cost.spent) <= *goal) : "—",
                  YesNo(CpuNearFloor(*c, floor)), Fixed(MainWakeUps(c->cost.spent), 0),
                  YesNo(WakeUpsNearFloor(*c, floor)),
                  std::to_string(Differing(c->seen)) + " / " + std::to_string(Observed(c->seen)),
                  Fixed(delay.median, 2) + " ms", Fixed(delay.max, 2) + " ms", YesNo(delay.max <= period)});
    }
    std::printf("\n");
}

// One figure of every case, by number of modes (rows) and pace (columns).
template <typename Figure>
void PrintMatrix(const std::vector<CaseResult>& cases, const char* title, Figure figure) {
    std::printf("%s\n\n", title);
    std::vector<std::string> names{"modes"}, alignments{"---:"};
    for (const int pace : kPaces) {
        names.push_back(std::to_string(pace) + " ms");
        alignments.emplace_back("---:");
    }
    PrintHeader(names, alignments);
    for (const int modes : kModeCounts) {
        std::vector<std::string> cells{std::to_string(modes)};
        for (const int pace : kPaces) {
            const auto found = std::find_if(cases.begin(), cases.end(),
                                            [&](const CaseResult& c) { return c.modes == modes && c.pace == pace; });
            cells.push_back(found == cases.end() ? "" : figure(*found));
        }
        PrintRow(cells);
    }
    std::printf("\n");
}

void PrintCurve(const std::vector<CaseResult>& cases, const std::vector<const CaseResult*>& ordered,
                const FrameFloor& floor) {
    PrintMatrix(cases, "CPU share of a core (the process, all threads), by number of modes and pace:",
                [](const CaseResult& c) { return Fixed(Cpu(c.cost.spent), 2) + " %"; });
    PrintMatrix(cases, "Main-thread wake-ups a second, by number of modes and pace:", [](const CaseResult& c) {
        return Fixed(MainWakeUps(c.cost.spent), 0);
    });
    std::printf(
        "Every case: ticks run, CPU time (getrusage, of the process and of its main thread) over the\n"
        "wall time, paints of the display, and wake-ups (voluntary + involuntary context switches), each\n"
        "a second, against the frame floor (%.2f %%, %.0f main-thread wake-ups/s).\n\n",
        floor.cpuShare, floor.mainWakeUps);
    PrintHeader({"case", "ticks/s", "CPU", "main thread", "≤ floor + 1 pp", "display paints/s", "wake-ups/s",
                 "main thread", "≤ floor × 1.15"},
                {"---", "---:", "---:", "---:", "---", "---:", "---:", "---:", "---"});
    for (const CaseResult* c : ordered) {
        const Spent& s = c->cost.spent;
        PrintRow({Label(*c), Fixed(PerSecond(static_cast<double>(c->cost.ticks), s.seconds), 1),
                  Fixed(Cpu(s), 2) + " %", Fixed(MainCpu(s), 2) + " %", YesNo(CpuNearFloor(*c, floor)),
                  Fixed(Paints(*c), 1), Fixed(WakeUps(s), 0), Fixed(MainWakeUps(s), 0),
                  YesNo(WakeUpsNearFloor(*c, floor))});
    }
    std::printf("\n");
}

void PrintObservations(const std::vector<const CaseResult*>& ordered, double period) {
    long observed = 0, differing = 0;
    for (const CaseResult* c : ordered) {
        observed += Observed(c->seen);
        differing += Differing(c->seen);
    }
    std::printf(
        "What was shown, against the exact schedule: at every frame (the display's text as its paint\n"
        "begins) and every answer to an assistive tool asking for the display's value (every %d ms,\n"
        "after the cost was measured), the value the counter has after every tick due by that instant,\n"
        "each at its own instant. Delay: from a tick's due instant to the paint of the first frame after\n"
        "it ran. **Over every case: %ld of %ld observations differ.**\n\n",
        kQueryEveryMs, differing, observed);
    PrintHeader({"case", "frames", "differing", "answers", "differing", "ticks shown", "delay median", "p99", "max",
                 "≤ " + Fixed(period, 2) + " ms"},
                {"---", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---"});
    for (const CaseResult* c : ordered) {
        const ObservationResult& s = c->seen;
        const Spread delay = SpreadInMs(s.delays);
        PrintRow({Label(*c), std::to_string(s.frames), std::to_string(s.frameDifferences), std::to_string(s.queries),
                  std::to_string(s.queryDifferences), std::to_string(s.delays.size()), Fixed(delay.median, 2) + " ms",
                  Fixed(delay.p99, 2) + " ms", Fixed(delay.max, 2) + " ms", YesNo(delay.max <= period)});
    }
    std::printf("\n");
    for (const CaseResult* c : ordered)
        if (!c->seen.firstDifference.empty())
            std::printf("- %s, first difference: %s.\n", Label(*c).c_str(), c->seen.firstDifference.c_str());
    if (differing > 0) std::printf("\n");
}

}  // namespace

FrameFloor FrameFloorOf(const std::vector<FloorResult>& measurements) {
    FrameFloor floor;
    const auto n = static_cast<double>(measurements.size());
    for (const FloorResult& r : measurements) {
        floor.cpuShare += Cpu(r.spent) / n;
        floor.mainCpuShare += MainCpu(r.spent) / n;
        floor.wakeUps += WakeUps(r.spent) / n;
        floor.mainWakeUps += MainWakeUps(r.spent) / n;
        floor.frames += PerSecond(static_cast<double>(r.woken), r.spent.seconds) / n;
    }
    return floor;
}

void PrintCases(const std::vector<CaseResult>& cases, const FrameFloor& floor, double framesPerSecond, int caseMs,
                int queryMs) {
    std::printf(
        "Each case types the pace into every mode's entry, the start value %s and the amounts (countdown\n"
        "subtracts %s, count up adds %s, divide by %s, multiply by %s), then clicks its modes' start\n"
        "buttons one after another, each 250 µs plus a random part of a pace after the previous one took\n"
        "effect (one mode: count up; two: countdown and count up). Its cost is measured over %.1f s, then\n"
        "an assistive tool asks for %.1f s more.\n\n",
        kStartValue, kAmounts[0], kAmounts[1], kAmounts[2], kAmounts[3], caseMs / 1000.0, queryMs / 1000.0);
    const std::vector<const CaseResult*> ordered = HeadlineFirst(cases);
    const double period = 1000.0 / framesPerSecond;
    PrintHeadline(ordered, floor, period);
    PrintCurve(cases, ordered, floor);
    PrintObservations(ordered, period);
}

void WriteCosts(const std::vector<CaseResult>& cases, const FrameFloor& floor, const QString& path) {
    std::ofstream out(path.toStdString());
    for (const CaseResult* c : HeadlineFirst(cases)) {
        const Spent& s = c->cost.spent;
        const Spread delay = SpreadInMs(c->seen.delays);
        out << Label(*c) << (IsHeadline(*c) ? " (headline)" : "") << '\t' << Cpu(s) << '\t' << MainCpu(s) << '\t'
            << Paints(*c) << '\t' << WakeUps(s) << '\t' << MainWakeUps(s) << '\t' << Observed(c->seen) << '\t'
            << Differing(c->seen) << '\t' << delay.median << '\t' << delay.max << '\n';
    }
    out << "frame floor (mean of this run's)\t" << floor.cpuShare << '\t' << floor.mainCpuShare << '\t' << floor.frames
        << '\t' << floor.wakeUps << '\t' << floor.mainWakeUps << "\t\t\t\t\n";
}

}  // namespace taborvane::bench
