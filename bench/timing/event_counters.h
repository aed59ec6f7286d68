// What counts what the program does: the ticks of each mode; and, as an event
// filter, every event by receiver and type, to tell what woke an idle program.
#pragma once

#include <QEvent>
#include <QObject>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "bench_clock.h"

class QWidget;

namespace taborvane::bench {

// Counts the ticks of each mode through a second connection to its tick timer,
// made after the window's own, so that the program runs as it does alone.
class TickWatch : public QObject {
public:
    explicit TickWatch(const QWidget& window);
    // Ticks so far, by mode.
    [[nodiscard]] const std::array<std::uint64_t, 4>& counts() const { return counts_; }
    [[nodiscard]] std::uint64_t total() const;
    // From now on, firstAt() is the first tick's moment; 0 until one comes.
    void mark() { first_ = 0; }
    [[nodiscard]] Nanoseconds firstAt() const { return first_; }
    [[nodiscard]] Nanoseconds lastAt() const { return last_; }

private:
    std::array<std::uint64_t, 4> counts_{};
    Nanoseconds first_ = 0, last_ = 0;
};

// Counts the events the program handles while idle, by receiver and kind, to
// tell what woke it.
class EventCounter : public QObject {
public:
    bool eventFilter(QObject* receiver, QEvent* event) override;
    // Times handled, by "class objectName: type".
    std::map<std::string, int> named() const;

private:
    struct Count {
        int times = 0;
        std::string what;
    };
    std::map<std::pair<QObject*, QEvent::Type>, Count> counts_;
};

}  // namespace taborvane::bench
