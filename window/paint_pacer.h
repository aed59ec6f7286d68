// Lets the window paint at most once per frame of its screen, and shows in
// each frame one instant of the ticks: a request to paint that comes between
// frames waits for the next one, which then paints all that became dirty
// meanwhile. The modes may change the display thousands of times a second; a
// screen shows about sixty of them.
#pragma once

#include <QObject>

#include "clock/frame_clock.h"
#include "clock/tick_scheduler.h"

class QWidget;

namespace taborvane::window {

class PaintPacer : public QObject {
    Q_OBJECT
public:
    // Watches the top-level window's requests to paint; frames come from the clock.
    PaintPacer(QWidget& window, clock::TickScheduler& scheduler, clock::FrameClock& frames);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintInSlot();
    void paint();

    QWidget& window_;
    clock::TickScheduler& scheduler_;
    clock::FrameClock& frames_;
    bool deferred_ = false;  // a request to paint waits for the next frame
    bool inSlot_ = false;    // a frame's slot is open: requests paint at once
    bool painting_ = false;  // the frame's own request is under way
};

}  // namespace taborvane::window
