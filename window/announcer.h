// What a screen reader's user hears of the number without moving the focus:
// after a click, an edit or a mode that stops itself, the number is told to
// assistive tools politely, at most once a second, and when requests come
// closer than that, once, with the number shown at that instant. The
// announcement waits on the window's scheduler like a mode's tick, so the
// number it tells is exact, and no tick ever asks for one.
//   request -> the scheduler's alarm -> tick here -> QAccessible event -> assistive tools
#pragma once

#include <QAccessible>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "clock/tick_scheduler.h"

namespace taborvane::window {

class Announcer final : private clock::TickScheduler::Timer, private QAccessible::ActivationObserver {
public:
    enum class When {
        AtOnce,       // a click, a mode that stopped itself
        AfterAPause,  // an edit, once the keystrokes pause; the window, once a screen reader has presented it
    };
    static constexpr clock::Nanoseconds kLeastApart = 1000 * clock::kMillisecond;
    static constexpr clock::Nanoseconds kPause = 500 * clock::kMillisecond;

    // `number` gives the number as shown at the present instant of the ticks.
    Announcer(QWidget& window, clock::TickScheduler& scheduler, std::function<QString()> number);
    ~Announcer() override;
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;

    void request(When when);
    // As request, but if no assistive tool listens yet, once one does: an
    // announcement nobody can hear is lost.
    void requestOnceHeard(When when);

private:
    class Delivery;

    void tick() override;
    void accessibilityActiveChanged(bool active) override;

    clock::TickScheduler& scheduler_;
    std::function<QString()> number_;
    std::unique_ptr<Delivery> delivery_;
    std::optional<clock::Nanoseconds> due_;   // the instant of the announcement waiting
    std::optional<clock::Nanoseconds> last_;  // the instant of the last one made
    std::optional<When> onceHeard_;
};

}  // namespace taborvane::window
