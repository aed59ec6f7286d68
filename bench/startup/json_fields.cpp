#include "json_fields.h"

#include <charconv>
#include <string>

namespace startup {

namespace {

// Drops the blanks JSON allows between tokens.
std::string_view SkipBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

// What follows `"key":`, blanks skipped; nothing when the key is absent.
std::optional<std::string_view> ValueOf(std::string_view json, std::string_view key) {
    std::string quoted(1, '"');
    quoted.append(key).push_back('"');
    for (std::size_t at = json.find(quoted); at != std::string_view::npos; at = json.find(quoted, at + 1)) {
        const std::string_view rest = SkipBlanks(json.substr(at + quoted.size()));
        if (!rest.empty() && rest.front() == ':') return SkipBlanks(rest.substr(1));  // else a value equal to the key
    }
    return std::nullopt;
}

// A leading integer of `text`, and what follows it.
std::optional<long long> LeadingInteger(std::string_view& text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{}) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

}  // namespace

std::optional<std::string_view> StringField(std::string_view json, std::string_view key) {
    const std::optional<std::string_view> value = ValueOf(json, key);
    if (!value || value->empty() || value->front() != '"') return std::nullopt;
    const std::size_t close = value->find('"', 1);
    if (close == std::string_view::npos) return std::nullopt;
    return value->substr(1, close - 1);
}

std::optional<long long> IntegerField(std::string_view json, std::string_view key) {
    std::optional<std::string_view> value = ValueOf(json, key);
    if (!value) return std::nullopt;
    return LeadingInteger(*value);
}

std::optional<long long> SecondsNanosecondsField(std::string_view json, std::string_view key) {
    std::optional<std::string_view> value = ValueOf(json, key);
    if (!value || value->empty() || value->front() != '[') return std::nullopt;
    std::string_view rest = SkipBlanks(value->substr(1));
    const std::optional<long long> seconds = LeadingInteger(rest);
    rest = SkipBlanks(rest);
    if (!seconds || rest.empty() || rest.front() != ',') return std::nullopt;
    rest = SkipBlanks(rest.substr(1));
    const std::optional<long long> nanoseconds = LeadingInteger(rest);
    if (!nanoseconds) return std::nullopt;
    return *seconds * 1'000'000'000LL + *nanoseconds;
}

}  // namespace startup
