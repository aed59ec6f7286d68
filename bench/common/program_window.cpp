#include "program_window.h"

#include <QApplication>
#include <QTest>

namespace taborvane::bench {

QWidget& ShownProgramWindow() {
    QWidget* window = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String("frmCountdown")) window = top;
    if (window == nullptr || !QTest::qWaitForWindowExposed(window)) qFatal("probe: no window was shown");
    return *window;
}

}  // namespace taborvane::bench
