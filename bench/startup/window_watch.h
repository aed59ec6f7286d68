// How the start-up watch learns that a program's window is there: one way for
// each kind of display server, behind one interface.
//   inside: a start-up probe preloaded into the program writes on its standard
//           error the moment the window has been painted.
//   X11: the X server maps the window (MapNotify), on the watch's clock.
//   Weston: the compositor receives the window's first buffer, on its timeline.
//   sway: sway announces the new window, which it does when the first buffer arrives.
#pragma once

#include <memory>
#include <optional>

#include "started_program.h"

namespace startup {

class WindowWatch {
public:
    virtual ~WindowWatch() = default;

    // Whether the watch reads the program's standard error, which is then kept for it.
    [[nodiscard]] virtual bool readsProgramErrors() const { return false; }
    // Called right before a program starts: windows reported so far are forgotten.
    virtual void forgetEarlierWindows() {}
    // Waits for the program's titled top-level window: the moment it reached
    // the server (ns on CLOCK_MONOTONIC), or nothing `timeoutMs` after the start.
    virtual std::optional<long long> waitForWindow(StartedProgram& program, int timeoutMs) = 0;
};

// Each null when it cannot reach its display server.
[[nodiscard]] std::unique_ptr<WindowWatch> WatchFromInside();
[[nodiscard]] std::unique_ptr<WindowWatch> WatchX11();     // $DISPLAY
[[nodiscard]] std::unique_ptr<WindowWatch> WatchWeston();  // $WAYLAND_DISPLAY, Weston run with --debug
[[nodiscard]] std::unique_ptr<WindowWatch> WatchSway();    // $SWAYSOCK

}  // namespace startup
