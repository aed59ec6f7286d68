// Runs the program's window and a minimal Qt window alternately, each as a
// fresh process, and compares the time from process start until the window is
// first shown and the peak resident memory at that moment.
// Usage: startup_bench PROGRAM_PROBE MINIMAL_PROBE RUNS
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "alternating_starts.h"

extern char** environ;

namespace {

using startup::MonotonicNanoseconds;
using startup::Sample;

bool RunOnce(const char* probe, Sample& sample) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    char* argv[] = {const_cast<char*>(probe), nullptr};
    pid_t pid = 0;
    const long long started = MonotonicNanoseconds();
    const int spawned = posix_spawn(&pid, probe, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) return false;
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long shownAt = 0;
    long long peakKib = 0;
    if (std::sscanf(output.c_str(), "%lld %lld", &shownAt, &peakKib) != 2 || !WIFEXITED(status)) return false;
    sample = {static_cast<double>(shownAt - started) / 1e6, static_cast<double>(peakKib) / 1024.0};
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PROGRAM_PROBE MINIMAL_PROBE RUNS\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[3]);
    const auto start = [argv](std::size_t probe, Sample& sample) { return RunOnce(argv[1 + probe], sample); };
    const std::optional<startup::Comparison> comparison = startup::CompareAlternately(start, runs);
    if (!comparison) {
        std::fprintf(stderr, "a probe failed to report\n");
        return 1;
    }
    startup::PrintComparison(*comparison, runs, "start until shown", "peak resident memory", "one empty Qt window", 1.4,
                             1.2);
    return 0;
}
