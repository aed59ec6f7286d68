// What the process has spent so far: its CPU time and context switches
// (getrusage), each thread's from /proc/self/task, and the system's load.
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
    std::map<int, ThreadUsage> threads;  // by thread id
};

// The whole process, all threads: fills cpu, voluntary and involuntary.
void SampleProcess(Usage& usage);
// Each thread by itself: fills threads.
void SampleThreads(Usage& usage);
// The system's load average, as /proc/loadavg gives it.
std::string LoadAverage();

}  // namespace taborvane::bench
