// Holds what was observed of the window against the exact schedule: which
// frames and answers showed another value than the one due at their instant,
// and how long after its due instant each tick was first painted.
#pragma once

#include <vector>

#include "modes.h"
#include "observations.h"
#include "results.h"

namespace taborvane::bench {

ObservationResult CheckObservations(const std::vector<Observation>& seen, int pace,
                                    const std::vector<StartedMode>& started);

}  // namespace taborvane::bench
