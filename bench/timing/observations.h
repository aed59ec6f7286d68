// What a person or an assistive tool could observe of the display while the
// modes run: each frame painted, and each answer to an assistive tool asking
// for the display's value, with the instant of the ticks it stands for.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "bench_clock.h"
#include "event_counters.h"

class QAccessibleInterface;
class QLabel;

namespace taborvane::bench {

struct Observation {
    enum class Kind { Frame, Query };
    Kind kind;
    Nanoseconds instant;  // of the ticks it shows: every tick due by then, and none after
    Nanoseconds at;       // when it was painted or answered
    QString value;
    std::array<std::uint64_t, 4> ticksRun;  // by mode, since recording began
};

class ObservationRecorder : public QObject {
public:
    // `instant` tells the instant the window's ticks are up to, read at each observation.
    ObservationRecorder(QLabel& display, const TickWatch& ticks, std::function<Nanoseconds()> instant);
    ~ObservationRecorder() override;

    // Forgets what was seen and watches the display's paints.
    void start();
    // An assistive tool asks every `ms` milliseconds, at a pace unrelated to the frames; 0 stops it.
    void askEvery(int ms);
    void stop();

    [[nodiscard]] const std::vector<Observation>& seen() const { return seen_; }
    [[nodiscard]] std::size_t frames() const { return frames_; }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    void record(Observation::Kind kind, const QString& value);

    QLabel& display_;
    QAccessibleInterface* accessible_;
    const TickWatch& ticks_;
    std::function<Nanoseconds()> instant_;
    std::array<std::uint64_t, 4> ticksBefore_{};
    std::vector<Observation> seen_;
    std::size_t frames_ = 0;
    QTimer asking_;
};

}  // namespace taborvane::bench
