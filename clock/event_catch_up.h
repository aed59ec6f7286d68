// Brings the ticks up to date before the program handles any event: input,
// a question of an assistive tool over the bus, a close, a timer of Qt's own.
// Whatever the event shows or does then sees every tick due by then, and
// none due later.
#pragma once

#include <QObject>

#include "tick_scheduler.h"

namespace taborvane::clock {

class EventCatchUp final : public QObject {
    Q_OBJECT
public:
    // Watches every event of the application's thread.
    explicit EventCatchUp(TickScheduler& scheduler, QObject* parent = nullptr);
    ~EventCatchUp() override;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    TickScheduler& scheduler_;
};

}  // namespace taborvane::clock
