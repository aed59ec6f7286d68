// The design's and the counter's texts, which are UTF-8, as Qt's strings.
#pragma once

#include <QString>
#include <string_view>

namespace taborvane::window {

[[nodiscard]] inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace taborvane::window
