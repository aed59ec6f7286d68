// What every start of the program does before it builds its window.
#pragma once

namespace taborvane::app {

// Names the application (its desktop entry is "org.taborvane.Taborvane") and
// registers the faces it carries; call once, after the QApplication exists.
void PrepareApplication();

}  // namespace taborvane::app
