// Measures start-up from outside, as a user sees it: starts a program, waits
// on the X server for its titled top-level window to be mapped, and takes the
// time since the process started and its peak resident memory (VmHWM) at that
// moment; then ends it. Two programs alternate, and medians are reported.
// Usage: startup_watch PROGRAM OTHER_PROGRAM RUNS   (on an X server without a window manager)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "alternating_starts.h"

extern char** environ;

namespace {

using startup::MonotonicNanoseconds;
using startup::Sample;

long long PeakResidentKib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6);
    return -1;
}

class XServer {
public:
    XServer() : connection_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(connection_) != 0) return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        // Every window mapped as a child of the root is reported to us.
        const uint32_t mask = static_cast<uint32_t>(XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        pidAtom_ = atom("_NET_WM_PID");
        xcb_flush(connection_);
    }
    ~XServer() { xcb_disconnect(connection_); }
    [[nodiscard]] bool ok() const { return xcb_connection_has_error(connection_) == 0; }

    // Waits until a titled top-level window of the process is mapped; false after the timeout.
    bool waitForWindowOf(pid_t pid, int timeoutMs) {
        const long long deadline = MonotonicNanoseconds() + timeoutMs * 1'000'000LL;
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
                if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY) continue;
                const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
                if (!map->override_redirect && pidOf(map->window) == pid && !title(map->window).empty()) return true;
            }
            const long long left = deadline - MonotonicNanoseconds();
            if (left <= 0 || !ok()) return false;
            pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(left / 1'000'000) + 1);
        }
    }

private:
    xcb_atom_t atom(const char* name) {
        const auto cookie = xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name);
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection_, cookie, nullptr), &std::free);
        return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }
    std::string property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
        const auto cookie = xcb_get_property(connection_, 0, window, name, type, 0, 256);
        const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(connection_, cookie, nullptr), &std::free);
        if (!reply) return {};
        return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                           static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
    }
    pid_t pidOf(xcb_window_t window) {
        const std::string value = property(window, pidAtom_, XCB_ATOM_CARDINAL);
        uint32_t pid = 0;
        if (value.size() == sizeof pid) std::memcpy(&pid, value.data(), sizeof pid);
        return static_cast<pid_t>(pid);
    }
    std::string title(xcb_window_t window) { return property(window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY); }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = XCB_ATOM_NONE;
};

bool RunOnce(XServer& server, const char* program, Sample& sample) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t pid = 0;
    const long long started = MonotonicNanoseconds();
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    const bool mapped = server.waitForWindowOf(pid, 10'000);
    const long long mappedAt = MonotonicNanoseconds();
    const long long peakKib = PeakResidentKib(pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    if (!mapped || peakKib < 0) return false;
    sample = {static_cast<double>(mappedAt - started) / 1e6, static_cast<double>(peakKib) / 1024.0};
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PROGRAM OTHER_PROGRAM RUNS\n", argv[0]);
        return 2;
    }
    XServer server;
    if (!server.ok()) {
        std::fprintf(stderr, "no X server: set DISPLAY\n");
        return 1;
    }
    const int runs = std::atoi(argv[3]);
    const auto start = [&server](const char* program, Sample& sample) { return RunOnce(server, program, sample); };
    const std::optional<startup::Comparison> comparison = startup::CompareAlternately(start, argv[1], argv[2], runs);
    if (!comparison) {
        std::fprintf(stderr, "a program showed no window\n");
        return 1;
    }
    startup::PrintComparison(*comparison, runs, "start until mapped", "peak resident memory then",
                             "one empty, titled Qt window", 1.3, 1.2);
    return 0;
}
