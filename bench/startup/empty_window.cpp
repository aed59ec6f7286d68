// The smallest Qt Widgets program with a window: an empty, titled QWidget.
// The start-up benchmark measures the program against it from outside.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty"));
    window.show();
    return QApplication::exec();
}
