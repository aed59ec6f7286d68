// The floors under the program's costs on this platform: what a bare wake-up of
// the event loop costs, and what a bare repaint of a display-sized widget costs.
#pragma once

#include <QRect>
#include <QSize>

#include "results.h"

class QWidget;

namespace taborvane::bench {

// The frames a second the program paints at most on the widget's screen: its
// refresh rate, or 60 where the screen tells none or nonsense.
double FramesPerSecondOf(const QWidget& widget);

// The same event loop woken by a kernel timer, doing nothing else: what a
// wake-up costs here, whatever is done in it.
FloorResult RunWakeFloor(int rate, int ms);

// A window of the program's size whose one child, as large as the display and
// drawing nothing but its background, is repainted at every frame of a kernel
// timer at the screen's rate: what the frames cost here, whatever is drawn in them.
FloorResult RunFrameFloor(const QSize& windowSize, const QRect& childGeometry, double framesPerSecond, int ms);

}  // namespace taborvane::bench
