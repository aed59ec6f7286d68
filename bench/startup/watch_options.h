// The start-up watch's command line:
//   startup_watch --inside|--x11|--weston|--sway RUNS WINDOW...
//   WINDOW: --window LABEL [VAR=VALUE...] PROGRAM
// Each VAR=VALUE is put in that program's environment only.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "started_program.h"

namespace startup {

enum class DisplayServerKind { Inside, X11, Weston, Sway };

struct WatchOptions {
    DisplayServerKind server;
    int runs;
    std::vector<ProgramToStart> windows;
};

// Nothing when the line is not of that form.
[[nodiscard]] std::optional<WatchOptions> ReadWatchOptions(const std::vector<std::string>& arguments);

inline constexpr const char* kWatchUsage =
    "usage: startup_watch --inside|--x11|--weston|--sway RUNS --window LABEL [VAR=VALUE...] PROGRAM...";

}  // namespace startup
