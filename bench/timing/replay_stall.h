// How long the window takes to catch up after its main thread was blocked
// while modes ran: a stopped or stalled process owes the ticks of the time it
// stood still, and replays a bounded number of them a timer.
#pragma once

#include <random>

#include "event_counters.h"
#include "mode_starter.h"
#include "results.h"

class QWidget;

namespace taborvane::bench {

struct StallSetup {
    ModeStarter& starter;
    TickWatch& ticks;
    QWidget& display;
    std::mt19937& random;
};

// Each trial starts the four modes at 1 ms apart, blocks the main thread for
// blockMs inside a single-shot slot, and times the catching up until the first
// frame painted after the block.
StallResult RunStalls(const StallSetup& setup, int blockMs, int trials);

}  // namespace taborvane::bench
