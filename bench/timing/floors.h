// The floors under the program's costs on this platform: what a bare wake-up of
// the event loop costs, and what a bare repaint of a display-sized widget costs.
#pragma once

#include <QRect>
#include <QSize>

#include "results.h"

namespace taborvane::bench {

// The same event loop woken by a kernel timer, doing nothing else: what a
// wake-up costs here, whatever is done in it.
FloorResult RunWakeFloor(int rate, int ms);

// A window of the program's size whose one child, as large as the display and
// drawing nothing but its background, is repainted every frame: what a frame
// costs here, whatever is drawn in it.
FloorResult RunFrameFloor(const QSize& windowSize, const QRect& childGeometry, int ms);

}  // namespace taborvane::bench
