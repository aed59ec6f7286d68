// Measures the floors: the event loop woken by a timerfd at a fixed rate, and an
// empty window repainting one child at the screen's frame rate.
#include "floors.h"

#include <QScreen>
#include <QSocketNotifier>
#include <QTest>
#include <QWidget>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>

#include <sys/timerfd.h>
#include <unistd.h>

#include "bench_clock.h"
#include "process_usage.h"

namespace taborvane::bench {
namespace {

// A kernel timer at a fixed rate, watched by the event loop as the program's
// own alarm is; each ring calls back.
class KernelTicker {
public:
    KernelTicker(double perSecond, std::function<void()> ring)
        : fd_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)), notifier_(fd_, QSocketNotifier::Read) {
        const long period = std::lround(1e9 / perSecond);
        const timespec every{period / 1'000'000'000L, period % 1'000'000'000L};
        const itimerspec alarm{every, every};
        timerfd_settime(fd_, 0, &alarm, nullptr);
        QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this, ring = std::move(ring)] {
            std::uint64_t expired = 0;
            if (read(fd_, &expired, sizeof expired) == static_cast<ssize_t>(sizeof expired)) ring();
        });
    }
    ~KernelTicker() {
        notifier_.setEnabled(false);
        close(fd_);
    }
    KernelTicker(const KernelTicker&) = delete;
    KernelTicker& operator=(const KernelTicker&) = delete;

private:
    int fd_;
    QSocketNotifier notifier_;
};

// Runs the event loop as it is set up, after a settling time, and takes what
// the process spent over `ms` and how often `events` counted meanwhile.
FloorResult MeasureFloor(std::string what, int ms, long& events) {
    RunEventLoopFor(300);
    events = 0;
    UsageMeter meter;
    meter.start();
    RunEventLoopFor(ms);
    return {std::move(what), meter.stop(), events};
}

}  // namespace

double FramesPerSecondOf(const QWidget& widget) {
    const double rate = widget.screen()->refreshRate();
    return rate >= 1.0 && rate <= 1000.0 ? rate : 60.0;
}

FloorResult RunWakeFloor(int rate, int ms) {
    long woken = 0;
    const KernelTicker ticker(rate, [&woken] { ++woken; });
    return MeasureFloor("kernel timer at " + std::to_string(rate) + "/s", ms, woken);
}

FloorResult RunFrameFloor(const QSize& windowSize, const QRect& childGeometry, double framesPerSecond, int ms) {
    QWidget window;
    window.setObjectName(QStringLiteral("benchFrameFloor"));
    window.resize(windowSize);
    window.move(0, 0);
    auto* child = new QWidget(&window);
    child->setGeometry(childGeometry);
    child->setAutoFillBackground(true);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qFatal("the frame floor's window was never exposed");
    long painted = 0;
    const KernelTicker frames(framesPerSecond, [child, &painted] {
        child->update();
        ++painted;
    });
    char what[96];
    std::snprintf(what, sizeof what, "frame floor: repaint of a %d × %d widget at %.0f/s", childGeometry.width(),
                  childGeometry.height(), framesPerSecond);
    return MeasureFloor(what, ms, painted);
}

}  // namespace taborvane::bench
