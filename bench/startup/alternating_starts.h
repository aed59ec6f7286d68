// What both start-up benchmarks share: one start's sample, the clock they
// time it on, and two programs started alternately with the medians compared.
#pragma once

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <optional>
#include <vector>

namespace startup {

struct Sample {
    double milliseconds;
    double peakMib;
};

inline long long MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Starts a program once and measures it; false when it failed.
using StartOnce = std::function<bool(const char* program, Sample& sample)>;

struct Comparison {
    Sample program;  // medians
    Sample other;
};

// One unmeasured start of each first, since the first start pays for cold
// caches; then `runs` starts of each, alternately. Nothing when a start fails.
inline std::optional<Comparison> CompareAlternately(const StartOnce& start, const char* program, const char* other,
                                                    int runs) {
    Sample sample{};
    if (!start(program, sample) || !start(other, sample)) return std::nullopt;
    std::vector<double> times[2], memory[2];
    for (int run = 0; run < runs; ++run)
        for (int i = 0; i < 2; ++i) {
            if (!start(i == 0 ? program : other, sample)) return std::nullopt;
            times[i].push_back(sample.milliseconds);
            memory[i].push_back(sample.peakMib);
        }
    return Comparison{{Median(times[0]), Median(memory[0])}, {Median(times[1]), Median(memory[1])}};
}

// The comparison as a Markdown table, the ratios against their goals last.
inline void PrintComparison(const Comparison& c, int runs, const char* timeHeading, const char* memoryHeading,
                            const char* otherName, double timeGoal, double memoryGoal) {
    std::printf("| window | %s (median of %d) | %s |\n|---|---|---|\n", timeHeading, runs, memoryHeading);
    std::printf("| Taborvane | %.1f ms | %.1f MiB |\n", c.program.milliseconds, c.program.peakMib);
    std::printf("| %s | %.1f ms | %.1f MiB |\n", otherName, c.other.milliseconds, c.other.peakMib);
    std::printf("| ratio (goal ≤ %.1f and ≤ %.1f) | %.2f | %.2f |\n", timeGoal, memoryGoal,
                c.program.milliseconds / c.other.milliseconds, c.program.peakMib / c.other.peakMib);
}

}  // namespace startup
