// Prints the measurements as Markdown, each table after a few lines saying what
// it measured: the platform, the floors, clicks on Stop, catching up after a
// stall, and the idle window. The cases have their own report (case_report.h).
#pragma once

#include <vector>

#include "results.h"

namespace taborvane::bench {

// The platform, its event dispatcher, the screen's frame rate, which kind of
// window this build measures, and the load average at the start.
void PrintPlatform(double framesPerSecond, bool windowTellsTicksInstant);
void PrintFloors(const std::vector<FloorResult>& results);
void PrintClicks(const ClickResult& r, int trials);
void PrintStalls(const StallResult& r, int trials);
void PrintIdle(const std::vector<IdleResult>& results);
void PrintLoadAtEnd();

}  // namespace taborvane::bench
