// Records the display's paints through an event filter, and asks it for its
// value through its accessible interface, as a screen reader would.
#include "observations.h"

#include <QAccessible>
#include <QEvent>
#include <QLabel>

namespace taborvane::bench {

ObservationRecorder::ObservationRecorder(QLabel& display, const TickWatch& ticks, std::function<Nanoseconds()> instant)
    : display_(display),
      accessible_(QAccessible::queryAccessibleInterface(&display)),
      ticks_(ticks),
      instant_(std::move(instant)) {
    if (accessible_ == nullptr) qFatal("the display has no accessible interface");
    asking_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&asking_, &QTimer::timeout, this,
                     [this] { record(Observation::Kind::Query, accessible_->text(QAccessible::Name)); });
}

ObservationRecorder::~ObservationRecorder() { stop(); }

void ObservationRecorder::start() {
    seen_.clear();
    // No reallocation while a case of the usual length is measured.
    seen_.reserve(4096);
    frames_ = 0;
    ticksBefore_ = ticks_.counts();
    display_.installEventFilter(this);
}

void ObservationRecorder::askEvery(int ms) {
    if (ms > 0)
        asking_.start(ms);
    else
        asking_.stop();
}

void ObservationRecorder::stop() {
    asking_.stop();
    display_.removeEventFilter(this);
}

bool ObservationRecorder::eventFilter(QObject* /*receiver*/, QEvent* event) {
    // A frame draws the text the display holds as its paint begins.
    if (event->type() == QEvent::Paint) {
        record(Observation::Kind::Frame, display_.text());
        ++frames_;
    }
    return false;
}

void ObservationRecorder::record(Observation::Kind kind, const QString& value) {
    // The instant is read right after the value: reading the value may bring the ticks up to date.
    const Nanoseconds instant = instant_();
    Observation seen{kind, instant, Now(), value, {}};
    const auto& counts = ticks_.counts();
    for (std::size_t i = 0; i < counts.size(); ++i) seen.ticksRun[i] = counts[i] - ticksBefore_[i];
    seen_.push_back(std::move(seen));
}

}  // namespace taborvane::bench
