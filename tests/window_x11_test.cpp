// The window on a real X server (Xvfb): the xcb platform plugin, the carried
// fonts and the event loop, driven by real pointer clicks sent through the
// server by xdotool.
#include <QTest>
#include <QTimer>

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>

#include "window/countdown_window.h"

using namespace taborvane::window;

class WindowOnXServerTest : public QObject {
    Q_OBJECT

    static void clickThroughServer(QWidget* widget) {
        const QPoint centre = widget->mapToGlobal(widget->rect().center());
        const int status = QProcess::execute(
            QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(centre.x()),
                                        QString::number(centre.y()), QStringLiteral("click"), QStringLiteral("1")});
        QVERIFY2(status != -2, "xdotool is not installed (package xdotool)");
        QCOMPARE(status, 0);
    }

private slots:
    void realClicksRunTheProgram() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        CountdownWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* display = window.findChild<QLabel*>(QStringLiteral("lblDisplay"));
        QCOMPARE(display->text(), QStringLiteral("777"));
        QCOMPARE(display->font().family(), QStringLiteral("Roboto Condensed"));

        clickThroughServer(window.findChild<QPushButton*>(QStringLiteral("Command1")));
        QTRY_COMPARE_WITH_TIMEOUT(display->text(), QStringLiteral("851"), 5000);
        QVERIFY(window.timerNamed("tmrCountUp")->isEnabled());

        QTimer::singleShot(
            0, &window, [&window] { clickThroughServer(window.findChild<QPushButton*>(QStringLiteral("Cmdexit"))); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(WindowOnXServerTest)
#include "window_x11_test.moc"
