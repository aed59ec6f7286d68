#include <cstdio>

#include "compositor_messages.h"
#include "report.h"
#include "window_watch.h"

namespace startup {

namespace {

// How long weston-debug is given to subscribe before the first program starts:
// an idle compositor writes nothing that would tell us it has.
constexpr int kSubscribeMs = 500;

// Weston's timeline debug stream, which `weston-debug timeline` asks for and
// Weston writes straight into our pipe: the moment is the compositor's own time
// stamp of the window's first buffer. The stream does not say which process a
// surface belongs to: the watch relies on only one program running at a time.
class WestonWindowWatch : public WindowWatch {
public:
    WestonWindowWatch() = default;
    ~WestonWindowWatch() override {
        reader_.terminate();
        reader_.waitForFinished();
    }
    WestonWindowWatch(const WestonWindowWatch&) = delete;
    WestonWindowWatch& operator=(const WestonWindowWatch&) = delete;

    // Without --debug, weston-debug says so and ends.
    [[nodiscard]] bool subscribe() {
        reader_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        reader_.start(QStringLiteral("weston-debug"), {QStringLiteral("timeline")});
        return reader_.waitForStarted() && !reader_.waitForFinished(kSubscribeMs);
    }

    void forgetEarlierWindows() override {
        // All the stream holds before the program starts is about earlier windows.
        while (reader_.waitForReadyRead(0)) {
        }
        static_cast<void>(readLines());
        timeline_.watchForNewWindow();
    }

    std::optional<long long> waitForWindow(StartedProgram& program, int timeoutMs) override {
        for (;;) {
            if (const std::optional<long long> moment = readLines()) {
                // The timeline's clock must be ours: the window came after the start and before we read of it.
                if (*moment >= program.startedAt() && *moment <= taborvane::bench::Now()) return moment;
                std::fprintf(stderr, "weston's timeline is not on this process's CLOCK_MONOTONIC\n");
                return std::nullopt;
            }
            const int left = program.msLeftOf(timeoutMs);
            if (left == 0 || !reader_.waitForReadyRead(left)) return std::nullopt;
        }
    }

private:
    // Gives each complete line to the timeline; the moment, once a line reports it.
    std::optional<long long> readLines() {
        while (reader_.canReadLine()) {
            const QByteArray line = reader_.readLine().trimmed();
            if (auto moment = timeline_.read(std::string_view(line.constData(), static_cast<std::size_t>(line.size()))))
                return moment;
        }
        return std::nullopt;
    }

    QProcess reader_;  // weston-debug
    WestonTimeline timeline_;
};

}  // namespace

std::unique_ptr<WindowWatch> WatchWeston() {
    auto watch = std::make_unique<WestonWindowWatch>();
    return watch->subscribe() ? std::move(watch) : nullptr;
}

}  // namespace startup
