#include "measuring.h"

#include <QEventLoop>
#include <QTimer>
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

std::string LoadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string load;
    std::getline(file, load);
    return load;
}

}  // namespace taborvane::bench
