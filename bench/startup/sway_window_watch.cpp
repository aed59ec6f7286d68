#include <QLocalSocket>

#include "compositor_messages.h"
#include "report.h"
#include "window_watch.h"

namespace startup {

namespace {

constexpr int kReplyTimeoutMs = 2000;

// sway's IPC socket, subscribed to window events: sway announces a window as
// "new" when it maps it, which is when the window's first buffer arrives; the
// moment is the watch's clock when the event comes.
class SwayWindowWatch : public WindowWatch {
public:
    [[nodiscard]] bool subscribe() {
        socket_.connectToServer(qEnvironmentVariable("SWAYSOCK"));
        if (!socket_.waitForConnected(kReplyTimeoutMs)) return false;
        socket_.write(Framed({kSwaySubscribe, R"(["window"])"}));
        socket_.flush();
        // Events come only once sway has answered.
        for (;;) {
            pending_ += socket_.readAll();
            while (const std::optional<SwayMessage> reply = TakeSwayMessage(pending_))
                if (reply->type == kSwaySubscribe) return reply->payload.contains("true");
            if (!socket_.waitForReadyRead(kReplyTimeoutMs)) return false;
        }
    }

    void forgetEarlierWindows() override {
        while (socket_.waitForReadyRead(0)) {
        }
        pending_ += socket_.readAll();
        while (TakeSwayMessage(pending_)) {
        }
    }

    std::optional<long long> waitForWindow(StartedProgram& program, int timeoutMs) override {
        for (;;) {
            pending_ += socket_.readAll();
            while (const std::optional<SwayMessage> message = TakeSwayMessage(pending_))
                if (message->type == kSwayWindowEvent && NewWindowPid(message->payload) == program.pid())
                    return taborvane::bench::Now();
            const int left = program.msLeftOf(timeoutMs);
            if (left == 0 || !socket_.waitForReadyRead(left)) return std::nullopt;
        }
    }

private:
    QLocalSocket socket_;
    QByteArray pending_;  // what came of the socket and is not read yet
};

}  // namespace

std::unique_ptr<WindowWatch> WatchSway() {
    auto watch = std::make_unique<SwayWindowWatch>();
    return watch->subscribe() ? std::move(watch) : nullptr;
}

}  // namespace startup
