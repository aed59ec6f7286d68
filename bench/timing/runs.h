// The timing probe's runs on the program, each what only the real alarm on a
// real display can show: what each case of modes and paces costs against the
// floors of this platform, the delay from a tick's instant to the frame that
// shows it, how soon a click on Stop takes effect, how the window catches up
// after the main thread stood still, and what the idle window costs.
#pragma once

#include <map>
#include <random>
#include <string>
#include <vector>

#include "measuring.h"
#include "program_under_test.h"

namespace taborvane::bench {

struct FloorResult {
    std::string what;
    Spent spent;
    long woken = 0;  // timer rings or frames
};

struct CaseResult {
    int modes = 0, pace = 0;  // pace in ms
    Spent spent;
    long paints = 0, ticks = 0;
    std::vector<Nanoseconds> delays;  // from a tick's instant to the paint of the first frame after it ran
};

struct ClickResult {
    std::vector<Nanoseconds> delays;  // from the click's posting to its procedure
    int noEffect = 0;                 // trials where Stop had not taken effect after 3 s
    long ticksAfterStop = 0;
};

struct StallResult {
    std::vector<Nanoseconds> toFirstFrame;  // from the end of the block to the first frame after a replayed tick
    std::vector<Nanoseconds> batch;         // from the first tick replayed to the last before that frame
    std::vector<Nanoseconds> replayed;      // ticks run between the block's end and that frame
    int staleFrames = 0;                    // frames after the block, before any tick was replayed
    int noFrame = 0;                        // trials with no such frame within 500 ms
};

struct IdleResult {
    std::string window;
    bool focused = false, stateReached = false;
    Spent spent;
    std::map<std::string, int> events;  // times handled, by "class objectName: type"
};

// A kernel timer (timerfd) wakes the event loop `rate` times a second, doing nothing else.
[[nodiscard]] FloorResult RunWakeFloor(int rate, int ms);
// An empty window of the program's size repaints a child as large as the
// display at every frame of a kernel timer at the screen's rate.
[[nodiscard]] FloorResult RunFrameFloor(const ProgramUnderTest& program, double framesPerSecond, int ms);

[[nodiscard]] CaseResult RunCase(ProgramUnderTest& program, int modes, int pace, int ms, std::mt19937& random);
[[nodiscard]] ClickResult RunClicks(ProgramUnderTest& program, int trials, std::mt19937& random);
[[nodiscard]] StallResult RunStalls(ProgramUnderTest& program, int blockMs, int trials, std::mt19937& random);
[[nodiscard]] IdleResult RunIdle(ProgramUnderTest& program, bool focused, int ms);

}  // namespace taborvane::bench
