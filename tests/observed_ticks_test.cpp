// The window's ticks are caught up only when someone could observe
// them. On a hand-driven clock, random schedules of starts, stops, resets,
// edits of paces, amounts and the start value, self-stops, questions of an
// assistive tool and frames run against a reference that takes every tick at
// its own instant: the counter on its in-memory surface. After every event, at
// every frame and at every question, the window must show exactly what the
// reference holds at that instant.
#include <QTest>

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "counter/form_events.h"
#include "counter/modes.h"
#include "counter/number_rules.h"
#include "counter/testing/simulated_counter.h"
#include "find_control.h"
#include "manual_clock_window.h"
#include "manual_wake_source.h"
#include "window/countdown_window.h"
#include "window/lamp_widget.h"

using namespace taborvane::clock;
using namespace taborvane::clock::testing;
using taborvane::testing::MemoryTextBox;
using taborvane::testing::MemoryTimer;
using taborvane::testing::SimulatedCounter;
using taborvane::window::CountdownWindow;
using taborvane::window::LampWidget;

namespace {

using taborvane::kModes;
constexpr std::size_t kModeCount = kModes.size();

// What a frame or a question can show: the display and the lamps.
struct Shown {
    std::string caption;
    std::array<bool, kModeCount> lamps{};
    bool operator==(const Shown&) const = default;
};

QString Describe(const Shown& shown) {
    QString text = QString::fromStdString(shown.caption) + QStringLiteral(" lamps ");
    for (const bool lit : shown.lamps) text += lit ? u'1' : u'0';
    return text;
}

// The counter taking every tick at its own instant, on a clock of whole
// milliseconds, with what it showed after every tick and every event.
class Reference {
public:
    Reference() { note(0); }

    // Every tick due by the moment, earliest first, ties in mode order.
    void advanceTo(Nanoseconds moment) {
        for (;;) {
            const MemoryTimer* next = nullptr;
            for (const MemoryTimer* timer : timers())
                if (timer->dueAt() && (next == nullptr || *timer->dueAt() < *next->dueAt())) next = timer;
            if (next == nullptr || *next->dueAt() * kMillisecond > moment) break;
            counter_.surface.clock.deliverNextTick();
            note(counter_.surface.clock.now() * kMillisecond);
        }
        const std::int64_t milliseconds = moment / kMillisecond;
        counter_.surface.clock.advance(milliseconds - counter_.surface.clock.now());
    }
    // An event at the present instant, then what it showed.
    template <typename Event>
    void handle(Event&& event) {
        event(counter_);
        note(counter_.surface.clock.now() * kMillisecond);
    }
    // What showed at the moment: after the last tick or event by then.
    [[nodiscard]] const Shown& shownAt(Nanoseconds moment) const {
        auto after = std::upper_bound(history_.begin(), history_.end(), moment,
                                      [](Nanoseconds at, const auto& entry) { return at < entry.first; });
        return std::prev(after)->second;
    }
    [[nodiscard]] const SimulatedCounter& counter() const { return counter_; }
    [[nodiscard]] std::array<const MemoryTimer*, kModeCount> timers() {
        std::array<const MemoryTimer*, kModeCount> timers{};
        for (std::size_t mode = 0; mode < kModeCount; ++mode)
            timers[mode] = &counter_.surface.timer(kModes[mode].timer);
        return timers;
    }

private:
    void note(Nanoseconds at) {
        Shown shown{counter_.surface.lblDisplay.caption()};
        for (std::size_t mode = 0; mode < kModeCount; ++mode)
            shown.lamps[mode] = counter_.surface.shape(kModes[mode].lamp).isVisible();
        history_.emplace_back(at, shown);
    }

    SimulatedCounter counter_;
    std::vector<std::pair<Nanoseconds, Shown>> history_;  // in the order things happened
};

// What the window showed at each of its paints.
class FrameRecorder : public QObject {
public:
    FrameRecorder(const ManualWakeSource& clock, std::function<Shown()> shown)
        : clock_(clock), shown_(std::move(shown)) {}
    bool eventFilter(QObject* /*receiver*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) frames.emplace_back(clock_.now(), shown_());
        return false;
    }
    std::vector<std::pair<Nanoseconds, Shown>> frames;

private:
    const ManualWakeSource& clock_;
    std::function<Shown()> shown_;
};

// How a schedule is drawn at random.
struct Mix {
    std::vector<const char*> paces;
    int onDueInstant;  // per cent of events that land exactly on a tick's instant
    int maxGap;        // ms between two events at most
};

}  // namespace

class ObservedTicksTest : public QObject {
    Q_OBJECT

    ManualWakeSource* clock_ = nullptr;  // owned by the window
    std::unique_ptr<CountdownWindow> window_;
    std::unique_ptr<Reference> reference_;
    std::unique_ptr<FrameRecorder> recorder_;
    int framesChecked_ = 0;

    template <typename Widget>
    Widget* find(const char* name) const {
        return FindControl<Widget>(*window_, name);
    }
    [[nodiscard]] Shown shownByWindow() const {
        Shown shown{find<QLabel>("lblDisplay")->text().toStdString(), {}};
        for (std::size_t i = 0; i < kModeCount; ++i) shown.lamps[i] = find<LampWidget>(kModes[i].lamp.data())->isLit();
        return shown;
    }

    // Both clocks to the moment; the frames the window drew on the way are checked.
    bool advanceTo(Nanoseconds moment) {
        clock_->advanceTo(moment);
        QCoreApplication::processEvents();
        reference_->advanceTo(moment);
        return checkFrames();
    }
    bool checkFrames() {
        for (const auto& [at, shown] : recorder_->frames) {
            const Shown& expected = reference_->shownAt(at);
            if (shown == expected) continue;
            qWarning("frame at %lld ns shows %s, not %s", static_cast<long long>(at), qPrintable(Describe(shown)),
                     qPrintable(Describe(expected)));
            return false;
        }
        framesChecked_ += static_cast<int>(recorder_->frames.size());
        recorder_->frames.clear();
        return true;
    }
    // The whole state after an event: what shows, and every timer.
    bool sameState(const QString& after) {
        const Shown expected = reference_->shownAt(clock_->now());
        const Shown shown = shownByWindow();
        if (!(shown == expected)) {
            qWarning("after %s the window shows %s, not %s", qPrintable(after), qPrintable(Describe(shown)),
                     qPrintable(Describe(expected)));
            return false;
        }
        for (std::size_t i = 0; i < kModeCount; ++i) {
            const taborvane::IntervalTimer& mine = *window_->timerNamed(kModes[i].timer);
            const MemoryTimer& theirs = *reference_->timers()[i];
            if (mine.isEnabled() == theirs.isEnabled() && mine.interval() == theirs.interval()) continue;
            qWarning("after %s %s is %s at %d, not %s at %d", qPrintable(after), kModes[i].timer.data(),
                     mine.isEnabled() ? "on" : "off", mine.interval(), theirs.isEnabled() ? "on" : "off",
                     theirs.interval());
            return false;
        }
        return true;
    }
    // The next tick's instant in the reference, if any.
    [[nodiscard]] std::optional<Nanoseconds> nextDue() const {
        std::optional<Nanoseconds> next;
        for (const MemoryTimer* timer : reference_->timers())
            if (timer->dueAt())
                next = std::min(next.value_or(*timer->dueAt() * kMillisecond), *timer->dueAt() * kMillisecond);
        return next;
    }

    void click(const char* button) {
        find<QPushButton>(button)->click();
        reference_->handle([button](SimulatedCounter& counter) {
            for (const taborvane::EventBinding& click : taborvane::kClickBindings)
                if (click.control == button) (counter.form.*click.procedure)();
        });
    }
    // False when there was nothing to type.
    bool edit(const char* entry, const char* text) {
        // Typing never leaves the text as it was: the entry is cleared first, as a user would.
        QLineEdit* line = find<QLineEdit>(entry);
        if (line->text() == QLatin1String(text)) {
            if (line->text().isEmpty()) return false;
            editOnce(entry, "");
        }
        editOnce(entry, text);
        return true;
    }
    void editOnce(const char* entry, const char* text) {
        find<QLineEdit>(entry)->setText(QString::fromLatin1(text));
        reference_->handle([entry, text](SimulatedCounter& counter) { counter.surface.textBox(entry).edit(text); });
    }

private slots:
    void init() {
        QVERIFY(ShowOnManualClock(window_, clock_));
        QCoreApplication::processEvents();
        reference_ = std::make_unique<Reference>();
        recorder_ = std::make_unique<FrameRecorder>(*clock_, [this] { return shownByWindow(); });
        find<QLabel>("lblDisplay")->installEventFilter(recorder_.get());
        for (const taborvane::ModeRow& mode : kModes)
            find<LampWidget>(mode.lamp.data())->installEventFilter(recorder_.get());
        framesChecked_ = 0;
    }
    void cleanup() {
        recorder_.reset();
        window_.reset();
        reference_.reset();
    }

    void showsWhatTakingEveryTickAtItsInstantGives_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("mix");
        const char* mixes[] = {"fast paces, many ties", "mixed paces, on due instants", "slow paces, frames on ticks",
                               "design paces, reloaded at first ticks"};
        for (int mix = 0; mix < 4; ++mix)
            for (unsigned seed = 1; seed <= 6; ++seed) QTest::addRow("%s, seed %u", mixes[mix], seed) << seed << mix;
    }
    void showsWhatTakingEveryTickAtItsInstantGives() {
        QFETCH(unsigned, seed);
        QFETCH(int, mix);
        const std::array<Mix, 4> mixes{{
            {{"1", "1", "2", "2", "3", "0", "-3"}, 20, 12},
            {{"1", "2", "5", "7", "10", "16", "17", "0", "", "2.5", "-1", "1e1"}, 50, 40},
            {{"20", "33", "47", "50", "100", "17"}, 60, 120},
            // Paces only edited back to the design's entries: a mode's first tick
            // comes at the timer's design interval and reloads the pace, restarting
            // the timer from that tick's instant, often in a batch a frame later.
            {{"1", "470", "4700"}, 30, 30},
        }};
        const Mix& m = mixes[static_cast<std::size_t>(mix)];
        std::mt19937 random(seed);
        const auto pick = [&random](const auto& options) {
            return options[std::uniform_int_distribution<std::size_t>(0, std::size(options) - 1)(random)];
        };
        const auto percent = [&random] { return std::uniform_int_distribution<int>(0, 99)(random); };
        // Amounts that make the modes land on their stop values now and then.
        const std::array<std::vector<const char*>, kModeCount> amounts{{{"1", "2", "-1", "370"},
                                                                        {"1", "2", "37", "-2"},
                                                                        {"1", "-1", "2", "0", "37"},
                                                                        {"1", "-1", "2", "0.5", "3.7"}}};
        // Within the entry's nine characters.
        const std::vector<const char*> starts{"5", "1", "3", "999999990", "999999998", "-99999999", "777", "0", "1e9"};

        QAccessibleInterface* display = QAccessible::queryAccessibleInterface(find<QLabel>("lblDisplay"));
        QVERIFY(display != nullptr);
        Nanoseconds now = clock_->now();
        for (int event = 0; event < 250; ++event) {
            // The next event: on a tick's instant, or a while after this one.
            const std::optional<Nanoseconds> due = nextDue();
            if (due && *due >= now && percent() < m.onDueInstant)
                now = *due;
            else
                now += std::uniform_int_distribution<int>(0, m.maxGap)(random) * kMillisecond;
            QVERIFY(advanceTo(now));

            QString what;
            const int kind = percent();
            const auto mode = std::uniform_int_distribution<std::size_t>(0, kModeCount - 1)(random);
            if (kind < 25) {
                click(kModes[mode].startButton.data());
                what = QStringLiteral("start of mode %1").arg(mode);
            } else if (kind < 45) {
                const char* pace = pick(m.paces);
                if (!edit(kModes[mode].pace.data(), pace)) continue;
                what = QStringLiteral("pace %1 for mode %2").arg(QLatin1String(pace)).arg(mode);
            } else if (kind < 60) {
                const char* amount = pick(amounts[mode]);
                if (!edit(kModes[mode].amount.data(), amount)) continue;
                what = QStringLiteral("amount %1 for mode %2").arg(QLatin1String(amount)).arg(mode);
            } else if (kind < 70) {
                const char* start = pick(starts);
                if (!edit("txtStart", start)) continue;
                what = QStringLiteral("start value %1").arg(QLatin1String(start));
            } else if (kind < 76) {
                click("cmdStop");
                what = QStringLiteral("Stop");
            } else if (kind < 82) {
                click("cmdReset");
                what = QStringLiteral("Reset Zero");
            } else {
                // An assistive tool asks, with nothing else happening.
                const QString asked = display->text(QAccessible::Name);
                QCOMPARE(asked.toStdString(), reference_->shownAt(now).caption);
                continue;
            }
            QCoreApplication::processEvents();
            if (qEnvironmentVariableIsSet("TRACE"))
                qWarning("%lld ms: %s -> %s (ref %s)", static_cast<long long>(now / kMillisecond), qPrintable(what),
                         qPrintable(Describe(shownByWindow())), qPrintable(Describe(reference_->shownAt(now))));
            QVERIFY(checkFrames());
            QVERIFY2(sameState(what),
                     qPrintable(QStringLiteral("event %1 at %2 ms").arg(event).arg(now / kMillisecond)));
        }
        // Long enough with nothing happening for every frame owed to be drawn.
        QVERIFY(advanceTo(now + 200 * kMillisecond));
        QVERIFY2(framesChecked_ > 20, qPrintable(QString::number(framesChecked_)));
    }
};

QTEST_MAIN(ObservedTicksTest)
#include "observed_ticks_test.moc"
