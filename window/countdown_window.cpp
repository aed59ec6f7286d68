#include "countdown_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>
#include <vector>

#include "accessible_window.h"
#include "clock/kernel_wake_source.h"
#include "counter/modes.h"
#include "display_label.h"
#include "lamp_widget.h"
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
      bindings_(form_, surface_, time_.scheduler(), *this),
      announcer_(*this, time_.scheduler(), [this] { return surface_.shownNumber(); }) {
    ExposeCountdownWindowAsFrame();
    setObjectName(QStringLiteral("frmCountdown"));
    setWindowTitle(ToQString(kTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/taborvane.png")));
    form_.control<DisplayLabel>("lblDisplay").catchUpWith([this] { time_.scheduler().catchUp(); });
    bindings_.form().Form_Load();
    announceWhatChangesTheNumber();
    // After each tick its watchers hear of it, and a mode that stopped itself is announced.
    for (const auto& timer : surface_.timers()) {
        timer->afterEachTick([this, name = ToQString(timer->name())](bool stoppedItself) {
            emit tickRan(name);
            if (stoppedItself) announcer_.request(Announcer::When::AtOnce);
        });
    }
    // A screen reader's user meets a lamp at the button that starts its mode: a lamp takes no focus.
    for (const ModeRow& mode : kModes)
        form_.control<LampWidget>(mode.lamp).tellStateThrough(form_.control<QPushButton>(mode.startButton));
    form_.control<QLineEdit>("txtStart").setFocus();
}

// A screen reader's user hears the number after what may change it or show
// that it holds: a start, Stop, Reset Zero, an edit of the start value (and a
// mode that stops itself, told after its tick); never at a tick of its own.
void CountdownWindow::announceWhatChangesTheNumber() {
    std::vector<std::string_view> buttons{"cmdStop", "cmdReset"};
    for (const ModeRow& mode : kModes) buttons.push_back(mode.startButton);
    for (const std::string_view button : buttons)
        connect(&form_.control<QPushButton>(button), &QPushButton::clicked, this,
                [this] { announcer_.request(Announcer::When::AtOnce); });
    connect(&form_.control<QLineEdit>("txtStart"), &QLineEdit::textChanged, this,
            [this] { announcer_.request(Announcer::When::AfterAPause); });
}

void CountdownWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownBefore_) return;
    shownBefore_ = true;
    // The captions are fitted at the screen's pixel ratio: another screen may have another.
    connect(windowHandle(), &QWindow::screenChanged, this, [this] { form_.place(); });
    // The opening is told once assistive tools listen, after a pause: a screen
    // reader presents the window and its focus first.
    announcer_.requestOnceHeard(Announcer::When::AfterAPause);
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

void CountdownWindow::endProgram() {
    surface_.stopEveryTimer();
    close();
    QCoreApplication::exit(0);
}

}  // namespace taborvane::window

// Compiled here rather than on its own, where Qt's headers are read already.
#include "moc_countdown_window.cpp"  // NOLINT(bugprone-suspicious-include): moc's output for countdown_window.h
