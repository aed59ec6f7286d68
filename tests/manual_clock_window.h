// The window on a clock that the test moves by hand.
#pragma once

#include <QTest>
#include <memory>

#include "manual_wake_source.h"
#include "window/countdown_window.h"

namespace taborvane::clock::testing {

// Makes the window and shows it, at its design size unless told another; false when it is never shown.
inline bool ShowOnManualClock(std::unique_ptr<window::CountdownWindow>& window, ManualWakeSource*& clock,
                              QSize size = {}) {
    auto owned = std::make_unique<ManualWakeSource>();
    clock = owned.get();
    window = std::make_unique<window::CountdownWindow>(std::move(owned));
    if (size.isValid()) window->resize(size);
    window->show();
    return QTest::qWaitForWindowExposed(window.get());
}

}  // namespace taborvane::clock::testing
