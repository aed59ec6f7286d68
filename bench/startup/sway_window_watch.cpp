#include "sway_window_watch.h"

#include "descriptor_reading.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "report.h"

namespace startup {

namespace {

// sway's IPC, as i3's: "i3-ipc", the payload's length and the message's type
// (both 32 bits, in the machine's order), then the payload.
constexpr std::string_view kMagic = "i3-ipc";
constexpr std::size_t kHeaderSize = kMagic.size() + 2 * sizeof(uint32_t);
constexpr uint32_t kSubscribe = 2;
constexpr uint32_t kWindowEvent = 0x80000003;  // events have the high bit set
constexpr int kReplyTimeoutMs = 2000;

std::string Frame(uint32_t type, std::string_view payload) {
    const auto length = static_cast<uint32_t>(payload.size());
    std::string message(kMagic);
    message.append(reinterpret_cast<const char*>(&length), sizeof length);
    message.append(reinterpret_cast<const char*>(&type), sizeof type);
    message.append(payload);
    return message;
}

}  // namespace

std::optional<long long> NewWindowPid(std::string_view windowEvent) {
    const QJsonObject event =
        QJsonDocument::fromJson(QByteArray(windowEvent.data(), static_cast<qsizetype>(windowEvent.size()))).object();
    if (event.value(QLatin1String("change")).toString() != QLatin1String("new")) return std::nullopt;
    const QJsonValue pid = event.value(QLatin1String("container")).toObject().value(QLatin1String("pid"));
    if (!pid.isDouble()) return std::nullopt;
    return pid.toInteger();
}

SwayWindowWatch::SwayWindowWatch() {
    const char* path = std::getenv("SWAYSOCK");
    sockaddr_un address{};
    if (path == nullptr || std::strlen(path) >= sizeof address.sun_path) return;
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path);
    socket_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0) return;
    if (connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return;
    const std::string subscribe = Frame(kSubscribe, R"(["window"])");
    if (write(socket_, subscribe.data(), subscribe.size()) != static_cast<ssize_t>(subscribe.size())) return;
    // Events come only once sway has answered.
    const long long deadline = taborvane::bench::Now() + kReplyTimeoutMs * 1'000'000LL;
    while (!subscribed_) {
        const long long left = (deadline - taborvane::bench::Now()) / 1'000'000;
        if (left <= 0 || ReadAvailable(socket_, pending_, static_cast<int>(left)) == Reading::Ended) return;
        while (const std::optional<Message> reply = takeMessage())
            if (reply->type == kSubscribe) subscribed_ = reply->payload.find("true") != std::string::npos;
    }
}

SwayWindowWatch::~SwayWindowWatch() {
    if (socket_ >= 0) close(socket_);
}

bool SwayWindowWatch::ready() const { return socket_ >= 0 && subscribed_; }

void SwayWindowWatch::forgetEarlierWindows() {
    while (ReadAvailable(socket_, pending_, 0) == Reading::Something) {
    }
    while (takeMessage()) {
    }
}

std::optional<long long> SwayWindowWatch::waitForWindow(pid_t pid, long long startedAt, int timeoutMs) {
    const long long deadline = startedAt + timeoutMs * 1'000'000LL;
    for (;;) {
        while (const std::optional<Message> message = takeMessage())
            if (message->type == kWindowEvent && NewWindowPid(message->payload) == pid) return taborvane::bench::Now();
        const long long left = deadline - taborvane::bench::Now();
        if (left <= 0 || ReadAvailable(socket_, pending_, static_cast<int>(left / 1'000'000) + 1) == Reading::Ended)
            return std::nullopt;
    }
}

std::optional<SwayWindowWatch::Message> SwayWindowWatch::takeMessage() {
    if (pending_.size() < kHeaderSize) return std::nullopt;
    if (pending_.compare(0, kMagic.size(), kMagic) != 0) {
        close(socket_);
        socket_ = -1;
        pending_.clear();
        return std::nullopt;
    }
    uint32_t length = 0;
    uint32_t type = 0;
    std::memcpy(&length, pending_.data() + kMagic.size(), sizeof length);
    std::memcpy(&type, pending_.data() + kMagic.size() + sizeof length, sizeof type);
    if (pending_.size() < kHeaderSize + length) return std::nullopt;
    Message message{type, pending_.substr(kHeaderSize, length)};
    pending_.erase(0, kHeaderSize + length);
    return message;
}

}  // namespace startup
