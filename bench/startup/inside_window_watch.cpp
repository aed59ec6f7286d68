#include "inside_window_watch.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "descriptor_reading.h"
#include "report.h"

namespace startup {

InsideWindowWatch::InsideWindowWatch() {
    int ends[2];
    if (pipe(ends) != 0) return;
    reading_ = ends[0];
    writing_ = ends[1];
    fcntl(reading_, F_SETFD, FD_CLOEXEC);
    setenv("TABORVANE_STARTUP_PROBE_FD", std::to_string(writing_).c_str(), 1);
}

InsideWindowWatch::~InsideWindowWatch() {
    if (reading_ >= 0) close(reading_);
    if (writing_ >= 0) close(writing_);
}

bool InsideWindowWatch::ready() const { return reading_ >= 0; }

void InsideWindowWatch::forgetEarlierWindows() {
    while (ReadAvailable(reading_, pending_, 0) == Reading::Something) {
    }
    pending_.clear();
}

std::optional<long long> InsideWindowWatch::waitForWindow(pid_t pid, long long startedAt, int timeoutMs) {
    const long long deadline = startedAt + timeoutMs * 1'000'000LL;
    for (;;) {
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            int from = 0;
            long long moment = 0;
            const bool read = std::sscanf(pending_.c_str(), "%d %lld", &from, &moment) == 2;
            pending_.erase(0, end + 1);
            if (read && from == pid) return moment;
        }
        const long long left = deadline - taborvane::bench::Now();
        if (left <= 0 || ReadAvailable(reading_, pending_, static_cast<int>(left / 1'000'000) + 1) == Reading::Ended)
            return std::nullopt;
    }
}

}  // namespace startup
