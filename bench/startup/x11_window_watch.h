// Watches an X server without a window manager: each window mapped as a child
// of the root is reported, and the program's is known by its _NET_WM_PID and
// a title.
#pragma once

#include <xcb/xcb.h>

#include <string>

#include "window_watch.h"

namespace startup {

class X11WindowWatch : public WindowWatch {
public:
    X11WindowWatch();  // on $DISPLAY
    ~X11WindowWatch() override;
    X11WindowWatch(const X11WindowWatch&) = delete;
    X11WindowWatch& operator=(const X11WindowWatch&) = delete;

    [[nodiscard]] bool ready() const override;
    void forgetEarlierWindows() override {}  // each map is matched by its process
    std::optional<long long> waitForWindow(pid_t pid, long long startedAt, int timeoutMs) override;

private:
    xcb_atom_t atom(const char* name);
    std::string property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type);
    pid_t pidOf(xcb_window_t window);
    std::string title(xcb_window_t window);

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = XCB_ATOM_NONE;
};

}  // namespace startup
