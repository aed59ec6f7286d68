#include "watch_options.h"

#include <charconv>

namespace startup {

namespace {

std::optional<DisplayServerKind> ServerNamed(const std::string& option) {
    if (option == "--inside") return DisplayServerKind::Inside;
    if (option == "--x11") return DisplayServerKind::X11;
    if (option == "--weston") return DisplayServerKind::Weston;
    if (option == "--sway") return DisplayServerKind::Sway;
    return std::nullopt;
}

std::optional<int> PositiveNumber(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value <= 0) return std::nullopt;
    return value;
}

}  // namespace

std::optional<WatchOptions> ReadWatchOptions(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2) return std::nullopt;
    const std::optional<DisplayServerKind> server = ServerNamed(arguments[0]);
    const std::optional<int> runs = PositiveNumber(arguments[1]);
    if (!server || !runs) return std::nullopt;
    WatchOptions options{*server, *runs, {}};
    for (std::size_t at = 2; at < arguments.size();) {
        if (arguments[at] != "--window" || at + 1 >= arguments.size()) return std::nullopt;
        ProgramToStart window{arguments[at + 1], {}, {}};
        for (at += 2; at < arguments.size() && arguments[at].find('=') != std::string::npos; ++at)
            window.environment.push_back(arguments[at]);
        if (at >= arguments.size() || arguments[at] == "--window") return std::nullopt;
        window.path = arguments[at++];
        options.windows.push_back(window);
    }
    if (options.windows.empty()) return std::nullopt;
    return options;
}

}  // namespace startup
