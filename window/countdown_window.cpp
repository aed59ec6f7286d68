#include "countdown_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QLineEdit>
#include <QMetaMethod>

#include "accessible_window.h"
#include "clock/kernel_wake_source.h"
#include "display_label.h"
#include "qt_text.h"

namespace taborvane::window {

CountdownWindow::CountdownWindow(QWidget* parent)
    : CountdownWindow(std::make_unique<clock::KernelWakeSource>(), parent) {}

// The design texts go in before any edit is bound: creating the window runs no Change procedure.
CountdownWindow::CountdownWindow(std::unique_ptr<clock::WakeSource> wakeSource, QWidget* parent)
    : QWidget(parent),
      time_(*this, std::move(wakeSource)),
      form_(*this),
      surface_(form_, time_.scheduler(), [this] { endProgram(); }),
      bindings_(form_, surface_, time_.scheduler(), *this) {
    ExposeCountdownWindowAsFrame();
    setObjectName(QStringLiteral("frmCountdown"));
    setWindowTitle(ToQString(kTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/taborvane.png")));
    form_.control<DisplayLabel>("lblDisplay").beforeRead([this] { time_.bringTicksUpToDate(); });
    bindings_.form().Form_Load();
    form_.control<QLineEdit>("txtStart").setFocus();
}

CountdownWindow::~CountdownWindow() { surface_.stopEveryTimer(); }

void CountdownWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    form_.place();
}

bool CountdownWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // The captions' size is fitted to the style's frames at the screen's pixel
    // ratio, as well as to the window's size.
    switch (event->type()) {
    case QEvent::StyleChange:
    case QEvent::ScreenChangeInternal:  // another screen: before Qt 6.6, the only word of a new ratio
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    case QEvent::DevicePixelRatioChange:
#endif
        form_.place();
        break;
    default:
        break;
    }
    return handled;
}

void CountdownWindow::closeEvent(QCloseEvent* event) {
    // Closing the only window ends the program: no tick may follow.
    surface_.stopEveryTimer();
    event->accept();
}

void CountdownWindow::connectNotify(const QMetaMethod& signal) {
    if (signal == QMetaMethod::fromSignal(&CountdownWindow::tickRan)) watchTicks(true);
}

void CountdownWindow::disconnectNotify(const QMetaMethod& signal) {
    // An invalid signal: everything was disconnected at once.
    if (!signal.isValid() || signal == QMetaMethod::fromSignal(&CountdownWindow::tickRan))
        watchTicks(isSignalConnected(QMetaMethod::fromSignal(&CountdownWindow::tickRan)));
}

void CountdownWindow::watchTicks(bool watched) {
    for (const auto& timer : surface_.timers()) {
        if (watched)
            timer->afterEachTick([this, name = ToQString(timer->name())] { emit tickRan(name); });
        else
            timer->afterEachTick({});
    }
}

void CountdownWindow::endProgram() {
    surface_.stopEveryTimer();
    close();
    QCoreApplication::exit(0);
}

}  // namespace taborvane::window
