#include "descriptor_reading.h"

#include <poll.h>
#include <unistd.h>

namespace startup {

Reading ReadAvailable(int& descriptor, std::string& pending, int timeoutMs) {
    if (descriptor < 0) return Reading::Ended;
    pollfd fd{descriptor, POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) <= 0) return Reading::Nothing;
    char buffer[8192];
    const ssize_t count = read(descriptor, buffer, sizeof buffer);
    if (count <= 0) {
        close(descriptor);
        descriptor = -1;
        return Reading::Ended;
    }
    pending.append(buffer, static_cast<std::size_t>(count));
    return Reading::Something;
}

}  // namespace startup
