#include "paint_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace taborvane::window {

PaintPacer::PaintPacer(QWidget& window, clock::TickScheduler& scheduler, clock::FrameClock& frames)
    : window_(window), scheduler_(scheduler), frames_(frames) {
    connect(&frames_, &clock::FrameClock::frame, this, &PaintPacer::paintInSlot);
    window_.installEventFilter(this);
}

bool PaintPacer::eventFilter(QObject* watched, QEvent* event) {
    // Qt posts one update request to the top-level window for everything that
    // became dirty since it last painted.
    if (watched != &window_ || event->type() != QEvent::UpdateRequest || painting_) return false;
    if (inSlot_ || frames_.takeFrameNow()) {
        paint();
    } else {
        deferred_ = true;
        frames_.requestFrame();
    }
    return true;
}

void PaintPacer::paintInSlot() {
    // What the ticks of this frame changed is painted now, not at the next turn of the event loop.
    inSlot_ = true;
    QCoreApplication::sendPostedEvents(&window_, QEvent::UpdateRequest);
    inSlot_ = false;
    if (deferred_) paint();
}

void PaintPacer::paint() {
    deferred_ = false;
    // No tick between the first widget painted and the last.
    scheduler_.atPresent([this] {
        painting_ = true;
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(&window_, &request);
        painting_ = false;
    });
}

}  // namespace taborvane::window

// Compiled here rather than on its own, where Qt's headers are read already.
#include "moc_paint_pacer.cpp"  // NOLINT(bugprone-suspicious-include): moc's output for paint_pacer.h
