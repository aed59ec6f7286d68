// What both start-up benchmarks share: one start's sample, the clock they
// time it on, and several programs started in turn with the medians compared.
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

// Starts program number `program` once and measures it; false when it failed.
template <typename Measurement>
using StartOnce = std::function<bool(std::size_t program, Measurement& measurement)>;

// One unmeasured start of each first, since the first start pays for cold
// caches; then `runs` rounds in which each program starts once, in turn, so
// that a slow spell of the machine falls on all of them alike. Every measured
// start of each program, or nothing when a start fails.
template <typename Measurement>
std::optional<std::vector<std::vector<Measurement>>> StartInTurn(const StartOnce<Measurement>& start,
                                                                 std::size_t programs, int runs) {
    Measurement measurement{};
    for (std::size_t program = 0; program < programs; ++program)
        if (!start(program, measurement)) return std::nullopt;
    std::vector<std::vector<Measurement>> measured(programs);
    for (int run = 0; run < runs; ++run)
        for (std::size_t program = 0; program < programs; ++program) {
            if (!start(program, measurement)) return std::nullopt;
            measured[program].push_back(measurement);
        }
    return measured;
}

// The median time and the median peak memory, each on its own.
inline Sample Medians(const std::vector<Sample>& samples) {
    std::vector<double> times, memory;
    for (const Sample& sample : samples) {
        times.push_back(sample.milliseconds);
        memory.push_back(sample.peakMib);
    }
    return {Median(times), Median(memory)};
}

struct Comparison {
    Sample program;  // medians
    Sample other;
};

inline std::optional<Comparison> CompareAlternately(const StartOnce<Sample>& start, int runs) {
    const auto measured = StartInTurn(start, 2, runs);
    if (!measured) return std::nullopt;
    return Comparison{Medians((*measured)[0]), Medians((*measured)[1])};
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
