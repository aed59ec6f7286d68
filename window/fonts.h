// The typefaces of the design's roles, from the faces Debian's
// fonts-roboto-unhinted installs (a dependency of the program), found by
// their family names as any program finds a font.
#pragma once

#include <QFont>

#include "design.h"

namespace taborvane::window {

// The font of a role at the given scale of the design size, its face drawn
// as narrow as the role's design asks, measured on the face Qt draws with.
[[nodiscard]] QFont FontFor(FontRole role, double scale);
// The same at another point size, where the design's does not fit.
[[nodiscard]] QFont FontFor(FontRole role, double scale, double pointSize);

}  // namespace taborvane::window
