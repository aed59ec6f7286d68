#include "kernel_wake_source.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace taborvane::clock {
namespace {

timespec ToTimespec(Nanoseconds nanoseconds) {
    return {static_cast<time_t>(nanoseconds / 1'000'000'000), static_cast<long>(nanoseconds % 1'000'000'000)};
}

}  // namespace

KernelWakeSource::KernelWakeSource(QObject* parent)
    : QObject(parent), fd_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
    if (fd_ < 0) qFatal("timerfd_create failed: %s", strerror(errno));
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &KernelWakeSource::takeAlarm);
}

KernelWakeSource::~KernelWakeSource() {
    delete notifier_;
    close(fd_);
}

Nanoseconds KernelWakeSource::now() const {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return Nanoseconds{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

void KernelWakeSource::wakeAt(Nanoseconds deadline) {
    // A zero time would disarm the timer: a deadline at or before the clock's
    // start rings at its first nanosecond instead.
    const itimerspec alarm{{}, ToTimespec(deadline > 0 ? deadline : 1)};
    timerfd_settime(fd_, TFD_TIMER_ABSTIME, &alarm, nullptr);
}

void KernelWakeSource::cancelWake() {
    const itimerspec disarmed{};
    timerfd_settime(fd_, 0, &disarmed, nullptr);
}

void KernelWakeSource::takeAlarm() {
    // The scheduler sets or cancels the alarm whenever it rings, which also
    // empties the timer: one system call fewer at every wake-up.
    if (ring()) return;
    std::uint64_t expirations = 0;
    [[maybe_unused]] const ssize_t taken = read(fd_, &expirations, sizeof expirations);
}

}  // namespace taborvane::clock

// Compiled here rather than on its own, where Qt's headers are read already.
#include "moc_kernel_wake_source.cpp"  // NOLINT(bugprone-suspicious-include): moc's output for kernel_wake_source.h
