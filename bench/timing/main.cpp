// What the user can observe of the real window and what it costs: every frame
// and every answer to an assistive tool held against the exact schedule of the
// modes' ticks, the delay from a tick's due instant to the frame that shows it,
// the cost of each case (CPU, paints of the display, wake-ups, of the process
// and of its main thread) against the frame floor measured in the same run, how
// soon a click on Stop takes effect, how long catching up after a stall takes,
// and what the idle window costs. Prints its figures as Markdown tables.
//
// Usage: timing_bench [--case-ms N] [--query-ms N] [--idle-ms N] [--trials N]
//                     [--stall-ms N] [--stall-trials N] [--only cases|floor|click|stall|idle]
//                     [--costs FILE]   also writes each case's figures there, one tab-separated line a case
#include <QApplication>
#include <QTest>
#include <cstdio>
#include <vector>

#include "app/application_setup.h"
#include "case_report.h"
#include "floors.h"
#include "markdown_report.h"
#include "modes.h"
#include "ticks_instant.h"
#include "window/countdown_window.h"
#include "window_driver.h"

namespace {

int Option(const QStringList& args, const QString& name, int fallback) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

QString TextOption(const QStringList& args, const QString& name) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace taborvane::bench;
    using taborvane::window::CountdownWindow;
    QApplication app(argc, argv);
    taborvane::app::PrepareApplication();
    const QStringList args = QCoreApplication::arguments();
    const int caseMs = Option(args, QStringLiteral("--case-ms"), 5000);
    const int queryMs = Option(args, QStringLiteral("--query-ms"), 1500);
    const int idleMs = Option(args, QStringLiteral("--idle-ms"), 10000);
    const int trials = Option(args, QStringLiteral("--trials"), 20);
    const int stallMs = Option(args, QStringLiteral("--stall-ms"), 3000);
    const int stallTrials = Option(args, QStringLiteral("--stall-trials"), 5);
    const QString only = TextOption(args, QStringLiteral("--only"));
    const QString costsFile = TextOption(args, QStringLiteral("--costs"));
    const auto runs = [&only](const char* part) { return only.isEmpty() || only == QLatin1String(part); };

    CountdownWindow window;
    window.move(0, 0);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qFatal("the window was never exposed");
    WindowDriver bench(window);
    const double framesPerSecond = FramesPerSecondOf(window);
    const QWidget* display = window.findChild<QWidget*>(QStringLiteral("lblDisplay"));
    const auto frameFloor = [&] {
        std::fprintf(stderr, "frame floor\n");
        return RunFrameFloor(window.size(), display->geometry(), framesPerSecond, caseMs);
    };

    PrintPlatform(framesPerSecond, TellsTicksInstant<CountdownWindow>());

    if (runs("cases") || runs("floor")) {
        std::vector<FloorResult> floors;
        std::fprintf(stderr, "wake-up floor\n");
        floors.push_back(RunWakeFloor(1000, caseMs));
        floors.push_back(frameFloor());
        std::vector<CaseResult> cases;
        if (runs("cases")) {
            for (const int modes : kModeCounts)
                for (const int pace : kPaces) {
                    std::fprintf(stderr, "%d modes at %d ms\n", modes, pace);
                    cases.push_back(bench.runCase(modes, pace, caseMs, queryMs));
                }
            floors.push_back(frameFloor());
        }
        PrintFloors(floors);
        const FrameFloor floor = FrameFloorOf({floors.begin() + 1, floors.end()});
        if (!cases.empty()) {
            PrintCases(cases, floor, framesPerSecond, caseMs, queryMs);
            if (!costsFile.isEmpty()) WriteCosts(cases, floor, costsFile);
        }
    }
    if (runs("click")) {
        std::fprintf(stderr, "clicks on Stop\n");
        PrintClicks(bench.runClicks(trials), trials);
    }
    if (runs("stall")) {
        std::fprintf(stderr, "stalls of %d ms\n", stallMs);
        PrintStalls(bench.runStalls(stallMs, stallTrials), stallTrials);
    }
    if (runs("idle")) {
        std::vector<IdleResult> idle;
        for (const bool focused : {true, false}) {
            std::fprintf(stderr, "idle, %s\n", focused ? "focused" : "not focused");
            idle.push_back(bench.runIdle(focused, idleMs));
        }
        PrintIdle(idle);
    }
    PrintLoadAtEnd();
    return 0;
}
