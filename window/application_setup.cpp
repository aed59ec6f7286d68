#include "application_setup.h"

#include <QApplication>

#include "fonts.h"

namespace taborvane::window {

void PrepareApplication() {
    QApplication::setApplicationName(QStringLiteral("Taborvane"));
    QApplication::setDesktopFileName(QStringLiteral("org.taborvane.Taborvane"));
    LoadCarriedFonts();
}

}  // namespace taborvane::window
