#include "program_under_test.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVariant>
#include <QWidget>

#include "program_window.h"

namespace taborvane::bench {

ProgramUnderTest::ProgramUnderTest(QWidget& window)
    : window_(window), display_(Named<QWidget>(window, "lblDisplay")), stop_(Named<QPushButton>(window, "cmdStop")) {
    unpainted_.reserve(1 << 16);
    delays_.reserve(1 << 18);
    // By the signal's name: the window's class is the build's own.
    if (window.metaObject()->indexOfSignal("tickRan(QString)") >= 0) {
        if (!connect(&window, SIGNAL(tickRan(QString)), this, SLOT(countTick())))
            qFatal("timing probe: cannot connect to the window's tickRan(QString)");
    } else {
        for (const Mode& mode : kModes)
            if (!connect(Named<QObject>(window, mode.timer), SIGNAL(timeout()), this, SLOT(countTick())))
                qFatal("timing probe: %s has neither tickRan(QString) nor timeout()", mode.timer);
    }
    const int property = window.metaObject()->indexOfProperty("ticksUpTo");
    if (property >= 0) ticksUpTo_ = window.metaObject()->property(property);
    display_->installEventFilter(this);
}

bool ProgramUnderTest::tellsTicksInstant() const { return ticksUpTo_.isValid(); }

Nanoseconds ProgramUnderTest::ticksInstant() const {
    return ticksUpTo_.isValid() ? ticksUpTo_.read(&window_).toLongLong() : Now();
}

void ProgramUnderTest::countTick() {
    ++ticks_;
    lastTickAt_ = Now();
    if (firstSinceMark_ == 0) firstSinceMark_ = lastTickAt_;
    if (recordDelays_) unpainted_.push_back(ticksInstant());
}

bool ProgramUnderTest::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() != QEvent::Paint) return false;
    if (paintWatcher_) paintWatcher_();
    ++paints_;
    const Nanoseconds now = Now();
    for (const Nanoseconds instant : unpainted_) delays_.push_back(now - instant);
    unpainted_.clear();
    return false;
}

std::vector<Nanoseconds> ProgramUnderTest::takeDelays() {
    std::vector<Nanoseconds> taken;
    taken.reserve(delays_.capacity());
    taken.swap(delays_);
    unpainted_.clear();
    return taken;
}

void ProgramUnderTest::type(const char* entry, const QString& text) const {
    // Cleared first: a text typed again unchanged would run no Change procedure.
    auto* line = Named<QLineEdit>(window_, entry);
    line->clear();
    line->setText(text);
}

void ProgramUnderTest::prepare(int pace) {
    stop();
    type("txtStart", QString::fromLatin1(kStartValue));
    for (const Mode& mode : kModes) {
        type(mode.pace, QString::number(pace));
        type(mode.amount, QString::fromLatin1(mode.typedAmount));
    }
    RunEventLoopFor(300);  // the edits' repaints are done before anything is measured
    static_cast<void>(takeDelays());
}

void ProgramUnderTest::startApart(int modes, int pace, std::mt19937& random) {
    // One mode is count up, two are countdown and count up, four are all.
    static constexpr std::array<int, 1> kOne{1};
    static constexpr std::array<int, 2> kTwo{0, 1};
    static constexpr std::array<int, 4> kFour{0, 1, 2, 3};
    const std::span<const int> started = modes == 1   ? std::span<const int>(kOne)
                                         : modes == 2 ? std::span<const int>(kTwo)
                                                      : std::span<const int>(kFour);
    std::uniform_int_distribution<Nanoseconds> offset(0, Nanoseconds{pace} * 1'000'000 - 1);
    Nanoseconds last = 0;
    for (const int mode : started) {
        if (last != 0) {
            const Nanoseconds next = last + 250'000 + offset(random);
            while (Now() < next) QCoreApplication::processEvents();
        }
        Named<QPushButton>(window_, kModes[static_cast<std::size_t>(mode)].button)->click();
        last = Now();
    }
}

void ProgramUnderTest::stop() const { stop_->click(); }

}  // namespace taborvane::bench
