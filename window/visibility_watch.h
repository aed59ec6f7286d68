// Whether the window can be seen: shown, not minimised, and exposed by the
// display server. The frames keep the screen's pace only then; an unseen
// window wakes four times a second. A minimised window counts as unseen even
// where the platform keeps it exposed (offscreen; Wayland, which often cannot tell).
#pragma once

#include <QObject>
#include <QPointer>

#include "clock/frame_clock.h"

class QWidget;
class QWindow;

namespace taborvane::window {

class VisibilityWatch final : public QObject {
    Q_OBJECT
public:
    VisibilityWatch(QWidget& window, clock::FrameClock& frames);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void note();

    QWidget& window_;
    clock::FrameClock& frames_;
    QPointer<QWindow> native_;  // made when the window is first shown; exposure is told to it only
};

}  // namespace taborvane::window
