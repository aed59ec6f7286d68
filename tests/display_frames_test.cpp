// The window on a hand-driven clock: how often it paints while the modes
// tick, how fresh what it paints is, what assistive tools are told, and that
// nothing ticks once the modes are stopped or the program has ended.
#include <QImage>
#include <QTest>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <memory>
#include <vector>

#include "counter/modes.h"
#include "find_control.h"
#include "manual_clock_window.h"
#include "manual_wake_source.h"
#include "window/countdown_window.h"
#include "window/display_label.h"

using namespace taborvane::window;
using namespace taborvane::clock;
using namespace taborvane::clock::testing;

namespace {

using taborvane::kModes;
// Each mode's amount, in mode order, that keeps the value changing at every tick with all four running.
constexpr std::array<const char*, kModes.size()> kAmountsTogether{"2", "4", "-1", "-1"};
constexpr std::size_t kCountUp = taborvane::ModeIndexWhere(&taborvane::ModeRow::timer, "tmrCountUp");

// Records the moment of every paint of any control of the window.
class PaintRecorder : public QObject {
public:
    PaintRecorder(const ManualWakeSource& clock, QLabel& display) : clock_(clock), display_(display) {}
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        if (frames.empty() || frames.back() != clock_.now()) frames.push_back(clock_.now());
        if (receiver == &display_) {
            displayPaints.push_back(clock_.now());
            paintedText = display_.text();
        }
        return false;
    }
    std::vector<Nanoseconds> frames;  // moments at which anything was painted
    std::vector<Nanoseconds> displayPaints;
    QString paintedText;

private:
    const ManualWakeSource& clock_;
    QLabel& display_;
};

}  // namespace

class DisplayFramesTest : public QObject {
    Q_OBJECT

    ManualWakeSource* clock_ = nullptr;  // owned by the window
    std::unique_ptr<CountdownWindow> window_;

    template <typename Widget>
    Widget* find(const char* name) const {
        return FindControl<Widget>(*window_, name);
    }
    QLabel* display() const { return find<QLabel>("lblDisplay"); }
    void type(const char* entry, const QString& text) { find<QLineEdit>(entry)->setText(text); }
    // What happens in a millisecond: the ticks and frames due, then the events they posted.
    void step() {
        clock_->advanceBy(kMillisecond);
        QCoreApplication::processEvents();
    }
    void startModes(int pace, bool together) {
        type("txtStart", QStringLiteral("1000"));
        for (std::size_t i = 0; i < kModes.size(); ++i) {
            if (!together && i != kCountUp) continue;
            type(kModes[i].pace.data(), QString::number(pace));
            type(kModes[i].amount.data(), QString::fromLatin1(together ? kAmountsTogether[i] : "2"));
            QTest::mouseClick(find<QPushButton>(kModes[i].startButton.data()), Qt::LeftButton);
        }
        QCoreApplication::processEvents();
    }
    void countEveryTick() {
        connect(window_.get(), &CountdownWindow::tickRan, this, [this] { ++ticks_; });
    }
    int ticks_ = 0;

private slots:
    void init() {
        QVERIFY(ShowOnManualClock(window_, clock_));
        ticks_ = 0;
    }
    void cleanup() { window_.reset(); }

    void paintsAtMostOncePerFrameAndShowsTheLatestValue_data() {
        QTest::addColumn<int>("pace");
        QTest::addColumn<bool>("together");
        QTest::newRow("four modes at 1 ms") << 1 << true;
        QTest::newRow("count up at 1 ms") << 1 << false;
        QTest::newRow("count up at 10 ms") << 10 << false;
        QTest::newRow("four modes at 47 ms") << 47 << true;
    }
    void paintsAtMostOncePerFrameAndShowsTheLatestValue() {
        QFETCH(int, pace);
        QFETCH(bool, together);
        startModes(pace, together);
        PaintRecorder recorder(*clock_, *display());
        qApp->installEventFilter(&recorder);
        const Nanoseconds period = 16'666'667;  // the offscreen screen's 60 Hz
        const Nanoseconds start = clock_->now();
        // The moment each text on the display appeared, step by step.
        std::vector<std::pair<Nanoseconds, QString>> changes{{start, display()->text()}};
        int checked = 0;
        for (int ms = 1; ms <= 500; ++ms) {
            step();
            const QString now = display()->text();
            if (now != changes.back().second) changes.emplace_back(clock_->now(), now);
            // Whatever was on the display one frame ago is painted by now, or a later value is.
            const Nanoseconds due = clock_->now() - period;
            if (due < start) continue;
            auto shown = std::find_if(changes.rbegin(), changes.rend(),
                                      [&](const auto& change) { return change.second == recorder.paintedText; });
            auto owed =
                std::find_if(changes.rbegin(), changes.rend(), [&](const auto& change) { return change.first <= due; });
            QVERIFY2(shown != changes.rend() && shown.base() >= owed.base(),
                     qPrintable(QStringLiteral("at %1 ms the display shows %2, older than %3")
                                    .arg(ms)
                                    .arg(recorder.paintedText, owed->second)));
            ++checked;
        }
        qApp->removeEventFilter(&recorder);
        QVERIFY(checked > 400);
        QVERIFY(changes.size() > 5);
        for (std::size_t i = 1; i < recorder.frames.size(); ++i)
            QVERIFY2(
                recorder.frames[i] - recorder.frames[i - 1] >= period,
                qPrintable(QStringLiteral("two frames %1 ns apart").arg(recorder.frames[i] - recorder.frames[i - 1])));
        // The value changes at every tick: a frame at the first tick a frame is allowed at.
        const auto expected = static_cast<std::size_t>(500 * kMillisecond / (period + pace * kMillisecond));
        QVERIFY2(recorder.displayPaints.size() >= expected,
                 qPrintable(QStringLiteral("%1 paints").arg(recorder.displayPaints.size())));
    }

    void assistiveToolsGetTheCurrentValueAtAnyMoment() {
        startModes(1, true);
        countEveryTick();
        const Nanoseconds start = clock_->now();
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(display());
        QVERIFY(accessible != nullptr);
        QCOMPARE(accessible->role(), QAccessible::StatusBar);  // what a screen reader reads on asking for the status
        int staleNames = 0;
        for (int ms = 1; ms <= 100; ++ms) {
            clock_->advanceBy(kMillisecond);  // ticks due, and no event to bring them in
            const QString asked = accessible->text(QAccessible::Name);
            // Asking brought in every tick due by now: four modes, one a millisecond.
            QCOMPARE(ticks_, static_cast<int>(4 * ((clock_->now() - start) / kMillisecond)));
            QCOMPARE(asked, display()->text());
            // The name announced to the tools follows at frames only.
            if (display()->accessibleName() != display()->text()) ++staleNames;
            QCoreApplication::processEvents();
        }
        QVERIFY2(staleNames > 50, "the name was announced at every tick");
        QTest::mouseClick(find<QPushButton>("cmdStop"), Qt::LeftButton);
        clock_->advanceBy(20 * kMillisecond);
        QCoreApplication::processEvents();
        QCOMPARE(display()->accessibleName(), display()->text());
    }

    void assistiveToolsHearOfTheValueWhenTheWindowIsSeenAgain() {
        startModes(1, false);
        for (int ms = 0; ms < 50; ++ms) step();
        QCOMPARE(display()->accessibleName(), display()->text());
        window_->showMinimized();
        QCoreApplication::processEvents();
        for (int ms = 0; ms < 500; ++ms) step();
        const QString announcedWhileMinimised = display()->accessibleName();
        window_->showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        for (int ms = 0; ms < 20; ++ms) step();
        QVERIFY(display()->accessibleName() != announcedWhileMinimised);
        QCOMPARE(display()->accessibleName(), display()->text());
    }

    void aNewValueRepaintsOnlyWhatChangedAndShowsItWhole_data() {
        QTest::addColumn<QStringList>("values");  // one entry a frame; values within one frame apart by blanks
        QTest::addColumn<double>("firstScale");   // of the window in the first frame; the rest at the design size
        const auto row = [](const char* name, const QStringList& values, double firstScale = 1.0) {
            QTest::newRow(name) << values << firstScale;
        };
        row("last digit", {"123456789", "123456788"});
        row("carry through the middle", {"123459999", "123460000"});
        row("shorter", {"1000", "999"});
        row("longer, same start", {"12", "12345678"});
        row("shorter, same start", {"12345678", "12"});
        row("sign", {"-4444", "4444", "-4444"});
        row("one glyph each", {"1", "7", "4", "0"});
        // Within one frame, a later value that differs further left than the one before it.
        row("one frame, further left", {"100", "101 99"});
        row("one frame, across a carry", {"1095", "1096 1132"});
        row("one frame, across a sign", {"-15", "-14 15"});
        row("one frame, back and forth", {"5000", "5001 4999 5002"});
        // The glyphs stand further left once the font has shrunk with the window.
        row("after the window shrank", {"777", "778"}, 2.5);
    }
    void aNewValueRepaintsOnlyWhatChangedAndShowsItWhole() {
        QFETCH(QStringList, values);
        QFETCH(double, firstScale);
        if (firstScale != 1.0) {  // shown at that size from the start, so that no paint was ever smaller
            window_.reset();
            QVERIFY(ShowOnManualClock(window_, clock_, (QSizeF(kDesignSize) * firstScale).toSize()));
        }
        const auto nextFrame = [this] {
            clock_->advanceBy(20 * kMillisecond);
            QCoreApplication::processEvents();
        };
        for (const QString& frame : values) {
            for (const QString& value : frame.split(u' ')) type("txtStart", value);
            nextFrame();
            if (window_->size() != kDesignSize) {
                window_->resize(kDesignSize);
                nextFrame();
            }
        }
        // What the window shows, as painted piece by piece, against the display painted whole.
        const QRect area(display()->mapTo(window_.get(), QPoint(0, 0)), display()->size());
        const QImage shown = window_->screen()
                                 ->grabWindow(window_->winId(), area.x(), area.y(), area.width(), area.height())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        const QImage whole = display()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(display()->text(), values.last().section(u' ', -1));
        QCOMPARE(shown.size(), whole.size());
        QVERIFY(shown == whole);
    }

    void anUnseenWindowWakesFourTimesASecond_data() {
        QTest::addColumn<bool>("minimised");  // else hidden
        QTest::newRow("hidden") << false;
        // This platform keeps a minimised window exposed, as Qt on Wayland often must, unable to tell.
        QTest::newRow("minimised") << true;
    }
    void anUnseenWindowWakesFourTimesASecond() {
        QFETCH(bool, minimised);
        startModes(1, true);
        countEveryTick();
        if (minimised)
            window_->showMinimized();
        else
            window_->hide();
        QCoreApplication::processEvents();
        if (minimised) QVERIFY2(window_->windowHandle()->isExposed(), "the platform keeps a minimised window exposed");
        const int wakeUps = clock_->wakeUps();
        for (int ms = 0; ms < 1000; ++ms) step();
        QVERIFY2(clock_->wakeUps() - wakeUps <= 5, qPrintable(QString::number(clock_->wakeUps() - wakeUps)));
        // Shown again, it shows every tick due by then.
        const int before = ticks_;
        window_->showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QVERIFY(ticks_ > before);
        const int shownAt = ticks_;
        for (int ms = 0; ms < 100; ++ms) step();
        QVERIFY2(clock_->wakeUps() - wakeUps <= 5 + 8, qPrintable(QString::number(clock_->wakeUps() - wakeUps)));
        QVERIFY(ticks_ >= shownAt + 4 * 80);
    }

    // However many ticks a batch runs, the display is handed one text: the last.
    void aBatchOfTicksHandsTheDisplayOneText() {
        startModes(1, false);
        countEveryTick();
        auto* label = find<DisplayLabel>("lblDisplay");
        const int handed = label->valuesHanded();
        clock_->advanceBusyBy(1000 * kMillisecond);  // rings once, late: a thousand ticks due
        QCOMPARE(ticks_, 1000);
        QCOMPARE(label->valuesHanded() - handed, 1);
        QCOMPARE(display()->text(), QStringLiteral("3000"));
    }

    // A watcher of the ticks (the benchmarks) hears of each once its procedure
    // has run, by its timer's design name, in the order they ran.
    void aWatcherHearsOfEveryTickAfterItsProcedure() {
        type("txtStart", QStringLiteral("3"));
        for (const char* entry : {"txtinterval", "txtincdown", "txtTimes", "txtTimesamount"})
            type(entry, QStringLiteral("1"));
        QObject watcher;
        QStringList heard;
        connect(window_.get(), &CountdownWindow::tickRan, &watcher, [&](const QString& timer) {
            const bool running = window_->timerNamed(timer.toStdString())->isEnabled();
            heard << timer + (running ? QString() : QStringLiteral(" stopped"));
        });
        QTest::mouseClick(find<QPushButton>("cmdStart"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>("cmdTimes"), Qt::LeftButton);
        clock_->advanceBy(4 * kMillisecond);  // no frame due yet: the ticks run when Stop is clicked
        find<QPushButton>("cmdStop")->click();
        // The countdown's third tick finds the stop value 1 and stops its own timer.
        QCOMPARE(heard, (QStringList{"tmrCountdown", "tmrTimes", "tmrCountdown", "tmrTimes", "tmrCountdown stopped",
                                     "tmrTimes", "tmrTimes"}));
    }

    // Watchers come and go one by one: those left still hear every tick.
    void aWatcherStillHearsWhenAnotherLeaves() {
        startModes(1, false);
        auto leaving = std::make_unique<QObject>();
        int heardByLeaving = 0;
        connect(window_.get(), &CountdownWindow::tickRan, leaving.get(), [&heardByLeaving] { ++heardByLeaving; });
        countEveryTick();
        clock_->advanceBusyBy(100 * kMillisecond);  // count up's first tick at 66 ms, then one a millisecond
        QVERIFY(heardByLeaving > 0);
        QCOMPARE(ticks_, heardByLeaving);
        leaving.reset();  // its connection goes with it
        const int before = ticks_;
        clock_->advanceBusyBy(100 * kMillisecond);
        QCOMPARE(ticks_ - before, 100);
    }

    // A click or an edit that reaches its procedure with no event before it
    // (a screen reader's action, a test's click()) still comes after every
    // tick due by its instant.
    void aClickOrEditWithNoEventBeforeItComesAfterTheTicksDue_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("Stop clicked") << QStringLiteral("cmdStop") << QStringLiteral("1020");
        QTest::newRow("start value typed") << QStringLiteral("txtStart") << QStringLiteral("5");
    }
    void aClickOrEditWithNoEventBeforeItComesAfterTheTicksDue() {
        QFETCH(QString, control);
        QFETCH(QString, shownAfter);
        startModes(1, false);
        countEveryTick();
        clock_->advanceBy(10 * kMillisecond);  // no frame due yet, so no ring: ten ticks owed
        if (control == QLatin1String("cmdStop"))
            find<QPushButton>("cmdStop")->click();
        else
            type("txtStart", QStringLiteral("5"));
        QCOMPARE(ticks_, 10);
        QCOMPARE(display()->text(), shownAfter);
    }

    // Where no assistive tool listens nobody hears the number told, so its
    // telling is never scheduled: a stopped window wakes for nothing.
    void aStoppedWindowWakesForNoAnnouncementNobodyHears() {
        QVERIFY(!QAccessible::isActive());
        startModes(10, false);
        for (int ms = 0; ms < 100; ++ms) step();
        QTest::mouseClick(find<QPushButton>("cmdStop"), Qt::LeftButton);
        const int wakeUps = clock_->wakeUps();
        for (int ms = 0; ms < 2000; ++ms) step();
        // At most the frame that shows the last value.
        QVERIFY2(clock_->wakeUps() <= wakeUps + 1,
                 qPrintable(QStringLiteral("%1 wake-ups after Stop").arg(clock_->wakeUps() - wakeUps)));
    }

    void nothingTicksOnceStoppedOrEnded_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Stop") << QStringLiteral("cmdStop");
        QTest::newRow("Exit") << QStringLiteral("Cmdexit");
        QTest::newRow("closing the window") << QString();
    }
    void nothingTicksOnceStoppedOrEnded() {
        QFETCH(QString, how);
        startModes(1, true);
        countEveryTick();
        for (int ms = 0; ms < 10; ++ms) step();
        // Stopping or ending at 10 ms first brings in every tick due by then.
        if (how.isEmpty())
            window_->close();
        else
            QTest::mouseClick(find<QPushButton>(qPrintable(how)), Qt::LeftButton);
        QCOMPARE(ticks_, 40);
        for (const taborvane::ModeRow& mode : kModes) QVERIFY(!window_->timerNamed(mode.timer)->isEnabled());
        const QString last = display()->text();
        const int wakeUps = clock_->wakeUps();
        for (int ms = 0; ms < 100; ++ms) step();
        QCOMPARE(ticks_, 40);
        QCOMPARE(display()->text(), last);
        QVERIFY(clock_->wakeUps() <= wakeUps + 1);  // at most the frame that shows the last value
    }
};

QTEST_MAIN(DisplayFramesTest)
#include "display_frames_test.moc"
