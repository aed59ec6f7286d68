// How punctually the four modes tick on the real window and what each pace
// costs (CPU, paints of the display, wake-ups), how soon a click on Stop takes
// effect while all four run at 1 ms, and what the idle window costs in CPU
// time and wake-ups. Prints its figures as Markdown tables.
//
// Usage: timing_bench [--case-ms N] [--idle-ms N] [--trials N] [--only punctuality|floor|click|idle]
//                     [--costs FILE]   also writes each case's costs there, one tab-separated line a case
//
// Ticks are observed through a second connection to each mode's tick timer, made
// after the window's own, and paints through an event filter, so the program
// runs exactly as it does alone. The benchmark builds against earlier versions
// of the window too, to measure before and after a change in one run.

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMetaEnum>
#include <QMouseEvent>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include "app/application_setup.h"
#include "window/countdown_window.h"

namespace {

using taborvane::window::CountdownWindow;
using Nanoseconds = std::int64_t;

Nanoseconds Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double Ms(Nanoseconds ns) { return static_cast<double>(ns) / 1e6; }

// Runs the program's event loop, as its own main would, for a while.
void RunEventLoopFor(int milliseconds) {
    QEventLoop loop;
    QTimer end;
    end.setObjectName(QStringLiteral("benchEndOfWait"));
    end.setTimerType(Qt::PreciseTimer);
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    end.start(milliseconds);
    loop.exec();
}

struct Spread {
    double median = 0, p99 = 0, max = 0;  // milliseconds
};

// Nearest-rank percentiles.
Spread SpreadOf(std::vector<Nanoseconds> values) {
    if (values.empty()) return {};
    std::sort(values.begin(), values.end());
    const auto rank = [&values](double fraction) {
        const auto index = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
        return Ms(values[std::max<std::size_t>(index, 1) - 1]);
    };
    return {rank(0.5), rank(0.99), Ms(values.back())};
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string ReadFirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

struct ModeNames {
    const char* label;
    const char* button;
    const char* pace;
    const char* amount;
    const char* timer;
};

constexpr std::array<ModeNames, 4> kModes{{
    {"countdown", "cmdStart", "txtinterval", "txtincdown", "tmrCountdown"},
    {"count up", "Command1", "txtintUp", "txtIncriments", "tmrCountUp"},
    {"divide", "cmdDivide", "txtDividePace", "txtdivideAmount", "tmrDivide"},
    {"multiply", "cmdTimes", "txtTimes", "txtTimesamount", "tmrTimes"},
}};
constexpr int kCountUp = 1;

// Amounts that keep the value changing at every tick and far inside 32 bits:
// alone, count up adds 2 (at most 5,000 ticks a case). Together, the value
// starts even and every step keeps it even (-2, +4, divide and multiply by -1
// flip the sign), so countdown never finds its stop value 1, and |value|
// grows by at most 4 a tick.
constexpr const char* kStartValue = "1000";
constexpr std::array<const char*, 4> kAmountsTogether{{"2", "4", "-1", "-1"}};
constexpr const char* kAmountAlone = "2";

struct ModeResult {
    int mode;
    std::size_t ticks;
    std::size_t due;
    double seconds;
    std::vector<Nanoseconds> lateness;
};

// What a case cost while its modes ran.
struct CaseCost {
    double seconds = 0;
    Nanoseconds cpu = 0;  // process CPU time, all threads
    long wakeUps = 0;     // voluntary + involuntary context switches, all threads
    int displayPaints = 0;
};

struct CaseResult {
    int pace;
    bool together;
    int spreadUs;  // the start buttons clicked this far apart; 0: at once
    std::vector<ModeResult> modes;
    std::string endValue;
    CaseCost cost;
};

struct ClickResult {
    std::vector<Nanoseconds> delays;
    int noEffect = 0;        // trials where Stop had not taken effect after 3 s
    int ticksAfterStop = 0;  // ticks delivered after Stop took effect
    int timersLeftOn = 0;    // trials where a timer was still enabled after Stop
};

struct ThreadUsage {
    std::string name;
    long voluntary = 0, involuntary = 0;
    Nanoseconds cpu = 0;
};

struct Usage {
    Nanoseconds cpu = 0;
    long voluntary = 0, involuntary = 0;
    std::map<int, ThreadUsage> threads;
};

void SampleProcess(Usage& usage) {
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    const auto ns = [](const timeval& t) {
        return Nanoseconds{t.tv_sec} * 1'000'000'000 + Nanoseconds{t.tv_usec} * 1000;
    };
    usage.cpu = ns(self.ru_utime) + ns(self.ru_stime);
    usage.voluntary = self.ru_nvcsw;
    usage.involuntary = self.ru_nivcsw;
}

void SampleThreads(Usage& usage) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        const std::string dir = entry.path().string();
        ThreadUsage thread;
        thread.name = ReadFirstLine(dir + "/comm");
        std::ifstream status(dir + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) thread.voluntary = std::stol(line.substr(24));
            if (line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) thread.involuntary = std::stol(line.substr(27));
        }
        std::istringstream(ReadFirstLine(dir + "/schedstat")) >> thread.cpu;
        usage.threads[std::stoi(entry.path().filename().string())] = thread;
    }
}

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* /*receiver*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

// Counts the events the program handles while idle, by receiver and kind, to
// tell what woke it.
class EventCounter : public QObject {
public:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        Count& count = counts_[{receiver, event->type()}];
        // Named at first sight: the receiver may be gone when the counts are read.
        if (count.times++ == 0) {
            const QString name = receiver->objectName();
            count.what = std::string(receiver->metaObject()->className()) +
                         (name.isEmpty() ? "" : " " + name.toStdString()) + ": " +
                         QMetaEnum::fromType<QEvent::Type>().valueToKey(event->type());
        }
        return false;
    }
    std::map<std::string, int> named() const {
        std::map<std::string, int> named;
        for (const auto& [key, count] : counts_) named[count.what] += count.times;
        return named;
    }

private:
    struct Count {
        int times = 0;
        std::string what;
    };
    std::map<std::pair<QObject*, QEvent::Type>, Count> counts_;
};

// The entry's cursor blinks on a timer of its line control.
const std::string kBlinkTimer = "QWidgetLineControl: Timer";
const std::string kEndOfWaitTimer = "QTimer benchEndOfWait: Timer";

struct IdleResult {
    std::string window;
    bool focused = false;
    bool stateReached = false;
    double seconds = 0;
    Usage before, after;
    std::map<std::string, int> events;
    int blinkTicks = 0;  // timer events of the focused entry's cursor
};

class TimingBench {
public:
    explicit TimingBench(CountdownWindow& window) : window_(window) {
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

    // spreadUs > 0 starts the modes at least that far apart, so that they
    // fall due at different instants, as after a person's clicks.
    CaseResult runCase(int pace, bool together, int spreadUs, int caseMs) {
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

    // Stop clicked through the event queue from another thread, as input
    // arrives from outside, while the four modes run at 1 ms.
    ClickResult runClicks(int trials) {
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
            auto* press = new QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                                          Qt::NoModifier);
            auto* release = new QMouseEvent(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                                            Qt::NoModifier);
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
            const bool allInactive =
                std::none_of(timers_.begin(), timers_.end(),
                             [](const taborvane::clock::TickTimer* timer) { return timer->isActive(); });
            if (!allOff || !allInactive) ++result.timersLeftOn;
            result.delays.push_back(stopTookEffect_ - posted);
            RunEventLoopFor(30);
            for (const auto& ticks : ticks_)
                result.ticksAfterStop += static_cast<int>(
                    std::count_if(ticks.begin(), ticks.end(), [this](Nanoseconds t) { return t > stopTookEffect_; }));
        }
        return result;
    }

    IdleResult runIdle(bool focused, int idleMs) {
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

private:
    template <typename Widget>
    Widget* find(const char* name) const {
        auto* widget = window_.findChild<Widget*>(QString::fromLatin1(name));
        if (widget == nullptr) qFatal("no control %s", name);
        return widget;
    }

    void type(const char* entry, const char* text) { find<QLineEdit>(entry)->setText(QString::fromLatin1(text)); }

    void prepare(int pace, bool together) {
        stop_->click();
        type("txtStart", kStartValue);
        const QByteArray paceText = QByteArray::number(pace);
        for (std::size_t i = 0; i < kModes.size(); ++i) {
            type(kModes[i].pace, paceText.constData());
            type(kModes[i].amount, together ? kAmountsTogether[i] : kAmountAlone);
        }
        RunEventLoopFor(300);  // the edits' repaints are done before the clock starts
    }

    CountdownWindow& window_;
    std::array<taborvane::clock::TickTimer*, 4> timers_{};
    std::array<std::vector<Nanoseconds>, 4> ticks_;
    QPushButton* stop_ = nullptr;
    std::array<Nanoseconds, 4> clickedAt_{};
    Nanoseconds stopTookEffect_ = 0;
};

// ---- Markdown ----

std::string Row(const std::vector<std::string>& cells) {
    std::string row = "|";
    for (const std::string& cell : cells) row += " " + cell + " |";
    return row + "\n";
}

std::string Rate(double value) { return Fixed(value, value < 20 ? 2 : 1); }

std::string ModesLabel(const CaseResult& c) {
    if (!c.together) return "one";
    return c.spreadUs > 0 ? "four, " + std::to_string(c.spreadUs) + " µs apart" : "four";
}

void PrintPunctuality(const std::vector<CaseResult>& cases, int caseMs) {
    std::printf(
        "Each pace runs %.1f s with count up alone (from %s, adding %s) and %.1f s with the four modes\n"
        "together (from %s: countdown subtracts %s, count up adds %s, divide by %s, multiply by %s).\n\n",
        caseMs / 1000.0, kStartValue, kAmountAlone, caseMs / 1000.0, kStartValue, kAmountsTogether[0],
        kAmountsTogether[1], kAmountsTogether[2], kAmountsTogether[3]);
    std::printf(
        "Ticks per second against 1000/pace, and lateness of each tick past its due time (the k-th tick\n"
        "is due k paces after its start button was clicked, so drift and lost ticks count as lateness).\n"
        "The rate is met when every due tick came, but for the one that may fall due as the case ends.\n\n");
    std::printf("%s", Row({"pace", "modes", "mode", "ticks/s", "goal", "ticks / due", "met", "late median", "late p99",
                           "late max", "value at end"})
                          .c_str());
    std::printf("%s",
                Row({"---:", "---", "---", "---:", "---:", "---:", "---", "---:", "---:", "---:", "---:"}).c_str());
    for (const CaseResult& c : cases) {
        const double goal = 1000.0 / c.pace;
        const std::string pace = std::to_string(c.pace) + " ms";
        const std::string modes = ModesLabel(c);
        const auto row = [&](const std::string& mode, double rate, double rateGoal, std::size_t ticks, std::size_t due,
                             std::size_t boundary, const std::vector<Nanoseconds>& lateness, const std::string& value) {
            const Spread s = SpreadOf(lateness);
            std::printf(
                "%s", Row({pace, modes, mode, Rate(rate), Rate(rateGoal),
                           std::to_string(ticks) + " / " + std::to_string(due), ticks + boundary >= due ? "yes" : "no",
                           Fixed(s.median, 3) + " ms", Fixed(s.p99, 3) + " ms", Fixed(s.max, 3) + " ms", value})
                          .c_str());
        };
        std::vector<Nanoseconds> all;
        std::size_t ticks = 0, due = 0;
        double rate = 0;
        for (const ModeResult& m : c.modes) {
            const double modeRate = static_cast<double>(m.ticks) / m.seconds;
            row(kModes[static_cast<std::size_t>(m.mode)].label, modeRate, goal, m.ticks, m.due, 1, m.lateness,
                c.modes.size() == 1 ? c.endValue : "");
            all.insert(all.end(), m.lateness.begin(), m.lateness.end());
            ticks += m.ticks;
            due += m.due;
            rate += modeRate;
        }
        if (c.modes.size() > 1)
            row("**all**", rate, goal * static_cast<double>(c.modes.size()), ticks, due, c.modes.size(), all,
                c.endValue);
    }
    std::printf("\n");
}

double CpuShare(const CaseCost& cost) { return 100.0 * static_cast<double>(cost.cpu) / (cost.seconds * 1e9); }

void PrintCosts(const std::vector<CaseResult>& cases) {
    std::printf(
        "What each case cost while its modes ran: CPU time of the process (getrusage, all threads) over\n"
        "the wall time, paints of the display, and wake-ups (voluntary + involuntary context switches,\n"
        "all threads), each per second.\n\n");
    std::printf("%s",
                Row({"pace", "modes", "ticks/s", "CPU share of a core", "display paints/s", "wake-ups/s"}).c_str());
    std::printf("%s", Row({"---:", "---", "---:", "---:", "---:", "---:"}).c_str());
    for (const CaseResult& c : cases) {
        std::size_t ticks = 0;
        for (const ModeResult& m : c.modes) ticks += m.ticks;
        const double seconds = c.cost.seconds;
        std::printf("%s",
                    Row({std::to_string(c.pace) + " ms", ModesLabel(c), Rate(static_cast<double>(ticks) / seconds),
                         Fixed(CpuShare(c.cost), 2) + " %", Fixed(c.cost.displayPaints / seconds, 1),
                         Fixed(static_cast<double>(c.cost.wakeUps) / seconds, 0)})
                        .c_str());
    }
    std::printf("\n");
}

void WriteCosts(const std::vector<CaseResult>& cases, const QString& path) {
    std::ofstream out(path.toStdString());
    for (const CaseResult& c : cases) {
        std::size_t ticks = 0;
        for (const ModeResult& m : c.modes) ticks += m.ticks;
        const double seconds = c.cost.seconds;
        out << c.pace << '\t' << ModesLabel(c) << '\t' << static_cast<double>(ticks) / seconds << '\t'
            << CpuShare(c.cost) << '\t' << c.cost.displayPaints / seconds << '\t'
            << static_cast<double>(c.cost.wakeUps) / seconds << '\n';
    }
}

void PrintClicks(const ClickResult& r, int trials) {
    const Spread s = SpreadOf(r.delays);
    const bool met = r.noEffect == 0 && !r.delays.empty() && s.max <= 20.0;
    std::printf(
        "A click on Stop posted to the event queue from another thread while the four modes run at 1 ms,\n"
        "until every timer is disabled (%d trials, each 150-350 ms after the start).\n\n",
        trials);
    std::printf("%s", Row({"trials", "median", "p99", "max", "goal", "met", "no effect in 3 s", "ticks after Stop",
                           "timers left on"})
                          .c_str());
    std::printf("%s", Row({"---:", "---:", "---:", "---:", "---:", "---", "---:", "---:", "---:"}).c_str());
    std::printf("%s", Row({std::to_string(r.delays.size()), Fixed(s.median, 3) + " ms", Fixed(s.p99, 3) + " ms",
                           Fixed(s.max, 3) + " ms", "≤ 20 ms", met ? "yes" : "no", std::to_string(r.noEffect),
                           std::to_string(r.ticksAfterStop), std::to_string(r.timersLeftOn)})
                          .c_str());
    std::printf("\n");
}

void PrintIdle(const std::vector<IdleResult>& results) {
    std::printf(
        "Idle, no mode running: CPU time of the process (getrusage, all threads) and its wake-ups\n"
        "(voluntary + involuntary context switches, all threads). The window ends on one timer of the\n"
        "benchmark itself (`benchEndOfWait`): one wake-up of the main thread. Other timers: timer events\n"
        "of anything but the cursor and that one.\n\n");
    std::printf("%s", Row({"window", "seconds", "CPU", "share of a core", "goal", "wake-ups", "main thread",
                           "cursor blinks", "other timers", "goal"})
                          .c_str());
    std::printf("%s", Row({"---", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---"}).c_str());
    for (const IdleResult& r : results) {
        const Nanoseconds cpu = r.after.cpu - r.before.cpu;
        const double share = 100.0 * static_cast<double>(cpu) / (r.seconds * 1e9);
        const long wakes = (r.after.voluntary - r.before.voluntary) + (r.after.involuntary - r.before.involuntary);
        const auto before = r.before.threads.find(static_cast<int>(getpid()));
        const auto after = r.after.threads.find(static_cast<int>(getpid()));
        const long mainWakes =
            after->second.voluntary - before->second.voluntary + after->second.involuntary - before->second.involuntary;
        int otherTimers = 0;
        for (const auto& [what, count] : r.events)
            if (what.ends_with(": Timer") && what != kBlinkTimer && what != kEndOfWaitTimer) otherTimers += count;
        std::printf("%s", Row({r.window + (r.stateReached ? "" : " (**state not reached**)"), Fixed(r.seconds, 2),
                               Fixed(Ms(cpu), 1) + " ms", Fixed(share, 3) + " %", "< 0.1 %", std::to_string(wakes),
                               std::to_string(mainWakes), std::to_string(r.blinkTicks), std::to_string(otherTimers),
                               r.focused ? "cursor blink only" : "none"})
                              .c_str());
    }
    std::printf("\n");
    for (const IdleResult& r : results) {
        std::printf("- %s: wake-ups and CPU by thread:", r.window.c_str());
        const char* separator = " ";
        for (const auto& [tid, after] : r.after.threads) {
            const auto b = r.before.threads.find(tid);
            const ThreadUsage before = b == r.before.threads.end() ? ThreadUsage{} : b->second;
            std::printf("%s%s %ld, %.2f ms", separator, after.name.c_str(),
                        (after.voluntary - before.voluntary) + (after.involuntary - before.involuntary),
                        Ms(after.cpu - before.cpu));
            separator = "; ";
        }
        std::printf(". Events handled:");
        separator = " ";
        for (const auto& [what, count] : r.events) {
            std::printf("%s%s ×%d", separator, what.c_str(), count);
            separator = ", ";
        }
        std::printf("%s\n", r.events.empty() ? " none." : ".");
    }
    std::printf("\n");
}

struct FloorResult {
    std::string what;
    double seconds;
    Nanoseconds cpu;
    long wakeUps;
    long woken;
};

// Runs the event loop as it is set up, after a settling time, and takes what
// the process spent over `ms` and how often `events` counted meanwhile.
FloorResult MeasureFloor(std::string what, int ms, const long& events, const std::function<void()>& resetEvents) {
    RunEventLoopFor(300);
    Usage before, after;
    resetEvents();
    SampleProcess(before);
    const Nanoseconds from = Now();
    RunEventLoopFor(ms);
    const Nanoseconds to = Now();
    SampleProcess(after);
    return {std::move(what), static_cast<double>(to - from) / 1e9, after.cpu - before.cpu,
            (after.voluntary - before.voluntary) + (after.involuntary - before.involuntary), events};
}

// The same event loop woken by a kernel timer, doing nothing else: what a
// wake-up costs here, whatever is done in it.
FloorResult RunWakeFloor(int rate, int ms) {
    const std::string what = "kernel timer at " + std::to_string(rate) + "/s";
    const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    const long period = 1'000'000'000L / rate;
    const itimerspec every{{0, period}, {0, period}};
    timerfd_settime(fd, 0, &every, nullptr);
    QSocketNotifier notifier(fd, QSocketNotifier::Read);
    long woken = 0;
    QObject::connect(&notifier, &QSocketNotifier::activated, &notifier, [fd, &woken] {
        std::uint64_t expired = 0;
        if (read(fd, &expired, sizeof expired) == static_cast<ssize_t>(sizeof expired)) ++woken;
    });
    FloorResult result = MeasureFloor(what, ms, woken, [&woken] { woken = 0; });
    close(fd);
    return result;
}

// A window of the program's size whose one child, as large as the display and
// drawing nothing but its background, is repainted every frame: what a frame
// costs here, whatever is drawn in it.
FloorResult RunFrameFloor(const QSize& windowSize, const QRect& childGeometry, int ms) {
    QWidget window;
    window.setObjectName(QStringLiteral("benchFrameFloor"));
    window.resize(windowSize);
    window.move(0, 0);
    auto* child = new QWidget(&window);
    child->setGeometry(childGeometry);
    child->setAutoFillBackground(true);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qFatal("the frame floor's window was never exposed");
    QTimer frames;
    frames.setTimerType(Qt::PreciseTimer);
    long painted = 0;
    QObject::connect(&frames, &QTimer::timeout, child, [child, &painted] {
        child->update();
        ++painted;
    });
    frames.start(1000 / 60);
    return MeasureFloor("repaint of a " + std::to_string(childGeometry.width()) + " × " +
                            std::to_string(childGeometry.height()) + " widget at 60/s",
                        ms, painted, [&painted] { painted = 0; });
}

void PrintWakeFloor(const std::vector<FloorResult>& results) {
    std::printf(
        "The floor: this platform's event loop woken by a kernel timer (timerfd) at a fixed rate and\n"
        "doing nothing else, with the window shown and idle; and an empty window of the program's size\n"
        "repainting one child as large as the display, background only, at 60 frames a second. A\n"
        "program that takes each tick at its own instant, or paints each frame, cannot cost less than\n"
        "this for as many wake-ups or frames.\n\n");
    std::printf(
        "%s",
        Row({"what", "CPU share of a core", "wake-ups/s", "timer rings or frames/s", "CPU per ring or frame"}).c_str());
    std::printf("%s", Row({"---", "---:", "---:", "---:", "---:"}).c_str());
    for (const FloorResult& r : results) {
        const double events = static_cast<double>(r.woken) / r.seconds;
        std::printf(
            "%s",
            Row({r.what, Fixed(100.0 * static_cast<double>(r.cpu) / (r.seconds * 1e9), 2) + " %",
                 Fixed(static_cast<double>(r.wakeUps) / r.seconds, 0), Fixed(events, 1),
                 Fixed(static_cast<double>(r.cpu) / 1e3 / std::max(1.0, static_cast<double>(r.woken)), 1) + " µs"})
                .c_str());
    }
    std::printf("\n");
}

int Option(const QStringList& args, const QString& name, int fallback) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taborvane::app::PrepareApplication();
    const QStringList args = QCoreApplication::arguments();
    const int caseMs = Option(args, QStringLiteral("--case-ms"), 5000);
    const int idleMs = Option(args, QStringLiteral("--idle-ms"), 10000);
    const int trials = Option(args, QStringLiteral("--trials"), 20);
    const qsizetype onlyAt = args.indexOf(QStringLiteral("--only"));
    const QString only = onlyAt >= 0 && onlyAt + 1 < args.size() ? args[onlyAt + 1] : QString();
    const qsizetype costsAt = args.indexOf(QStringLiteral("--costs"));
    const QString costsFile = costsAt >= 0 && costsAt + 1 < args.size() ? args[costsAt + 1] : QString();

    CountdownWindow window;
    window.move(0, 0);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qFatal("the window was never exposed");
    TimingBench bench(window);

    std::printf("Platform `%s`, event dispatcher `%s`; load average at start: %s.\n\n",
                qPrintable(QGuiApplication::platformName()),
                QAbstractEventDispatcher::instance()->metaObject()->className(),
                ReadFirstLine("/proc/loadavg").c_str());

    if (only.isEmpty() || only == QStringLiteral("punctuality")) {
        std::vector<CaseResult> cases;
        for (const int pace : {1, 10, 47, 470}) {
            for (const bool together : {false, true}) {
                std::fprintf(stderr, "pace %d ms, %s\n", pace, together ? "four modes" : "count up alone");
                cases.push_back(bench.runCase(pace, together, 0, caseMs));
            }
            if (pace == 1) {
                std::fprintf(stderr, "pace 1 ms, four modes out of phase\n");
                cases.push_back(bench.runCase(pace, true, 250, caseMs));
            }
        }
        PrintPunctuality(cases, caseMs);
        PrintCosts(cases);
        if (!costsFile.isEmpty()) WriteCosts(cases, costsFile);
    }
    if (only.isEmpty() || only == QStringLiteral("floor")) {
        std::fprintf(stderr, "wake-up floor\n");
        const QWidget* display = window.findChild<QWidget*>(QStringLiteral("lblDisplay"));
        PrintWakeFloor({RunWakeFloor(1000, caseMs), RunWakeFloor(4000, caseMs),
                        RunFrameFloor(window.size(), display->geometry(), caseMs)});
    }
    if (only.isEmpty() || only == QStringLiteral("click")) {
        std::fprintf(stderr, "clicks on Stop\n");
        PrintClicks(bench.runClicks(trials), trials);
    }
    if (only.isEmpty() || only == QStringLiteral("idle")) {
        std::vector<IdleResult> idle;
        for (const bool focused : {true, false}) {
            std::fprintf(stderr, "idle, %s\n", focused ? "focused" : "not focused");
            idle.push_back(bench.runIdle(focused, idleMs));
        }
        PrintIdle(idle);
    }
    std::printf("Load average at the end: %s.\n", ReadFirstLine("/proc/loadavg").c_str());
    return 0;
}
