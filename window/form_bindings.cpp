#include "form_bindings.h"

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <string_view>

#include "counter/design_state.h"

namespace taborvane::window {
namespace {

using Procedure = void (frmCountdown::*)();

struct Binding {
    std::string_view control;
    Procedure procedure;
};

// Every event that has a procedure; no other event of any control has one.
constexpr std::array<Binding, 7> kClickBindings{{
    {"cmdStart", &frmCountdown::cmdStart_Click},
    {"Command1", &frmCountdown::Command1_Click},
    {"cmdDivide", &frmCountdown::cmdDivide_Click},
    {"cmdTimes", &frmCountdown::cmdTimes_Click},
    {"cmdStop", &frmCountdown::cmdStop_Click},
    {"cmdReset", &frmCountdown::cmdReset_Click},
    {"Cmdexit", &frmCountdown::Cmdexit_Click},
}};

constexpr std::array<Binding, 6> kChangeBindings{{
    {"txtStart", &frmCountdown::txtStart_Change},
    {"txtinterval", &frmCountdown::txtinterval_Change},
    {"txtintUp", &frmCountdown::txtintUp_Change},
    {"txtDividePace", &frmCountdown::txtDividePace_Change},
    {"txtdivideAmount", &frmCountdown::txtdivideAmount_Change},
    {"txtTimes", &frmCountdown::txtTimes_Change},
}};

constexpr std::array<Binding, 4> kTimerBindings{{
    {"tmrCountdown", &frmCountdown::tmrCountdown_Timer},
    {"tmrCountUp", &frmCountdown::tmrCountUp_Timer},
    {"tmrDivide", &frmCountdown::tmrDivide_Timer},
    {"tmrTimes", &frmCountdown::tmrTimes_Timer},
}};

// Every timer bound is one the counter has.
static_assert(std::all_of(kTimerBindings.begin(), kTimerBindings.end(),
                          [](const Binding& binding) { return DesignIntervalOf(binding.control) > 0; }));

template <std::size_t N>
Procedure ProcedureFor(const std::array<Binding, N>& bindings, std::string_view control) {
    const auto found = std::find_if(bindings.begin(), bindings.end(),
                                    [control](const Binding& binding) { return binding.control == control; });
    return found == bindings.end() ? nullptr : found->procedure;
}

}  // namespace

FormBindings::FormBindings(const DesignedForm& form, const QtSurface& surface, clock::TickScheduler& scheduler,
                           QObject& context)
    : form_(surface.controls()) {
    // A mode's tick comes from the scheduler, already at its own instant.
    for (const Binding& binding : kTimerBindings) surface.timerNamed(binding.control)->bind(form_, binding.procedure);
    // A click or an edit at instant t comes after every tick due by t, before any due later.
    for (const Binding& binding : kClickBindings) {
        QObject::connect(
            &form.control<QPushButton>(binding.control), &QPushButton::clicked, &context,
            [this, &scheduler, procedure = binding.procedure] { scheduler.atPresent([&] { (form_.*procedure)(); }); });
    }
    for (const auto& entry : surface.entries()) {
        QLineEdit& edit = entry->edit();
        const Procedure change = ProcedureFor(kChangeBindings, edit.objectName().toStdString());
        // Every change of the text is taken in, after the ticks due before it
        // have read the old text; six entries also run their procedure.
        QObject::connect(&edit, &QLineEdit::textChanged, &context, [this, &scheduler, box = entry.get(), change] {
            scheduler.atPresent([&] {
                box->refresh();
                if (change != nullptr) (form_.*change)();
            });
        });
    }
}

}  // namespace taborvane::window
