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
    const auto ns = [](const timeval& t) {
        return Nanoseconds{t.tv_sec} * 1'000'000'000 + Nanoseconds{t.tv_usec} * 1000;
    };
    rusage self{}, thread{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_THREAD, &thread);
    usage.cpu = ns(self.ru_utime) + ns(self.ru_stime);
    usage.voluntary = self.ru_nvcsw;
    usage.involuntary = self.ru_nivcsw;
    usage.caller = {"", thread.ru_nvcsw, thread.ru_nivcsw, ns(thread.ru_utime) + ns(thread.ru_stime)};
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

double CpuShare(Nanoseconds cpu, double seconds) { return 100.0 * static_cast<double>(cpu) / (seconds * 1e9); }

double PerSecond(double count, double seconds) { return count / seconds; }

void UsageMeter::start() {
    before_ = {};
    SampleThreads(before_);
    SampleProcess(before_);
    from_ = Now();
}

Spent UsageMeter::stop() {
    const Nanoseconds to = Now();
    after_ = {};
    SampleProcess(after_);
    SampleThreads(after_);
    const ThreadUsage& first = before_.caller;
    const ThreadUsage& last = after_.caller;
    return {static_cast<double>(to - from_) / 1e9, after_.cpu - before_.cpu, last.cpu - first.cpu,
            (after_.voluntary - before_.voluntary) + (after_.involuntary - before_.involuntary),
            (last.voluntary - first.voluntary) + (last.involuntary - first.involuntary)};
}

}  // namespace taborvane::bench
