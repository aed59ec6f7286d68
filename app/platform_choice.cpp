#include "platform_choice.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace taborvane::app {
namespace {

using Servers = std::vector<DisplayServer>;

bool IsSetAndNotEmpty(const std::optional<std::string>& value) { return value.has_value() && !value->empty(); }

std::optional<std::string> ChosenByUser(const DisplaySettings& settings) {
    if (settings.platformOption) return settings.platformOption;  // Qt lets -platform win over the variable
    if (IsSetAndNotEmpty(settings.qpaPlatform)) return settings.qpaPlatform;
    return std::nullopt;
}

// The platforms of a list ("wayland;xcb:option"), lower-cased as Qt compares them.
std::vector<std::string> PlatformNames(const std::string& platforms) {
    std::vector<std::string> names;
    std::istringstream list(platforms);
    for (std::string entry; std::getline(list, entry, ';');) {
        std::string name = entry.substr(0, entry.find(':'));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        names.push_back(std::move(name));
    }
    return names;
}

// The display servers a platform list needs; std::nullopt when one of its
// platforms needs none that we know of (offscreen, vnc, eglfs, ...).
std::optional<Servers> ServersOf(const std::string& platforms) {
    Servers servers;
    for (const std::string& name : PlatformNames(platforms)) {
        DisplayServer server{};
        if (name == "xcb")
            server = DisplayServer::X11;
        else if (name.starts_with("wayland"))
            server = DisplayServer::Wayland;
        else
            return std::nullopt;
        if (std::find(servers.begin(), servers.end(), server) == servers.end()) servers.push_back(server);
    }
    if (servers.empty()) return std::nullopt;
    return servers;
}

// Qt 6 tries Wayland first whenever either variable says the session is Wayland, then X11.
Servers QtOrder(const DisplaySettings& settings) {
    if (settings.waylandDisplay.has_value() || settings.sessionType == "wayland")
        return {DisplayServer::Wayland, DisplayServer::X11};
    return {DisplayServer::X11};
}

std::string WhyNot(DisplayServer server, const DisplaySettings& settings) {
    if (server == DisplayServer::Wayland && !settings.waylandPluginInstalled)
        return "Qt's Wayland plugin is not installed (package qt6-wayland)";
    if (server == DisplayServer::Wayland)
        return "the Wayland display '" + settings.waylandDisplay.value_or("wayland-0") + "' does not answer";
    const std::optional<std::string>& name = settings.x11DisplayOption ? settings.x11DisplayOption : settings.display;
    if (!IsSetAndNotEmpty(name)) return "DISPLAY is not set";
    return "the X11 display '" + name.value_or("") + "' does not answer";
}

std::string NoDisplayMessage(const Servers& tried, const DisplaySettings& settings, bool chosenByUser) {
    const bool nothingSet = !chosenByUser && !IsSetAndNotEmpty(settings.display) &&
                            !IsSetAndNotEmpty(settings.x11DisplayOption) && QtOrder(settings).size() == 1;
    if (nothingSet) return "taborvane: no display to open: set DISPLAY for X11 or WAYLAND_DISPLAY for Wayland";
    std::string reasons;
    for (DisplayServer server : tried) reasons += (reasons.empty() ? "" : ", ") + WhyNot(server, settings);
    std::string advice = "set DISPLAY for X11 or WAYLAND_DISPLAY for Wayland";
    if (chosenByUser && tried == Servers{DisplayServer::X11}) advice = "set DISPLAY to a running X server";
    if (chosenByUser && tried == Servers{DisplayServer::Wayland})
        advice = "set WAYLAND_DISPLAY to a running compositor";
    const bool triedWayland = std::find(tried.begin(), tried.end(), DisplayServer::Wayland) != tried.end();
    if (triedWayland && !settings.waylandPluginInstalled)
        advice = chosenByUser ? "install qt6-wayland" : "install qt6-wayland, or set DISPLAY for X11";
    return "taborvane: cannot open a display: " + reasons + "; " + advice;
}

PlatformChoice NoDisplay(const Servers& tried, const DisplaySettings& settings, bool chosenByUser) {
    return {PlatformChoice::Kind::NoDisplay, NoDisplayMessage(tried, settings, chosenByUser), std::nullopt};
}

}  // namespace

bool MayTryWayland(const DisplaySettings& settings) {
    const std::optional<std::string> chosen = ChosenByUser(settings);
    const Servers servers = chosen ? ServersOf(*chosen).value_or(Servers{}) : QtOrder(settings);
    return std::find(servers.begin(), servers.end(), DisplayServer::Wayland) != servers.end();
}

std::vector<std::string> WaylandPlatformsAsked(const DisplaySettings& settings) {
    const std::optional<std::string> chosen = ChosenByUser(settings);
    if (!chosen) return {"wayland"};
    std::vector<std::string> asked = PlatformNames(*chosen);
    std::erase_if(asked, [](const std::string& name) { return !name.starts_with("wayland"); });
    return asked;
}

PlatformChoice ChoosePlatform(const DisplaySettings& settings, const ServerProbe& probe) {
    // Without its plugin Qt would warn and move on to X11, or abort: a compositor is then as good as absent.
    const auto answers = [&settings, &probe](DisplayServer server) {
        return (server != DisplayServer::Wayland || settings.waylandPluginInstalled) && probe(server);
    };
    if (const std::optional<std::string> chosen = ChosenByUser(settings)) {
        // The user's choice stands; only when none of it can start is that said plainly.
        const std::optional<Servers> servers = ServersOf(*chosen);
        if (!servers) return {PlatformChoice::Kind::LeaveToQt, {}, std::nullopt};
        const auto first = std::find_if(servers->begin(), servers->end(), answers);
        if (first != servers->end()) return {PlatformChoice::Kind::LeaveToQt, {}, *first};
        return NoDisplay(*servers, settings, true);
    }
    const Servers order = QtOrder(settings);
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (!answers(order[i])) continue;
        // Qt would reach this one too, but only after warning about the one it tried first.
        return {i == 0 ? PlatformChoice::Kind::LeaveToQt : PlatformChoice::Kind::UseX11, {}, order[i]};
    }
    return NoDisplay(order, settings, false);
}

bool LeaveFramesToCompositor(const PlatformChoice& choice, const DisplaySettings& settings,
                             bool compositorDrawsFrames) {
    return choice.server == DisplayServer::Wayland && compositorDrawsFrames && !settings.waylandFramesChosenByUser &&
           settings.qtStartsEglForFrames;
}

}  // namespace taborvane::app
