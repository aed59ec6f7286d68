// What the start-up watch reads: the compositors' lines, its own command line
// and the facts it takes from /proc. The watching itself runs against real
// display servers in bench/startup/run.sh.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "compositor_messages.h"
#include "started_program.h"
#include "watch_options.h"

namespace startup {
namespace {

struct TimelineCase {
    const char* name;
    std::vector<std::string> beforeStart;  // lines read before the program starts
    std::vector<std::string> afterStart;
    std::optional<long long> moment;  // what the last line after the start reports
};

const std::string kTaborvane =
    R"({ "id":7, "type":"weston_surface", "desc":"top-level window 'Taborvane' of org.taborvane.Taborvane" })";
const std::string kTaborvaneCommit = R"({ "T":[12, 500], "N":"core_commit_damage", "ws":7 })";

void PrintTo(const TimelineCase& c, std::ostream* os) { *os << c.name; }

class WestonTimelineTest : public testing::TestWithParam<TimelineCase> {};

TEST_P(WestonTimelineTest, ReportsOnlyTheFirstBufferOfANewTopLevelWindow) {
    WestonTimeline timeline;
    for (const std::string& line : GetParam().beforeStart) EXPECT_EQ(timeline.read(line), std::nullopt) << line;
    timeline.watchForNewWindow();
    std::optional<long long> last;
    for (const std::string& line : GetParam().afterStart) last = timeline.read(line);
    EXPECT_EQ(last, GetParam().moment);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WestonTimelineTest,
    testing::Values(TimelineCase{"first_commit_of_new_window", {}, {kTaborvane, kTaborvaneCommit}, 12'000000500LL},
                    TimelineCase{"window_named_before_the_start", {kTaborvane}, {kTaborvaneCommit}, std::nullopt},
                    TimelineCase{"commit_without_damage",
                                 {},
                                 {kTaborvane, R"({ "T":[12, 400], "N":"core_flush_damage", "ws":7, "wo":1 })"},
                                 std::nullopt},
                    TimelineCase{"surface_that_is_no_window",
                                 {},
                                 {R"({ "id":2, "type":"weston_surface", "desc":"panel for output headless" })",
                                  R"({ "T":[12, 300], "N":"core_commit_damage", "ws":2 })"},
                                 std::nullopt},
                    TimelineCase{"commit_of_another_surface",
                                 {R"({ "id":2, "type":"weston_surface", "desc":"panel for output headless" })"},
                                 {kTaborvane, R"({ "T":[12, 300], "N":"core_commit_damage", "ws":2 })"},
                                 std::nullopt},
                    TimelineCase{"line_that_is_not_json",
                                 {},
                                 {kTaborvane, R"({ "T":[12, 500], "N":"core_commit_damage", "ws":7 )"},
                                 std::nullopt},
                    TimelineCase{"second_commit_is_not_the_first",
                                 {},
                                 {kTaborvane, kTaborvaneCommit, R"({ "T":[13, 0], "N":"core_commit_damage", "ws":7 })"},
                                 std::nullopt},
                    TimelineCase{"second_window_does_not_replace_the_first",
                                 {},
                                 {kTaborvane,
                                  R"({ "id":8, "type":"weston_surface", "desc":"top-level window 'Other' of other" })",
                                  R"({ "T":[12, 100], "N":"core_commit_damage", "ws":8 })", kTaborvaneCommit},
                                 12'000000500LL}),
    [](const testing::TestParamInfo<TimelineCase>& info) { return std::string(info.param.name); });

TEST(SwayWindowEvent, NamesTheProcessOfANewWindowOnly) {
    EXPECT_EQ(NewWindowPid(R"({ "change": "new", "container": { "id": 5, "pid": 20826, "app_id": "a" } })"), 20826);
    EXPECT_EQ(NewWindowPid(R"({ "change": "title", "container": { "id": 5, "pid": 20826 } })"), std::nullopt);
    EXPECT_EQ(NewWindowPid(R"({ "change": "close", "container": { "id": 5, "pid": 20826 } })"), std::nullopt);
    EXPECT_EQ(NewWindowPid(R"({ "change": "new", "container": { "id": 5, "name": "pid" } })"), std::nullopt);
}

TEST(SwayMessages, ComeOutWholeAndInOrderOnceTheyHaveArrived) {
    const QByteArray reply = Framed({kSwaySubscribe, R"({"success": true})"});
    const QByteArray event = Framed({kSwayWindowEvent, R"({"change": "new"})"});
    QByteArray pending = reply.left(reply.size() - 1);
    EXPECT_FALSE(TakeSwayMessage(pending)) << "a message short of its last byte";
    pending = reply + event.left(8);
    const std::optional<SwayMessage> first = TakeSwayMessage(pending);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->type, kSwaySubscribe);
    EXPECT_EQ(first->payload, R"({"success": true})");
    EXPECT_FALSE(TakeSwayMessage(pending)) << "the event has only begun";
    pending += event.mid(8);
    const std::optional<SwayMessage> second = TakeSwayMessage(pending);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->type, kSwayWindowEvent);
    EXPECT_TRUE(pending.isEmpty());
    pending = "not a message of sway's";
    EXPECT_FALSE(TakeSwayMessage(pending));
    EXPECT_TRUE(pending.isEmpty()) << "what is no message is dropped";
}

struct OptionsCase {
    const char* name;
    std::vector<std::string> arguments;
    bool valid;
};

void PrintTo(const OptionsCase& c, std::ostream* os) { *os << c.name; }

class WatchOptionsTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(WatchOptionsTest, AcceptsOnlyAServerARunCountAndWindows) {
    EXPECT_EQ(ReadWatchOptions(GetParam().arguments).has_value(), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WatchOptionsTest,
    testing::Values(OptionsCase{"one_window", {"--sway", "3", "--window", "A", "/a"}, true},
                    OptionsCase{"from_inside", {"--inside", "3", "--window", "A", "/a"}, true},
                    OptionsCase{"window_with_environment", {"--weston", "3", "--window", "A", "X=1", "/a"}, true},
                    OptionsCase{"unknown_server", {"--mir", "3", "--window", "A", "/a"}, false},
                    OptionsCase{"no_runs", {"--x11", "0", "--window", "A", "/a"}, false},
                    OptionsCase{"runs_not_a_number", {"--x11", "3x", "--window", "A", "/a"}, false},
                    OptionsCase{"no_window", {"--x11", "3"}, false},
                    OptionsCase{"window_without_program", {"--x11", "3", "--window", "A", "X=1"}, false},
                    OptionsCase{"program_missing_at_the_end", {"--x11", "3", "--window", "A", "--window"}, false},
                    OptionsCase{"program_missing_before_next_window",
                                {"--x11", "3", "--window", "A", "--window", "B", "/b"},
                                false}),
    [](const testing::TestParamInfo<OptionsCase>& info) { return std::string(info.param.name); });

TEST(WatchOptions, KeepsEachWindowsEnvironmentToItself) {
    const auto options =
        ReadWatchOptions({"--weston", "5", "--window", "plain", "/e", "--window", "frameless", "A=1", "B=2", "/e"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->server, DisplayServerKind::Weston);
    EXPECT_EQ(options->runs, 5);
    ASSERT_EQ(options->windows.size(), 2u);
    EXPECT_EQ(options->windows[0].label, "plain");
    EXPECT_TRUE(options->windows[0].environment.empty());
    EXPECT_EQ(options->windows[1].label, "frameless");
    EXPECT_EQ(options->windows[1].path, "/e");
    EXPECT_EQ(options->windows[1].environment, (std::vector<std::string>{"A=1", "B=2"}));
}

// The drivers are what glvnd's vendor files declare, whatever they are called.
TEST(StartedProgram, KnowsAGraphicsDriverByWhatGlvndDeclares) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "egl_vendor_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto write = [&](const char* name, const char* text) { std::ofstream(folder / name) << text; };
    write("50_mesa.json", R"({"file_format_version": "1.0.0", "ICD": {"library_path": "libEGL_mesa.so.0"}})");
    write("10_vendor.json", R"({"ICD": {"library_path": "/opt/vendor/lib/libEGL_vendor.so.1"}})");
    write("notes.txt", R"({"ICD": {"library_path": "libEGL_notes.so.0"}})");
    const std::vector<std::string> drivers = EglVendorLibraries({folder.string(), (folder / "absent").string()});
    std::filesystem::remove_all(folder);
    EXPECT_EQ(drivers, (std::vector<std::string>{"libEGL_vendor.so.1", "libEGL_mesa.so.0"}));

    const std::string lib = "7f00-7f10 r--p 0 08:01 1 /usr/lib/x86_64-linux-gnu/";
    EXPECT_TRUE(NamesGraphicsDriver(lib + "libEGL_mesa.so.0.0.0", drivers));
    EXPECT_TRUE(NamesGraphicsDriver("7f00-7f10 r-xp 0 08:01 1 /opt/vendor/lib/libEGL_vendor.so.1", drivers));
    EXPECT_TRUE(NamesGraphicsDriver(lib + "libGLX_mesa.so.0.0.0", drivers));
    EXPECT_FALSE(NamesGraphicsDriver(lib + "libEGL.so.1.1.0", drivers));
    EXPECT_FALSE(NamesGraphicsDriver(lib + "libGLX.so.0.0.0", drivers));
    EXPECT_FALSE(NamesGraphicsDriver(lib + "libQt6Gui.so.6", drivers));
    EXPECT_FALSE(NamesGraphicsDriver("7f00-7f10 rw-p 0 00:00 0 [heap]", drivers));
}

}  // namespace
}  // namespace startup
