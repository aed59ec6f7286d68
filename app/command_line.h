// The program's command line, read before any application object exists, so
// that --help, --version and a mistyped option need no display.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace taborvane::app {

inline constexpr int kExitUsageError = 2;

// Whether Qt has already taken its own options (-platform, -style, ...) out of the list.
enum class QtOptions { StillInList, TakenByQt };

struct CommandLineOutcome {
    enum class Action { OpenWindow, Exit };
    Action action = Action::OpenWindow;
    int exitStatus = 0;  // when the action is Exit
    QString standardOutput;
    QString standardError;
    std::optional<QString> platform;    // -platform, as the user gave it
    std::optional<QString> x11Display;  // -display, as the user gave it
};

// arguments[0] is the program itself, as in QCoreApplication::arguments().
[[nodiscard]] CommandLineOutcome ReadCommandLine(const QStringList& arguments, QtOptions qtOptions);

}  // namespace taborvane::app
