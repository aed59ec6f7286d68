// The timing benchmark, as a library preloaded into the real program
// (LD_PRELOAD; bench/timing/run.sh does it). Once the program's window is
// shown, it runs the measurements of runs.h on it, prints them as Markdown on
// standard output, and ends the program. It reaches the program only through
// what every build keeps (program_under_test.h), so the same probe measures
// this build and an earlier commit's, each unchanged. Without
// TABORVANE_TIMING_PROBE=1 in the environment it does nothing.
//
// Options, in TABORVANE_TIMING_ARGS: --case-ms N --idle-ms N --trials N --stall-ms N --stall-trials N
//   --costs FILE    each case's figures, one tab-separated line a case
//   --before FILE   the costs of an earlier build, set beside this one's
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "program_window.h"
#include "runs.h"

namespace taborvane::bench {
namespace {

struct Options {
    int caseMs = 5000, idleMs = 10000, trials = 20, stallMs = 3000, stallTrials = 5;
    std::string costs, before;
};

Options ReadOptions() {
    Options options;
    std::istringstream words(std::getenv("TABORVANE_TIMING_ARGS") ? std::getenv("TABORVANE_TIMING_ARGS") : "");
    const std::map<std::string, int*> numbers{{"--case-ms", &options.caseMs},
                                              {"--idle-ms", &options.idleMs},
                                              {"--trials", &options.trials},
                                              {"--stall-ms", &options.stallMs},
                                              {"--stall-trials", &options.stallTrials}};
    for (std::string name, value; words >> name >> value;) {
        if (const auto number = numbers.find(name); number != numbers.end())
            *number->second = std::stoi(value);
        else if (name == "--costs")
            options.costs = value;
        else if (name == "--before")
            options.before = value;
        else
            qFatal("timing probe: unknown option %s", name.c_str());
    }
    return options;
}

constexpr double kFloorCpuMargin = 1.0;      // percentage points of a core over the frame floor
constexpr double kFloorWakeUpFactor = 1.15;  // main-thread wake-ups over the frame floor's

double Cpu(const Spent& s) { return CpuShare(s.cpu, s.seconds); }
double MainCpu(const Spent& s) { return CpuShare(s.mainCpu, s.seconds); }
double PerSecond(double count, const Spent& s) { return s.seconds > 0 ? count / s.seconds : 0; }

struct FrameFloor {
    double cpu = 0, mainCpu = 0, frames = 0, wakeUps = 0, mainWakeUps = 0;
};

FrameFloor MeanOf(const std::vector<FloorResult>& floors) {
    FrameFloor mean;
    for (const FloorResult& f : floors) {
        const auto n = static_cast<double>(floors.size());
        mean.cpu += Cpu(f.spent) / n;
        mean.mainCpu += MainCpu(f.spent) / n;
        mean.frames += PerSecond(static_cast<double>(f.woken), f.spent) / n;
        mean.wakeUps += PerSecond(static_cast<double>(f.spent.wakeUps), f.spent) / n;
        mean.mainWakeUps += PerSecond(static_cast<double>(f.spent.mainWakeUps), f.spent) / n;
    }
    return mean;
}

std::string Label(const CaseResult& c) {
    return std::to_string(c.modes) + (c.modes == 1 ? " mode" : " modes") + " at " + std::to_string(c.pace) + " ms";
}
bool IsHeadline(const CaseResult& c) { return (c.modes == 4 && c.pace == 1) || (c.modes == 1 && c.pace == 10); }
std::string Ms(double ms, int decimals = 2) { return Fixed(ms, decimals) + " ms"; }
std::string Percent(double share, int decimals = 2) { return Fixed(share, decimals) + " %"; }

// This machine's goals of a share of a core, by case and platform; 0: none.
double AbsoluteGoal(const CaseResult& c) {
    const bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
    if (c.modes == 4 && c.pace == 1) return offscreen ? 1.5 : 3.0;
    if (c.modes == 1 && c.pace == 10 && offscreen) return 1.0;
    return 0;
}

void PrintFloors(const std::vector<FloorResult>& floors) {
    std::printf("**Floors**, the program's window shown and idle:\n\n");
    std::vector<Row> rows;
    for (const FloorResult& f : floors) {
        const Spent& s = f.spent;
        rows.push_back({f.what, Percent(Cpu(s)), Percent(MainCpu(s)), Fixed(PerSecond(s.wakeUps, s), 0),
                        Fixed(PerSecond(s.mainWakeUps, s), 0), Fixed(PerSecond(f.woken, s), 1),
                        Fixed(static_cast<double>(s.cpu) / 1e3 / std::max(1L, f.woken), 1) + " µs"});
    }
    PrintTable({"what", "CPU share of a core:", "main thread:", "wake-ups/s:", "main thread:", "rings or frames/s:",
                "CPU per ring or frame:"},
               rows);
}

void PrintCases(std::vector<CaseResult> cases, const FrameFloor& floor, double period, const Options& options) {
    std::stable_partition(cases.begin(), cases.end(), IsHeadline);
    std::printf(
        "**Headline**, each case over %.1f s. The frame floor of this run: %.2f %% of a core, %.0f main-thread\n"
        "wake-ups a second. Goals: CPU at most the frame floor + %.0f percentage point, main-thread wake-ups at\n"
        "most the frame floor's × %.2f; a tick painted within one frame (%.2f ms) of its instant.\n\n",
        options.caseMs / 1000.0, floor.cpu, floor.mainWakeUps, kFloorCpuMargin, kFloorWakeUpFactor, period);
    const auto nearCpu = [&floor](const CaseResult& c) { return Cpu(c.spent) <= floor.cpu + kFloorCpuMargin; };
    const auto nearWakeUps = [&floor](const CaseResult& c) {
        return PerSecond(c.spent.mainWakeUps, c.spent) <= floor.mainWakeUps * kFloorWakeUpFactor;
    };
    std::vector<Row> headline, every;
    for (const CaseResult& c : cases) {
        const Spread delay = SpreadInMs(c.delays);
        const double goal = AbsoluteGoal(c);
        const Row costs{Percent(Cpu(c.spent)),
                        Percent(MainCpu(c.spent)),
                        YesNo(nearCpu(c)),
                        Fixed(PerSecond(c.paints, c.spent), 1),
                        Fixed(PerSecond(c.spent.wakeUps, c.spent), 0),
                        Fixed(PerSecond(c.spent.mainWakeUps, c.spent), 0),
                        YesNo(nearWakeUps(c))};
        if (IsHeadline(c))
            headline.push_back({Label(c), Percent(Cpu(c.spent)), goal > 0 ? "≤ " + Fixed(goal, 1) + " %" : "—",
                                goal > 0 ? YesNo(Cpu(c.spent) <= goal) : "—", YesNo(nearCpu(c)),
                                Fixed(PerSecond(c.spent.mainWakeUps, c.spent), 0), YesNo(nearWakeUps(c)),
                                Ms(delay.median), Ms(delay.max), YesNo(delay.max <= period)});
        Row row{Label(c), Fixed(PerSecond(c.ticks, c.spent), 1)};
        row.insert(row.end(), costs.begin(), costs.end());
        row.insert(row.end(), {std::to_string(c.delays.size()), Ms(delay.median), Ms(delay.p99), Ms(delay.max),
                               YesNo(delay.max <= period)});
        every.push_back(row);
    }
    PrintTable({"case", "CPU share of a core:", "goal here:", "met", "≤ floor + 1 pp",
                "main-thread wake-ups/s:", "≤ floor × 1.15", "delay median:", "delay max:", "≤ one frame"},
               headline);
    std::printf("**Every case:**\n\n");
    PrintTable({"case", "ticks/s:", "CPU:", "main thread:", "≤ floor + 1 pp", "display paints/s:", "wake-ups/s:",
                "main thread:", "≤ floor × 1.15", "ticks shown:", "delay median:", "p99:", "max:", "≤ one frame"},
               every);
}

void WriteCosts(const std::vector<CaseResult>& cases, const FrameFloor& floor, const std::string& path) {
    std::ofstream out(path);
    for (const CaseResult& c : cases)
        out << Label(c) << '\t' << Cpu(c.spent) << '\t' << PerSecond(c.paints, c.spent) << '\t'
            << PerSecond(c.spent.wakeUps, c.spent) << '\t' << PerSecond(c.spent.mainWakeUps, c.spent) << '\t'
            << SpreadInMs(c.delays).max << '\n';
    out << "frame floor (mean of this run's)\t" << floor.cpu << '\t' << floor.frames << '\t' << floor.wakeUps << '\t'
        << floor.mainWakeUps << "\t\n";
}

// The earlier build's costs beside this one's, case by case.
void PrintBeside(const std::string& beforePath, const std::string& afterPath) {
    const auto read = [](const std::string& path) {
        std::vector<std::vector<std::string>> lines;
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);) {
            std::vector<std::string> fields;
            std::istringstream split(line);
            for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
            lines.push_back(fields);
        }
        return lines;
    };
    const auto before = read(beforePath), after = read(afterPath);
    std::vector<Row> rows;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        const auto& b = before[i];
        const auto& a = after[i];
        if (b.size() < 5 || a.size() < 5 || b[0] != a[0]) qFatal("timing probe: the two builds ran other cases");
        const auto number = [](const std::vector<std::string>& f, std::size_t at) {
            return at < f.size() && !f[at].empty() ? std::stod(f[at]) : -1.0;
        };
        const auto delay = [&number](const std::vector<std::string>& f) {
            return number(f, 5) < 0 ? std::string("—") : Ms(number(f, 5));
        };
        rows.push_back({a[0], Percent(number(b, 1)), Percent(number(a, 1)),
                        Fixed(number(b, 1) > 0 ? number(a, 1) / number(b, 1) : 0, 3), Fixed(number(b, 2), 1),
                        Fixed(number(a, 2), 1), Fixed(number(b, 3), 0), Fixed(number(a, 3), 0), Fixed(number(b, 4), 0),
                        Fixed(number(a, 4), 0), delay(b), delay(a)});
    }
    PrintTable({"case", "CPU before:", "CPU after:", "ratio:", "display paints/s before:", "after:",
                "wake-ups/s before:", "after:", "main thread before:", "after:", "max delay before:", "after:"},
               rows);
}

void PrintClicks(const ClickResult& r, int trials) {
    const Spread s = SpreadInMs(r.delays);
    std::printf("**Clicks on Stop**, %d trials:\n\n", trials);
    PrintTable({"trials:", "median:", "p99:", "max:", "goal:", "met", "no effect in 3 s:", "ticks after Stop:"},
               {{std::to_string(r.delays.size()), Ms(s.median, 3), Ms(s.p99, 3), Ms(s.max, 3), "median ≤ 1 ms",
                 YesNo(r.noEffect == 0 && !r.delays.empty() && s.median <= 1.0), std::to_string(r.noEffect),
                 std::to_string(r.ticksAfterStop)}});
}

void PrintStalls(const StallResult& r, int blockMs, int trials) {
    const Spread toFrame = SpreadInMs(r.toFirstFrame), batch = SpreadInMs(r.batch);
    std::vector<double> replayed(r.replayed.begin(), r.replayed.end());
    const Spread ticks = SpreadOf(replayed);
    std::printf("**Catching up after a stall** of %d ms, %d trials:\n\n", blockMs, trials);
    PrintTable(
        {"trials:", "to first frame, median:", "max:", "batch, median:", "max:", "ticks replayed, median:", "max:",
         "frames before the replay:", "no frame in 500 ms:"},
        {{std::to_string(r.toFirstFrame.size()), Ms(toFrame.median), Ms(toFrame.max), Ms(batch.median), Ms(batch.max),
          Fixed(ticks.median, 0), Fixed(ticks.max, 0), std::to_string(r.staleFrames), std::to_string(r.noFrame)}});
}

void PrintIdle(const std::vector<IdleResult>& results) {
    std::printf("**Idle**, no mode running:\n\n");
    std::vector<Row> rows;
    for (const IdleResult& r : results) {
        const auto count = [&r](const std::string& what) { return r.events.count(what) ? r.events.at(what) : 0; };
        int otherTimers = 0;
        for (const auto& [what, times] : r.events)
            if (what.ends_with(": Timer")) otherTimers += times;
        const int blinks = count("QWidgetLineControl: Timer"), end = count("QTimer benchEndOfWait: Timer");
        rows.push_back({r.window + (r.stateReached ? "" : " (**state not reached**)"), Fixed(r.spent.seconds, 2),
                        Ms(static_cast<double>(r.spent.cpu) / 1e6, 1), Percent(Cpu(r.spent), 3), "< 0.1 %",
                        std::to_string(r.spent.wakeUps), std::to_string(r.spent.mainWakeUps), std::to_string(blinks),
                        std::to_string(otherTimers - blinks - end), r.focused ? "cursor blink only" : "none"});
    }
    PrintTable({"window", "seconds:", "CPU:", "share of a core:", "goal:", "wake-ups:", "main thread:",
                "cursor blinks:", "other timers:", "goal"},
               rows);
    for (const IdleResult& r : results) {
        std::printf("- %s: events handled:", r.window.c_str());
        const char* separator = " ";
        for (const auto& [what, times] : r.events) {
            std::printf("%s%s ×%d", separator, what.c_str(), times);
            separator = ", ";
        }
        std::printf("%s\n", r.events.empty() ? " none." : ".");
    }
    std::printf("\n");
}

void Measure(QWidget& window) {
    const Options options = ReadOptions();
    ProgramUnderTest program(window);
    std::mt19937 random(20240607);
    const double reported = window.screen()->refreshRate();
    const double framesPerSecond = reported >= 1.0 && reported <= 1000.0 ? reported : 60.0;
    std::printf(
        "Platform `%s`, event dispatcher `%s`, screen at %.1f frames a second (a frame every %.2f ms); load\n"
        "average at start: %s.\n%s\n\n",
        qPrintable(QGuiApplication::platformName()), QAbstractEventDispatcher::instance()->metaObject()->className(),
        framesPerSecond, 1000.0 / framesPerSecond, LoadAverage().c_str(),
        program.tellsTicksInstant()
            ? "The window tells the instant its ticks are up to: each delay is counted from it."
            : "The window takes each tick at its own alarm: each delay is counted from the tick.");

    std::fprintf(stderr, "floors\n");
    std::vector<FloorResult> floors{RunWakeFloor(1000, options.caseMs),
                                    RunFrameFloor(program, framesPerSecond, options.caseMs)};
    std::vector<CaseResult> cases;
    for (const int modes : {1, 2, 4})
        for (const int pace : {1, 2, 5, 10, 47}) {
            std::fprintf(stderr, "%d modes at %d ms\n", modes, pace);
            cases.push_back(RunCase(program, modes, pace, options.caseMs, random));
        }
    floors.push_back(RunFrameFloor(program, framesPerSecond, options.caseMs));
    PrintFloors(floors);
    const FrameFloor floor = MeanOf({floors.begin() + 1, floors.end()});
    std::stable_partition(cases.begin(), cases.end(), IsHeadline);
    if (!options.costs.empty()) WriteCosts(cases, floor, options.costs);
    if (!options.before.empty() && !options.costs.empty()) {
        std::printf("Before (the earlier build, run just before) and after (this build):\n\n");
        PrintBeside(options.before, options.costs);
    }
    PrintCases(cases, floor, 1000.0 / framesPerSecond, options);

    std::fprintf(stderr, "clicks on Stop\n");
    PrintClicks(RunClicks(program, options.trials, random), options.trials);
    std::fprintf(stderr, "stalls\n");
    PrintStalls(RunStalls(program, options.stallMs, options.stallTrials, random), options.stallMs, options.stallTrials);
    std::fprintf(stderr, "idle\n");
    PrintIdle({RunIdle(program, true, options.idleMs), RunIdle(program, false, options.idleMs)});
    std::printf("Load average at the end: %s.\n", LoadAverage().c_str());
    std::fflush(stdout);
}

// Waits for the program's window to be shown, then measures and ends the program.
void StartProbe() {
    if (qEnvironmentVariable("TABORVANE_TIMING_PROBE") != QLatin1String("1")) return;
    QTimer::singleShot(0, qApp, [] {
        QWidget& window = ShownProgramWindow();
        window.move(0, 0);
        Measure(window);
        QCoreApplication::exit(0);
    });
}

}  // namespace
}  // namespace taborvane::bench

namespace {
void StartTimingProbe() { taborvane::bench::StartProbe(); }
}  // namespace
Q_COREAPP_STARTUP_FUNCTION(StartTimingProbe)
