#include "visibility_watch.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace taborvane::window {

VisibilityWatch::VisibilityWatch(QWidget& window, clock::FrameClock& frames) : window_(window), frames_(frames) {
    window_.installEventFilter(this);
}

bool VisibilityWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_) {
        switch (event->type()) {
        case QEvent::Show:
            if (native_ != window_.windowHandle()) {
                native_ = window_.windowHandle();
                if (native_ != nullptr) native_->installEventFilter(this);
            }
            note();
            break;
        case QEvent::Hide:
        case QEvent::WindowStateChange:
            note();
            break;
        default:
            break;
        }
    } else if (watched == native_ && event->type() == QEvent::Expose) {
        note();
    }
    return false;
}

void VisibilityWatch::note() {
    frames_.setVisible(window_.isVisible() && !window_.isMinimized() && native_ != nullptr && native_->isExposed());
}

}  // namespace taborvane::window

// Compiled here rather than on its own, where Qt's headers are read already.
#include "moc_visibility_watch.cpp"  // NOLINT(bugprone-suspicious-include): moc's output for visibility_watch.h
