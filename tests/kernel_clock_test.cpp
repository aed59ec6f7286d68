#include <QElapsedTimer>
#include <QTest>

#include <chrono>
#include <thread>

#include "callback_timer.h"
#include "clock/kernel_wake_source.h"

using taborvane::clock::KernelWakeSource;
using taborvane::clock::TickScheduler;
using taborvane::clock::testing::CallbackTimer;

// The timers on the kernel's clock, through the event loop.
class KernelClockTest : public QObject {
    Q_OBJECT

    KernelWakeSource source_;
    TickScheduler scheduler_{source_};

private slots:
    void ticksUntilStopped() {
        CallbackTimer timer(scheduler_);
        int ticks = 0;
        timer.onTick([&ticks] { ++ticks; });
        timer.start(2);
        QVERIFY(timer.isActive());
        QTRY_VERIFY(ticks >= 3);
        timer.stop();
        QVERIFY(!timer.isActive());
        const int stoppedAt = ticks;
        QTest::qWait(20);
        QCOMPARE(ticks, stoppedAt);
    }

    void ticksOwedWhileBusyComeLateNotLost() {
        CallbackTimer timer(scheduler_);
        int ticks = 0;
        timer.onTick([&ticks] { ++ticks; });
        timer.start(5);
        QTRY_VERIFY(ticks >= 1);
        const int before = ticks;
        std::this_thread::sleep_for(std::chrono::milliseconds(52));  // the event loop is busy
        QCoreApplication::processEvents();
        QVERIFY2(ticks - before >= 9, qPrintable(QString::number(ticks - before)));
    }

    void aTickThatStopsTheTimerEndsTheBacklog() {
        CallbackTimer timer(scheduler_);
        int ticks = 0;
        timer.onTick([&] {
            ++ticks;
            timer.stop();
        });
        timer.start(5);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        QCoreApplication::processEvents();
        QCOMPARE(ticks, 1);
        QTest::qWait(20);
        QCOMPARE(ticks, 1);
    }

    void restartingFirstTakesWhatWasOwed() {
        CallbackTimer timer(scheduler_);
        int ticks = 0;
        timer.onTick([&ticks] { ++ticks; });
        QElapsedTimer busy;
        busy.start();
        timer.start(2);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the event loop is busy
        const qint64 elapsedBeforeRestart = busy.nsecsElapsed();
        // As at its own instants: every tick due before the restart, then a whole new interval.
        timer.start(1000);
        QVERIFY2(ticks >= elapsedBeforeRestart / 2'000'000, qPrintable(QString::number(ticks)));
        const int atRestart = ticks;
        QTest::qWait(30);
        QCOMPARE(ticks, atRestart);
    }
};

QTEST_MAIN(KernelClockTest)
#include "kernel_clock_test.moc"
