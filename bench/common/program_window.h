// How a probe preloaded into the program reaches its window: by the design's
// names only, so that any build's program serves unchanged. A name the window
// lacks ends the program at once: the probe cannot measure without it.
#pragma once

#include <QString>
#include <QWidget>

namespace taborvane::bench {

// The program's window, once it is shown and exposed.
[[nodiscard]] QWidget& ShownProgramWindow();

// The window's child of that name and type; never null.
template <typename T>
[[nodiscard]] T* Named(const QWidget& window, const char* name) {
    auto* found = window.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) qFatal("probe: the window has no %s", name);
    return found;
}

}  // namespace taborvane::bench
