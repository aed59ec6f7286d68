#include "form_bindings.h"

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <string_view>

#include "counter/form_events.h"

namespace taborvane::window {
namespace {

// The Change procedure of an entry; null where editing it runs none.
Procedure ChangeProcedureOf(std::string_view entry) {
    const auto found = std::find_if(kChangeBindings.begin(), kChangeBindings.end(),
                                    [entry](const EventBinding& binding) { return binding.control == entry; });
    return found == kChangeBindings.end() ? nullptr : found->procedure;
}

}  // namespace

FormBindings::FormBindings(const DesignedForm& form, const QtSurface& surface, clock::TickScheduler& scheduler,
                           QObject& context)
    : form_(surface.controls()) {
    // A mode's tick comes from the scheduler, already at its own instant.
    for (const EventBinding& binding : kTimerBindings)
        surface.timerNamed(binding.control)->bind(form_, binding.procedure);
    // A click or an edit at instant t comes after every tick due by t, before any due later.
    for (const EventBinding& binding : kClickBindings) {
        QObject::connect(
            &form.control<QPushButton>(binding.control), &QPushButton::clicked, &context,
            [this, &scheduler, procedure = binding.procedure] { scheduler.atPresent([&] { (form_.*procedure)(); }); });
    }
    for (const auto& entry : surface.entries()) {
        QLineEdit& edit = entry->edit();
        const Procedure change = ChangeProcedureOf(edit.objectName().toStdString());
        // Every change of the text is taken in, after the ticks due before it
        // have read the old text; an entry with a Change procedure also runs it.
        QObject::connect(&edit, &QLineEdit::textChanged, &context, [this, &scheduler, box = entry.get(), change] {
            scheduler.atPresent([&] {
                box->refresh();
                if (change != nullptr) (form_.*change)();
            });
        });
    }
}

}  // namespace taborvane::window
