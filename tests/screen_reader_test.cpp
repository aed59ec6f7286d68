// What a screen reader can present of the window, asked of Qt's accessibility
// interfaces and heard from its events on a hand-driven clock: when the number
// is announced and which number, a lamp's state at its mode's button, and every
// entry's text as one whole run.
#include <QTest>
#include <array>

#include <QAccessible>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QtGlobal>
#include <memory>
#include <utility>
#include <vector>

#include "counter/modes.h"
#include "find_control.h"
#include "manual_clock_window.h"
#include "manual_wake_source.h"
#include "window/countdown_window.h"

using namespace taborvane::window;
using namespace taborvane::clock;
using namespace taborvane::clock::testing;

namespace {

struct Heard {
    Nanoseconds at;
    QString text;
    bool operator==(const Heard&) const = default;
};

// For QCOMPARE's message: each announcement with its instant in milliseconds.
char* toString(const std::vector<Heard>& heard) {
    QStringList told;
    for (const Heard& one : heard) told << QStringLiteral("%1 at %2 ms").arg(one.text).arg(one.at / kMillisecond);
    return qstrdup(qPrintable(told.join(QStringLiteral(", "))));
}

// What a screen reader presents without the focus moving: Qt's announcement,
// or on a Qt without one, a notification shown anew.
std::vector<Heard>* gHeard = nullptr;
const CountdownWindow* gWindow = nullptr;  // whose ticks' instant an announcement is made at

void Listen(QAccessibleEvent* event) {
    if (gHeard == nullptr) return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (event->type() == QAccessible::Announcement) {
        gHeard->push_back({gWindow->ticksUpTo(), static_cast<QAccessibleAnnouncementEvent*>(event)->message()});
        return;
    }
#endif
    QAccessibleInterface* source = event->accessibleInterface();
    if (event->type() == QAccessible::ObjectShow && source != nullptr && source->role() == QAccessible::Notification)
        gHeard->push_back({gWindow->ticksUpTo(), source->text(QAccessible::Name)});
}

// A user's step at a moment after the window has settled: a click, a whole
// new text, or keys typed at the end of an entry's selected text.
struct Step {
    int atMs;
    enum { Click, SetText, Type } kind;
    const char* control;
    const char* text = "";
};
using Steps = std::vector<Step>;
using Expected = std::vector<std::pair<int, QString>>;  // ms, the number told

}  // namespace

class ScreenReaderTest : public QObject {
    Q_OBJECT

    ManualWakeSource* clock_ = nullptr;  // owned by the window
    std::unique_ptr<CountdownWindow> window_;
    std::vector<Heard> heard_;

    template <typename Widget>
    Widget* find(const char* name) const {
        return FindControl<Widget>(*window_, name);
    }
    void advanceTo(Nanoseconds moment) {
        while (clock_->now() < moment) {
            clock_->advanceTo(std::min(moment, clock_->now() + kMillisecond));
            QCoreApplication::processEvents();
        }
    }
    void perform(const Step& step) {
        switch (step.kind) {
        case Step::Click:
            QTest::mouseClick(find<QPushButton>(step.control), Qt::LeftButton);
            break;
        case Step::SetText:
            find<QLineEdit>(step.control)->setText(QString::fromUtf8(step.text));
            break;
        case Step::Type:
            QTest::keyClicks(find<QLineEdit>(step.control), QString::fromUtf8(step.text));
            break;
        }
    }

private slots:
    void initTestCase() {
        // The accessibility bus starts on demand, as when a screen reader
        // starts; Qt connects only to one already there, and tells assistive
        // tools only once connected.
        const QDBusMessage address = QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                           QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")));
        QVERIFY2(address.type() == QDBusMessage::ReplyMessage, qPrintable(address.errorMessage()));
        QTRY_VERIFY2_WITH_TIMEOUT(QAccessible::isActive(), "Qt did not connect to the accessibility bus", 10000);
        QAccessible::installUpdateHandler(Listen);
        gHeard = &heard_;
    }
    void init() {
        QVERIFY(ShowOnManualClock(window_, clock_));
        gWindow = window_.get();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        heard_.clear();
    }
    void cleanup() {
        window_.reset();
        gWindow = nullptr;
    }
    void cleanupTestCase() { gHeard = nullptr; }

    void theOpeningWindowTellsItsNumberOnceAPauseHasPassed() {
        const Nanoseconds opened = clock_->now();
        advanceTo(opened + 499 * kMillisecond);
        QVERIFY(heard_.empty());
        advanceTo(opened + 3000 * kMillisecond);
        QCOMPARE(heard_, (std::vector<Heard>{{opened + 500 * kMillisecond, QStringLiteral("777")}}));
    }

    void theNumberIsToldAfterWhatMayChangeItAtMostOnceASecond_data() {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<Expected>("expected");
        QTest::newRow("a start: the number as it stands")
            << Steps{{0, Step::Click, "Command1"}} << Expected{{0, "777"}};
        QTest::newRow("Reset Zero") << Steps{{0, Step::Click, "cmdReset"}} << Expected{{0, "0"}};
        // Count up: its first tick at 66 ms, then one every 100 ms: at 1500 ms 15 ticks of 37 have run.
        QTest::newRow("Stop: the number it holds") << Steps{{0, Step::SetText, "txtintUp", "100"},
                                                            {0, Step::Click, "Command1"},
                                                            {1500, Step::Click, "cmdStop"}}
                                                   << Expected{{0, "777"}, {1500, "1332"}};
        QTest::newRow("typing the start value: once the keys pause, the value typed")
            << Steps{{0, Step::SetText, "txtStart", ""},
                     {100, Step::Type, "txtStart", "1"},
                     {200, Step::Type, "txtStart", "0"},
                     {300, Step::Type, "txtStart", "0"},
                     {400, Step::Type, "txtStart", "0"}}
            << Expected{{900, "1000"}};
        // Reset at 0 is told at once; the start at 200 ms waits until 1000 ms,
        // when count up has stepped at 266 and 736 ms.
        QTest::newRow("closer than a second: the second a second after the first, with the number then")
            << Steps{{0, Step::Click, "cmdReset"}, {200, Step::Click, "Command1"}} << Expected{{0, "0"}, {1000, "74"}};
        QTest::newRow("a click while an edit waits: at once, with the number then")
            << Steps{{0, Step::SetText, "txtStart", "5"}, {300, Step::Click, "cmdStop"}} << Expected{{300, "5"}};
        // Countdown by 1 every 500 ms from 3, started at 2000 ms: 2 at 2500, 1 at
        // 3000; at 3500 it finds 1, stops itself and steps once more, to 0.
        QTest::newRow("a mode that stops itself: the number it leaves")
            << Steps{{0, Step::SetText, "txtincdown", "1"},
                     {0, Step::SetText, "txtinterval", "500"},
                     {0, Step::SetText, "txtStart", "3"},
                     {2000, Step::Click, "cmdStart"}}
            << Expected{{500, "3"}, {2000, "3"}, {3500, "0"}};
        QTest::newRow("pace and amount edits: nothing")
            << Steps{{0, Step::SetText, "txtinterval", "10"}, {100, Step::SetText, "txtdivideAmount", "2"}}
            << Expected{};
    }
    void theNumberIsToldAfterWhatMayChangeItAtMostOnceASecond() {
        QFETCH(Steps, steps);
        QFETCH(Expected, expected);
        advanceTo(clock_->now() + 2000 * kMillisecond);  // the opening's announcement is over
        heard_.clear();
        const Nanoseconds start = clock_->now();
        for (const Step& step : steps) {
            advanceTo(start + step.atMs * kMillisecond);
            perform(step);
        }
        advanceTo(start + 6000 * kMillisecond);
        std::vector<Heard> wanted;
        for (const auto& [ms, text] : expected) wanted.push_back({start + ms * kMillisecond, text});
        QCOMPARE(heard_, wanted);
    }

    void runningModesTellNothingOfTheirTicks() {
        advanceTo(clock_->now() + 2000 * kMillisecond);
        heard_.clear();
        int ticks = 0;
        connect(window_.get(), &CountdownWindow::tickRan, this, [&ticks] { ++ticks; });
        for (const taborvane::ModeRow& mode : taborvane::kModes)
            find<QLineEdit>(mode.pace.data())->setText(QStringLiteral("1"));
        find<QLineEdit>("txtTimesamount")->setText(QStringLiteral("-1"));  // keeps the value from running away
        const Nanoseconds start = clock_->now();
        for (const taborvane::ModeRow& mode : taborvane::kModes)
            QTest::mouseClick(find<QPushButton>(mode.startButton.data()), Qt::LeftButton);
        advanceTo(start + 10'000 * kMillisecond);
        QVERIFY2(ticks > 35'000, qPrintable(QStringLiteral("%1 ticks").arg(ticks)));
        // The four clicks: one at once, the other three once, a second later.
        QCOMPARE(heard_.size(), std::size_t{2});
        QCOMPARE(heard_.back().at, start + 1000 * kMillisecond);
    }

    void aLampIsToldAtItsModesButton() {
        const auto described = [this](const char* control) {
            return QAccessible::queryAccessibleInterface(find<QWidget>(control))->text(QAccessible::Description);
        };
        const auto shown = [this](const char* lamp) {
            return !QAccessible::queryAccessibleInterface(find<QWidget>(lamp))->state().invisible;
        };
        for (const taborvane::ModeRow& mode : taborvane::kModes)
            QCOMPARE(described(mode.startButton.data()), QStringLiteral("Lamp off"));
        QVERIFY(!shown("Shape2"));
        QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        advanceTo(clock_->now() + 66 * kMillisecond);  // count up's first tick
        QCOMPARE(described("Command1"), QStringLiteral("Lamp lit"));
        QCOMPARE(described("Shape2"), QStringLiteral("Lit"));
        QVERIFY(shown("Shape2"));
        for (const char* button : {"cmdStart", "cmdDivide", "cmdTimes"})
            QCOMPARE(described(button), QStringLiteral("Lamp off"));
        QTest::mouseClick(find<QPushButton>("cmdStop"), Qt::LeftButton);
        QCOMPARE(described("Command1"), QStringLiteral("Lamp off"));
        QVERIFY(!shown("Shape2"));
    }

    void anEntryIsOneWholeRunOfText_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("text");
        QTest::newRow("the start value, as designed") << QStringLiteral("txtStart") << QStringLiteral("000000777");
        QTest::newRow("a pace") << QStringLiteral("txtinterval") << QStringLiteral("4700");
        QTest::newRow("a factor") << QStringLiteral("txtTimesamount") << QStringLiteral("3.7");
        QTest::newRow("one character") << QStringLiteral("txtincdown") << QStringLiteral("7");
        QTest::newRow("empty") << QStringLiteral("txtIncriments") << QString();
    }
    void anEntryIsOneWholeRunOfText() {
        QFETCH(QString, entry);
        QFETCH(QString, text);
        auto* edit = find<QLineEdit>(qPrintable(entry));
        edit->setText(text);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(edit);
        QAccessibleTextInterface* shown = accessible->textInterface();
        QVERIFY(shown != nullptr);
        QCOMPARE(accessible->role(), QAccessible::EditableText);
        QCOMPARE(accessible->text(QAccessible::Value), text);
        QCOMPARE(shown->characterCount(), text.size());
        QCOMPARE(shown->text(0, shown->characterCount()), text);
        // A reader that walks the attribute runs from the first character reads every one.
        for (int offset = 0; offset < text.size(); ++offset) {
            int start = -1;
            int end = -1;
            shown->attributes(offset, &start, &end);
            QCOMPARE(start, 0);
            QCOMPARE(end, text.size());
        }
        // Each character has its own place, left to right.
        for (int offset = 1; offset < text.size(); ++offset) {
            const QRect before = shown->characterRect(offset - 1);
            const QRect here = shown->characterRect(offset);
            QVERIFY(before.isValid() && here.isValid());
            QVERIFY2(here.left() > before.left(), qPrintable(QStringLiteral("character %1").arg(offset)));
            QCOMPARE(shown->offsetAtPoint(QPoint(here.left() + 1, here.center().y())), offset);
        }
    }

    void anEntryIsEditedThroughItsInterfaceAsByKeys_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("shown");
        QTest::newRow("insert") << QStringLiteral("insert") << QStringLiteral("0000001777");
        QTest::newRow("delete") << QStringLiteral("delete") << QStringLiteral("777");
        QTest::newRow("replace") << QStringLiteral("replace") << QStringLiteral("42");
        QTest::newRow("set the value") << QStringLiteral("value") << QStringLiteral("12345");
    }
    void anEntryIsEditedThroughItsInterfaceAsByKeys() {
        QFETCH(QString, edit);
        QFETCH(QString, shown);
        auto* start = find<QLineEdit>("txtStart");
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(start);
        QAccessibleEditableTextInterface* editable = accessible->editableTextInterface();
        QVERIFY(editable != nullptr);
        if (edit == QLatin1String("insert"))
            editable->insertText(6, QStringLiteral("1"));  // one more than the nine characters allowed
        else if (edit == QLatin1String("delete"))
            editable->deleteText(0, 6);
        else if (edit == QLatin1String("replace"))
            editable->replaceText(0, 9, QStringLiteral("42"));
        else
            accessible->setText(QAccessible::Value, QStringLiteral("12345"));
        // The entry keeps its limit of nine characters, and its change runs as a keystroke's would.
        QCOMPARE(start->text(), shown.left(9));
        QCOMPARE(find<QLabel>("lblDisplay")->text(), QString::number(shown.left(9).toInt()));
    }
};

QTEST_MAIN(ScreenReaderTest)
#include "screen_reader_test.moc"
