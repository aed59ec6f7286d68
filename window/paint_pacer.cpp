#include "paint_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace taborvane::window {

PaintPacer::PaintPacer(QWidget& window, clock::FrameClock& frames) : window_(window), frames_(frames) {
    connect(&frames_, &clock::FrameClock::frame, this, &PaintPacer::paintDeferred);
    window_.installEventFilter(this);
}

bool PaintPacer::eventFilter(QObject* watched, QEvent* event) {
    // Qt posts one update request to the top-level window for everything that
    // became dirty since it last painted.
    if (watched != &window_ || event->type() != QEvent::UpdateRequest || passing_) return false;
    deferred_ = false;
    if (frames_.takeFrameNow()) return false;
    deferred_ = true;
    frames_.requestFrame();
    return true;
}

void PaintPacer::paintDeferred() {
    if (!deferred_) return;
    deferred_ = false;
    passing_ = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&window_, &request);
    passing_ = false;
}

}  // namespace taborvane::window
