// Types into the window's entries and clicks its buttons as QTest's input does,
// taking the instant each start took effect from inside the click.
#include "mode_starter.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "tests/find_control.h"
#include "ticks_instant.h"

namespace taborvane::bench {

ModeStarter::ModeStarter(taborvane::window::CountdownWindow& window)
    : window_(window), stop_(FindControl<QPushButton>(window, "cmdStop")) {
    // Connected after the window's own binding, so it runs right after the
    // procedure has started the timer: the ticks are then up to the click's
    // instant, from which the timer counts.
    for (std::size_t i = 0; i < kModes.size(); ++i)
        QObject::connect(FindControl<QPushButton>(window_, kModes[i].button), &QPushButton::clicked, &window_,
                         [this, i] { startedAt_[i] = TicksUpTo(window_); });
}

void ModeStarter::type(const char* entry, const char* text) {
    // Cleared first: a text typed again unchanged would run no Change procedure.
    auto* line = FindControl<QLineEdit>(window_, entry);
    line->clear();
    line->setText(QString::fromLatin1(text));
}

void ModeStarter::prepare(int pace) {
    stop();
    type("txtStart", kStartValue);
    const QByteArray paceText = QByteArray::number(pace);
    for (std::size_t i = 0; i < kModes.size(); ++i) {
        type(kModes[i].pace, paceText.constData());
        type(kModes[i].amount, kAmounts[i]);
    }
    RunEventLoopFor(300);  // the edits' repaints are done before the clock starts
}

std::vector<StartedMode> ModeStarter::startApart(std::span<const int> modes, int pace, std::mt19937& random) {
    std::uniform_int_distribution<Nanoseconds> offset(0, Nanoseconds{pace} * 1'000'000 - 1);
    std::vector<StartedMode> started;
    for (const int mode : modes) {
        const auto m = static_cast<std::size_t>(mode);
        if (!started.empty()) {
            const Nanoseconds next = started.back().at + 250'000 + offset(random);
            while (Now() < next) QCoreApplication::processEvents();
        }
        startedAt_[m] = 0;
        QTest::mouseClick(FindControl<QPushButton>(window_, kModes[m].button), Qt::LeftButton);
        if (startedAt_[m] == 0) qFatal("%s was not clicked", kModes[m].button);
        started.push_back({mode, startedAt_[m]});
    }
    return started;
}

void ModeStarter::stop() { stop_->click(); }

}  // namespace taborvane::bench
