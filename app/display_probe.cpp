#include "display_probe.h"

#include <wayland-client.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QVersionNumber>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace taborvane::app {
namespace {

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

// The compositor decorates windows that do not ask to decorate themselves
// (xdg-decoration): one round trip on its registry tells.
bool DrawsFrames(wl_display* display) {
    bool offered = false;
    static constexpr wl_registry_listener kListener{
        [](void* data, wl_registry*, std::uint32_t, const char* interface, std::uint32_t) {
            if (std::string_view(interface) == "zxdg_decoration_manager_v1") *static_cast<bool*>(data) = true;
        },
        [](void*, wl_registry*, std::uint32_t) {},
    };
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kListener, &offered);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    return offered;
}

// Whether a Wayland platform plugin lies in one of the folders (Debian's
// qt6-wayland, which the package only recommends): libqwayland-generic.so and
// libqwayland-egl.so up to Qt 6.9, libqwayland.so from Qt 6.10 on.
bool WaylandPluginIn(const std::vector<std::string>& folders) {
    return std::any_of(folders.begin(), folders.end(), [](const std::string& folder) {
        return !QDir(QString::fromStdString(folder))
                    .entryList({QStringLiteral("libqwayland*.so")}, QDir::Files)
                    .isEmpty();
    });
}

}  // namespace

std::vector<std::string> QtPlatformPluginFolders() {
    std::vector<std::string> folders;
    if (std::optional<std::string> extra = Variable("QT_QPA_PLATFORM_PLUGIN_PATH"))
        folders.push_back(std::move(*extra));
    for (const QString& path : QCoreApplication::libraryPaths())
        folders.push_back((path + QStringLiteral("/platforms")).toStdString());
    return folders;
}

DisplaySettings CurrentDisplaySettings(std::optional<std::string> platformOption,
                                       std::optional<std::string> x11DisplayOption,
                                       const std::function<std::vector<std::string>()>& pluginFolders) {
    DisplaySettings settings{std::move(platformOption), Variable("QT_QPA_PLATFORM"), std::move(x11DisplayOption),
                             Variable("DISPLAY"),       Variable("WAYLAND_DISPLAY"), Variable("XDG_SESSION_TYPE")};
    for (const char* name : kWaylandFrameVariables)
        if (Variable(name)) settings.waylandFramesChosenByUser = true;
    // The Qt the program runs on, which may be newer than the one it was built with.
    settings.qtStartsEglForFrames = QLibraryInfo::version() < QVersionNumber(6, 8);
    // Looking through the plugin folders takes a few hundred microseconds: only where Wayland may be tried.
    if (MayTryWayland(settings)) settings.waylandPluginInstalled = WaylandPluginIn(pluginFolders());
    return settings;
}

bool DisplayProbe::answers(DisplayServer server) {
    if (server == DisplayServer::Wayland) {
        // A socket handed over by the compositor can be used once only: leave it to Qt.
        if (Variable("WAYLAND_SOCKET")) return true;
        if (compositor_ == nullptr) {
            // Resolved as Qt resolves it: WAYLAND_DISPLAY (wayland-0 when unset), in XDG_RUNTIME_DIR unless absolute.
            compositor_ = wl_display_connect(settings_.waylandDisplay ? settings_.waylandDisplay->c_str() : nullptr);
            if (compositor_ != nullptr) compositorDrawsFrames_ = DrawsFrames(compositor_);
        }
        return compositor_ != nullptr;
    }
    if (x11_ == nullptr) {
        const std::optional<std::string>& name =
            settings_.x11DisplayOption ? settings_.x11DisplayOption : settings_.display;
        x11_ = xcb_connect(name ? name->c_str() : nullptr, nullptr);
    }
    return xcb_connection_has_error(x11_) == 0;
}

void DisplayProbe::disconnect() {
    if (x11_ != nullptr) xcb_disconnect(x11_);  // also frees a connection that failed
    x11_ = nullptr;
    if (compositor_ != nullptr) wl_display_disconnect(compositor_);
    compositor_ = nullptr;
}

}  // namespace taborvane::app
