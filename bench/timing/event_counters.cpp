// Counts ticks by mode, and the program's events by receiver and type.
#include "event_counters.h"

#include <QMetaEnum>
#include <QWidget>
#include <numeric>

#include "clock/tick_timer.h"
#include "modes.h"

namespace taborvane::bench {

TickWatch::TickWatch(const QWidget& window) {
    for (std::size_t i = 0; i < kModes.size(); ++i) {
        auto* timer = window.findChild<taborvane::clock::TickTimer*>(QString::fromLatin1(kModes[i].timer));
        if (timer == nullptr) qFatal("no timer %s", kModes[i].timer);
        QObject::connect(timer, &taborvane::clock::TickTimer::timeout, this, [this, i] {
            ++counts_[i];
            last_ = Now();
            if (first_ == 0) first_ = last_;
        });
    }
}

std::uint64_t TickWatch::total() const { return std::accumulate(counts_.begin(), counts_.end(), std::uint64_t{0}); }

bool EventCounter::eventFilter(QObject* receiver, QEvent* event) {
    Count& count = counts_[{receiver, event->type()}];
    // Named at first sight: the receiver may be gone when the counts are read.
    if (count.times++ == 0) {
        // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) on " " + std::string here.
        const QString name = receiver->objectName();
        count.what = receiver->metaObject()->className();
        if (!name.isEmpty()) {
            count.what += ' ';
            count.what += name.toStdString();
        }
        count.what += ": ";
        // A type registered at run time has no name in the enum.
        const char* type = QMetaEnum::fromType<QEvent::Type>().valueToKey(event->type());
        count.what += type != nullptr ? std::string(type) : "event " + std::to_string(event->type());
    }
    return false;
}

std::map<std::string, int> EventCounter::named() const {
    std::map<std::string, int> named;
    for (const auto& [key, count] : counts_) named[count.what] += count.times;
    return named;
}

}  // namespace taborvane::bench
