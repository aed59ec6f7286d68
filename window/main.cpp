#include <QApplication>

#include "application_setup.h"
#include "countdown_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taborvane::window::PrepareApplication();
    taborvane::window::CountdownWindow window;
    window.show();
    return QApplication::exec();
}
