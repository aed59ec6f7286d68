// The control surface in memory, with a virtual clock, so that tests,
// benchmarks and fuzz targets run the counter without a window or waiting.
//
// Clock rules: an enabled timer whose interval is above 0 falls due one
// interval after it was enabled or its interval last changed, then every
// interval after its previous due time. advance() delivers the due ticks one
// at a time in time order; ticks due at the same moment go in mode order
// (countdown, count up, divide, multiply). After the program ends nothing is
// delivered.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../control_surface.h"
#include "../design_state.h"
#include "../interval_timer.h"
#include "../modes.h"

namespace taborvane::testing {

// Records every write to the surface as "control.Property=value", in order.
using Journal = std::vector<std::string>;

class MemoryControl {
public:
    explicit MemoryControl(std::string_view name) : name_(name) {}
    [[nodiscard]] std::string_view name() const { return name_; }
    void attachJournal(Journal* journal) { journal_ = journal; }

protected:
    [[nodiscard]] bool isJournaled() const { return journal_ != nullptr; }
    void record(std::string_view property, std::string_view value) const {
        if (journal_ != nullptr) appendToJournal(property, value);
    }

private:
    void appendToJournal(std::string_view property, std::string_view value) const;

    std::string_view name_;
    Journal* journal_ = nullptr;
};

class MemoryLabel final : public Label, public MemoryControl {
public:
    // At its design-time caption.
    explicit MemoryLabel(std::string_view name) : MemoryControl(name), caption_(DesignTextOf(name)) {}
    void setCaption(std::string_view caption) override;
    [[nodiscard]] const std::string& caption() const { return caption_; }

private:
    std::string caption_;
};

class MemoryTextBox final : public TextBox, public MemoryControl {
public:
    // With its design-time text.
    explicit MemoryTextBox(std::string_view name) : MemoryControl(name), text_(DesignTextOf(name)) {}
    [[nodiscard]] std::string_view text() const override { return text_; }
    // The user's edit: the text changes, then its Change procedure runs, if any.
    void edit(std::string_view text);
    void onChange(std::function<void()> procedure) { onChange_ = std::move(procedure); }

private:
    std::string text_;
    std::function<void()> onChange_;
};

class MemoryShape final : public Shape, public MemoryControl {
public:
    explicit MemoryShape(std::string_view name) : MemoryControl(name) {}
    void setVisible(bool visible) override;
    [[nodiscard]] bool isVisible() const { return visible_; }

private:
    bool visible_ = false;
};

class VirtualClock;

class MemoryTimer final : public IntervalTimer, public MemoryControl {
public:
    // Ticks due together run in the order the timers were made.
    MemoryTimer(std::string_view name, VirtualClock& clock, std::int32_t designInterval);
    // At the interval the design gives the timer of that name.
    MemoryTimer(std::string_view name, VirtualClock& clock) : MemoryTimer(name, clock, DesignIntervalOf(name)) {}
    void setEnabled(bool enabled) override;
    void setInterval(std::int32_t milliseconds) override;
    void onTick(std::function<void()> procedure) { onTick_ = std::move(procedure); }
    [[nodiscard]] std::optional<std::int64_t> dueAt() const { return dueAt_; }
    [[nodiscard]] std::uint64_t ticksDelivered() const { return ticksDelivered_; }

protected:
    void startWait(std::int32_t milliseconds) override;
    void cancelWait() override;

private:
    friend class VirtualClock;
    void deliverTick(std::int64_t dueAt);

    VirtualClock& clock_;
    std::optional<std::int64_t> dueAt_;
    std::uint64_t ticksDelivered_ = 0;
    std::function<void()> onTick_;
};

class MemoryProgramEnd final : public ProgramEnd, public MemoryControl {
public:
    explicit MemoryProgramEnd(VirtualClock& clock) : MemoryControl("End"), clock_(clock) {}
    void end() override;
    [[nodiscard]] bool hasEnded() const { return ended_; }

private:
    VirtualClock& clock_;
    bool ended_ = false;
};

class VirtualClock {
public:
    [[nodiscard]] std::int64_t now() const { return now_; }
    // Moves time on by the given milliseconds, delivering every tick due by then.
    void advance(std::int64_t milliseconds);
    // Delivers the next due tick, whenever it falls; false when none is due.
    bool deliverNextTick();
    void stop() { stopped_ = true; }
    [[nodiscard]] bool isStopped() const { return stopped_; }

private:
    friend class MemoryTimer;
    struct Due {
        MemoryTimer* timer;  // nullptr: none is due
        std::int64_t at;
    };
    [[nodiscard]] Due earliestDue() const;

    std::int64_t now_ = 0;
    bool stopped_ = false;
    std::vector<MemoryTimer*> timers_;  // in tie-breaking order
};

// Every control at its design-time state.
struct MemorySurface {
    VirtualClock clock;
    MemoryLabel lblDisplay{"lblDisplay"};
    MemoryTextBox txtStart{"txtStart"};
    MemoryTextBox txtinterval{"txtinterval"};
    MemoryTextBox txtincdown{"txtincdown"};
    MemoryTextBox txtintUp{"txtintUp"};
    MemoryTextBox txtIncriments{"txtIncriments"};
    MemoryTextBox txtDividePace{"txtDividePace"};
    MemoryTextBox txtdivideAmount{"txtdivideAmount"};
    MemoryTextBox txtTimes{"txtTimes"};
    MemoryTextBox txtTimesamount{"txtTimesamount"};
    MemoryTimer tmrCountdown{"tmrCountdown", clock};
    MemoryTimer tmrCountUp{"tmrCountUp", clock};
    MemoryTimer tmrDivide{"tmrDivide", clock};
    MemoryTimer tmrTimes{"tmrTimes", clock};
    MemoryShape Shape1{"Shape1"};
    MemoryShape Shape2{"Shape2"};
    MemoryShape Shape3{"Shape3"};
    MemoryShape Shape4{"Shape4"};
    MemoryProgramEnd end{clock};

    [[nodiscard]] ControlSurface controls();
    void attachJournal(Journal* journal);
    // The control of that design name, as the counter reaches it; std::out_of_range where there is none.
    [[nodiscard]] MemoryTextBox& textBox(std::string_view name) {
        return static_cast<MemoryTextBox&>(controls().textBox(name));
    }
    [[nodiscard]] MemoryTimer& timer(std::string_view name) {
        return static_cast<MemoryTimer&>(controls().timer(name));
    }
    [[nodiscard]] MemoryShape& shape(std::string_view name) {
        return static_cast<MemoryShape&>(controls().shape(name));
    }
};

}  // namespace taborvane::testing
