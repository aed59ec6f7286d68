// Samples the process's CPU time and context switches through getrusage, and
// each thread's through /proc/self/task.
#include "process_usage.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/resource.h>

namespace taborvane::bench {
namespace {

std::string ReadFirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace

void SampleProcess(Usage& usage) {
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    const auto ns = [](const timeval& t) {
        return Nanoseconds{t.tv_sec} * 1'000'000'000 + Nanoseconds{t.tv_usec} * 1000;
    };
    usage.cpu = ns(self.ru_utime) + ns(self.ru_stime);
    usage.voluntary = self.ru_nvcsw;
    usage.involuntary = self.ru_nivcsw;
}

void SampleThreads(Usage& usage) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        const std::string dir = entry.path().string();
        ThreadUsage thread;
        thread.name = ReadFirstLine(dir + "/comm");
        std::ifstream status(dir + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) thread.voluntary = std::stol(line.substr(24));
            if (line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) thread.involuntary = std::stol(line.substr(27));
        }
        std::istringstream(ReadFirstLine(dir + "/schedstat")) >> thread.cpu;
        usage.threads[std::stoi(entry.path().filename().string())] = thread;
    }
}

std::string LoadAverage() { return ReadFirstLine("/proc/loadavg"); }

}  // namespace taborvane::bench
