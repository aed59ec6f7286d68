#include "application_setup.h"

#include <QApplication>

#include "window/fonts.h"

namespace taborvane::app {

void PrepareApplication() {
    QApplication::setApplicationName(QStringLiteral("Taborvane"));
    QApplication::setDesktopFileName(QStringLiteral("org.taborvane.Taborvane"));
    window::LoadCarriedFonts();
}

}  // namespace taborvane::app
