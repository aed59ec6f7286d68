// Watches sway through its IPC socket, subscribed to window events: sway
// announces a window as "new" when it maps it, which is when the window's
// first buffer arrives; the moment is the watch's clock when the event comes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "window_watch.h"

namespace startup {

class SwayWindowWatch : public WindowWatch {
public:
    SwayWindowWatch();  // on $SWAYSOCK
    ~SwayWindowWatch() override;
    SwayWindowWatch(const SwayWindowWatch&) = delete;
    SwayWindowWatch& operator=(const SwayWindowWatch&) = delete;

    [[nodiscard]] bool ready() const override;
    void forgetEarlierWindows() override;
    std::optional<long long> waitForWindow(pid_t pid, long long startedAt, int timeoutMs) override;

private:
    struct Message {
        unsigned type;
        std::string payload;
    };
    // The first complete message in pending_, taken out of it; what does not begin as a message closes the socket.
    std::optional<Message> takeMessage();

    int socket_ = -1;
    bool subscribed_ = false;
    std::string pending_;  // what came of the socket and is not read yet
};

// The process whose window a window event announces as new; nothing for any other event.
[[nodiscard]] std::optional<long long> NewWindowPid(std::string_view windowEvent);

}  // namespace startup
