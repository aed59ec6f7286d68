#include <xcb/xcb.h>

#include <poll.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "report.h"
#include "window_watch.h"

namespace startup {

namespace {

template <typename Reply>
using OwnedReply = std::unique_ptr<Reply, decltype(&std::free)>;

// An X server without a window manager: each window mapped as a child of the
// root is reported, and the program's is known by its _NET_WM_PID and a title.
class X11WindowWatch : public WindowWatch {
public:
    X11WindowWatch() : connection_(xcb_connect(nullptr, nullptr)) {
        if (!ready()) return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const uint32_t mask = static_cast<uint32_t>(XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        pidAtom_ = atom("_NET_WM_PID");
        xcb_flush(connection_);
    }
    ~X11WindowWatch() override { xcb_disconnect(connection_); }
    X11WindowWatch(const X11WindowWatch&) = delete;
    X11WindowWatch& operator=(const X11WindowWatch&) = delete;

    [[nodiscard]] bool ready() const { return xcb_connection_has_error(connection_) == 0; }

    // Each map is matched by its process: nothing earlier needs forgetting.
    std::optional<long long> waitForWindow(StartedProgram& program, int timeoutMs) override {
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                const OwnedReply<xcb_generic_event_t> owned(event, &std::free);
                if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY) continue;
                const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
                if (!map->override_redirect && pidOf(map->window) == program.pid() && !title(map->window).empty())
                    return taborvane::bench::Now();
            }
            const int left = program.msLeftOf(timeoutMs);
            if (left == 0 || !ready()) return std::nullopt;
            pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
            poll(&fd, 1, left);
        }
    }

private:
    xcb_atom_t atom(const char* name) {
        const auto cookie = xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name);
        const OwnedReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection_, cookie, nullptr),
                                                        &std::free);
        return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    std::string property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
        const auto cookie = xcb_get_property(connection_, 0, window, name, type, 0, 256);
        const OwnedReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection_, cookie, nullptr),
                                                         &std::free);
        if (!reply) return {};
        return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                           static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
    }

    qint64 pidOf(xcb_window_t window) {
        const std::string value = property(window, pidAtom_, XCB_ATOM_CARDINAL);
        uint32_t pid = 0;
        if (value.size() == sizeof pid) std::memcpy(&pid, value.data(), sizeof pid);
        return pid;
    }

    std::string title(xcb_window_t window) { return property(window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY); }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = XCB_ATOM_NONE;
};

}  // namespace

std::unique_ptr<WindowWatch> WatchX11() {
    auto watch = std::make_unique<X11WindowWatch>();
    return watch->ready() ? std::move(watch) : nullptr;
}

}  // namespace startup
