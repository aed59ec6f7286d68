// The live side of choosing a display: the environment as it is, and whether
// a display server answers a connection made the way Qt's platform plugins make it.
#pragma once

#include <optional>
#include <string>

#include "platform_choice.h"

namespace taborvane::window {

// The settings of this process: its environment and the options given on its command line.
[[nodiscard]] DisplaySettings CurrentDisplaySettings(std::optional<std::string> platformOption,
                                                     std::optional<std::string> x11DisplayOption);

// Connects and disconnects at once; prints nothing.
[[nodiscard]] bool ServerAnswers(DisplayServer server, const DisplaySettings& settings);

}  // namespace taborvane::window
