// The value the window ought to show at any instant: the counter itself, on
// its in-memory surface, with the entries typed as the benchmark typed the
// window's, its modes started at the instants the window's clicks took effect,
// and every tick taken at its own instant to the nanosecond, earliest first,
// ties in mode order.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "counter/testing/simulated_counter.h"
#include "modes.h"

namespace taborvane::bench {

class ExactSchedule {
public:
    // `started` in the order of the clicks.
    ExactSchedule(int pace, std::vector<StartedMode> started);

    // The value once every start and tick due by the instant has been taken;
    // instants must not go back.
    [[nodiscard]] const std::string& valueAt(Nanoseconds instant);
    // When each tick of the mode taken so far fell due, in order.
    [[nodiscard]] const std::vector<Nanoseconds>& duesOf(std::size_t mode) const { return dues_[mode]; }

private:
    struct Mode {
        taborvane::testing::MemoryTextBox& pace;
        taborvane::testing::MemoryTextBox& amount;
        const taborvane::testing::MemoryTimer& timer;
        void (frmCountdown::*click)();
        void (frmCountdown::*tick)();
    };

    [[nodiscard]] std::array<Mode, 4> modes();
    // The next tick due by the instant, the earliest, the first mode on a tie.
    [[nodiscard]] std::optional<std::size_t> nextTickBy(Nanoseconds instant) const;
    void start(const StartedMode& started);
    void tick(std::size_t mode);
    // The timer's next tick, one interval after `from`, if it still runs.
    void followOn(std::size_t mode, Nanoseconds from);

    taborvane::testing::SimulatedCounter counter_;
    std::vector<StartedMode> started_;
    std::size_t nextStart_ = 0;
    std::array<std::optional<Nanoseconds>, 4> nextDue_;
    std::array<std::vector<Nanoseconds>, 4> dues_;
};

}  // namespace taborvane::bench
