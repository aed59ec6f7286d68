// The live side of choosing a display: the environment as it is, and whether
// a display server answers a connection made the way Qt's platform plugins make it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform_choice.h"

struct wl_display;
struct xcb_connection_t;

namespace taborvane::app {

// The folders Qt looks for its platform plugins in.
[[nodiscard]] std::vector<std::string> QtPlatformPluginFolders();

// The settings of this process: its environment, the options given on its
// command line, and whether Qt's Wayland plugin lies in the plugin folders.
[[nodiscard]] DisplaySettings CurrentDisplaySettings(
    std::optional<std::string> platformOption, std::optional<std::string> x11DisplayOption,
    const std::function<std::vector<std::string>()>& pluginFolders = QtPlatformPluginFolders);

// Its connections stay open until disconnect(): an X server whose only client
// this is resets when the connection closes, and would then refuse or hold up
// the connection Qt makes next.
class DisplayProbe {
public:
    explicit DisplayProbe(DisplaySettings settings) : settings_(std::move(settings)) {}
    ~DisplayProbe() { disconnect(); }
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    // Prints nothing.
    [[nodiscard]] bool answers(DisplayServer server);
    // Once the compositor has answered: whether it draws the frames of windows itself.
    [[nodiscard]] bool compositorDrawsFrames() const { return compositorDrawsFrames_; }
    void disconnect();

private:
    DisplaySettings settings_;
    xcb_connection_t* x11_ = nullptr;
    wl_display* compositor_ = nullptr;
    bool compositorDrawsFrames_ = false;
};

}  // namespace taborvane::app
