#include "tick_scheduler.h"

#include <algorithm>
#include <limits>

namespace taborvane::clock {
namespace {

// After the machine sleeps, a fast timer may owe millions of ticks; replaying
// more than this many at once would freeze the window.
constexpr Nanoseconds kMostTicksReplayed = 1000;

}  // namespace

TickScheduler::Client::Client(TickScheduler& scheduler, Rank rank) : scheduler_(&scheduler), rank_(rank) {
    scheduler.clients_.push_back(this);
}

TickScheduler::Client::~Client() {
    if (scheduler_ == nullptr) return;
    auto& clients = scheduler_->clients_;
    clients.erase(std::find(clients.begin(), clients.end(), this));
    if (waiting_) scheduler_->rearm();
}

void TickScheduler::Client::waitRepeating(Nanoseconds firstDue, Nanoseconds interval) {
    due_ = firstDue;
    earliest_ = firstDue;
    interval_ = interval;
    waiting_ = true;
    if (scheduler_ != nullptr) scheduler_->rearm();
}

void TickScheduler::Client::waitOnce(Nanoseconds due) { waitRepeating(due, 0); }

void TickScheduler::Client::waitWithin(Nanoseconds earliest, Nanoseconds latest) {
    waitRepeating(latest, 0);
    earliest_ = std::min(earliest, latest);
}

void TickScheduler::Client::stopWaiting() {
    if (!waiting_) return;
    waiting_ = false;
    if (scheduler_ != nullptr) scheduler_->rearm();
}

Nanoseconds TickScheduler::Client::now() const { return scheduler_ != nullptr ? scheduler_->now() : 0; }

TickScheduler::TickScheduler(WakeSource& source) : source_(source) {
    source_.onWake([this] { runDue(); });
}

TickScheduler::~TickScheduler() {
    source_.onWake({});
    source_.cancelWake();
    for (Client* client : clients_) client->scheduler_ = nullptr;
}

TickScheduler::Client* TickScheduler::earliestDue(Nanoseconds now) const {
    Client* earliest = nullptr;
    for (Client* client : clients_) {
        if (!client->waiting_ || client->due_ > now) continue;
        // The first to join wins a tie of instant and rank.
        if (earliest == nullptr || client->due_ < earliest->due_ ||
            (client->due_ == earliest->due_ && client->rank_ < earliest->rank_))
            earliest = client;
    }
    return earliest;
}

TickScheduler::Client* TickScheduler::firstOpenSpan(Nanoseconds now) const {
    for (Client* client : clients_)
        if (client->waiting_ && client->interval_ == 0 && client->earliest_ <= now) return client;
    return nullptr;
}

void TickScheduler::runDue() {
    // The alarm has rung: it is set again or cancelled below, whatever comes.
    alarmSet_ = true;
    alarm_ = std::numeric_limits<Nanoseconds>::min();
    // Ticks that come due while these run wait for the next wake-up, so a
    // pace faster than its tick still lets events through.
    const Nanoseconds now = source_.now();
    for (Client* client : clients_) {
        if (!client->waiting_ || client->interval_ == 0 || client->due_ > now) continue;
        const Nanoseconds owed = (now - client->due_) / client->interval_ + 1;
        if (owed > kMostTicksReplayed) client->due_ += (owed - kMostTicksReplayed) * client->interval_;
    }
    running_ = true;
    bool ticked = false;
    while (Client* next = earliestDue(now)) {
        // Moved on before it fires, so that a restart inside the tick wins.
        if (next->interval_ > 0)
            next->due_ += next->interval_;
        else
            next->waiting_ = false;
        ticked = ticked || next->rank_ == Rank::Tick;
        next->fire();
    }
    while (Client* open = ticked ? firstOpenSpan(now) : nullptr) {
        open->waiting_ = false;
        open->fire();
    }
    running_ = false;
    rearm();
}

void TickScheduler::rearm() {
    if (running_) return;  // runDue sets the alarm once, at its end
    bool any = false;
    Nanoseconds next = 0;
    for (const Client* client : clients_) {
        if (!client->waiting_) continue;
        next = any ? std::min(next, client->due_) : client->due_;
        any = true;
    }
    if (!any) {
        if (alarmSet_) source_.cancelWake();
        alarmSet_ = false;
        return;
    }
    if (alarmSet_ && alarm_ == next) return;
    alarm_ = next;
    alarmSet_ = true;
    source_.wakeAt(next);
}

}  // namespace taborvane::clock
