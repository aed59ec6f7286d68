// A repeating timer on the kernel's monotonic clock (timerfd): its ticks fall
// due at whole multiples of the interval after it was started, to the
// microsecond, and a tick the event loop was too busy to take comes late
// instead of being lost. Qt's own timers round every wait up to a whole
// millisecond and skip the ticks they are late for.
#pragma once

#include <QObject>
#include <cstdint>

class QSocketNotifier;

namespace taborvane::window {

class TickTimer : public QObject {
    Q_OBJECT
public:
    explicit TickTimer(QObject* parent = nullptr);
    ~TickTimer() override;

    // A fresh wait of one interval, then one tick per interval; milliseconds > 0.
    void start(std::int32_t milliseconds);
    void stop();
    [[nodiscard]] bool isActive() const { return active_; }

signals:
    void timeout();

private:
    void takeExpiredTicks();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    bool active_ = false;
    std::uint64_t generation_ = 0;  // changes at every start and stop
};

}  // namespace taborvane::window
