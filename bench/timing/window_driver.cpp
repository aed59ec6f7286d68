// Clicks the window's buttons, types into its entries and runs its event loop,
// measuring each case, click and idle while against the clock.
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
#include <thread>

#include "clock/tick_timer.h"
#include "observation_check.h"
#include "replay_stall.h"
#include "tests/find_control.h"
#include "ticks_instant.h"

namespace taborvane::bench {

WindowDriver::WindowDriver(taborvane::window::CountdownWindow& window)
    : window_(window),
      starter_(window),
      ticks_(window),
      recorder_(*FindControl<QLabel>(window, "lblDisplay"), ticks_, [&window] { return TicksUpTo(window); }) {
    QObject::connect(&starter_.stopButton(), &QPushButton::clicked, &window_, [this] {
        stopTookEffect_ = Now();
        ticksAtStop_ = ticks_.total();
    });
}

CaseResult WindowDriver::runCase(int modes, int pace, int caseMs, int queryMs) {
    starter_.prepare(pace);
    recorder_.start();
    const std::vector<StartedMode> started = starter_.startApart(ModesStarted(modes), pace, random_);

    const std::uint64_t ticksBefore = ticks_.total();
    const std::size_t framesBefore = recorder_.frames();
    UsageMeter meter;
    meter.start();
    RunEventLoopFor(caseMs);
    CaseResult result{modes, pace, {meter.stop(), 0, 0}, {}};
    result.cost.displayPaints = static_cast<long>(recorder_.frames() - framesBefore);
    result.cost.ticks = static_cast<long>(ticks_.total() - ticksBefore);

    recorder_.askEvery(kQueryEveryMs);
    RunEventLoopFor(queryMs);
    recorder_.stop();
    starter_.stop();
    result.seen = CheckObservations(recorder_.seen(), pace, started);
    return result;
}

ClickResult WindowDriver::runClicks(int trials) {
    ClickResult result;
    std::uniform_int_distribution<int> wait(150, 350);
    QPushButton& stop = starter_.stopButton();
    const QPointF local = QRectF(stop.rect()).center();
    const QPointF global = stop.mapToGlobal(local);
    for (int trial = 0; trial < trials; ++trial) {
        starter_.prepare(1);
        starter_.startApart(ModesStarted(4), 1, random_);
        stopTookEffect_ = 0;

        QEventLoop loop;
        QObject::connect(&stop, &QPushButton::clicked, &loop, &QEventLoop::quit);
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        const int delay = wait(random_);
        guard.start(delay + 3000);
        auto* press =
            new QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        auto* release =
            new QMouseEvent(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        std::atomic<Nanoseconds> posted{0};
        std::thread poster([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            posted = Now();
            QCoreApplication::postEvent(&stop, press);
            QCoreApplication::postEvent(&stop, release);
        });
        loop.exec();
        poster.join();

        if (stopTookEffect_ == 0) {
            ++result.noEffect;
            starter_.stop();
            continue;
        }
        const bool allOff = std::all_of(kModes.begin(), kModes.end(), [this](const ModeNames& mode) {
            return !window_.timerNamed(mode.timer)->isEnabled() &&
                   !FindControl<taborvane::clock::TickTimer>(window_, mode.timer)->isActive();
        });
        if (!allOff) ++result.timersLeftOn;
        result.delays.push_back(stopTookEffect_ - posted);
        RunEventLoopFor(30);
        result.ticksAfterStop += static_cast<int>(ticks_.total() - ticksAtStop_);
    }
    return result;
}

StallResult WindowDriver::runStalls(int blockMs, int trials) {
    return RunStalls({starter_, ticks_, *FindControl<QLabel>(window_, "lblDisplay"), random_}, blockMs, trials);
}

IdleResult WindowDriver::runIdle(bool focused, int idleMs) {
    starter_.stop();
    auto* entry = FindControl<QLineEdit>(window_, "txtStart");
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
    UsageMeter meter;
    meter.start();
    RunEventLoopFor(idleMs);
    result.seconds = meter.stop().seconds;
    result.before = meter.before();
    result.after = meter.after();
    qApp->removeEventFilter(&counter);
    result.events = counter.named();
    result.blinkTicks = result.events.count(kBlinkTimer) ? result.events.at(kBlinkTimer) : 0;
    return result;
}

}  // namespace taborvane::bench
