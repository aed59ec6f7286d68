// The program as the timing probe reaches it from inside its process: only
// through what every build of the window keeps stable, so that one probe
// measures the window of any commit. That is its design names (objectName:
// the form frmCountdown, its buttons, entries and display), Qt's own widget
// classes, and, where the window has them, the signal tickRan(QString) after
// every tick (earlier builds: the timers tmr*, whose timeout() is a tick) and
// the property ticksUpTo (the instant its ticks are up to; a window that took
// every tick at its own alarm has none: its ticks are up to now).
#pragma once

#include <QMetaProperty>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <span>
#include <vector>

#include "measuring.h"

class QLineEdit;
class QPushButton;
class QWidget;

namespace taborvane::bench {

struct Mode {
    const char* button;
    const char* pace;
    const char* amount;
    const char* timer;
    const char* typedAmount;
};

// Amounts with which every tick changes the value, and so does every batch of
// ticks a frame shows: countdown subtracts -2 and count up adds 4; divide by
// -1 flips the sign; multiply by 1.0001 moves |value| by at least 1,000. From
// 10,000,000 the value stays far from every stop value for minutes at 1 ms.
inline constexpr std::array<Mode, 4> kModes{{
    {"cmdStart", "txtinterval", "txtincdown", "tmrCountdown", "-2"},
    {"Command1", "txtintUp", "txtIncriments", "tmrCountUp", "4"},
    {"cmdDivide", "txtDividePace", "txtdivideAmount", "tmrDivide", "-1"},
    {"cmdTimes", "txtTimes", "txtTimesamount", "tmrTimes", "1.0001"},
}};
inline constexpr const char* kStartValue = "10000000";

// Counts the ticks on the window's signal (or each timer's, after the
// window's own connection), and the display's paints through an event filter:
// the program runs as it does alone. Each paint records, for every tick run
// since the paint before, the delay from the tick's instant to the paint.
class ProgramUnderTest : public QObject {
    Q_OBJECT
public:
    explicit ProgramUnderTest(QWidget& window);

    [[nodiscard]] QWidget& window() const { return window_; }
    [[nodiscard]] QWidget& display() const { return *display_; }
    [[nodiscard]] QPushButton& stopButton() const { return *stop_; }
    [[nodiscard]] bool tellsTicksInstant() const;

    // Stops every mode, types the start value, the pace and the amounts, and lets the repaints settle.
    void prepare(int pace);
    // Clicks the modes' start buttons in order, each 250 µs plus a random part of a pace after the one before.
    void startApart(int modes, int pace, std::mt19937& random);
    void stop() const;

    [[nodiscard]] std::uint64_t ticks() const { return ticks_; }
    [[nodiscard]] Nanoseconds lastTickAt() const { return lastTickAt_; }
    [[nodiscard]] Nanoseconds firstTickSinceMark() const { return firstSinceMark_; }
    void mark() { firstSinceMark_ = 0; }
    [[nodiscard]] std::uint64_t paints() const { return paints_; }
    // Delays recorded since the last call.
    [[nodiscard]] std::vector<Nanoseconds> takeDelays();
    // Whether each tick's instant is kept for the delays (reading it costs a little at every tick).
    void recordDelays(bool record) { recordDelays_ = record; }
    // Called at every paint of the display, before the delays are recorded.
    void onPaint(std::function<void()> watcher) { paintWatcher_ = std::move(watcher); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void countTick();

private:
    [[nodiscard]] Nanoseconds ticksInstant() const;
    void type(const char* entry, const QString& text) const;

    QWidget& window_;
    QWidget* display_;
    QPushButton* stop_;
    std::uint64_t ticks_ = 0, paints_ = 0;
    Nanoseconds lastTickAt_ = 0, firstSinceMark_ = 0;
    std::vector<Nanoseconds> unpainted_;  // instants of the ticks run since the last paint
    std::vector<Nanoseconds> delays_;
    std::function<void()> paintWatcher_;
    QMetaProperty ticksUpTo_;  // invalid where the window has none
    bool recordDelays_ = true;
};

}  // namespace taborvane::bench
