// Starts a case's modes the way a person does: the entries typed first, then
// one start button clicked after another, apart, at unrelated phases.
#pragma once

#include <array>
#include <random>
#include <span>
#include <vector>

#include "modes.h"
#include "window/countdown_window.h"

class QPushButton;

namespace taborvane::bench {

class ModeStarter {
public:
    explicit ModeStarter(taborvane::window::CountdownWindow& window);

    // Stops every mode and types the start value, the pace into each mode's
    // pace entry and its amount, then lets the repaints settle.
    void prepare(int pace);
    // Clicks the modes' start buttons in order, each 250 µs plus a random part
    // of a pace after the previous one took effect, running the event loop
    // meanwhile.
    std::vector<StartedMode> startApart(std::span<const int> modes, int pace, std::mt19937& random);
    void stop();
    [[nodiscard]] QPushButton& stopButton() const { return *stop_; }

private:
    void type(const char* entry, const char* text);

    taborvane::window::CountdownWindow& window_;
    QPushButton* stop_;
    std::array<Nanoseconds, 4> startedAt_{};
};

}  // namespace taborvane::bench
