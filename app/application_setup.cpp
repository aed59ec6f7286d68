#include "application_setup.h"

#include <QApplication>

namespace taborvane::app {

void PrepareApplication() {
    QApplication::setApplicationName(QStringLiteral("Taborvane"));
    QApplication::setDesktopFileName(QStringLiteral("org.taborvane.Taborvane"));
}

}  // namespace taborvane::app
