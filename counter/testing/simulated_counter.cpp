#include "simulated_counter.h"

namespace taborvane::testing {

SimulatedCounter::SimulatedCounter() {
    surface.tmrCountdown.onTick([this] { form.tmrCountdown_Timer(); });
    surface.tmrCountUp.onTick([this] { form.tmrCountUp_Timer(); });
    surface.tmrDivide.onTick([this] { form.tmrDivide_Timer(); });
    surface.tmrTimes.onTick([this] { form.tmrTimes_Timer(); });
    surface.txtStart.onChange([this] { form.txtStart_Change(); });
    surface.txtinterval.onChange([this] { form.txtinterval_Change(); });
    surface.txtintUp.onChange([this] { form.txtintUp_Change(); });
    surface.txtDividePace.onChange([this] { form.txtDividePace_Change(); });
    surface.txtdivideAmount.onChange([this] { form.txtdivideAmount_Change(); });
    surface.txtTimes.onChange([this] { form.txtTimes_Change(); });
    form.Form_Load();
}

}  // namespace taborvane::testing
