// What the measurements found, one struct a kind of run: the cost and what was
// observed of a case, clicks on Stop, catching up after a stall, the idle
// window, and the floors.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "process_usage.h"

namespace taborvane::bench {

// What was observed of the display, against the exact schedule.
struct ObservationResult {
    long frames = 0, frameDifferences = 0;
    long queries = 0, queryDifferences = 0;  // an assistive tool's questions
    std::vector<Nanoseconds> delays;         // from a tick's due instant to the first frame showing it
    std::string firstDifference;             // empty: none
};

// What a case cost while its modes ran, with no assistive tool asking.
struct CaseCost {
    Spent spent;
    long displayPaints = 0;
    long ticks = 0;
};

struct CaseResult {
    int modes;
    int pace;  // ms
    CaseCost cost;
    ObservationResult seen;
};

struct ClickResult {
    std::vector<Nanoseconds> delays;
    int noEffect = 0;        // trials where Stop had not taken effect after 3 s
    int ticksAfterStop = 0;  // ticks delivered after Stop took effect
    int timersLeftOn = 0;    // trials where a timer was still enabled after Stop
};

// The main thread blocked while four modes run at 1 ms, then catching up.
struct StallResult {
    int blockMs = 0;
    std::vector<Nanoseconds> toFirstFrame;  // from the end of the block to the first frame after a replayed tick
    std::vector<Nanoseconds> batch;         // from the first tick replayed to the last before that frame
    std::vector<long> replayed;             // ticks run between the block's end and that frame
    int staleFrames = 0;                    // frames painted after the block, before any tick was replayed
    int noFrame = 0;                        // trials with no such frame within 500 ms of the block's end
};

// Names of events handled while idle ("class objectName: type", as EventCounter
// names them). The entry's cursor blinks on a timer of its line control.
inline const std::string kBlinkTimer = "QWidgetLineControl: Timer";
// The timer that ends RunEventLoopFor's wait.
inline const std::string kEndOfWaitTimer = "QTimer benchEndOfWait: Timer";

struct IdleResult {
    std::string window;
    bool focused = false;
    bool stateReached = false;
    double seconds = 0;
    Usage before, after;
    std::map<std::string, int> events;  // times handled, by receiver and type
    int blinkTicks = 0;                 // timer events of the focused entry's cursor
};

struct FloorResult {
    std::string what;
    Spent spent;
    long woken;  // timer rings or frames
};

}  // namespace taborvane::bench
