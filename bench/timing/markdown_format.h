// The pieces every printed table is made of: figures rounded for reading,
// nearest-rank percentiles, and Markdown rows.
#pragma once

#include <string>
#include <vector>

#include "bench_clock.h"

namespace taborvane::bench {

double Ms(Nanoseconds ns);

struct Spread {
    double median = 0, p99 = 0, max = 0;
};
// Nearest-rank percentiles, in the values' unit; all 0 for no values.
Spread SpreadOf(std::vector<double> values);
// The same in milliseconds.
Spread SpreadInMs(const std::vector<Nanoseconds>& values);

std::string Fixed(double value, int decimals);
std::string YesNo(bool met);
std::string Row(const std::vector<std::string>& cells);
// A table's header: its column names, then each column's alignment ("---", "---:").
void PrintHeader(const std::vector<std::string>& names, const std::vector<std::string>& alignments);
void PrintRow(const std::vector<std::string>& cells);

}  // namespace taborvane::bench
