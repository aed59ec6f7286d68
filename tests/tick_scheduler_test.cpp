// The one alarm under the modes' ticks and the frames, on a hand-driven clock.
#include <QTest>

#include <memory>
#include <vector>

#include "callback_timer.h"
#include "clock/frame_clock.h"
#include "clock/tick_scheduler.h"
#include "manual_wake_source.h"

using namespace taborvane::clock;
using namespace taborvane::clock::testing;

namespace {

// One timer on a hand-driven clock, paced by the frames of a 60 Hz screen.
struct PacedTimer {
    ManualWakeSource source;
    TickScheduler scheduler{source};
    FrameClock frames{scheduler, [] { return 60.0; }};
    CallbackTimer timer{scheduler};
    int ticks = 0;
    PacedTimer() {
        timer.onTick([this] { ++ticks; });
    }
};

}  // namespace

class TickSchedulerTest : public QObject {
    Q_OBJECT

private slots:
    void ticksDueTogetherRunInModeOrder_data() {
        QTest::addColumn<QList<int>>("paces");  // ms, one timer a letter from A, made in this order
        QTest::addColumn<int>("horizon");       // ms
        QTest::addColumn<bool>("busy");         // the program wakes once, at the horizon
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("wakeUps");
        QTest::newRow("four at 1 ms: one wake-up an instant")
            << QList<int>{1, 1, 1, 1} << 3 << false << "ABCDABCDABCD" << 3;
        QTest::newRow("mixed paces meet at the even instants")
            << QList<int>{2, 1, 2, 1} << 4 << false << "BDABCDBDABCD" << 4;
        QTest::newRow("mixed paces, all owed at one late wake-up")
            << QList<int>{2, 1, 2, 1} << 4 << true << "BDABCDBDABCD" << 1;
        QTest::newRow("3 and 2 ms meet at 6") << QList<int>{3, 2} << 6 << false << "BABAB" << 4;
        QTest::newRow("the later-made timer waits its turn") << QList<int>{5, 1} << 5 << false << "BBBBAB" << 5;
    }
    void ticksDueTogetherRunInModeOrder() {
        QFETCH(QList<int>, paces);
        QFETCH(int, horizon);
        QFETCH(bool, busy);
        QFETCH(QString, expected);
        QFETCH(int, wakeUps);
        ManualWakeSource source;
        TickScheduler scheduler(source);
        std::vector<std::unique_ptr<CallbackTimer>> timers;
        QString fired;
        for (int i = 0; i < paces.size(); ++i) {
            timers.push_back(std::make_unique<CallbackTimer>(scheduler));
            timers.back()->onTick([&fired, letter = QChar(u'A' + i)] { fired += letter; });
        }
        for (int i = 0; i < paces.size(); ++i) timers[static_cast<std::size_t>(i)]->start(paces[i]);
        if (busy)
            source.advanceBusyBy(horizon * kMillisecond);
        else
            source.advanceTo(horizon * kMillisecond);
        QCOMPARE(fired, expected);
        QCOMPARE(source.wakeUps(), wakeUps);
    }

    void aTickCanStopOrRestartItsOwnTimer_data() {
        QTest::addColumn<bool>("restart");
        QTest::addColumn<QList<int>>("instants");  // ms of every tick over 30 ms, all owed at once after 10 ms
        QTest::newRow("stopped by its first tick") << false << QList<int>{1};
        QTest::newRow("restarted by its first tick: 10 ms from that tick's instant") << true << QList<int>{1, 11, 21};
    }
    void aTickCanStopOrRestartItsOwnTimer() {
        QFETCH(bool, restart);
        QFETCH(QList<int>, instants);
        ManualWakeSource source;
        TickScheduler scheduler(source);
        CallbackTimer timer(scheduler);
        QList<int> ticks;
        timer.onTick([&] {
            ticks << static_cast<int>(scheduler.present() / kMillisecond);
            if (ticks.size() > 1) return;
            if (restart)
                timer.start(10);
            else
                timer.stop();
        });
        timer.start(1);
        source.advanceBusyBy(10 * kMillisecond);  // nine more ticks owed: the first one ends them
        source.advanceTo(30 * kMillisecond);
        QCOMPARE(ticks, instants);
        QCOMPARE(timer.isActive(), restart);
    }

    void aLongSleepReplaysAtMostAThousandTicks() {
        ManualWakeSource source;
        TickScheduler scheduler(source);
        CallbackTimer timer(scheduler);
        int ticks = 0;
        timer.onTick([&ticks] { ++ticks; });
        timer.start(1);
        source.advanceBusyBy(5000 * kMillisecond);
        QCOMPARE(ticks, 1000);
        source.advanceTo(5001 * kMillisecond);
        QCOMPARE(ticks, 1001);  // and goes on at its pace
    }

    void noTickAfterStop() {
        ManualWakeSource source;
        TickScheduler scheduler(source);
        CallbackTimer first(scheduler), second(scheduler);
        int ticks = 0;
        for (CallbackTimer* timer : {&first, &second}) {
            timer->onTick([&ticks] { ++ticks; });
            timer->start(1);
        }
        source.advanceTo(2 * kMillisecond);
        QCOMPARE(ticks, 4);
        first.stop();
        second.stop();
        const int wakeUps = source.wakeUps();
        source.advanceTo(100 * kMillisecond);
        QCOMPARE(ticks, 4);
        QCOMPARE(source.wakeUps(), wakeUps);  // nothing left to wake for
    }

    void framesComeAtMostOncePerRefresh_data() {
        QTest::addColumn<double>("refreshRate");  // as the screen reports it
        QTest::addColumn<qint64>("period");       // ns
        QTest::newRow("60 Hz") << 60.0 << qint64{16'666'667};
        QTest::newRow("144 Hz") << 144.0 << qint64{6'944'444};
        QTest::newRow("no rate reported: 60 a second") << 0.0 << qint64{16'666'667};
        QTest::newRow("nonsense rate: 60 a second") << 1e6 << qint64{16'666'667};
    }
    void framesComeAtMostOncePerRefresh() {
        QFETCH(double, refreshRate);
        QFETCH(qint64, period);
        ManualWakeSource source;
        TickScheduler scheduler(source);
        FrameClock frames(scheduler, [refreshRate] { return refreshRate; });
        QCOMPARE(frames.period(), period);
        std::vector<Nanoseconds> frameTimes;
        connect(&frames, &FrameClock::frame, this, [&] { frameTimes.push_back(source.now()); });

        frames.requestFrame();  // the first frame may come at once
        source.advanceTo(0);
        QCOMPARE(frameTimes.size(), std::size_t{1});
        // Asked for at every millisecond, with no tick to come along with: no
        // two frames within a period, and none more than a period after it was asked for.
        for (Nanoseconds at = 0; at <= 4 * period; at += kMillisecond) {
            source.advanceTo(at);
            frames.requestFrame();
        }
        QVERIFY(frameTimes.size() >= 4);
        for (std::size_t i = 1; i < frameTimes.size(); ++i) {
            QVERIFY(frameTimes[i] - frameTimes[i - 1] >= period);
            QVERIFY(frameTimes[i] - frameTimes[i - 1] <= period + kMillisecond);
        }

        // A frame drawn at once counts: the next one waits a period.
        source.advanceTo(source.now() + 10 * period);
        QVERIFY(frames.takeFrameNow());
        QVERIFY(!frames.takeFrameNow());
        source.advanceBy(period - 1);
        QVERIFY(!frames.takeFrameNow());
        source.advanceBy(1);
        QVERIFY(frames.takeFrameNow());
    }

    void ticksAreBroughtUpToDateOncePerFrame_data() {
        QTest::addColumn<int>("pace");  // ms
        QTest::addColumn<int>("mostWakeUps");
        QTest::newRow("1 ms: a frame's worth of ticks at each frame") << 1 << 7;
        QTest::newRow("10 ms: some frames take one tick, some two") << 10 << 7;
        QTest::newRow("47 ms: each tick at its own instant") << 47 << 3;
    }
    void ticksAreBroughtUpToDateOncePerFrame() {
        QFETCH(int, pace);
        QFETCH(int, mostWakeUps);
        PacedTimer paced;
        auto& [source, scheduler, frames, timer, ticks] = paced;
        std::vector<Nanoseconds> frameTimes;
        connect(&frames, &FrameClock::frame, this, [&] {
            frameTimes.push_back(source.now());
            // Every tick due by the frame has run, and none due later.
            QCOMPARE(ticks, static_cast<int>(source.now() / (pace * kMillisecond)));
        });
        timer.start(pace);
        source.advanceTo(100 * kMillisecond);
        QVERIFY2(source.wakeUps() <= mostWakeUps, qPrintable(QString::number(source.wakeUps())));
        QVERIFY(!frameTimes.empty());
        for (std::size_t i = 1; i < frameTimes.size(); ++i)
            QVERIFY(frameTimes[i] - frameTimes[i - 1] >= frames.period());
        // Whoever looks at 100 ms sees every tick due by then.
        scheduler.catchUp();
        QCOMPARE(ticks, 100 / pace);
        QCOMPARE(scheduler.present(), 100 * kMillisecond);
    }

    void aLateRingKeepsTheFramesCadence() {
        PacedTimer paced;
        auto& [source, scheduler, frames, timer, ticks] = paced;
        std::vector<Nanoseconds> frameTimes;
        connect(&frames, &FrameClock::frame, this, [&] { frameTimes.push_back(source.now()); });
        timer.start(1);
        source.advanceTo(1 * kMillisecond);                        // a frame with the first tick
        source.advanceBusyBy(frames.period() + 3 * kMillisecond);  // the next one 3 ms late
        source.advanceTo(source.now() + frames.period());          // then punctual again
        QCOMPARE(frameTimes.size(), std::size_t{3});
        QCOMPARE(frameTimes[2] - frameTimes[0], 2 * frames.period());
    }

    void aRestartInABatchCountsFromItsTicksInstant() {
        ManualWakeSource source;
        TickScheduler scheduler(source);
        FrameClock frames(scheduler, [] { return 60.0; });
        CallbackTimer fast(scheduler), restarted(scheduler);
        QList<int> instants;  // ms
        restarted.onTick([&] {
            instants << static_cast<int>(scheduler.present() / kMillisecond);
            if (instants.size() == 1) restarted.start(7);  // as a first tick that reloads its pace does
        });
        fast.start(1);  // keeps the frames coming: ticks run in batches, up to a frame late
        restarted.start(5);
        source.advanceTo(40 * kMillisecond);
        scheduler.catchUp();
        QCOMPARE(instants, (QList<int>{5, 12, 19, 26, 33, 40}));
    }

    void anActionRunsBetweenTwoTicks() {
        PacedTimer paced;
        auto& [source, scheduler, frames, timer, ticks] = paced;
        timer.start(1);
        source.advanceTo(5 * kMillisecond);  // the first tick at its instant, the next ones wait for a frame
        QCOMPARE(ticks, 1);
        int seen = -1;
        scheduler.atPresent([&] {
            seen = ticks;
            source.advanceBy(3 * kMillisecond);  // time passes while the action runs
            scheduler.catchUp();                 // an event inside the action brings nothing in
            QCOMPARE(ticks, seen);
        });
        QCOMPARE(seen, 5);
        scheduler.catchUp();
        QCOMPARE(ticks, 8);
    }

    void anUnseenWindowWakesFourTimesASecond() {
        PacedTimer paced;
        auto& [source, scheduler, frames, timer, ticks] = paced;
        frames.setVisible(false);
        timer.start(1);
        source.advanceTo(1000 * kMillisecond);
        QVERIFY2(source.wakeUps() <= 4, qPrintable(QString::number(source.wakeUps())));
        QVERIFY(ticks >= 750);  // never more than a quarter of a second owed, far below what would be dropped
        const int wakeUps = source.wakeUps();
        frames.setVisible(true);  // the first frame comes at once
        source.advanceTo(source.now());
        QCOMPARE(source.wakeUps(), wakeUps + 1);
        scheduler.catchUp();
        QCOMPARE(ticks, static_cast<int>(scheduler.present() / kMillisecond));
    }

    void anIdleClockNeverWakes() {
        ManualWakeSource source;
        TickScheduler scheduler(source);
        FrameClock frames(scheduler, [] { return 60.0; });
        source.advanceTo(10'000 * kMillisecond);
        QCOMPARE(source.wakeUps(), 0);
    }
};

QTEST_MAIN(TickSchedulerTest)
#include "tick_scheduler_test.moc"
