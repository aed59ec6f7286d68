// Formats the platform's floors and the measurements outside the cases.
#include "markdown_report.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <string>

#include "markdown_format.h"
#include "process_usage.h"

namespace taborvane::bench {

void PrintPlatform(double framesPerSecond, bool windowTellsTicksInstant) {
    std::printf(
        "Platform `%s`, event dispatcher `%s`, screen at %.1f frames a second (a frame every %.2f ms); load\n"
        "average at start: %s.\n",
        qPrintable(QGuiApplication::platformName()), QAbstractEventDispatcher::instance()->metaObject()->className(),
        framesPerSecond, 1000.0 / framesPerSecond, LoadAverage().c_str());
    std::printf(
        "%s\n\n",
        windowTellsTicksInstant
            ? "The window tells the instant its ticks are up to: each frame and answer is held against that instant."
            : "The window takes each tick at its own alarm and tells no instant: each frame and answer is held\n"
              "against the clock's reading as it is painted or answered.");
}

void PrintFloors(const std::vector<FloorResult>& results) {
    std::printf(
        "The floors, with the program's window shown and idle: this platform's event loop woken by a\n"
        "kernel timer (timerfd) and doing nothing else; and the frame floor, an empty window of the\n"
        "program's size repainting one child as large as the display, background only, at every frame\n"
        "of a kernel timer at the screen's rate, measured before and after the cases. A program that\n"
        "paints each frame of the screen cannot cost much less than the frame floor.\n\n");
    PrintHeader({"what", "CPU share of a core", "main thread", "wake-ups/s", "main thread", "rings or frames/s",
                 "CPU per ring or frame"},
                {"---", "---:", "---:", "---:", "---:", "---:", "---:"});
    for (const FloorResult& r : results) {
        const Spent& s = r.spent;
        PrintRow({r.what, Fixed(CpuShare(s.cpu, s.seconds), 2) + " %", Fixed(CpuShare(s.mainCpu, s.seconds), 2) + " %",
                  Fixed(PerSecond(static_cast<double>(s.wakeUps), s.seconds), 0),
                  Fixed(PerSecond(static_cast<double>(s.mainWakeUps), s.seconds), 0),
                  Fixed(PerSecond(static_cast<double>(r.woken), s.seconds), 1),
                  Fixed(static_cast<double>(s.cpu) / 1e3 / std::max(1.0, static_cast<double>(r.woken)), 1) + " µs"});
    }
    std::printf("\n");
}

void PrintClicks(const ClickResult& r, int trials) {
    const Spread s = SpreadInMs(r.delays);
    const bool met = r.noEffect == 0 && !r.delays.empty() && s.median <= 1.0;
    std::printf(
        "A click on Stop posted to the event queue from another thread while the four modes, started\n"
        "apart, run at 1 ms, until its procedure has run (%d trials, each 150-350 ms after the start).\n\n",
        trials);
    PrintHeader(
        {"trials", "median", "p99", "max", "goal", "met", "no effect in 3 s", "ticks after Stop", "timers left on"},
        {"---:", "---:", "---:", "---:", "---:", "---", "---:", "---:", "---:"});
    PrintRow({std::to_string(r.delays.size()), Fixed(s.median, 3) + " ms", Fixed(s.p99, 3) + " ms",
              Fixed(s.max, 3) + " ms", "median ≤ 1 ms", YesNo(met), std::to_string(r.noEffect),
              std::to_string(r.ticksAfterStop), std::to_string(r.timersLeftOn)});
    std::printf("\n");
}

void PrintStalls(const StallResult& r, int trials) {
    const Spread toFrame = SpreadInMs(r.toFirstFrame);
    const Spread batch = SpreadInMs(r.batch);
    const Spread ticks = SpreadOf(std::vector<double>(r.replayed.begin(), r.replayed.end()));
    std::printf(
        "Catching up after a stall: with the four modes running at 1 ms, started apart, a single-shot\n"
        "slot blocks the main thread for %d ms (%d trials). A stopped or stalled process owes the ticks\n"
        "of the time it stood still, and replays at most 1,000 a timer. From the end of the block to\n"
        "the first frame painted after a replayed tick; the batch, from the first tick replayed to the\n"
        "last before that frame; the ticks run in between; and the frames painted after the block but\n"
        "before any tick was replayed, which show the value from before it.\n\n",
        r.blockMs, trials);
    PrintHeader({"trials", "to first frame, median", "max", "batch, median", "max", "ticks replayed, median", "max",
                 "frames before the replay", "no frame in 500 ms"},
                {"---:", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---:"});
    PrintRow({std::to_string(r.toFirstFrame.size()), Fixed(toFrame.median, 2) + " ms", Fixed(toFrame.max, 2) + " ms",
              Fixed(batch.median, 2) + " ms", Fixed(batch.max, 2) + " ms", Fixed(ticks.median, 0), Fixed(ticks.max, 0),
              std::to_string(r.staleFrames), std::to_string(r.noFrame)});
    std::printf("\n");
}

void PrintIdle(const std::vector<IdleResult>& results) {
    std::printf(
        "Idle, no mode running: CPU time of the process (getrusage, all threads) and its wake-ups\n"
        "(voluntary + involuntary context switches, all threads). The window ends on one timer of the\n"
        "benchmark itself (`benchEndOfWait`): one wake-up of the main thread. Other timers: timer events\n"
        "of anything but the cursor and that one.\n\n");
    PrintHeader({"window", "seconds", "CPU", "share of a core", "goal", "wake-ups", "main thread", "cursor blinks",
                 "other timers", "goal"},
                {"---", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---"});
    for (const IdleResult& r : results) {
        const Nanoseconds cpu = r.after.cpu - r.before.cpu;
        const long wakes = (r.after.voluntary - r.before.voluntary) + (r.after.involuntary - r.before.involuntary);
        const long mainWakes = r.after.caller.voluntary - r.before.caller.voluntary + r.after.caller.involuntary -
                               r.before.caller.involuntary;
        int otherTimers = 0;
        for (const auto& [what, count] : r.events)
            if (what.ends_with(": Timer") && what != kBlinkTimer && what != kEndOfWaitTimer) otherTimers += count;
        PrintRow({r.window + (r.stateReached ? "" : " (**state not reached**)"), Fixed(r.seconds, 2),
                  Fixed(Ms(cpu), 1) + " ms", Fixed(CpuShare(cpu, r.seconds), 3) + " %", "< 0.1 %",
                  std::to_string(wakes), std::to_string(mainWakes), std::to_string(r.blinkTicks),
                  std::to_string(otherTimers), r.focused ? "cursor blink only" : "none"});
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
