// Runs the program's window and a minimal Qt window alternately, each as a
// fresh process, and compares the time from process start until the window is
// first shown and the peak resident memory at that moment.
// Usage: startup_bench PROGRAM_PROBE MINIMAL_PROBE RUNS
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Sample {
    double milliseconds;
    double peakMib;
};

long long MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

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

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PROGRAM_PROBE MINIMAL_PROBE RUNS\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[3]);
    std::vector<double> programTimes, programMemory, minimalTimes, minimalMemory;
    // One unmeasured run of each first: the first start pays for cold caches.
    Sample sample{};
    if (!RunOnce(argv[1], sample) || !RunOnce(argv[2], sample)) {
        std::fprintf(stderr, "a probe failed to report\n");
        return 1;
    }
    for (int i = 0; i < runs; ++i) {
        for (const bool program : {true, false}) {
            if (!RunOnce(program ? argv[1] : argv[2], sample)) {
                std::fprintf(stderr, "a probe failed to report\n");
                return 1;
            }
            (program ? programTimes : minimalTimes).push_back(sample.milliseconds);
            (program ? programMemory : minimalMemory).push_back(sample.peakMib);
        }
    }
    const double programTime = Median(programTimes), minimalTime = Median(minimalTimes);
    const double programPeak = Median(programMemory), minimalPeak = Median(minimalMemory);
    std::printf("| window | start until shown (median of %d) | peak resident memory |\n|---|---|---|\n", runs);
    std::printf("| Taborvane | %.1f ms | %.1f MiB |\n", programTime, programPeak);
    std::printf("| one empty Qt window | %.1f ms | %.1f MiB |\n", minimalTime, minimalPeak);
    std::printf("| ratio (goal ≤ 1.4 and ≤ 1.2) | %.2f | %.2f |\n", programTime / minimalTime,
                programPeak / minimalPeak);
    return 0;
}
