// What the timing probe measures with: the steady clock the program's alarm
// runs on, a wait that runs the event loop, what the process and its main
// thread spent over a while (getrusage), spreads of samples, and the one
// Markdown table writer of every report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace taborvane::bench {

using Nanoseconds = std::int64_t;

// CLOCK_MONOTONIC, as the program's scheduler reads it.
[[nodiscard]] Nanoseconds Now();
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

struct Spread {
    double median = 0, p99 = 0, max = 0;
};
[[nodiscard]] Spread SpreadOf(std::vector<double> samples);
[[nodiscard]] Spread SpreadInMs(const std::vector<Nanoseconds>& samples);

[[nodiscard]] std::string Fixed(double value, int decimals);
[[nodiscard]] std::string YesNo(bool yes);  // "no" in bold: the eye finds what misses its goal

using Row = std::vector<std::string>;
// A Markdown table; columns whose header ends in ':' are right-aligned (the ':' is not shown).
void PrintTable(const Row& header, const std::vector<Row>& rows);

// The system's load average, as /proc/loadavg gives it.
[[nodiscard]] std::string LoadAverage();

}  // namespace taborvane::bench
