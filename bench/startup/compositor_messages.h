// What the compositors tell the start-up watch, read apart from the reading
// of their sockets and pipes.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <string_view>

namespace startup {

// Weston's timeline debug stream, read one line at a time. The stream names
// each surface once, the first time an event concerns it:
//   { "id":4, "type":"weston_surface", "desc":"top-level window 'Empty' of startup_empty_window" }
// and then refers to it by that number, as when the compositor receives a
// commit with damage, on CLOCK_MONOTONIC:
//   { "T":[2279, 722936223], "N":"core_commit_damage", "ws":4 }
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

// sway's IPC, as i3's: "i3-ipc", the payload's length and the message's type
// (both 32 bits, in the machine's order), then the payload.
struct SwayMessage {
    std::uint32_t type;
    QByteArray payload;
};
inline constexpr std::uint32_t kSwaySubscribe = 2;
inline constexpr std::uint32_t kSwayWindowEvent = 0x80000003;  // events have the high bit set

[[nodiscard]] QByteArray Framed(const SwayMessage& message);
// The first complete message of `pending`, taken out of it; what does not
// begin as a message is dropped.
[[nodiscard]] std::optional<SwayMessage> TakeSwayMessage(QByteArray& pending);
// The process whose window a window event announces as new; nothing for any other event.
[[nodiscard]] std::optional<long long> NewWindowPid(const QByteArray& windowEvent);

}  // namespace startup
