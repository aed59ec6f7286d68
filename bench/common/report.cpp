#include "report.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace taborvane::bench {

Nanoseconds Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return Nanoseconds{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

Spread SpreadOf(std::vector<double> samples) {
    if (samples.empty()) return {};
    std::sort(samples.begin(), samples.end());
    const auto at = [&samples](double share) {
        return samples[std::min(samples.size() - 1,
                                static_cast<std::size_t>(share * static_cast<double>(samples.size())))];
    };
    return {at(0.5), at(0.99), samples.back()};
}

Spread SpreadInMs(const std::vector<Nanoseconds>& samples) {
    std::vector<double> ms;
    ms.reserve(samples.size());
    for (const Nanoseconds sample : samples) ms.push_back(static_cast<double>(sample) / 1e6);
    return SpreadOf(std::move(ms));
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string YesNo(bool yes) { return yes ? "yes" : "**no**"; }

void PrintTable(const Row& header, const std::vector<Row>& rows) {
    std::string names = "|", rule = "|";
    for (const std::string& column : header) {
        const bool right = column.ends_with(':');
        names += " " + (right ? column.substr(0, column.size() - 1) : column) + " |";
        rule += right ? " ---: |" : " --- |";
    }
    std::printf("%s\n%s\n", names.c_str(), rule.c_str());
    for (const Row& row : rows) {
        std::string line = "|";
        for (const std::string& cell : row) line += " " + cell + " |";
        std::printf("%s\n", line.c_str());
    }
    std::printf("\n");
}

}  // namespace taborvane::bench
