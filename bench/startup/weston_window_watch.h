// Watches Weston through its timeline debug stream, which `weston-debug
// timeline` asks for and Weston writes straight into our pipe: the moment is
// the compositor's own time stamp of the window's first buffer. Weston must
// run with --debug. The stream does not say which process a surface belongs
// to: the watch relies on only one program running at a time.
#pragma once

#include <string>

#include "weston_timeline.h"
#include "window_watch.h"

namespace startup {

class WestonWindowWatch : public WindowWatch {
public:
    WestonWindowWatch();            // on $WAYLAND_DISPLAY
    ~WestonWindowWatch() override;  // ends weston-debug
    WestonWindowWatch(const WestonWindowWatch&) = delete;
    WestonWindowWatch& operator=(const WestonWindowWatch&) = delete;

    [[nodiscard]] bool ready() const override;
    void forgetEarlierWindows() override;
    std::optional<long long> waitForWindow(pid_t pid, long long startedAt, int timeoutMs) override;

private:
    // Gives each complete line of pending_ to the timeline; the moment, once a line reports it.
    std::optional<long long> readLines();

    pid_t reader_ = 0;  // weston-debug
    int stream_ = -1;
    std::string pending_;  // what came of the stream and is not read yet
    WestonTimeline timeline_;
};

}  // namespace startup
