// A program the start-up watch starts and ends, and what /proc tells about it
// while it runs: its peak resident memory and whether a graphics driver is in
// its memory.
#pragma once

#include <QProcess>
#include <string>
#include <vector>

namespace startup {

struct ProgramToStart {
    std::string label;  // its row in the table
    std::string path;
    std::vector<std::string> environment;  // VAR=VALUE, over the watch's own
};

// Started at construction with its output thrown away, but for its standard
// error when `readErrors` (then the process's read channel); killed and
// reaped at destruction.
class StartedProgram {
public:
    StartedProgram(const ProgramToStart& program, bool readErrors);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    [[nodiscard]] bool started() const { return process_.state() == QProcess::Running; }
    [[nodiscard]] qint64 pid() const { return process_.processId(); }
    [[nodiscard]] long long startedAt() const { return startedAt_; }  // ns on CLOCK_MONOTONIC, just before the start
    // What is left of `timeoutMs` counted from the start, at least 0.
    [[nodiscard]] int msLeftOf(int timeoutMs) const;
    [[nodiscard]] QProcess& process() { return process_; }

    [[nodiscard]] long long peakResidentKib() const;  // VmHWM; -1 when unreadable
    // An EGL vendor's library (Mesa's, say), which Qt loads only when it sets up OpenGL.
    [[nodiscard]] bool graphicsDriverMapped() const;

private:
    QProcess process_;
    long long startedAt_ = 0;
};

// The file names of the graphics drivers' libraries, as glvnd's EGL vendor
// files in these folders declare them, rather than guessed from their names.
[[nodiscard]] std::vector<std::string> EglVendorLibraries(const std::vector<std::string>& folders);
// Whether a line of /proc/PID/maps names one of those libraries (or a later
// version of it), or a GLX vendor's, which glvnd finds by its name.
[[nodiscard]] bool NamesGraphicsDriver(const std::string& mapsLine, const std::vector<std::string>& driverLibraries);

}  // namespace startup
