// Measures start-up from outside, as a user sees it: starts a program, waits
// until the display server has its titled top-level window (see
// window_watch.h for how each server tells), and takes the time since the
// process started, its peak resident memory (VmHWM) at that moment and
// whether a graphics driver is mapped into it then; then ends it. The
// programs start in turn, and medians are reported, one line per window:
//   LABEL <tab> MILLISECONDS <tab> PEAK_MIB <tab> DRIVER (yes, no, or in how many runs)
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "alternating_starts.h"
#include "started_program.h"
#include "sway_window_watch.h"
#include "watch_options.h"
#include "weston_window_watch.h"
#include "x11_window_watch.h"

namespace {

using namespace startup;

constexpr int kWindowTimeoutMs = 10'000;

struct WindowSample {
    Sample sample;
    bool driverMapped;
};

std::unique_ptr<WindowWatch> WatchOn(DisplayServerKind server) {
    switch (server) {
    case DisplayServerKind::X11:
        return std::make_unique<X11WindowWatch>();
    case DisplayServerKind::Weston:
        return std::make_unique<WestonWindowWatch>();
    case DisplayServerKind::Sway:
        return std::make_unique<SwayWindowWatch>();
    }
    return nullptr;
}

bool MeasureOneStart(WindowWatch& watch, const ProgramToStart& window, WindowSample& measured) {
    watch.forgetEarlierWindows();
    const StartedProgram program(window);  // ended when this returns
    if (!program.started()) return false;
    const std::optional<long long> moment = watch.waitForWindow(program.pid(), program.startedAt(), kWindowTimeoutMs);
    const long long peakKib = program.peakResidentKib();
    const bool driverMapped = program.graphicsDriverMapped();
    if (!moment || peakKib < 0) {
        std::fprintf(stderr, "%s showed no window\n", window.label.c_str());
        return false;
    }
    measured = {{static_cast<double>(*moment - program.startedAt()) / 1e6, static_cast<double>(peakKib) / 1024.0},
                driverMapped};
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
    const std::optional<WatchOptions> options = ReadWatchOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) {
        std::fprintf(stderr, "%s\n", kWatchUsage);
        return 2;
    }
    const std::unique_ptr<WindowWatch> watch = WatchOn(options->server);
    if (!watch || !watch->ready()) {
        std::fprintf(stderr, "cannot watch the display server (DISPLAY, weston --debug, SWAYSOCK)\n");
        return 1;
    }
    const StartOnce<WindowSample> start = [&](std::size_t window, WindowSample& measured) {
        return MeasureOneStart(*watch, options->windows[window], measured);
    };
    const auto measured = StartInTurn(start, options->windows.size(), options->runs);
    if (!measured) return 1;
    for (std::size_t window = 0; window < options->windows.size(); ++window) {
        std::vector<Sample> samples;
        for (const WindowSample& one : (*measured)[window]) samples.push_back(one.sample);
        const Sample medians = Medians(samples);
        std::printf("%s\t%.1f\t%.1f\t%s\n", options->windows[window].label.c_str(), medians.milliseconds,
                    medians.peakMib, DriverColumn((*measured)[window]).c_str());
    }
    return 0;
}
