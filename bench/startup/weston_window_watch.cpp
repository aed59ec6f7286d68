#include "weston_window_watch.h"

#include "descriptor_reading.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "report.h"

extern char** environ;

namespace startup {

namespace {

// How long weston-debug is given to subscribe before the first program starts:
// an idle compositor writes nothing that would tell us it has.
constexpr int kSubscribeMs = 500;

}  // namespace

WestonWindowWatch::WestonWindowWatch() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    char program[] = "weston-debug";
    char stream[] = "timeline";
    char* argv[] = {program, stream, nullptr};
    const int spawned = posix_spawnp(&reader_, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (spawned != 0) {
        reader_ = 0;
        close(ends[0]);
        return;
    }
    stream_ = ends[0];
    // Without --debug, weston-debug says so and ends, and the stream with it.
    const long long until = taborvane::bench::Now() + kSubscribeMs * 1'000'000LL;
    for (long long left = kSubscribeMs;
         left > 0 && ReadAvailable(stream_, pending_, static_cast<int>(left)) != Reading::Ended;)
        left = (until - taborvane::bench::Now()) / 1'000'000;
}

WestonWindowWatch::~WestonWindowWatch() {
    if (stream_ >= 0) close(stream_);
    if (reader_ > 0) {
        kill(reader_, SIGTERM);
        waitpid(reader_, nullptr, 0);
    }
}

bool WestonWindowWatch::ready() const { return stream_ >= 0; }

void WestonWindowWatch::forgetEarlierWindows() {
    // All the stream holds before the program starts is about earlier windows.
    while (ready() && ReadAvailable(stream_, pending_, 0) == Reading::Something) {
    }
    readLines();
    timeline_.watchForNewWindow();
}

std::optional<long long> WestonWindowWatch::waitForWindow(pid_t, long long startedAt, int timeoutMs) {
    const long long deadline = startedAt + timeoutMs * 1'000'000LL;
    for (;;) {
        if (const std::optional<long long> moment = readLines()) {
            // The timeline's clock must be ours: the window came after the spawn and before we read of it.
            if (*moment >= startedAt && *moment <= taborvane::bench::Now()) return moment;
            std::fprintf(stderr, "weston's timeline is not on this process's CLOCK_MONOTONIC\n");
            return std::nullopt;
        }
        const long long left = deadline - taborvane::bench::Now();
        if (left <= 0 || ReadAvailable(stream_, pending_, static_cast<int>(left / 1'000'000) + 1) == Reading::Ended)
            return std::nullopt;
    }
}

std::optional<long long> WestonWindowWatch::readLines() {
    std::optional<long long> moment;
    std::size_t start = 0;
    for (std::size_t end; !moment && (end = pending_.find('\n', start)) != std::string::npos; start = end + 1)
        moment = timeline_.read(std::string_view(pending_).substr(start, end - start));
    pending_.erase(0, start);
    return moment;
}

}  // namespace startup
