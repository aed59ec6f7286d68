#include "runs.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLineEdit>
#include <QMetaEnum>
#include <QMouseEvent>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <thread>

#include <sys/timerfd.h>
#include <unistd.h>

namespace taborvane::bench {
namespace {

// A kernel timer at a fixed rate, watched by the event loop as the program's own alarm is.
class KernelTicker {
public:
    KernelTicker(double perSecond, std::function<void()> ring)
        : fd_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)), notifier_(fd_, QSocketNotifier::Read) {
        const long period = std::lround(1e9 / perSecond);
        const timespec every{period / 1'000'000'000L, period % 1'000'000'000L};
        const itimerspec alarm{every, every};
        timerfd_settime(fd_, 0, &alarm, nullptr);
        QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this, ring = std::move(ring)] {
            std::uint64_t expired = 0;
            if (read(fd_, &expired, sizeof expired) == static_cast<ssize_t>(sizeof expired)) ring();
        });
    }
    ~KernelTicker() {
        notifier_.setEnabled(false);
        close(fd_);
    }
    KernelTicker(const KernelTicker&) = delete;
    KernelTicker& operator=(const KernelTicker&) = delete;

private:
    int fd_;
    QSocketNotifier notifier_;
};

FloorResult MeasureFloor(std::string what, int ms, const long& woken) {
    RunEventLoopFor(300);
    const long before = woken;
    const UsageMeter meter;
    RunEventLoopFor(ms);
    return {std::move(what), meter.spent(), woken - before};
}

// Counts the events the program handles, by receiver and kind, to tell what woke it.
class EventCounter : public QObject {
public:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        int& times = counts_[{receiver, event->type()}].first;
        if (times++ == 0) {
            const char* type = QMetaEnum::fromType<QEvent::Type>().valueToKey(event->type());
            counts_[{receiver, event->type()}].second =
                std::string(receiver->metaObject()->className()) + (receiver->objectName().isEmpty() ? "" : " ") +
                receiver->objectName().toStdString() + ": " + (type != nullptr ? type : std::to_string(event->type()));
        }
        return false;
    }
    [[nodiscard]] std::map<std::string, int> named() const {
        std::map<std::string, int> named;
        for (const auto& [key, count] : counts_) named[count.second] += count.first;
        return named;
    }

private:
    std::map<std::pair<QObject*, QEvent::Type>, std::pair<int, std::string>> counts_;
};

}  // namespace

FloorResult RunWakeFloor(int rate, int ms) {
    long woken = 0;
    const KernelTicker ticker(rate, [&woken] { ++woken; });
    return MeasureFloor("kernel timer at " + std::to_string(rate) + "/s", ms, woken);
}

FloorResult RunFrameFloor(const ProgramUnderTest& program, double framesPerSecond, int ms) {
    QWidget window;
    window.setObjectName(QStringLiteral("benchFrameFloor"));
    window.resize(program.window().size());
    window.move(0, 0);
    auto* child = new QWidget(&window);
    child->setGeometry(program.display().geometry());
    child->setAutoFillBackground(true);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qFatal("timing probe: the frame floor's window was never exposed");
    long painted = 0;
    const KernelTicker frames(framesPerSecond, [child, &painted] {
        child->update();
        ++painted;
    });
    const QRect box = child->geometry();
    return MeasureFloor("frame floor: repaint of a " + std::to_string(box.width()) + " × " +
                            std::to_string(box.height()) + " widget at " + Fixed(framesPerSecond, 0) + "/s",
                        ms, painted);
}

CaseResult RunCase(ProgramUnderTest& program, int modes, int pace, int ms, std::mt19937& random) {
    program.prepare(pace);
    program.startApart(modes, pace, random);
    const std::uint64_t ticks = program.ticks(), paints = program.paints();
    static_cast<void>(program.takeDelays());
    const UsageMeter meter;
    RunEventLoopFor(ms);
    CaseResult result{modes,
                      pace,
                      meter.spent(),
                      static_cast<long>(program.paints() - paints),
                      static_cast<long>(program.ticks() - ticks),
                      program.takeDelays()};
    program.stop();
    return result;
}

ClickResult RunClicks(ProgramUnderTest& program, int trials, std::mt19937& random) {
    ClickResult result;
    std::uniform_int_distribution<int> wait(150, 350);
    QPushButton& stop = program.stopButton();
    Nanoseconds tookEffect = 0;
    std::uint64_t ticksAtStop = 0;
    // Connected after the window's own binding: the Stop procedure has run.
    const QMetaObject::Connection noting = QObject::connect(&stop, &QPushButton::clicked, &stop, [&] {
        tookEffect = Now();
        ticksAtStop = program.ticks();
    });
    const QPointF local = QRectF(stop.rect()).center();
    const QPointF global = stop.mapToGlobal(local);
    for (int trial = 0; trial < trials; ++trial) {
        program.prepare(1);
        program.startApart(4, 1, random);
        tookEffect = 0;
        QEventLoop loop;
        QObject::connect(&stop, &QPushButton::clicked, &loop, &QEventLoop::quit);
        QTimer::singleShot(3000 + 350, &loop, &QEventLoop::quit);
        // Input arrives from outside: posted to the event queue from another thread.
        auto* press =
            new QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        auto* release =
            new QMouseEvent(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        std::atomic<Nanoseconds> posted{0};
        std::thread poster([&, delay = wait(random)] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            posted = Now();
            QCoreApplication::postEvent(&stop, press);
            QCoreApplication::postEvent(&stop, release);
        });
        loop.exec();
        poster.join();
        if (tookEffect == 0) {
            ++result.noEffect;
            program.stop();
            continue;
        }
        result.delays.push_back(tookEffect - posted);
        RunEventLoopFor(30);
        result.ticksAfterStop += static_cast<long>(program.ticks() - ticksAtStop);
    }
    QObject::disconnect(noting);
    return result;
}

StallResult RunStalls(ProgramUnderTest& program, int blockMs, int trials, std::mt19937& random) {
    StallResult result;
    program.recordDelays(false);  // the batch is timed: nothing but counting in it
    for (int trial = 0; trial < trials; ++trial) {
        program.prepare(1);
        program.startApart(4, 1, random);
        RunEventLoopFor(300);
        bool blocked = false;
        Nanoseconds blockEnd = 0, paintedAt = 0, lastTickThen = 0;
        std::uint64_t ticksAtBlockEnd = 0, ticksThen = 0;
        // The first paint after ticks were replayed, and the paints before any was.
        program.onPaint([&] {
            if (!blocked || paintedAt != 0) return;
            if (program.ticks() == ticksAtBlockEnd) {
                ++result.staleFrames;
                return;
            }
            paintedAt = Now();
            ticksThen = program.ticks();
            lastTickThen = program.lastTickAt();
        });
        // As a stopped process or a long stall would: the main thread stands still inside a slot.
        QTimer::singleShot(0, &program, [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(blockMs));
            blockEnd = Now();
            ticksAtBlockEnd = program.ticks();
            program.mark();
            blocked = true;
        });
        RunEventLoopFor(blockMs + 500);
        program.onPaint(nullptr);
        program.stop();
        if (paintedAt == 0) {
            ++result.noFrame;
            continue;
        }
        result.toFirstFrame.push_back(paintedAt - blockEnd);
        result.replayed.push_back(static_cast<Nanoseconds>(ticksThen - ticksAtBlockEnd));
        result.batch.push_back(lastTickThen - program.firstTickSinceMark());
    }
    program.recordDelays(true);
    return result;
}

IdleResult RunIdle(ProgramUnderTest& program, bool focused, int ms) {
    program.stop();
    QWidget& window = program.window();
    auto* entry = window.findChild<QLineEdit*>(QStringLiteral("txtStart"));
    IdleResult result;
    result.focused = focused;
    std::unique_ptr<QWidget> other;
    if (focused) {
        result.window = "focused, text cursor in the start value";
        window.activateWindow();
        entry->setFocus();
        result.stateReached = QTest::qWaitForWindowActive(&window) && QApplication::focusWidget() == entry;
    } else {
        // Another top-level window takes the activation the way a user's click
        // on it would; without a window manager nothing else can.
        result.window = "not focused, another window active";
        other = std::make_unique<QWidget>();
        other->setObjectName(QStringLiteral("otherWindow"));
        other->setWindowTitle(QStringLiteral("Other window"));
        other->setGeometry(1000, 600, 160, 100);
        other->show();
        const bool exposed = QTest::qWaitForWindowExposed(other.get());
        other->activateWindow();
        result.stateReached = exposed && QTest::qWaitForWindowActive(other.get()) && !window.isActiveWindow();
    }
    RunEventLoopFor(1000);  // activation and repaints settle
    EventCounter counter;
    qApp->installEventFilter(&counter);
    const UsageMeter meter;
    RunEventLoopFor(ms);
    result.spent = meter.spent();
    qApp->removeEventFilter(&counter);
    result.events = counter.named();
    return result;
}

}  // namespace taborvane::bench
