// Starting the program, from main to the window shown. Qt needs a display
// before it can do anything, and aborts or warns when the one it tries fails,
// so the program does its own reading first:
//   argv -> command_line (--help, --version, mistakes: answered, no display needed)
//        -> platform_choice + display_probe (which display answers, or one line why none)
//        -> QApplication (takes Qt's options) -> command_line again (what Qt left)
//        -> application_setup (name, app id, carried faces) -> window::CountdownWindow shown
// From then on the window's event loop runs the program until Exit or close.
#pragma once

namespace taborvane::app {

// The whole program; returns its exit status.
int RunProgram(int argc, char* argv[]);

}  // namespace taborvane::app
