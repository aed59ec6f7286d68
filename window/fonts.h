// The typefaces the program carries, so that its look does not depend on the
// fonts a machine happens to have.
#pragma once

#include <QFont>

#include "design.h"

namespace taborvane::window {

// Registers the carried faces with Qt; call once after the application exists.
void LoadCarriedFonts();

// The font of a role at the given scale of the design size, its face drawn
// as narrow as the role's design asks, measured on the face Qt draws with.
[[nodiscard]] QFont FontFor(FontRole role, double scale);
// The same at another point size, where the design's does not fit.
[[nodiscard]] QFont FontFor(FontRole role, double scale, double pointSize);

}  // namespace taborvane::window
