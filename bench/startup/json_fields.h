// The few fields the start-up watch reads from one line of a compositor's
// JSON, found by their key: the lines are flat where it looks, and the first
// field of that name is the one meant.
#pragma once

#include <optional>
#include <string_view>

namespace startup {

// "key": "text" -> text (without unescaping)
[[nodiscard]] std::optional<std::string_view> StringField(std::string_view json, std::string_view key);
// "key": 123 -> 123
[[nodiscard]] std::optional<long long> IntegerField(std::string_view json, std::string_view key);
// "key": [12, 345] -> 12 * 1e9 + 345, a time given as seconds and nanoseconds
[[nodiscard]] std::optional<long long> SecondsNanosecondsField(std::string_view json, std::string_view key);

}  // namespace startup
