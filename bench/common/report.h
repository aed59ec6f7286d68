// What every benchmark report is made with: the monotonic clock the program's
// alarm runs on, spreads of samples, figures as text, and the one Markdown
// table writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace taborvane::bench {

using Nanoseconds = std::int64_t;

// CLOCK_MONOTONIC, as the program's scheduler reads it.
[[nodiscard]] Nanoseconds Now();

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

}  // namespace taborvane::bench
