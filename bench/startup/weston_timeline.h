// Weston's timeline debug stream, read one line at a time. The stream names
// each surface once, the first time an event concerns it:
//   { "id":4, "type":"weston_surface", "desc":"top-level window 'Empty' of startup_empty_window" }
// and then refers to it by that number, as when the compositor receives a
// commit with damage, on CLOCK_MONOTONIC:
//   { "T":[2279, 722936223], "N":"core_commit_damage", "ws":4 }
#pragma once

#include <optional>
#include <string_view>

namespace startup {

class WestonTimeline {
public:
    // From now on only a top-level window named after this call counts.
    void watchForNewWindow();
    // The moment (ns on CLOCK_MONOTONIC) the compositor received the first
    // damaged commit, the first buffer, of the first top-level window named
    // since watchForNewWindow(), when `line` reports it; otherwise nothing.
    std::optional<long long> read(std::string_view line);

private:
    bool watching_ = false;
    std::optional<long long> window_;  // its surface's number in the stream
};

}  // namespace startup
