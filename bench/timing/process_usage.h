// What the process has spent so far: its CPU time and context switches
// (getrusage), each thread's from /proc/self/task, and the system's load; and
// what it and its main thread spent over a while.
#pragma once

#include <map>
#include <string>

#include "bench_clock.h"

namespace taborvane::bench {

struct ThreadUsage {
    std::string name;
    long voluntary = 0, involuntary = 0;
    Nanoseconds cpu = 0;
};

struct Usage {
    Nanoseconds cpu = 0;
    long voluntary = 0, involuntary = 0;
    ThreadUsage caller;                  // the sampling thread: the benchmark's, the program's main thread
    std::map<int, ThreadUsage> threads;  // by thread id
};

// The whole process, all threads, and the calling thread: fills cpu,
// voluntary, involuntary and caller.
void SampleProcess(Usage& usage);
// Each thread by itself: fills threads.
void SampleThreads(Usage& usage);
// The system's load average, as /proc/loadavg gives it.
std::string LoadAverage();

// What the process, all threads, and its main thread spent over a while.
struct Spent {
    double seconds = 0;
    Nanoseconds cpu = 0, mainCpu = 0;
    long wakeUps = 0, mainWakeUps = 0;  // voluntary + involuntary context switches
};

// CPU share of a core, in per cent; wake-ups per second.
double CpuShare(Nanoseconds cpu, double seconds);
double PerSecond(double count, double seconds);

// Samples at start and stop, on the main thread. The reading of /proc stays
// outside the span that getrusage measures.
class UsageMeter {
public:
    void start();
    Spent stop();
    [[nodiscard]] const Usage& before() const { return before_; }
    [[nodiscard]] const Usage& after() const { return after_; }

private:
    Usage before_, after_;
    Nanoseconds from_ = 0;
};

}  // namespace taborvane::bench
