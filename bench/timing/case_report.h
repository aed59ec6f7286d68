// Prints the cases: the headline against its goals and the frame floor, the
// cost by number of modes and pace, and what was observed of the display
// against the exact schedule; and writes the cases' figures for run.sh.
#pragma once

#include <QString>
#include <vector>

#include "results.h"

namespace taborvane::bench {

// The frame floor the cases are held against: the mean of its measurements in this run.
struct FrameFloor {
    double cpuShare = 0, mainCpuShare = 0;  // per cent of a core: the process, the main thread
    double wakeUps = 0, mainWakeUps = 0;    // a second
    double frames = 0;                      // a second
};
FrameFloor FrameFloorOf(const std::vector<FloorResult>& measurements);

void PrintCases(const std::vector<CaseResult>& cases, const FrameFloor& floor, double framesPerSecond, int caseMs,
                int queryMs);

// One tab-separated line a case, headline first, then the frame floor: case,
// CPU share, main thread's CPU share, display paints/s, wake-ups/s, main
// thread's wake-ups/s, observations, differing, median and max delay in ms.
void WriteCosts(const std::vector<CaseResult>& cases, const FrameFloor& floor, const QString& path);

}  // namespace taborvane::bench
