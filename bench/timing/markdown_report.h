// Prints the measurements as Markdown, each table after a few lines saying what
// it measured, and writes the cases' costs as tab-separated lines for run.sh.
#pragma once

#include <QString>
#include <vector>

#include "results.h"

namespace taborvane::bench {

// The platform, its event dispatcher and the load average at the start.
void PrintPlatform();
void PrintPunctuality(const std::vector<CaseResult>& cases, int caseMs);
void PrintCosts(const std::vector<CaseResult>& cases);
// One line a case: pace, modes, ticks/s, CPU share, display paints/s, wake-ups/s.
void WriteCosts(const std::vector<CaseResult>& cases, const QString& path);
void PrintWakeFloor(const std::vector<FloorResult>& results);
void PrintClicks(const ClickResult& r, int trials);
void PrintIdle(const std::vector<IdleResult>& results);
void PrintLoadAtEnd();

}  // namespace taborvane::bench
