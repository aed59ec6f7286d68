// A mode's repeating timer on the window's scheduler: its ticks fall due at
// whole multiples of the interval after it was started, to the nanosecond,
// and a tick the event loop was too busy to take comes late instead of being
// lost. Qt's own timers round every wait up to a whole millisecond and skip
// the ticks they are late for.
#pragma once

#include <QObject>
#include <cstdint>

#include "tick_scheduler.h"

namespace taborvane::clock {

class TickTimer : public QObject, private TickScheduler::Client {
    Q_OBJECT
public:
    explicit TickTimer(TickScheduler& scheduler, QObject* parent = nullptr);

    // A fresh wait of one interval, then one tick per interval; milliseconds > 0.
    void start(std::int32_t milliseconds);
    void stop() { stopWaiting(); }
    [[nodiscard]] bool isActive() const { return isWaiting(); }

signals:
    void timeout();

private:
    void fire() override { emit timeout(); }
};

}  // namespace taborvane::clock
