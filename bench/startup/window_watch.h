// How the start-up watch learns, from outside the program, that the program's
// window has reached the display server: one way for each kind of server,
// behind one interface.
//   inside: the program, through a preloaded probe, once it has painted the window.
//   X11: the X server maps the window (MapNotify), on the watch's clock.
//   Weston: the compositor receives the window's first buffer, on its timeline.
//   sway: sway announces the new window, which it does when the first buffer arrives.
#pragma once

#include <sys/types.h>

#include <optional>

namespace startup {

class WindowWatch {
public:
    virtual ~WindowWatch() = default;

    // Whether the watch reaches its display server.
    [[nodiscard]] virtual bool ready() const = 0;
    // Called right before a program starts: windows reported so far are forgotten.
    virtual void forgetEarlierWindows() = 0;
    // Waits for the titled top-level window of process `pid`, started at
    // `startedAt` (ns on CLOCK_MONOTONIC); the moment it reached the server, on
    // the same clock, or nothing after `timeoutMs`.
    virtual std::optional<long long> waitForWindow(pid_t pid, long long startedAt, int timeoutMs) = 0;
};

}  // namespace startup
