// What the measurements found, one struct a kind of run: the punctuality and
// cost of a case, clicks on Stop, the idle window, and the floors.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "process_usage.h"

namespace taborvane::bench {

struct ModeResult {
    int mode;
    std::size_t ticks;
    std::size_t due;
    double seconds;
    std::vector<Nanoseconds> lateness;
};

// What a case cost while its modes ran.
struct CaseCost {
    double seconds = 0;
    Nanoseconds cpu = 0;  // process CPU time, all threads
    long wakeUps = 0;     // voluntary + involuntary context switches, all threads
    int displayPaints = 0;
};

struct CaseResult {
    int pace;
    bool together;
    int spreadUs;  // the start buttons clicked this far apart; 0: at once
    std::vector<ModeResult> modes;
    std::string endValue;
    CaseCost cost;
};

struct ClickResult {
    std::vector<Nanoseconds> delays;
    int noEffect = 0;        // trials where Stop had not taken effect after 3 s
    int ticksAfterStop = 0;  // ticks delivered after Stop took effect
    int timersLeftOn = 0;    // trials where a timer was still enabled after Stop
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
    double seconds;
    Nanoseconds cpu;
    long wakeUps;
    long woken;  // timer rings or frames
};

}  // namespace taborvane::bench
