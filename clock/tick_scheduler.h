// Keeping time, with Qt Core only: one alarm (KernelWakeSource, a timerfd the
// event loop watches) under a scheduler that runs every deadline that has come
// when it rings. Its clients are the modes' timers (TickTimer) and the frames
// of the screen (FrameClock):
//   timerfd readable -> KernelWakeSource -> TickScheduler::runDue -> Client::fire
//   -> TickTimer::timeout / FrameClock::frame -> whoever the window connected.
//
// Deadlines that have come by the time the alarm rings run in one wake-up,
// earliest first; at the same instant ticks run before frames, so a frame
// shows what the ticks of its instant did, and ticks run in the order their
// timers were made (the modes are made in mode order). A deadline given as a
// span also runs in any wake-up within it that ran ticks, right after them: a
// frame then costs no wake-up of its own, and it is drawn when the next tick
// is a whole pace away, instead of holding that tick up.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace taborvane::clock {

using Nanoseconds = std::int64_t;  // on the monotonic clock

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
    bool ring() const {
        if (!handler_) return false;
        handler_();
        return true;
    }

private:
    std::function<void()> handler_;
};

class TickScheduler {
public:
    enum class Rank { Tick, Frame };  // which runs first at the same instant

    // One repeating or one-shot deadline.
    class Client {
    public:
        explicit Client(TickScheduler& scheduler, Rank rank = Rank::Tick);
        virtual ~Client();
        Client(const Client&) = delete;
        Client& operator=(const Client&) = delete;

    protected:
        // Due first at firstDue, then every interval (> 0) after it.
        void waitRepeating(Nanoseconds firstDue, Nanoseconds interval);
        void waitOnce(Nanoseconds due);
        // Due at the latest at `latest`; from `earliest` on, also after the ticks of any wake-up.
        void waitWithin(Nanoseconds earliest, Nanoseconds latest);
        void stopWaiting();
        [[nodiscard]] bool isWaiting() const { return waiting_; }
        [[nodiscard]] Nanoseconds now() const;
        virtual void fire() = 0;

    private:
        friend class TickScheduler;
        TickScheduler* scheduler_;  // null once the scheduler is gone
        Rank rank_;
        Nanoseconds due_ = 0;
        Nanoseconds earliest_ = 0;  // of a one-shot span
        Nanoseconds interval_ = 0;  // 0: one-shot
        bool waiting_ = false;
    };

    explicit TickScheduler(WakeSource& source);
    ~TickScheduler();
    TickScheduler(const TickScheduler&) = delete;
    TickScheduler& operator=(const TickScheduler&) = delete;

    // Runs every deadline that has come, then sets the alarm for the next one.
    void runDue();
    [[nodiscard]] Nanoseconds now() const { return source_.now(); }

private:
    void rearm();
    [[nodiscard]] Client* earliestDue(Nanoseconds now) const;
    [[nodiscard]] Client* firstOpenSpan(Nanoseconds now) const;

    WakeSource& source_;
    std::vector<Client*> clients_;  // in the order they joined
    bool running_ = false;
    bool alarmSet_ = false;
    Nanoseconds alarm_ = 0;
};

}  // namespace taborvane::clock
