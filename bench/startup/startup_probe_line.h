// The line the start-up probe writes on the program's standard error, and
// from which the watch reads the moment back.
#pragma once

namespace startup {

inline constexpr const char* kProbeLineFormat = "startup probe: window painted at %lld\n";

}  // namespace startup
