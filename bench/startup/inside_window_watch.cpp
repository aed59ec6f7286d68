#include <cstdio>

#include "startup_probe_line.h"
#include "window_watch.h"

namespace startup {

namespace {

// The program's own standard error tells: the probe's line, among whatever Qt writes there.
class InsideWindowWatch : public WindowWatch {
public:
    [[nodiscard]] bool readsProgramErrors() const override { return true; }

    std::optional<long long> waitForWindow(StartedProgram& program, int timeoutMs) override {
        QProcess& process = program.process();
        for (;;) {
            while (process.canReadLine()) {
                long long moment = 0;
                if (std::sscanf(process.readLine().constData(), kProbeLineFormat, &moment) == 1) return moment;
            }
            const int left = program.msLeftOf(timeoutMs);
            if (left == 0 || !process.waitForReadyRead(left)) return std::nullopt;
        }
    }
};

}  // namespace

std::unique_ptr<WindowWatch> WatchFromInside() { return std::make_unique<InsideWindowWatch>(); }

}  // namespace startup
