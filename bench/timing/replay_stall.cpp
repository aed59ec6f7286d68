// Blocks the main thread with a sleep inside a slot, as a stopped process or a
// long stall would, and watches the display's first paint after the ticks it
// owes began to be replayed.
#include "replay_stall.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <thread>

namespace taborvane::bench {
namespace {

// The first paint of the display after ticks were replayed, with the ticks
// run by then; and the paints after the block that came before any.
class FirstPaintAfterReplay : public QObject {
public:
    explicit FirstPaintAfterReplay(const TickWatch& ticks) : ticks_(ticks) {}
    void arm() {
        armed_ = true;
        ticksAtBlockEnd = ticks_.total();
    }
    bool eventFilter(QObject* /*receiver*/, QEvent* event) override {
        if (event->type() != QEvent::Paint || !armed_ || paintedAt != 0) return false;
        if (ticks_.total() == ticksAtBlockEnd) {
            ++staleFrames;
            return false;
        }
        paintedAt = Now();
        ticksThen = ticks_.total();
        lastTickThen = ticks_.lastAt();
        return false;
    }

    Nanoseconds paintedAt = 0, lastTickThen = 0;
    std::uint64_t ticksAtBlockEnd = 0, ticksThen = 0;
    int staleFrames = 0;

private:
    const TickWatch& ticks_;
    bool armed_ = false;
};

}  // namespace

StallResult RunStalls(const StallSetup& setup, int blockMs, int trials) {
    StallResult result;
    result.blockMs = blockMs;
    for (int trial = 0; trial < trials; ++trial) {
        setup.starter.prepare(1);
        setup.starter.startApart(ModesStarted(4), 1, setup.random);
        RunEventLoopFor(300);

        FirstPaintAfterReplay paint(setup.ticks);
        setup.display.installEventFilter(&paint);
        Nanoseconds blockEnd = 0;
        QTimer::singleShot(0, &paint, [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(blockMs));
            blockEnd = Now();
            setup.ticks.mark();
            paint.arm();
        });
        RunEventLoopFor(blockMs + 500);
        setup.display.removeEventFilter(&paint);
        setup.starter.stop();

        result.staleFrames += paint.staleFrames;
        if (paint.paintedAt == 0) {
            ++result.noFrame;
            continue;
        }
        result.toFirstFrame.push_back(paint.paintedAt - blockEnd);
        const long replayed = static_cast<long>(paint.ticksThen - paint.ticksAtBlockEnd);
        result.replayed.push_back(replayed);
        result.batch.push_back(replayed > 0 ? paint.lastTickThen - setup.ticks.firstAt() : 0);
    }
    return result;
}

}  // namespace taborvane::bench
