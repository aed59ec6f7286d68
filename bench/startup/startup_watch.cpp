// Measures start-up: starts a program, waits until its window is there (see
// window_watch.h for how each watch tells), and takes the time since the
// process started, its peak resident memory (VmHWM) at that moment and
// whether a graphics driver is mapped into it then; then ends it. One
// unmeasured start of each program first, since the first start pays for cold
// caches; then RUNS rounds in which each starts once, in turn, so that a slow
// spell of the machine falls on all alike. One line per window, of medians:
//   LABEL <tab> MILLISECONDS <tab> PEAK_MIB <tab> DRIVER (yes, no, or in how many runs)
#include <QCoreApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "report.h"
#include "started_program.h"
#include "watch_options.h"
#include "window_watch.h"

namespace {

using namespace startup;

constexpr int kWindowTimeoutMs = 10'000;

struct WindowSample {
    double milliseconds = 0, peakMib = 0;
    bool driverMapped = false;
};

std::unique_ptr<WindowWatch> WatchOn(DisplayServerKind server) {
    switch (server) {
    case DisplayServerKind::Inside:
        return WatchFromInside();
    case DisplayServerKind::X11:
        return WatchX11();
    case DisplayServerKind::Weston:
        return WatchWeston();
    case DisplayServerKind::Sway:
        return WatchSway();
    }
    return nullptr;
}

bool MeasureOneStart(WindowWatch& watch, const ProgramToStart& window, WindowSample& measured) {
    watch.forgetEarlierWindows();
    StartedProgram program(window, watch.readsProgramErrors());  // ended when this returns
    if (!program.started()) return false;
    const std::optional<long long> moment = watch.waitForWindow(program, kWindowTimeoutMs);
    const long long peakKib = program.peakResidentKib();
    if (!moment || peakKib < 0) {
        std::fprintf(stderr, "%s showed no window\n", window.label.c_str());
        return false;
    }
    measured = {static_cast<double>(*moment - program.startedAt()) / 1e6, static_cast<double>(peakKib) / 1024.0,
                program.graphicsDriverMapped()};
    return true;
}

std::string DriverColumn(const std::vector<WindowSample>& samples) {
    std::size_t mapped = 0;
    for (const WindowSample& sample : samples) mapped += sample.driverMapped ? 1 : 0;
    if (mapped == samples.size()) return "yes";
    if (mapped == 0) return "no";
    return "in " + std::to_string(mapped) + " of " + std::to_string(samples.size()) + " runs";
}

}  // namespace

int main(int argc, char* argv[]) {
    const QCoreApplication application(argc, argv);  // for the processes' and sockets' waits
    const std::optional<WatchOptions> options = ReadWatchOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) {
        std::fprintf(stderr, "%s\n", kWatchUsage);
        return 2;
    }
    const std::unique_ptr<WindowWatch> watch = WatchOn(options->server);
    if (!watch) {
        std::fprintf(stderr, "cannot watch the display server (DISPLAY, weston --debug, SWAYSOCK)\n");
        return 1;
    }
    const std::vector<ProgramToStart>& windows = options->windows;
    std::vector<std::vector<WindowSample>> measured(windows.size());
    WindowSample sample;
    for (int run = -1; run < options->runs; ++run)
        for (std::size_t window = 0; window < windows.size(); ++window) {
            if (!MeasureOneStart(*watch, windows[window], sample)) return 1;
            if (run >= 0) measured[window].push_back(sample);
        }
    for (std::size_t window = 0; window < windows.size(); ++window) {
        std::vector<double> times, memory;
        for (const WindowSample& one : measured[window]) {
            times.push_back(one.milliseconds);
            memory.push_back(one.peakMib);
        }
        std::printf("%s\t%.1f\t%.1f\t%s\n", windows[window].label.c_str(), taborvane::bench::SpreadOf(times).median,
                    taborvane::bench::SpreadOf(memory).median, DriverColumn(measured[window]).c_str());
    }
    return 0;
}
