// The soak's driver, preloaded into the program (scripts/soak.sh: the
// sanitize build on Xvfb) and reaching the window by its design names only.
// All four modes at a pace of 1 ms for TABORVANE_SOAK_SECONDS: the first half
// with amounts that move the value, the second with amounts that make every
// step fail, while it clicks and types through Qt's delivery of mouse and key
// events every 200 to 500 ms. It counts each mode's ticks on the window's
// signal after every tick and samples memory every 2 s; when the Exit click
// ends the program, it prints its figures as a Markdown table on standard output.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "program_window.h"
#include "report.h"

// AddressSanitizer's heap in use, when its runtime is in the process.
extern "C" __attribute__((weak)) std::size_t __sanitizer_get_current_allocated_bytes();

namespace taborvane::bench {
namespace {

using Texts = std::vector<QString>;

constexpr std::array kTimers{"tmrCountdown", "tmrCountUp", "tmrDivide", "tmrTimes"};
constexpr std::array kPaces{"txtinterval", "txtintUp", "txtDividePace", "txtTimes"};
constexpr std::array kStarts{"cmdStart", "Command1", "cmdDivide", "cmdTimes"};
// Paces: texts that keep the pace at 1 ms, and texts that read as 0 (pausing
// the mode), as a negative pace (refused: the previous one stays) or as junk.
const Texts kPaceKeep{"1", "1", "1", "1.4", " 1", "+1", "01", "1e0", "0.6"};
const Texts kPaceUpset{"0", "", "-5", "-1", "x", "0.4", "abc", " ", "-0", "1e", "2", "1.5", "2e0"};
// First half: amounts that move the value, with a few junk or failing ones among them.
const Texts kStepMove{"7", "3", "-2", "250", "1e3", "12 34", "1.5", "-40", "0", "", "x", "5e9", "-1e300"};
const Texts kDivisorMove{"2", "-1", "3", "-3", "1.5", "7e0", "2", "0", "", "junk", "-0.4"};
const Texts kFactorMove{"1.5", "-1", "0.5", "2", "-2.5", "1.25", "3", "0", "abc", "1,5", "1e300", "1e999"};
const Texts kStartMove{"777",  "0", "-42", "2.1e9",     "-2.1e9",     "2.15e9", "3e9", "-3e9",
                       "junk", "",  "1",   "999999999", "-999999999", "12 345", "1e5"};
// Second half: amounts that make every step fail. Typing a whole new text
// would pass through prefixes that succeed ("5" of "5e9"), so an amount is
// edited only at its end: a failing base keeps a suffix that is rubbed out and
// retyped, and every text on the way fails too.
struct FailingAmount {
    const char* entry;
    QString base;
    Texts suffixes;
    QString suffix;  // the one typed last
};
const Texts kStepSuffixes{"", "9", "99", "0", "x", " junk", ".", "e"};
// Start values that never read as 0 while typed, so that no product is 0 × factor.
const Texts kStartFail{"777", "42", "2.1e9", "5", "123456789", "1e5", "3e9", "9"};

struct Sample {
    Nanoseconds at;
    long rssKib;
    QString display;
    long long heapBytes;  // -1 without the sanitizer's runtime
};

long ResidentKib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// Each mode's ticks, by its timer's design name, told after its procedure has run.
class TickCounter : public QObject {
    Q_OBJECT
public:
    std::array<long long, kTimers.size()> byMode{};
public slots:
    void count(const QString& timer) {
        for (std::size_t i = 0; i < kTimers.size(); ++i)
            if (timer == QLatin1String(kTimers[i])) ++byMode[i];
    }
};

class Soak {
public:
    Soak(QWidget& window, double seconds) : window_(window), seconds_(seconds) {
        if (!QObject::connect(&window, SIGNAL(tickRan(QString)), &counter_, SLOT(count(QString))))
            qFatal("soak: the window has no tickRan(QString)");
        // After the window's own binding: the Stop procedure has run when this notes the ticks.
        QObject::connect(Named<QPushButton>(window, "cmdStop"), &QPushButton::clicked, &sampling_, [this] {
            ++stopClicks_;
            ticksAtStop_ = ticks();
        });
        QObject::connect(&sampling_, &QTimer::timeout, &sampling_, [this] { sample(); });
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, &sampling_, [this] { report(); });
    }

    void run() {
        sample();
        sampling_.start(2000);
        const Nanoseconds half = static_cast<Nanoseconds>(seconds_ * 5e8);
        startPhase("777", "7", "3", "-1", "1.5");
        phase1_ = Now();
        driveUntil(phase1_ + half, false);
        stopAndCheck(mid_);
        for (FailingAmount& amount : failing_) amount.suffix.clear();
        startPhase("777", failing_[0].base, failing_[1].base, failing_[2].base, failing_[3].base);
        phase2_ = Now();
        driveUntil(phase2_ + half, true);
        // With every step failing, the value is the start value last typed and stays so while the modes tick.
        edit("txtStart", "4242");
        QTest::qWait(500);
        const long long before = ticks();
        QTest::qWait(2500);
        valueAfterTyping_ = display();
        ticksWhileChecked_ = ticks() - before;
        endOfDriving_ = Now();
        stopAndCheck(end_);
        click("Cmdexit");  // the program ends; report() prints the figures on the way out
    }

private:
    struct StopCheck {
        long long ticks = 0, ticksAfterStop = -1;
    };

    long long ticks() const {
        long long total = 0;
        for (const long long ticks : counter_.byMode) total += ticks;
        return total;
    }
    QString display() { return Named<QWidget>(window_, "lblDisplay")->property("text").toString(); }
    const QString& pick(const Texts& texts) { return texts[random_() % texts.size()]; }
    bool chance(unsigned in) { return random_() % in == 0; }

    void click(const char* button) {
        QTest::mouseClick(Named<QPushButton>(window_, button), Qt::LeftButton);
        ++clicks_;
    }
    // Click into the entry, select all, then type the new text (an empty one is a Backspace).
    void edit(const char* entry, const QString& text) {
        auto& box = *Named<QLineEdit>(window_, entry);
        QTest::mouseClick(&box, Qt::LeftButton);
        QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty()) QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClicks(&box, text, Qt::NoModifier, 15);
        ++edits_;
    }
    // Click into the entry, go to its end, rub out the old suffix and type a new one.
    void editSuffix(FailingAmount& amount) {
        auto& box = *Named<QLineEdit>(window_, amount.entry);
        const QString& suffix = pick(amount.suffixes);
        QTest::mouseClick(&box, Qt::LeftButton);
        QTest::keyClick(&box, Qt::Key_End);
        for (qsizetype i = 0; i < amount.suffix.size(); ++i) QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClicks(&box, suffix, Qt::NoModifier, 15);
        amount.suffix = suffix;
        ++edits_;
    }
    void amountEdit(std::size_t which, bool failing, const Texts& moving) {
        if (failing)
            editSuffix(failing_[which]);
        else
            edit(failing_[which].entry, pick(moving));
    }

    // Sets the start value, the amounts and every pace to 1 ms, and starts all four modes.
    void startPhase(const QString& start, const QString& step, const QString& up, const QString& divisor,
                    const QString& factor) {
        edit("txtStart", start);
        edit("txtincdown", step);
        edit("txtIncriments", up);
        edit("txtdivideAmount", divisor);
        edit("txtTimesamount", factor);
        for (const char* pace : kPaces) edit(pace, "1");
        for (const char* button : kStarts) click(button);
    }

    // One action every 200 to 500 ms: mostly an entry edit, sometimes the four
    // start buttons again (a mode may have stopped itself at its stop value) or
    // Reset Zero. A pace upset is put right by the next action.
    void driveUntil(Nanoseconds end, bool failing) {
        const char* restore = nullptr;
        while (Now() < end) {
            if (restore != nullptr) {
                edit(restore, pick(kPaceKeep));
                restore = nullptr;
            } else {
                const unsigned action = random_() % 20;
                if (action < 4) {
                    restore = kPaces[random_() % kPaces.size()];
                    edit(restore, pick(kPaceUpset));
                } else if (action < 8) {
                    amountEdit(0, failing, kStepMove);
                } else if (action < 11) {
                    amountEdit(1, failing, kStepMove);
                } else if (action < 13) {
                    amountEdit(2, failing, kDivisorMove);
                } else if (action < 15) {
                    amountEdit(3, failing, kFactorMove);
                } else if (action < 17) {
                    edit("txtStart", pick(failing ? kStartFail : kStartMove));
                } else if (action < 19) {
                    for (const char* button : kStarts) click(button);
                } else {
                    // Reset Zero would make the value 0, whose product with any factor succeeds.
                    click(failing ? kStarts[random_() % kStarts.size()] : "cmdReset");
                }
            }
            QTest::qWait(static_cast<int>(200 + 100 * (random_() % 4)));
        }
    }

    void stopAndCheck(StopCheck& check) {
        click("cmdStop");
        QTest::qWait(2500);
        check = {ticks(), ticks() - ticksAtStop_};
    }

    void sample() {
        const long long heap = __sanitizer_get_current_allocated_bytes != nullptr
                                   ? static_cast<long long>(__sanitizer_get_current_allocated_bytes())
                                   : -1;
        samples_.push_back({Now(), ResidentKib(), display(), heap});
    }

    void report();

    QWidget& window_;
    double seconds_;
    std::mt19937 random_{1};  // the same edits in the same order on every run
    TickCounter counter_;
    std::array<FailingAmount, 4> failing_{{{"txtincdown", "5e9", kStepSuffixes, {}},
                                           {"txtIncriments", "-5e9", kStepSuffixes, {}},
                                           {"txtdivideAmount", "0", {"", "0", ".4", ".49", "e5", "x9", " ", ".0"}, {}},
                                           {"txtTimesamount", "1e300", {"", "0", "9", "x", " ", ".", "e"}, {}}}};
    QTimer sampling_;
    std::vector<Sample> samples_;
    long long stopClicks_ = 0, ticksAtStop_ = 0, ticksWhileChecked_ = 0;
    long edits_ = 0, clicks_ = 0;
    Nanoseconds phase1_ = 0, phase2_ = 0, endOfDriving_ = 0;
    StopCheck mid_, end_;
    QString valueAfterTyping_;
};

// Memory figures over the samples up to the Exit click, in KiB: at the start,
// at the reference time, at the end, largest, and largest from the reference time on.
struct MemoryFigures {
    long long start = -1, atReference = -1, end = -1, largest = -1, largestAfter = -1;
};

template <typename Figure>
MemoryFigures FiguresOf(const std::vector<Sample>& samples, Nanoseconds reference, Figure figure) {
    MemoryFigures f;
    for (const Sample& sample : samples) {
        const long long kib = figure(sample);
        if (kib < 0) continue;
        if (f.start < 0) f.start = kib;
        f.end = kib;
        f.largest = std::max(f.largest, kib);
        if (sample.at >= reference) {
            if (f.atReference < 0) f.atReference = kib;
            f.largestAfter = std::max(f.largestAfter, kib);
        }
    }
    return f;
}

std::string Mib(long long kib) { return kib < 0 ? "not reached" : Fixed(static_cast<double>(kib) / 1024, 1) + " MiB"; }
std::string Growth(const MemoryFigures& f) {
    return f.atReference < 0 ? "-" : std::to_string(f.largestAfter - f.atReference);
}
std::string Verdict(bool pass) { return pass ? "pass" : "FAIL"; }
std::string PerSecond(long long ticks, Nanoseconds span) {
    return span > 0 ? Fixed(static_cast<double>(ticks) * 1e9 / static_cast<double>(span), 0) : "?";
}

void Soak::report() {
    sampling_.stop();
    const int referenceSeconds = std::min(static_cast<int>(seconds_ / 3), 60);
    const Nanoseconds reference = phase1_ + Nanoseconds{referenceSeconds} * 1'000'000'000;
    const MemoryFigures heap =
        FiguresOf(samples_, reference, [](const Sample& s) { return s.heapBytes < 0 ? -1 : s.heapBytes / 1024; });
    const MemoryFigures rss = FiguresOf(samples_, reference, [](const Sample& s) { return s.rssKib; });
    std::set<QString> distinct;
    for (const Sample& sample : samples_)
        if (sample.at >= phase1_ && sample.at < phase2_) distinct.insert(sample.display);
    std::string byMode;
    bool everyModeTicked = true;
    for (std::size_t i = 0; i < kTimers.size(); ++i) {
        byMode += (i == 0 ? "" : ", ") + std::string(kTimers[i]) + " " + std::to_string(counter_.byMode[i]);
        everyModeTicked = everyModeTicked && counter_.byMode[i] > 0;
    }
    const long long firstHalf = mid_.ticks, secondHalf = end_.ticks - mid_.ticks;
    const long long untilExit = ticks() - ticksAtStop_;
    const bool heapKnown = heap.atReference >= 0;
    const std::string ref = std::to_string(referenceSeconds) + " s";
    const std::string afterStop = std::to_string(mid_.ticksAfterStop) + "; " + std::to_string(end_.ticksAfterStop) +
                                  "; " + std::to_string(untilExit);
    PrintTable(
        {"figure", "value", "check"},
        {{"ticks, first half (value moving)",
          std::to_string(firstHalf) + " (" + PerSecond(firstHalf, phase2_ - phase1_) + "/s)", Verdict(firstHalf > 0)},
         {"ticks, second half (every step failing)",
          std::to_string(secondHalf) + " (" + PerSecond(secondHalf, endOfDriving_ - phase2_) + "/s)",
          Verdict(secondHalf > 0)},
         {"ticks in all, by mode", std::to_string(ticks()) + ": " + byMode, Verdict(everyModeTicked)},
         {"distinct values seen in the first half's samples", std::to_string(distinct.size()), ""},
         {"value 2.5 s after typing 4242, every step failing",
          valueAfterTyping_.toStdString() + " (" + std::to_string(ticksWhileChecked_) + " ticks meanwhile)",
          Verdict(valueAfterTyping_ == QLatin1String("4242"))},
         {"driver actions", std::to_string(edits_) + " entry edits, " + std::to_string(clicks_) + " clicks", ""},
         {"heap in use at the start (window shown) / at " + ref + " / at the end / largest",
          Mib(heap.start) + " / " + Mib(heap.atReference) + " / " + Mib(heap.end) + " / " + Mib(heap.largest), ""},
         {"heap growth after " + ref + " (largest later sample minus that one)", Growth(heap) + " KiB",
          heapKnown ? Verdict(heap.largestAfter - heap.atReference <= 1024) + " ≤ 1024 KiB" : "no sanitizer runtime"},
         {"VmRSS at the start / at " + ref + " / at the end / largest of " + std::to_string(samples_.size()) +
              " samples",
          Mib(rss.start) + " / " + Mib(rss.atReference) + " / " + Mib(rss.end) + " / " + Mib(rss.largest), ""},
         {"VmRSS growth after " + ref, Growth(rss) + " KiB",
          heapKnown ? "not judged, see above"
                    : Verdict(rss.atReference >= 0 && rss.largestAfter - rss.atReference <= 1024) + " ≤ 1024 KiB"},
         {"ticks after Stop (mid-run; at the end; until exit)", afterStop,
          Verdict(mid_.ticksAfterStop == 0 && end_.ticksAfterStop == 0 && untilExit == 0 && stopClicks_ == 2)}});
    std::fflush(stdout);
}

void StartSoak() {
    bool given = false;
    const int seconds = qEnvironmentVariableIntValue("TABORVANE_SOAK_SECONDS", &given);
    if (!given) return;
    QTimer::singleShot(0, qApp, [seconds] {
        static Soak soak(ShownProgramWindow(), seconds);  // lives until the program's exit, when it reports
        soak.run();
    });
}

}  // namespace
}  // namespace taborvane::bench

namespace {
void StartSoakDriver() { taborvane::bench::StartSoak(); }
}  // namespace
Q_COREAPP_STARTUP_FUNCTION(StartSoakDriver)

#include "soak_probe.moc"
