#include "display_probe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace taborvane::app {
namespace {

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

// The socket libwayland-client connects to: WAYLAND_DISPLAY (default wayland-0),
// inside XDG_RUNTIME_DIR unless it is an absolute path.
std::optional<std::string> WaylandSocketPath(const std::optional<std::string>& waylandDisplay) {
    const std::string name = waylandDisplay.value_or("wayland-0");
    if (name.starts_with('/')) return name;
    const std::optional<std::string> runtimeDir = Variable("XDG_RUNTIME_DIR");
    if (!runtimeDir || !runtimeDir->starts_with('/')) return std::nullopt;
    return *runtimeDir + '/' + name;
}

// A connected socket, or -1.
int ConnectToCompositor(const std::optional<std::string>& waylandDisplay) {
    const std::optional<std::string> path = WaylandSocketPath(waylandDisplay);
    sockaddr_un address{};
    if (!path || path->size() >= sizeof address.sun_path) return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path->c_str(), path->size() + 1);
    const int socketFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socketFd < 0) return -1;
    if (connect(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return socketFd;
    close(socketFd);
    return -1;
}

// Whether a Wayland platform plugin lies where Qt looks for platform plugins
// (Debian's qt6-wayland, which the package only recommends).
bool WaylandPluginInstalled() {
    QStringList folders;
    if (const std::optional<std::string> extra = Variable("QT_QPA_PLATFORM_PLUGIN_PATH"))
        folders << QString::fromStdString(*extra);
    for (const QString& path : QCoreApplication::libraryPaths()) folders << path + QStringLiteral("/platforms");
    return std::any_of(folders.begin(), folders.end(), [](const QString& folder) {
        return !QDir(folder).entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files).isEmpty();
    });
}

}  // namespace

DisplaySettings CurrentDisplaySettings(std::optional<std::string> platformOption,
                                       std::optional<std::string> x11DisplayOption) {
    DisplaySettings settings{std::move(platformOption), Variable("QT_QPA_PLATFORM"), std::move(x11DisplayOption),
                             Variable("DISPLAY"),       Variable("WAYLAND_DISPLAY"), Variable("XDG_SESSION_TYPE")};
    // Looking through the plugin folders takes a few hundred microseconds: only where Wayland may be tried.
    if (MayTryWayland(settings)) settings.waylandPluginInstalled = WaylandPluginInstalled();
    return settings;
}

bool DisplayProbe::answers(DisplayServer server) {
    if (server == DisplayServer::Wayland) {
        // A socket handed over by the compositor can be used once only: leave it to Qt.
        if (Variable("WAYLAND_SOCKET")) return true;
        if (compositorSocket_ < 0) compositorSocket_ = ConnectToCompositor(settings_.waylandDisplay);
        return compositorSocket_ >= 0;
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
    if (compositorSocket_ >= 0) close(compositorSocket_);
    compositorSocket_ = -1;
}

}  // namespace taborvane::app
