// Lets the window paint at most once per frame of its screen: a request to
// paint that comes sooner waits for the next frame, which then paints all that
// became dirty meanwhile. The modes may change the display thousands of times a
// second; a screen shows about sixty of them.
#pragma once

#include <QObject>

#include "clock/frame_clock.h"

class QWidget;

namespace taborvane::window {

class PaintPacer : public QObject {
    Q_OBJECT
public:
    // Watches the top-level window's requests to paint; frames come from the clock.
    PaintPacer(QWidget& window, clock::FrameClock& frames);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintDeferred();

    QWidget& window_;
    clock::FrameClock& frames_;
    bool deferred_ = false;  // a request to paint waits for the next frame
    bool passing_ = false;   // the frame's own request is under way
};

}  // namespace taborvane::window
