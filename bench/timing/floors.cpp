// Measures the floors: the event loop woken by a timerfd at a fixed rate, and an
// empty window repainting one child at 60 frames a second.
#include "floors.h"

#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include <sys/timerfd.h>
#include <unistd.h>

#include "bench_clock.h"
#include "process_usage.h"

namespace taborvane::bench {
namespace {

// Runs the event loop as it is set up, after a settling time, and takes what
// the process spent over `ms` and how often `events` counted meanwhile.
FloorResult MeasureFloor(std::string what, int ms, const long& events, const std::function<void()>& resetEvents) {
    RunEventLoopFor(300);
    Usage before, after;
    resetEvents();
    SampleProcess(before);
    const Nanoseconds from = Now();
    RunEventLoopFor(ms);
    const Nanoseconds to = Now();
    SampleProcess(after);
    return {std::move(what), static_cast<double>(to - from) / 1e9, after.cpu - before.cpu,
            (after.voluntary - before.voluntary) + (after.involuntary - before.involuntary), events};
}

}  // namespace

FloorResult RunWakeFloor(int rate, int ms) {
    const std::string what = "kernel timer at " + std::to_string(rate) + "/s";
    const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    const long period = 1'000'000'000L / rate;
    const itimerspec every{{0, period}, {0, period}};
    timerfd_settime(fd, 0, &every, nullptr);
    QSocketNotifier notifier(fd, QSocketNotifier::Read);
    long woken = 0;
    QObject::connect(&notifier, &QSocketNotifier::activated, &notifier, [fd, &woken] {
        std::uint64_t expired = 0;
        if (read(fd, &expired, sizeof expired) == static_cast<ssize_t>(sizeof expired)) ++woken;
    });
    FloorResult result = MeasureFloor(what, ms, woken, [&woken] { woken = 0; });
    close(fd);
    return result;
}

FloorResult RunFrameFloor(const QSize& windowSize, const QRect& childGeometry, int ms) {
    QWidget window;
    window.setObjectName(QStringLiteral("benchFrameFloor"));
    window.resize(windowSize);
    window.move(0, 0);
    auto* child = new QWidget(&window);
    child->setGeometry(childGeometry);
    child->setAutoFillBackground(true);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qFatal("the frame floor's window was never exposed");
    QTimer frames;
    frames.setTimerType(Qt::PreciseTimer);
    long painted = 0;
    QObject::connect(&frames, &QTimer::timeout, child, [child, &painted] {
        child->update();
        ++painted;
    });
    frames.start(1000 / 60);
    return MeasureFloor("repaint of a " + std::to_string(childGeometry.width()) + " × " +
                            std::to_string(childGeometry.height()) + " widget at 60/s",
                        ms, painted, [&painted] { painted = 0; });
}

}  // namespace taborvane::bench
