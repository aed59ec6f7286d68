#include "markdown_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace taborvane::bench {

double Ms(Nanoseconds ns) { return static_cast<double>(ns) / 1e6; }

Spread SpreadOf(std::vector<double> values) {
    if (values.empty()) return {};
    std::sort(values.begin(), values.end());
    const auto rank = [&values](double fraction) {
        const auto index = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
        return values[std::max<std::size_t>(index, 1) - 1];
    };
    return {rank(0.5), rank(0.99), values.back()};
}

Spread SpreadInMs(const std::vector<Nanoseconds>& values) {
    std::vector<double> ms(values.size());
    std::transform(values.begin(), values.end(), ms.begin(), Ms);
    return SpreadOf(std::move(ms));
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string YesNo(bool met) { return met ? "yes" : "**no**"; }

std::string Row(const std::vector<std::string>& cells) {
    std::string row = "|";
    for (const std::string& cell : cells) row += " " + cell + " |";
    return row + "\n";
}

void PrintHeader(const std::vector<std::string>& names, const std::vector<std::string>& alignments) {
    std::printf("%s%s", Row(names).c_str(), Row(alignments).c_str());
}

void PrintRow(const std::vector<std::string>& cells) { std::printf("%s", Row(cells).c_str()); }

}  // namespace taborvane::bench
