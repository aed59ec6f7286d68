// A mode's repeating timer: its ticks fall due at whole multiples of the
// interval after it was started, to the nanosecond, and each runs as if at its
// own instant, though the scheduler may run it later, together with others, when
// someone could observe it. Qt's own timers round every wait up to a whole
// millisecond and skip the ticks they are late for.
#pragma once

#include <QObject>
#include <cstdint>

#include "tick_scheduler.h"

namespace taborvane::clock {

class TickTimer : public QObject, private TickScheduler::Timer {
    Q_OBJECT
public:
    explicit TickTimer(TickScheduler& scheduler, QObject* parent = nullptr);

    // A fresh wait of one interval from the present instant, then one tick per interval; milliseconds > 0.
    void start(std::int32_t milliseconds);
    void stop() { stopRepeating(); }
    [[nodiscard]] bool isActive() const { return isRepeating(); }

signals:
    void timeout();

private:
    void tick() override { emit timeout(); }
};

}  // namespace taborvane::clock
