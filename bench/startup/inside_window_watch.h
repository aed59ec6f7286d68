// Learns from inside the program when its window is first painted: the
// preloaded start-up probe writes the moment on a pipe that every program
// started by the watch inherits (TABORVANE_STARTUP_PROBE_FD).
#pragma once

#include <string>

#include "window_watch.h"

namespace startup {

class InsideWindowWatch : public WindowWatch {
public:
    InsideWindowWatch();
    ~InsideWindowWatch() override;
    InsideWindowWatch(const InsideWindowWatch&) = delete;
    InsideWindowWatch& operator=(const InsideWindowWatch&) = delete;

    [[nodiscard]] bool ready() const override;
    void forgetEarlierWindows() override;
    std::optional<long long> waitForWindow(pid_t pid, long long startedAt, int timeoutMs) override;

private:
    int reading_ = -1;
    int writing_ = -1;     // left open in every program started
    std::string pending_;  // what came of the pipe and is not read yet
};

}  // namespace startup
