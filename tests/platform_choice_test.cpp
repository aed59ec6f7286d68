#include "app/platform_choice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "app/display_probe.h"

#include <QCoreApplication>
#include <QStringList>

namespace taborvane::app {
namespace {

using Kind = PlatformChoice::Kind;
using Servers = std::set<DisplayServer>;

const Servers kNone{};
const Servers kX{DisplayServer::X11};
const Servers kWayland{DisplayServer::Wayland};
const Servers kBoth{DisplayServer::X11, DisplayServer::Wayland};

struct ChoiceCase {
    const char* name;
    DisplaySettings settings;
    Servers answering;
    Kind kind;
    std::vector<std::string> messageSays;  // fragments of the NoDisplay line
    std::vector<std::string> messageOmits;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }

}  // namespace

void PrintTo(PlatformChoice::Kind kind, std::ostream* os) {
    constexpr const char* kNames[] = {"LeaveToQt", "UseX11", "NoDisplay"};
    *os << kNames[static_cast<int>(kind)];
}

namespace {

DisplaySettings Session(std::optional<std::string> display, std::optional<std::string> waylandDisplay,
                        std::optional<std::string> sessionType = std::nullopt) {
    DisplaySettings settings;
    settings.display = std::move(display);
    settings.waylandDisplay = std::move(waylandDisplay);
    settings.sessionType = std::move(sessionType);
    return settings;
}

DisplaySettings WithoutWaylandPlugin(DisplaySettings settings) {
    settings.waylandPluginInstalled = false;
    return settings;
}

DisplaySettings Chosen(DisplaySettings settings, std::optional<std::string> option,
                       std::optional<std::string> variable) {
    settings.platformOption = std::move(option);
    settings.qpaPlatform = std::move(variable);
    return settings;
}

class PlatformChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(PlatformChoiceTest, OpensWhatAnswersAndSaysWhichVariableWhenNothingDoes) {
    const ChoiceCase& c = GetParam();
    const PlatformChoice choice =
        ChoosePlatform(c.settings, [&c](DisplayServer server) { return c.answering.count(server) > 0; });
    EXPECT_EQ(choice.kind, c.kind);
    if (c.kind == Kind::NoDisplay) {
        EXPECT_TRUE(choice.message.starts_with("taborvane: ")) << choice.message;
        EXPECT_EQ(choice.message.find('\n'), std::string::npos) << choice.message;
    } else {
        EXPECT_EQ(choice.message, "");
    }
    for (const std::string& fragment : c.messageSays)
        EXPECT_NE(choice.message.find(fragment), std::string::npos) << choice.message << " lacks " << fragment;
    for (const std::string& fragment : c.messageOmits)
        EXPECT_EQ(choice.message.find(fragment), std::string::npos) << choice.message << " has " << fragment;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sessions, PlatformChoiceTest, ::testing::Values(
    ChoiceCase{"X11Session", Session(":0", std::nullopt), kBoth, Kind::LeaveToQt, {}, {}},
    ChoiceCase{"WaylandSession", Session(":0", "wayland-1"), kBoth, Kind::LeaveToQt, {}, {}},
    ChoiceCase{"WaylandSessionTypeOnly", Session(std::nullopt, std::nullopt, "wayland"), kWayland, Kind::LeaveToQt, {}, {}},
    ChoiceCase{"WaylandDisplayWinsOverX11SessionType", Session(":0", "wayland-1", "x11"), kBoth, Kind::LeaveToQt, {}, {}},
    // Qt would warn twice on its way to the X server; the program goes there directly.
    ChoiceCase{"DeadCompositorLiveXServer", Session(":0", "wayland-9"), kX, Kind::UseX11, {}, {}},
    ChoiceCase{"WaylandSessionTypeWithoutCompositor", Session(":0", std::nullopt, "wayland"), kX, Kind::UseX11, {}, {}},
    ChoiceCase{"NothingSet", Session(std::nullopt, std::nullopt), kNone, Kind::NoDisplay,
               {"no display", "DISPLAY for X11", "WAYLAND_DISPLAY for Wayland"}, {}},
    ChoiceCase{"EmptyDisplayNoServer", Session("", std::nullopt, "tty"), kNone, Kind::NoDisplay,
               {"DISPLAY for X11", "WAYLAND_DISPLAY for Wayland"}, {}},
    ChoiceCase{"XServerGone", Session(":78", std::nullopt), kWayland, Kind::NoDisplay,
               {"X11 display ':78' does not answer", "set DISPLAY"}, {"Wayland display"}},
    ChoiceCase{"CompositorGoneNoDisplay", Session(std::nullopt, "wayland-9"), kNone, Kind::NoDisplay,
               {"Wayland display 'wayland-9' does not answer", "DISPLAY is not set", "WAYLAND_DISPLAY"}, {}},
    // Qt would warn that it lacks its Wayland plugin, then use the X server (XWayland).
    ChoiceCase{"WaylandSessionWithoutPlugin", WithoutWaylandPlugin(Session(":0", "wayland-1")), kBoth, Kind::UseX11, {}, {}},
    ChoiceCase{"WaylandOnlyWithoutPlugin", WithoutWaylandPlugin(Session(std::nullopt, "wayland-1")), kWayland,
               Kind::NoDisplay, {"Wayland plugin is not installed", "install qt6-wayland, or set DISPLAY"}, {"'wayland-1'"}},
    ChoiceCase{"SessionTypeWaylandNothingAnswers", Session(":0", std::nullopt, "wayland"), kNone, Kind::NoDisplay,
               {"'wayland-0'", "':0'"}, {}}),
    [](const ::testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

DisplaySettings WithDisplayOption(DisplaySettings settings, std::string option) {
    settings.x11DisplayOption = std::move(option);
    return settings;
}

// The user's own choice is never overridden, only reported when it cannot start.
INSTANTIATE_TEST_SUITE_P(ChosenByUser, PlatformChoiceTest, ::testing::Values(
    ChoiceCase{"VariableWaylandWithoutCompositor", Chosen(Session(":0", std::nullopt), std::nullopt, "wayland"), kX,
               Kind::NoDisplay, {"'wayland-0' does not answer", "set WAYLAND_DISPLAY"}, {"X11", "DISPLAY for"}},
    ChoiceCase{"VariableWaylandWithoutPlugin", Chosen(WithoutWaylandPlugin(Session(":0", "wayland-1")), std::nullopt, "wayland"),
               kBoth, Kind::NoDisplay, {"Wayland plugin is not installed", "; install qt6-wayland"}, {"X11"}},
    ChoiceCase{"OptionXcbInWaylandSession", Chosen(Session(":0", "wayland-1"), "xcb", std::nullopt), kBoth,
               Kind::LeaveToQt, {}, {}},
    ChoiceCase{"OptionXcbWithoutXServer", Chosen(Session(std::nullopt, "wayland-1"), "xcb", std::nullopt), kWayland,
               Kind::NoDisplay, {"DISPLAY is not set", "set DISPLAY to a running X server"}, {"Wayland"}},
    ChoiceCase{"OptionWinsOverVariable", Chosen(Session(":0", std::nullopt), "xcb", "offscreen"), kNone,
               Kind::NoDisplay, {"':0' does not answer"}, {}},
    ChoiceCase{"EmptyVariableIsNoChoice", Chosen(Session(":0", "wayland-9"), std::nullopt, ""), kX,
               Kind::UseX11, {}, {}},
    ChoiceCase{"ListWithOneLiveServer", Chosen(Session(":0", "wayland-9"), std::nullopt, "wayland;xcb"), kX,
               Kind::LeaveToQt, {}, {}},
    ChoiceCase{"PlatformArgumentsAfterColon", Chosen(Session(std::nullopt, "wayland-9"), "wayland-egl:option", std::nullopt),
               kNone, Kind::NoDisplay, {"'wayland-9' does not answer"}, {"X11"}},
    ChoiceCase{"PlatformWithoutDisplayServer", Chosen(Session(std::nullopt, std::nullopt), "offscreen", std::nullopt),
               kNone, Kind::LeaveToQt, {}, {}},
    // Qt reads platform names in any case: a capital is no reason to leave it to abort.
    ChoiceCase{"CapitalisedVariableWithoutCompositor", Chosen(Session(std::nullopt, std::nullopt), std::nullopt, "Wayland"),
               kNone, Kind::NoDisplay, {"'wayland-0' does not answer", "set WAYLAND_DISPLAY"}, {}},
    ChoiceCase{"DisplayOptionNamesTheServer", WithDisplayOption(Chosen(Session(":0", std::nullopt), "xcb", std::nullopt), ":5"),
               kNone, Kind::NoDisplay, {"':5' does not answer"}, {"':0'"}}),
    [](const ::testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });
// clang-format on

struct FramesCase {
    const char* name;
    DisplaySettings settings;
    Servers answering;
    bool compositorDrawsFrames;  // it offers xdg-decoration
    bool leaveFrames;
};

void PrintTo(const FramesCase& c, std::ostream* os) { *os << c.name; }

DisplaySettings WithFramesChosenByUser(DisplaySettings settings) {
    settings.waylandFramesChosenByUser = true;
    return settings;
}

DisplaySettings OnQtWithoutEglForFrames(DisplaySettings settings) {
    settings.qtStartsEglForFrames = false;
    return settings;
}

class WaylandFramesTest : public ::testing::TestWithParam<FramesCase> {};

// Qt is told not to draw frames (and so loads no graphics driver) only on a
// compositor that draws them, only when Qt opens that compositor, never
// against the user's own setting, and only where Qt would start EGL to decide.
TEST_P(WaylandFramesTest, LeftToTheCompositorOnlyWhereItDrawsThem) {
    const FramesCase& c = GetParam();
    const PlatformChoice choice =
        ChoosePlatform(c.settings, [&c](DisplayServer server) { return c.answering.count(server) > 0; });
    EXPECT_EQ(LeaveFramesToCompositor(choice, c.settings, c.compositorDrawsFrames), c.leaveFrames);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sessions, WaylandFramesTest, ::testing::Values(
    FramesCase{"CompositorDrawsFrames", Session(":0", "wayland-1"), kBoth, true, true},
    FramesCase{"CompositorLeavesFramesToClients", Session(":0", "wayland-1"), kBoth, false, false},
    FramesCase{"UserChoseWhoDrawsFrames", WithFramesChosenByUser(Session(":0", "wayland-1")), kBoth, true, false},
    FramesCase{"QtDecidesWithoutEgl", OnQtWithoutEglForFrames(Session(":0", "wayland-1")), kBoth, true, false},
    FramesCase{"X11Session", Session(":0", std::nullopt), kBoth, true, false},
    FramesCase{"CompositorGoneXServerUsed", Session(":0", "wayland-9"), kX, true, false},
    FramesCase{"UserChoseX11InWaylandSession", Chosen(Session(":0", "wayland-1"), "xcb", std::nullopt), kBoth, true, false},
    FramesCase{"UserChoseWayland", Chosen(Session(":0", "wayland-1"), std::nullopt, "wayland"), kBoth, true, true},
    FramesCase{"UserListFallsBackToX11", Chosen(Session(":0", "wayland-9"), std::nullopt, "wayland;xcb"), kX, true, false},
    FramesCase{"PlatformWithoutDisplayServer", Chosen(Session(":0", "wayland-1"), "offscreen", std::nullopt), kBoth, true, false}),
    [](const ::testing::TestParamInfo<FramesCase>& info) { return std::string(info.param.name); });
// clang-format on

// The settings as the program reads them from its environment, with Qt's
// plugin folders given: the user's machine may lack the Wayland plugin that
// this one has.
struct LiveCase {
    const char* name;
    std::map<std::string, std::string> environment;
    bool waylandPluginInFolder;
    Kind kind;
    std::optional<DisplayServer> server;
};

void PrintTo(const LiveCase& c, std::ostream* os) { *os << c.name; }

// Runs with none of the variables that decide the display or the frames set
// but those a case sets, and gives the machine's own back afterwards.
template <typename Case>
class LiveEnvironmentTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        for (const char* name : kVariables) {
            if (const char* value = std::getenv(name)) saved_[name] = value;
            unsetenv(name);
        }
        folder_ = std::filesystem::temp_directory_path() /
                  ("taborvane-plugins-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(folder_);
        put(FAKE_VNC_PLUGIN, "libqvnc.so");
    }
    // A copy of a built plugin, or an empty file, under a file name of the test's choosing.
    void put(const char* plugin, const char* file) const {
        if (plugin == nullptr)
            std::ofstream(folder_ / file) << "";
        else
            std::filesystem::copy_file(plugin, folder_ / file);
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        for (const char* name : kVariables) unsetenv(name);
        for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
    }

    static constexpr const char* kVariables[] = {"DISPLAY",
                                                 "WAYLAND_DISPLAY",
                                                 "XDG_SESSION_TYPE",
                                                 "QT_QPA_PLATFORM",
                                                 "QT_QPA_PLATFORM_PLUGIN_PATH",
                                                 "QT_WAYLAND_DISABLE_WINDOWDECORATION",
                                                 "QT_WAYLAND_DECORATION",
                                                 "QT_WAYLAND_SHELL_INTEGRATION"};
    std::filesystem::path folder_;
    std::map<std::string, std::string> saved_;
};

class LiveSettingsTest : public LiveEnvironmentTest<LiveCase> {};

TEST_P(LiveSettingsTest, AWaylandSessionWithoutQtsPluginOpensX11OrSaysWhichPackage) {
    const LiveCase& c = GetParam();
    for (const auto& [name, value] : c.environment) setenv(name.c_str(), value.c_str(), 1);
    if (c.waylandPluginInFolder) this->put(FAKE_WAYLAND_PLUGIN, "libqwayland-generic.so");
    const DisplaySettings settings = CurrentDisplaySettings(
        std::nullopt, std::nullopt, [this] { return std::vector<std::string>{folder_.string()}; });
    // The compositor answers, and an X server wherever DISPLAY names one.
    const PlatformChoice choice = ChoosePlatform(settings, [&c](DisplayServer server) {
        return server == DisplayServer::Wayland || c.environment.count("DISPLAY") > 0;
    });
    EXPECT_EQ(choice.kind, c.kind);
    EXPECT_EQ(choice.server, c.server);
    if (c.kind == Kind::NoDisplay) {
        EXPECT_NE(choice.message.find("install qt6-wayland"), std::string::npos) << choice.message;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Environment, LiveSettingsTest, ::testing::Values(
    LiveCase{"WaylandSessionWithPlugin", {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-1"}}, true,
             Kind::LeaveToQt, DisplayServer::Wayland},
    LiveCase{"WaylandSessionWithoutPlugin", {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-1"}}, false,
             Kind::UseX11, DisplayServer::X11},
    LiveCase{"SessionTypeWaylandWithoutPlugin", {{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "wayland"}}, false,
             Kind::UseX11, DisplayServer::X11},
    LiveCase{"WaylandOnlyWithoutPlugin", {{"WAYLAND_DISPLAY", "wayland-1"}}, false, Kind::NoDisplay, std::nullopt},
    LiveCase{"WaylandChosenWithoutPlugin", {{"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "wayland"}}, false,
             Kind::NoDisplay, std::nullopt},
    LiveCase{"X11Session", {{"DISPLAY", ":0"}}, false, Kind::LeaveToQt, DisplayServer::X11}),
    [](const ::testing::TestParamInfo<LiveCase>& info) { return std::string(info.param.name); });
// clang-format on

// A folder named by QT_QPA_PLATFORM_PLUGIN_PATH is searched before Qt's own,
// not instead of them: Qt's Wayland plugin is found in its usual place.
class PluginFoldersTest : public LiveEnvironmentTest<int> {};

TEST_F(PluginFoldersTest, TheVariablesFolderComesFirstAndQtsOwnStill) {
    const std::filesystem::path& base = folder_;
    std::filesystem::create_directories(base / "extra");
    std::filesystem::create_directories(base / "first/platforms");
    std::filesystem::create_directories(base / "second/platforms");
    std::filesystem::copy_file(FAKE_WAYLAND_PLUGIN, base / "second/platforms/libqwayland.so",
                               std::filesystem::copy_options::overwrite_existing);
    const QStringList saved = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths(
        {QString::fromStdString((base / "first").string()), QString::fromStdString((base / "second").string())});
    setenv("QT_QPA_PLATFORM_PLUGIN_PATH", (base / "extra").c_str(), 1);
    setenv("WAYLAND_DISPLAY", "wayland-1", 1);
    const std::vector<std::string> folders = QtPlatformPluginFolders();
    const bool found = CurrentDisplaySettings(std::nullopt, std::nullopt).waylandPluginInstalled;
    QCoreApplication::setLibraryPaths(saved);
    EXPECT_EQ(folders, (std::vector<std::string>{(base / "extra").string(), (base / "first/platforms").string(),
                                                 (base / "second/platforms").string()}));
    EXPECT_TRUE(found);
}

struct FramesVariableCase {
    const char* name;
    const char* variable;  // set alone, to a value a user would give it; nullptr: none
    const char* value;
};

void PrintTo(const FramesVariableCase& c, std::ostream* os) { *os << c.name; }

class FramesVariableTest : public LiveEnvironmentTest<FramesVariableCase> {};

// Any one of Qt's frame variables is the user's choice of who draws the
// frame: the program then sets none of its own over it.
TEST_P(FramesVariableTest, EachVariableAloneIsTheUsersChoice) {
    const FramesVariableCase& c = GetParam();
    setenv("WAYLAND_DISPLAY", "wayland-1", 1);
    if (c.variable != nullptr) setenv(c.variable, c.value, 1);
    put(FAKE_WAYLAND_PLUGIN, "libqwayland-generic.so");
    const DisplaySettings settings = CurrentDisplaySettings(
        std::nullopt, std::nullopt, [this] { return std::vector<std::string>{folder_.string()}; });
    const PlatformChoice choice = ChoosePlatform(settings, [](DisplayServer) { return true; });
    ASSERT_EQ(choice.server, DisplayServer::Wayland);
    EXPECT_EQ(settings.waylandFramesChosenByUser, c.variable != nullptr);
    if (c.variable != nullptr) {
        EXPECT_FALSE(LeaveFramesToCompositor(choice, settings, true));
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Environment, FramesVariableTest, ::testing::Values(
    FramesVariableCase{"NoneSet", nullptr, nullptr},
    FramesVariableCase{"FramesDisabled", "QT_WAYLAND_DISABLE_WINDOWDECORATION", "0"},
    FramesVariableCase{"DecorationPlugin", "QT_WAYLAND_DECORATION", "adwaita"},
    FramesVariableCase{"ShellIntegration", "QT_WAYLAND_SHELL_INTEGRATION", "xdg-shell"}),
    [](const ::testing::TestParamInfo<FramesVariableCase>& info) { return std::string(info.param.name); });
// clang-format on

struct PluginFileCase {
    const char* name;
    const char* plugin;    // one of the built fake plugins; nullptr: an empty file
    const char* file;      // its name in the plugin folder
    const char* platform;  // QT_QPA_PLATFORM; nullptr: Qt chooses
    bool isWaylands;
};

void PrintTo(const PluginFileCase& c, std::ostream* os) { *os << c.name; }

class PluginFileTest : public LiveEnvironmentTest<PluginFileCase> {};

// What a plugin declares makes it Qt's Wayland plugin, not its file's name:
// Qt up to 6.9 ships two, and from 6.10 on one under a new name.
TEST_P(PluginFileTest, QtsWaylandPluginIsKnownByWhatItDeclares) {
    const PluginFileCase& c = GetParam();
    setenv("WAYLAND_DISPLAY", "wayland-1", 1);
    if (c.platform != nullptr) setenv("QT_QPA_PLATFORM", c.platform, 1);
    put(c.plugin, c.file);
    const DisplaySettings settings = CurrentDisplaySettings(
        std::nullopt, std::nullopt, [this] { return std::vector<std::string>{folder_.string()}; });
    EXPECT_EQ(settings.waylandPluginInstalled, c.isWaylands);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Folders, PluginFileTest, ::testing::Values(
    PluginFileCase{"UpToQt69", FAKE_WAYLAND_PLUGIN, "libqwayland-generic.so", nullptr, true},
    PluginFileCase{"FromQt610", FAKE_WAYLAND_PLUGIN, "libqwayland.so", nullptr, true},
    PluginFileCase{"AnyName", FAKE_WAYLAND_PLUGIN, "libqcompositor-client.so", nullptr, true},
    PluginFileCase{"OtherPlatformUnderWaylandsName", FAKE_VNC_PLUGIN, "libqwayland.so", nullptr, false},
    PluginFileCase{"NotAPlatformPlugin", FAKE_IMAGE_FORMAT_PLUGIN, "libqwayland.so", nullptr, false},
    PluginFileCase{"NotAPluginAtAll", nullptr, "libqwayland.so", nullptr, false},
    PluginFileCase{"OnlyWaylandEglWhenQtChooses", FAKE_WAYLAND_EGL_PLUGIN, "libqwayland-egl.so", nullptr, false},
    PluginFileCase{"WaylandEglChosen", FAKE_WAYLAND_EGL_PLUGIN, "libqwayland-egl.so", "wayland-egl;xcb", true}),
    [](const ::testing::TestParamInfo<PluginFileCase>& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
}  // namespace taborvane::app
