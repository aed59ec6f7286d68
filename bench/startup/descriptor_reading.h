// Reading a socket or a pipe that a watch waits on, a chunk at a time.
#pragma once

#include <string>

namespace startup {

enum class Reading { Nothing, Something, Ended };

// Appends what the descriptor has within the timeout to `pending`; at its end,
// closes it and sets it to -1.
Reading ReadAvailable(int& descriptor, std::string& pending, int timeoutMs);

}  // namespace startup
