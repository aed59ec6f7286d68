#include "display_probe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace taborvane::window {
namespace {

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

bool XServerAnswers(const std::optional<std::string>& display) {
    xcb_connection_t* connection = xcb_connect(display ? display->c_str() : nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);  // also frees a connection that failed
    return answers;
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

bool CompositorAnswers(const std::optional<std::string>& waylandDisplay) {
    // A socket handed over by the compositor can be used once only: leave it to Qt.
    if (Variable("WAYLAND_SOCKET")) return true;
    const std::optional<std::string> path = WaylandSocketPath(waylandDisplay);
    sockaddr_un address{};
    if (!path || path->size() >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path->c_str(), path->size() + 1);
    const int socketFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socketFd < 0) return false;
    const bool answers = connect(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(socketFd);
    return answers;
}

}  // namespace

DisplaySettings CurrentDisplaySettings(std::optional<std::string> platformOption,
                                       std::optional<std::string> x11DisplayOption) {
    return {std::move(platformOption), Variable("QT_QPA_PLATFORM"), std::move(x11DisplayOption),
            Variable("DISPLAY"),       Variable("WAYLAND_DISPLAY"), Variable("XDG_SESSION_TYPE")};
}

bool ServerAnswers(DisplayServer server, const DisplaySettings& settings) {
    if (server == DisplayServer::Wayland) return CompositorAnswers(settings.waylandDisplay);
    return XServerAnswers(settings.x11DisplayOption ? settings.x11DisplayOption : settings.display);
}

}  // namespace taborvane::window
