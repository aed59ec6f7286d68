// Which display the program opens, decided before Qt starts: Qt aborts when
// no platform plugin can start, and warns when its first choice fails.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace taborvane::app {

inline constexpr int kExitNoDisplay = 1;

// The variables and options that decide the display; std::nullopt: not set.
struct DisplaySettings {
    std::optional<std::string> platformOption;    // -platform
    std::optional<std::string> qpaPlatform;       // QT_QPA_PLATFORM
    std::optional<std::string> x11DisplayOption;  // -display
    std::optional<std::string> display;           // DISPLAY
    std::optional<std::string> waylandDisplay;    // WAYLAND_DISPLAY
    std::optional<std::string> sessionType;       // XDG_SESSION_TYPE
    bool waylandPluginInstalled = true;           // a plugin declares a platform of WaylandPlatformsAsked()
    bool waylandFramesChosenByUser = false;       // one of kWaylandFrameVariables is set
    bool qtStartsEglForFrames = true;             // the Qt it runs on is older than 6.8
};

// Qt's variables by which a user decides who draws a window's frame on Wayland.
inline constexpr std::array<const char*, 3> kWaylandFrameVariables{
    "QT_WAYLAND_DISABLE_WINDOWDECORATION", "QT_WAYLAND_DECORATION", "QT_WAYLAND_SHELL_INTEGRATION"};

enum class DisplayServer { X11, Wayland };

// Whether a display server of that kind answers a connection, as the settings name it.
using ServerProbe = std::function<bool(DisplayServer)>;

struct PlatformChoice {
    enum class Kind {
        LeaveToQt,  // Qt's own choice starts without a warning, or the user chose
        UseX11,     // a Wayland session whose compositor does not answer, but an X server does
        NoDisplay,  // nothing can start: say so and exit
    };
    Kind kind;
    std::string message;                  // for NoDisplay: one line, without its end of line
    std::optional<DisplayServer> server;  // the one Qt will open, when it is one we know
};

[[nodiscard]] PlatformChoice ChoosePlatform(const DisplaySettings& settings, const ServerProbe& answers);

// Whether the choice may try Wayland: only then does waylandPluginInstalled matter.
[[nodiscard]] bool MayTryWayland(const DisplaySettings& settings);

// The Wayland platforms Qt asks its plugins for, lower-cased: those the user
// named, or "wayland" when Qt chooses itself. One plugin declaring any of them serves.
[[nodiscard]] std::vector<std::string> WaylandPlatformsAsked(const DisplaySettings& settings);

// Whether to tell Qt not to draw the window's frame itself. Qt 6.4 sets up
// EGL, loading the machine's graphics driver (some 50 MiB), only to learn
// whether it may draw a frame; where the compositor draws frames anyway, that
// costs the window nothing. Elsewhere (GNOME, Weston) Qt's frame is the only one.
// Qt 6.8 decides without EGL and agrees on the frame with the compositor
// itself, so there it is left to Qt.
[[nodiscard]] bool LeaveFramesToCompositor(const PlatformChoice& choice, const DisplaySettings& settings,
                                           bool compositorDrawsFrames);

}  // namespace taborvane::app
