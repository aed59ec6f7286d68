// The counter's form bound to the window's events: a click or an edit runs
// its frmCountdown procedure at the present instant of the ticks, a mode's
// timer its Timer procedure.
//   Qt signal -> binding here -> one frmCountdown procedure -> surface (qt_surface.h) -> widgets
#pragma once

#include <QObject>
#include <memory>

#include "clock/tick_scheduler.h"
#include "counter/frm_countdown.h"
#include "designed_form.h"
#include "qt_surface.h"

namespace taborvane::window {

class FormBindings {
public:
    // Binds every event that has a procedure; `context` ends the connections when it goes.
    FormBindings(const DesignedForm& form, const QtSurface& surface, clock::TickScheduler& scheduler, QObject& context);
    FormBindings(const FormBindings&) = delete;  // its connections hold it where it is
    FormBindings& operator=(const FormBindings&) = delete;

    [[nodiscard]] frmCountdown& form() { return form_; }

private:
    frmCountdown form_;
};

}  // namespace taborvane::window
