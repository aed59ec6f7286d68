// The scheduler's alarm on the kernel's monotonic clock: one timerfd, watched
// by the event loop, set to an absolute deadline to the nanosecond. Qt's own
// timers round every wait up to a whole millisecond.
#pragma once

#include <QObject>

#include "tick_scheduler.h"

class QSocketNotifier;

namespace taborvane::clock {

class KernelWakeSource final : public QObject, public WakeSource {
    Q_OBJECT
public:
    explicit KernelWakeSource(QObject* parent = nullptr);
    ~KernelWakeSource() override;

    [[nodiscard]] Nanoseconds now() const override;
    void wakeAt(Nanoseconds deadline) override;
    void cancelWake() override;

private:
    void takeAlarm();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace taborvane::clock
