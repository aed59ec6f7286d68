#include "display_probe.h"

#include <wayland-client.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>
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

// The platforms that Qt's platform plugins in the folders declare, lower-cased:
// the keys in each plugin's metadata, which Qt reads, as here, without
// loading the library. File names say nothing: Qt's Wayland plugin has had three.
std::vector<std::string> PlatformsDeclaredIn(const std::vector<std::string>& folders) {
    // Qt's platform plugins implement this interface, whatever its version.
    static const QString kPlatformInterface =
        QStringLiteral("org.qt-project.Qt.QPA.QPlatformIntegrationFactoryInterface");
    std::vector<std::string> platforms;
    for (const std::string& folder : folders) {
        const QDir plugins(QString::fromStdString(folder));
        for (const QString& file : plugins.entryList(QDir::Files)) {
            const QJsonObject metaData = QPluginLoader(plugins.filePath(file)).metaData();
            if (!metaData.value(QStringLiteral("IID")).toString().startsWith(kPlatformInterface)) continue;
            const QJsonArray keys =
                metaData.value(QStringLiteral("MetaData")).toObject().value(QStringLiteral("Keys")).toArray();
            for (const auto& key : keys) platforms.push_back(key.toString().toLower().toStdString());
        }
    }
    return platforms;
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
    // Reading the plugins' metadata takes a while: only where Wayland may be tried.
    if (MayTryWayland(settings)) {
        const std::vector<std::string> declared = PlatformsDeclaredIn(pluginFolders());
        const std::vector<std::string> asked = WaylandPlatformsAsked(settings);
        settings.waylandPluginInstalled = std::any_of(asked.begin(), asked.end(), [&declared](const std::string& name) {
            return std::find(declared.begin(), declared.end(), name) != declared.end();
        });
    }
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
