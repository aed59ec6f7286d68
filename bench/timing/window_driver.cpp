// Clicks the window's buttons, types into its entries and runs its event loop,
// timing each tick, click and idle while against the clock.
#include "window_driver.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include "event_counters.h"
#include "modes.h"
#include "process_usage.h"

namespace taborvane::bench {

template <typename Widget>
Widget* WindowDriver::find(const char* name) const {
    auto* widget = window_.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no control %s", name);
    return widget;
}

void WindowDriver::type(const char* entry, const char* text) {
    find<QLineEdit>(entry)->setText(QString::fromLatin1(text));
}

void WindowDriver::prepare(int pace, bool together) {
    stop_->click();
    type("txtStart", kStartValue);
    const QByteArray paceText = QByteArray::number(pace);
    for (std::size_t i = 0; i < kModes.size(); ++i) {
        type(kModes[i].pace, paceText.constData());
        type(kModes[i].amount, together ? kAmountsTogether[i] : kAmountAlone);
    }
    RunEventLoopFor(300);  // the edits' repaints are done before the clock starts
}

WindowDriver::WindowDriver(taborvane::window::CountdownWindow& window) : window_(window) {
    for (std::size_t i = 0; i < kModes.size(); ++i) {
        timers_[i] = window.findChild<taborvane::clock::TickTimer*>(QString::fromLatin1(kModes[i].timer));
        if (timers_[i] == nullptr) qFatal("no timer %s", kModes[i].timer);
        QObject::connect(timers_[i], &taborvane::clock::TickTimer::timeout, &window_,
                         [this, i] { ticks_[i].push_back(Now()); });
    }
    // A button emits released just before clicked, after its own repaint: the
    // moment of the click, a few microseconds before the procedure starts the timer.
    for (std::size_t i = 0; i < kModes.size(); ++i)
        QObject::connect(find<QPushButton>(kModes[i].button), &QPushButton::released, &window_,
                         [this, i] { clickedAt_[i] = Now(); });
    stop_ = find<QPushButton>("cmdStop");
    QObject::connect(stop_, &QPushButton::clicked, &window_, [this] { stopTookEffect_ = Now(); });
}

CaseResult WindowDriver::runCase(int pace, bool together, int spreadUs, int caseMs) {
    prepare(pace, together);
    const std::vector<int> modes = together ? std::vector<int>{0, 1, 2, 3} : std::vector<int>{kCountUp};
    for (auto& ticks : ticks_) {
        ticks.clear();
        ticks.reserve(static_cast<std::size_t>(caseMs / pace + 1000));
    }
    clickedAt_.fill(0);
    // Each click waits until the spread has passed since the previous one
    // returned, that is since its mode's timer started.
    Nanoseconds previous = 0;
    for (const int mode : modes) {
        while (previous != 0 && Now() < previous + Nanoseconds{spreadUs} * 1000) {
        }
        QTest::mouseClick(find<QPushButton>(kModes[static_cast<std::size_t>(mode)].button), Qt::LeftButton);
        previous = Now();
    }
    const std::array<Nanoseconds, 4> started = clickedAt_;
    for (const int mode : modes)
        if (started[static_cast<std::size_t>(mode)] == 0)
            qFatal("%s was not clicked", kModes[static_cast<std::size_t>(mode)].button);
    PaintCounter paints;
    auto* display = find<QLabel>("lblDisplay");
    display->installEventFilter(&paints);
    Usage before, after;
    SampleProcess(before);
    const Nanoseconds from = Now();
    RunEventLoopFor(caseMs);
    const Nanoseconds ended = Now();
    SampleProcess(after);
    display->removeEventFilter(&paints);
    stop_->click();

    CaseResult result{pace, together, spreadUs, {}, display->text().toStdString(), {}};
    result.cost = {static_cast<double>(ended - from) / 1e9, after.cpu - before.cpu,
                   (after.voluntary - before.voluntary) + (after.involuntary - before.involuntary), paints.paints};
    for (const int mode : modes) {
        const auto m = static_cast<std::size_t>(mode);
        const Nanoseconds interval = Nanoseconds{pace} * 1'000'000;
        ModeResult r{mode,
                     ticks_[m].size(),
                     static_cast<std::size_t>((ended - started[m]) / interval),
                     static_cast<double>(ended - started[m]) / 1e9,
                     {}};
        // The k-th tick is due k intervals after the click: a lost tick or drift shows as lateness.
        for (std::size_t k = 0; k < ticks_[m].size(); ++k)
            r.lateness.push_back(ticks_[m][k] - (started[m] + static_cast<Nanoseconds>(k + 1) * interval));
        result.modes.push_back(std::move(r));
    }
    return result;
}

ClickResult WindowDriver::runClicks(int trials) {
    ClickResult result;
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> wait(150, 350);
    const QPointF local = QRectF(stop_->rect()).center();
    const QPointF global = stop_->mapToGlobal(local);
    for (int trial = 0; trial < trials; ++trial) {
        prepare(1, true);
        for (auto& ticks : ticks_) ticks.clear();
        for (const ModeNames& mode : kModes) QTest::mouseClick(find<QPushButton>(mode.button), Qt::LeftButton);
        stopTookEffect_ = 0;

        QEventLoop loop;
        QObject::connect(stop_, &QPushButton::clicked, &loop, &QEventLoop::quit);
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        const int delay = wait(random);
        guard.start(delay + 3000);
        auto* press =
            new QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        auto* release =
            new QMouseEvent(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        std::atomic<Nanoseconds> posted{0};
        std::thread poster([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            posted = Now();
            QCoreApplication::postEvent(stop_, press);
            QCoreApplication::postEvent(stop_, release);
        });
        loop.exec();
        poster.join();

        if (stopTookEffect_ == 0) {
            ++result.noEffect;
            stop_->click();
            continue;
        }
        const bool allOff = std::all_of(kModes.begin(), kModes.end(), [this](const ModeNames& mode) {
            return !window_.timerNamed(mode.timer)->isEnabled();
        });
        const bool allInactive = std::none_of(
            timers_.begin(), timers_.end(), [](const taborvane::clock::TickTimer* timer) { return timer->isActive(); });
        if (!allOff || !allInactive) ++result.timersLeftOn;
        result.delays.push_back(stopTookEffect_ - posted);
        RunEventLoopFor(30);
        for (const auto& ticks : ticks_)
            result.ticksAfterStop += static_cast<int>(
                std::count_if(ticks.begin(), ticks.end(), [this](Nanoseconds t) { return t > stopTookEffect_; }));
    }
    return result;
}

IdleResult WindowDriver::runIdle(bool focused, int idleMs) {
    stop_->click();
    auto* entry = find<QLineEdit>("txtStart");
    IdleResult result;
    result.focused = focused;
    std::unique_ptr<QWidget> other;
    if (focused) {
        result.window = "focused, text cursor in the start value";
        window_.activateWindow();
        entry->setFocus();
        result.stateReached = QTest::qWaitForWindowActive(&window_) && QApplication::focusWidget() == entry;
    } else {
        // Another top-level window takes the activation the way a user's
        // click on it would; without a window manager nothing else can.
        result.window = "not focused, another window active";
        other = std::make_unique<QWidget>();
        other->setObjectName(QStringLiteral("otherWindow"));
        other->setWindowTitle(QStringLiteral("Other window"));
        other->setGeometry(1000, 600, 160, 100);
        other->show();
        const bool exposed = QTest::qWaitForWindowExposed(other.get());
        other->activateWindow();
        result.stateReached = exposed && QTest::qWaitForWindowActive(other.get()) && !window_.isActiveWindow();
    }
    RunEventLoopFor(1000);  // let activation and repaints settle

    EventCounter counter;
    qApp->installEventFilter(&counter);
    // The reading of /proc stays outside the window that getrusage measures.
    SampleThreads(result.before);
    SampleProcess(result.before);
    const Nanoseconds start = Now();
    RunEventLoopFor(idleMs);
    result.seconds = static_cast<double>(Now() - start) / 1e9;
    SampleProcess(result.after);
    SampleThreads(result.after);
    qApp->removeEventFilter(&counter);
    result.events = counter.named();
    result.blinkTicks = result.events.count(kBlinkTimer) ? result.events.at(kBlinkTimer) : 0;
    return result;
}

}  // namespace taborvane::bench
