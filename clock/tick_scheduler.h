// Keeping time, with Qt Core only. The modes' ticks are not taken at their
// instants but caught up whenever someone could observe them, in exactly the
// order and number that taking each at its instant gives. One catch-up, two
// callers:
//   any event but a paint -> EventCatchUp -> TickScheduler::catchUp -> each Timer::tick due
//   a click or an edit    -> TickScheduler::atPresent(its procedure): catchUp again, to the
//                            procedure's own instant, then no tick until the procedure ends
//   the one alarm rings   -> its event, as above; then TickScheduler::ring -> FrameClock
// Both are needed: the event's catch-up serves whatever it shows or asks (an
// assistive tool's question, closing), but a procedure must also hold the
// ticks off while it runs, and its click may come with no event before it.
// The alarm rings at most once per frame of the screen while a mode runs
// (FrameClock decides when), and not at all while none does.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace taborvane::clock {

using Nanoseconds = std::int64_t;  // on the monotonic clock
inline constexpr Nanoseconds kMillisecond = 1'000'000;

// The clock and the one alarm a scheduler runs on: the kernel's in the
// program, a hand-driven one in tests.
class WakeSource {
public:
    virtual ~WakeSource() = default;
    [[nodiscard]] virtual Nanoseconds now() const = 0;
    // Rings once the clock reaches the deadline, even one already past; a new
    // deadline replaces the previous one.
    virtual void wakeAt(Nanoseconds deadline) = 0;
    virtual void cancelWake() = 0;

    void onWake(std::function<void()> handler) { handler_ = std::move(handler); }

protected:
    // False when nobody listens.
    [[nodiscard]] bool ring() const {
        if (!handler_) return false;
        handler_();
        return true;
    }

private:
    std::function<void()> handler_;
};

class TickScheduler {
public:
    // One repeating timer: its ticks fall due at whole multiples of the
    // interval after it was started, to the nanosecond, and each runs as if at
    // its own instant, though the scheduler may run it later, together with
    // others. Ticks due at the same instant run in the order the timers were
    // made (the modes are made in mode order). Qt's own timers round every
    // wait up to a whole millisecond and skip the ticks they are late for.
    class Timer {
    public:
        explicit Timer(TickScheduler& scheduler);
        virtual ~Timer();
        Timer(const Timer&) = delete;
        Timer& operator=(const Timer&) = delete;

    protected:
        // The first tick one interval (> 0) after the present instant, then one every interval.
        void startRepeating(Nanoseconds interval);
        void stopRepeating();
        [[nodiscard]] bool isRepeating() const { return repeating_; }
        virtual void tick() = 0;

    private:
        friend class TickScheduler;
        TickScheduler* scheduler_;  // null once the scheduler is gone
        Nanoseconds due_ = 0;
        Nanoseconds interval_ = 0;
        bool repeating_ = false;
    };

    // When the alarm may ring, and what follows the ticks of a ring: the frames.
    class Pacing {
    public:
        virtual ~Pacing() = default;
        // No ring for ticks before this instant.
        [[nodiscard]] virtual Nanoseconds earliestRing() const = 0;
        // A ring wanted at this instant even with no tick due.
        [[nodiscard]] virtual std::optional<Nanoseconds> wantedRing() const = 0;
        // The ticks of a ring at `moment` have run.
        virtual void afterTicks(Nanoseconds moment) = 0;
    };

    explicit TickScheduler(WakeSource& source);
    ~TickScheduler();
    TickScheduler(const TickScheduler&) = delete;
    TickScheduler& operator=(const TickScheduler&) = delete;

    // Without pacing the alarm rings at every tick's instant.
    void setPacing(Pacing* pacing);

    // The instant the ticks are up to: every tick due by then has run, and none after.
    [[nodiscard]] Nanoseconds present() const { return present_; }
    [[nodiscard]] Nanoseconds now() const { return source_.now(); }

    // Runs every tick due by now. Does nothing while ticks run or an action holds them.
    void catchUp();
    // Runs what is due by now, then the action at this instant with no tick in
    // between: a procedure runs to its end before the next tick.
    template <typename Action>
    void atPresent(Action&& action) {
        catchUp();
        {
            const Hold hold(*this);
            action();
        }
        rearm();
    }
    // Sets the alarm again: the pacing has changed.
    void rearm();
    // Whether ticks or an action are under way.
    [[nodiscard]] bool isHolding() const { return holds_ > 0; }
    // Called when ticks or an action are over, before anything else can look.
    void whenSettled(std::function<void()> settle) { settle_ = std::move(settle); }

private:
    // Keeps ticks from running, and the alarm from being set, until it ends.
    class Hold {
    public:
        explicit Hold(TickScheduler& scheduler) : scheduler_(scheduler) { ++scheduler_.holds_; }
        ~Hold() {
            if (scheduler_.holds_ == 1 && scheduler_.settle_) scheduler_.settle_();
            --scheduler_.holds_;
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        TickScheduler& scheduler_;
    };

    void ring();
    void setAlarm(std::optional<Nanoseconds> moment);
    void runDueBy(Nanoseconds moment);
    [[nodiscard]] Timer* earliestDueBy(Nanoseconds moment) const;
    [[nodiscard]] std::optional<Nanoseconds> nextRing() const;

    WakeSource& source_;
    Pacing* pacing_ = nullptr;
    std::vector<Timer*> timers_;  // in the order they were made
    Nanoseconds present_;
    int holds_ = 0;  // ticks and actions under way
    std::function<void()> settle_;
    std::optional<Nanoseconds> alarm_;
};

}  // namespace taborvane::clock
