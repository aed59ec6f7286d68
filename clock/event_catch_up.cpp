#include "event_catch_up.h"

#include <QCoreApplication>
#include <QEvent>

namespace taborvane::clock {

EventCatchUp::EventCatchUp(TickScheduler& scheduler, QObject* parent) : QObject(parent), scheduler_(scheduler) {
    QCoreApplication::instance()->installEventFilter(this);
}

EventCatchUp::~EventCatchUp() {
    if (QCoreApplication* application = QCoreApplication::instance()) application->removeEventFilter(this);
}

bool EventCatchUp::eventFilter(QObject* /*receiver*/, QEvent* event) {
    // A paint is part of a frame, which brought the ticks up to date as it began:
    // one frame shows one instant.
    if (event->type() != QEvent::Paint) scheduler_.catchUp();
    return false;
}

}  // namespace taborvane::clock

// Compiled here rather than on its own, where Qt's headers are read already.
#include "moc_event_catch_up.cpp"  // NOLINT(bugprone-suspicious-include): moc's output for event_catch_up.h
