// A program the start-up watch starts and ends, and what /proc tells about it
// while it runs: its peak resident memory and whether a graphics driver is in
// its memory.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace startup {

struct ProgramToStart {
    std::string label;  // its row in the table
    std::string path;
    std::vector<std::string> environment;  // VAR=VALUE, over the watch's own
};

// Started at construction with its output thrown away; killed and reaped at destruction.
class StartedProgram {
public:
    explicit StartedProgram(const ProgramToStart& program);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    [[nodiscard]] bool started() const { return pid_ > 0; }
    [[nodiscard]] pid_t pid() const { return pid_; }
    [[nodiscard]] long long startedAt() const { return startedAt_; }  // ns on CLOCK_MONOTONIC, just before the spawn

    [[nodiscard]] long long peakResidentKib() const;  // VmHWM; -1 when unreadable
    // Mesa's EGL or a DRI driver, which Qt loads only when it sets up OpenGL.
    [[nodiscard]] bool graphicsDriverMapped() const;

private:
    pid_t pid_ = 0;
    long long startedAt_ = 0;
};

// The watch's own environment with each VAR=VALUE of `overrides` put in place of VAR.
[[nodiscard]] std::vector<std::string> EnvironmentWith(const std::vector<std::string>& own,
                                                       const std::vector<std::string>& overrides);

// Whether a line of /proc/PID/maps names a graphics driver's library.
[[nodiscard]] bool NamesGraphicsDriver(const std::string& mapsLine);

}  // namespace startup
