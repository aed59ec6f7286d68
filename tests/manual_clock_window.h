// The window on a clock that the test moves by hand.
#pragma once

#include <QTest>
#include <memory>

#include "manual_wake_source.h"
#include "window/countdown_window.h"

namespace taborvane::clock::testing {

// Makes the window and shows it; false when it is never shown.
inline bool ShowOnManualClock(std::unique_ptr<window::CountdownWindow>& window, ManualWakeSource*& clock) {
    auto owned = std::make_unique<ManualWakeSource>();
    clock = owned.get();
    window = std::make_unique<window::CountdownWindow>(std::move(owned));
    window->show();
    return QTest::qWaitForWindowExposed(window.get());
}

}  // namespace taborvane::clock::testing
