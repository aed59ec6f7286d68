#include <QApplication>

#include "countdown_window.h"
#include "fonts.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Taborvane"));
    QApplication::setDesktopFileName(QStringLiteral("taborvane"));
    taborvane::window::LoadCarriedFonts();
    taborvane::window::CountdownWindow window;
    window.show();
    return QApplication::exec();
}
