#include "tick_timer.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <ctime>

namespace taborvane::window {
namespace {

// After the machine sleeps, a fast timer may owe millions of ticks; replaying
// more than this many at once would freeze the window.
constexpr std::uint64_t kMostTicksReplayed = 1000;

timespec ToTimespec(std::int64_t nanoseconds) {
    return {static_cast<time_t>(nanoseconds / 1'000'000'000), static_cast<long>(nanoseconds % 1'000'000'000)};
}

}  // namespace

TickTimer::TickTimer(QObject* parent)
    : QObject(parent), fd_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
    if (fd_ < 0) qFatal("timerfd_create failed: %s", strerror(errno));
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TickTimer::takeExpiredTicks);
}

TickTimer::~TickTimer() {
    delete notifier_;
    close(fd_);
}

void TickTimer::start(std::int32_t milliseconds) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::int64_t interval = std::int64_t{milliseconds} * 1'000'000;
    const std::int64_t first = std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec + interval;
    const itimerspec schedule{ToTimespec(interval), ToTimespec(first)};
    // Setting a schedule also discards the ticks owed under the previous one.
    timerfd_settime(fd_, TFD_TIMER_ABSTIME, &schedule, nullptr);
    active_ = true;
    ++generation_;
}

void TickTimer::stop() {
    const itimerspec disarmed{};
    timerfd_settime(fd_, 0, &disarmed, nullptr);
    active_ = false;
    ++generation_;
}

void TickTimer::takeExpiredTicks() {
    std::uint64_t expired = 0;
    if (read(fd_, &expired, sizeof expired) != static_cast<ssize_t>(sizeof expired)) return;
    const std::uint64_t generation = generation_;
    for (std::uint64_t i = 0; i < std::min(expired, kMostTicksReplayed); ++i) {
        emit timeout();
        // A tick that stopped the timer or gave it a new interval ends the backlog.
        if (generation_ != generation) return;
    }
}

}  // namespace taborvane::window
