// What the timing probe measures with, beyond the report's clock and table: a
// wait that runs the event loop, and what the process and its main thread
// spent over a while (getrusage).
#pragma once

#include <string>

#include "report.h"

namespace taborvane::bench {

// Runs the event loop for a while, as the program's own main would; it ends on
// one timer of its own, named benchEndOfWait.
void RunEventLoopFor(int milliseconds);

// What the process (all threads) and its main thread spent over a while.
struct Spent {
    double seconds = 0;
    Nanoseconds cpu = 0, mainCpu = 0;
    long wakeUps = 0, mainWakeUps = 0;  // voluntary + involuntary context switches
};

// Started at construction; called from the main thread.
class UsageMeter {
public:
    UsageMeter();
    [[nodiscard]] Spent spent() const;

private:
    Spent start_;
    Nanoseconds startedAt_;
};

// CPU share of a core, in per cent.
[[nodiscard]] double CpuShare(Nanoseconds cpu, double seconds);

// The system's load average, as /proc/loadavg gives it.
[[nodiscard]] std::string LoadAverage();

}  // namespace taborvane::bench
