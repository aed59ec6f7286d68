// Replays the exact schedule up to each observation's instant, in the order of
// the instants, then matches each frame with the ticks that had run before it.
#include "observation_check.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string>

#include "exact_schedule.h"

namespace taborvane::bench {
namespace {

std::string Describe(const Observation& seen, Nanoseconds since, const std::string& exact) {
    char text[160];
    std::snprintf(text, sizeof text, "%s at %.3f ms showed %s, the exact schedule %s",
                  seen.kind == Observation::Kind::Frame ? "frame" : "answer",
                  static_cast<double>(seen.instant - since) / 1e6, qPrintable(seen.value), exact.c_str());
    return text;
}

// A frame shows a tick once the tick has run: the k-th tick of a mode is
// first shown by the first frame painted after the mode had run k ticks.
void AddDelays(const std::vector<Observation>& seen, const ExactSchedule& exact, std::vector<Nanoseconds>& delays) {
    std::array<std::uint64_t, 4> shown{};
    for (const Observation& frame : seen) {
        if (frame.kind != Observation::Kind::Frame) continue;
        for (std::size_t mode = 0; mode < shown.size(); ++mode) {
            const std::vector<Nanoseconds>& dues = exact.duesOf(mode);
            const std::uint64_t upTo = std::min<std::uint64_t>(frame.ticksRun[mode], dues.size());
            for (; shown[mode] < upTo; ++shown[mode]) delays.push_back(frame.at - dues[shown[mode]]);
        }
    }
}

}  // namespace

ObservationResult CheckObservations(const std::vector<Observation>& seen, int pace,
                                    const std::vector<StartedMode>& started) {
    ObservationResult result;
    if (seen.empty()) return result;
    ExactSchedule exact(pace, started);
    std::vector<std::size_t> order(seen.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&seen](std::size_t a, std::size_t b) { return seen[a].instant < seen[b].instant; });
    const Nanoseconds since = started.empty() ? seen.front().instant : started.front().at;
    for (const std::size_t index : order) {
        const Observation& o = seen[index];
        const std::string& value = exact.valueAt(o.instant);
        const bool frame = o.kind == Observation::Kind::Frame;
        ++(frame ? result.frames : result.queries);
        if (o.value.toStdString() == value) continue;
        ++(frame ? result.frameDifferences : result.queryDifferences);
        if (result.firstDifference.empty()) result.firstDifference = Describe(o, since, value);
    }
    AddDelays(seen, exact, result.delays);
    return result;
}

}  // namespace taborvane::bench
