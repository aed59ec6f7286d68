// How punctually the four modes tick on the real window and what each pace
// costs (CPU, paints of the display, wake-ups), how soon a click on Stop takes
// effect while all four run at 1 ms, and what the idle window costs in CPU
// time and wake-ups. Prints its figures as Markdown tables.
//
// Usage: timing_bench [--case-ms N] [--idle-ms N] [--trials N] [--only punctuality|floor|click|idle]
//                     [--costs FILE]   also writes each case's costs there, one tab-separated line a case
#include <QApplication>
#include <QTest>
#include <cstdio>
#include <vector>

#include "app/application_setup.h"
#include "floors.h"
#include "markdown_report.h"
#include "window/countdown_window.h"
#include "window_driver.h"

namespace {

int Option(const QStringList& args, const QString& name, int fallback) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace taborvane::bench;
    QApplication app(argc, argv);
    taborvane::app::PrepareApplication();
    const QStringList args = QCoreApplication::arguments();
    const int caseMs = Option(args, QStringLiteral("--case-ms"), 5000);
    const int idleMs = Option(args, QStringLiteral("--idle-ms"), 10000);
    const int trials = Option(args, QStringLiteral("--trials"), 20);
    const qsizetype onlyAt = args.indexOf(QStringLiteral("--only"));
    const QString only = onlyAt >= 0 && onlyAt + 1 < args.size() ? args[onlyAt + 1] : QString();
    const qsizetype costsAt = args.indexOf(QStringLiteral("--costs"));
    const QString costsFile = costsAt >= 0 && costsAt + 1 < args.size() ? args[costsAt + 1] : QString();

    taborvane::window::CountdownWindow window;
    window.move(0, 0);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qFatal("the window was never exposed");
    WindowDriver bench(window);

    PrintPlatform();

    if (only.isEmpty() || only == QStringLiteral("punctuality")) {
        std::vector<CaseResult> cases;
        for (const int pace : {1, 10, 47, 470}) {
            for (const bool together : {false, true}) {
                std::fprintf(stderr, "pace %d ms, %s\n", pace, together ? "four modes" : "count up alone");
                cases.push_back(bench.runCase(pace, together, 0, caseMs));
            }
            if (pace == 1) {
                std::fprintf(stderr, "pace 1 ms, four modes out of phase\n");
                cases.push_back(bench.runCase(pace, true, 250, caseMs));
            }
        }
        PrintPunctuality(cases, caseMs);
        PrintCosts(cases);
        if (!costsFile.isEmpty()) WriteCosts(cases, costsFile);
    }
    if (only.isEmpty() || only == QStringLiteral("floor")) {
        std::fprintf(stderr, "wake-up floor\n");
        const QWidget* display = window.findChild<QWidget*>(QStringLiteral("lblDisplay"));
        PrintWakeFloor({RunWakeFloor(1000, caseMs), RunWakeFloor(4000, caseMs),
                        RunFrameFloor(window.size(), display->geometry(), caseMs)});
    }
    if (only.isEmpty() || only == QStringLiteral("click")) {
        std::fprintf(stderr, "clicks on Stop\n");
        PrintClicks(bench.runClicks(trials), trials);
    }
    if (only.isEmpty() || only == QStringLiteral("idle")) {
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
