#include "measuring.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>

#include <sys/resource.h>

namespace taborvane::bench {
namespace {

Nanoseconds CpuOf(const rusage& usage) {
    const auto ns = [](const timeval& t) {
        return Nanoseconds{t.tv_sec} * 1'000'000'000 + Nanoseconds{t.tv_usec} * 1000;
    };
    return ns(usage.ru_utime) + ns(usage.ru_stime);
}

Spent Sample() {
    rusage process{}, thread{};
    getrusage(RUSAGE_SELF, &process);
    getrusage(RUSAGE_THREAD, &thread);
    return {0, CpuOf(process), CpuOf(thread), process.ru_nvcsw + process.ru_nivcsw, thread.ru_nvcsw + thread.ru_nivcsw};
}

}  // namespace

Nanoseconds Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return Nanoseconds{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

void RunEventLoopFor(int milliseconds) {
    QEventLoop loop;
    QTimer end;
    end.setObjectName(QStringLiteral("benchEndOfWait"));
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    end.start(milliseconds);
    loop.exec();
}

UsageMeter::UsageMeter() : start_(Sample()), startedAt_(Now()) {}

Spent UsageMeter::spent() const {
    const Spent now = Sample();
    return {static_cast<double>(Now() - startedAt_) / 1e9, now.cpu - start_.cpu, now.mainCpu - start_.mainCpu,
            now.wakeUps - start_.wakeUps, now.mainWakeUps - start_.mainWakeUps};
}

double CpuShare(Nanoseconds cpu, double seconds) {
    return seconds > 0 ? 100.0 * static_cast<double>(cpu) / 1e9 / seconds : 0;
}

Spread SpreadOf(std::vector<double> samples) {
    if (samples.empty()) return {};
    std::sort(samples.begin(), samples.end());
    const auto at = [&samples](double share) {
        return samples[std::min(samples.size() - 1,
                                static_cast<std::size_t>(share * static_cast<double>(samples.size())))];
    };
    return {at(0.5), at(0.99), samples.back()};
}

Spread SpreadInMs(const std::vector<Nanoseconds>& samples) {
    std::vector<double> ms;
    ms.reserve(samples.size());
    for (const Nanoseconds sample : samples) ms.push_back(static_cast<double>(sample) / 1e6);
    return SpreadOf(std::move(ms));
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string YesNo(bool yes) { return yes ? "yes" : "**no**"; }

void PrintTable(const Row& header, const std::vector<Row>& rows) {
    std::string names = "|", rule = "|";
    for (const std::string& column : header) {
        const bool right = column.ends_with(':');
        names += " " + (right ? column.substr(0, column.size() - 1) : column) + " |";
        rule += right ? " ---: |" : " --- |";
    }
    std::printf("%s\n%s\n", names.c_str(), rule.c_str());
    for (const Row& row : rows) {
        std::string line = "|";
        for (const std::string& cell : row) line += " " + cell + " |";
        std::printf("%s\n", line.c_str());
    }
    std::printf("\n");
}

std::string LoadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string load;
    std::getline(file, load);
    return load;
}

}  // namespace taborvane::bench
