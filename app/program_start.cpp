#include "program_start.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "application_setup.h"
#include "command_line.h"
#include "display_probe.h"
#include "platform_choice.h"
#include "window/countdown_window.h"

namespace taborvane::app {
namespace {

int Finish(const CommandLineOutcome& outcome) {
    std::fputs(outcome.standardOutput.toLocal8Bit().constData(), stdout);
    std::fputs(outcome.standardError.toLocal8Bit().constData(), stderr);
    return outcome.exitStatus;
}

std::optional<std::string> Local8Bit(const std::optional<QString>& text) {
    if (!text) return std::nullopt;
    return text->toLocal8Bit().toStdString();
}

}  // namespace

int RunProgram(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineOutcome line = ReadCommandLine(arguments, QtOptions::StillInList);
    if (line.action == CommandLineOutcome::Action::Exit) return Finish(line);

    const DisplaySettings settings = CurrentDisplaySettings(Local8Bit(line.platform), Local8Bit(line.x11Display));
    DisplayProbe probe(settings);
    const PlatformChoice choice =
        ChoosePlatform(settings, [&probe](DisplayServer server) { return probe.answers(server); });
    if (choice.kind == PlatformChoice::Kind::NoDisplay) {
        std::fprintf(stderr, "%s\n", choice.message.c_str());
        return kExitNoDisplay;
    }
    // Read by Qt's Wayland plugin when the window is first shown.
    if (LeaveFramesToCompositor(choice, settings, probe.compositorDrawsFrames()))
        setenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1", 0);

    // Qt keeps argv for the whole run and takes its own options out of it.
    std::string platformFlag = "-platform";
    std::string x11Platform = "xcb";
    std::vector<char*> qtArguments(argv, argv + argc);
    if (choice.kind == PlatformChoice::Kind::UseX11) {
        qtArguments.push_back(platformFlag.data());
        qtArguments.push_back(x11Platform.data());
    }
    int qtArgumentCount = static_cast<int>(qtArguments.size());
    qtArguments.push_back(nullptr);
    QApplication app(qtArgumentCount, qtArguments.data());
    probe.disconnect();  // only now that Qt has its own connection

    // An option of a platform other than the one that started (-display on Wayland) is left over.
    const CommandLineOutcome rest = ReadCommandLine(QApplication::arguments(), QtOptions::TakenByQt);
    if (rest.action == CommandLineOutcome::Action::Exit) return Finish(rest);

    PrepareApplication();
    window::CountdownWindow window;
    window.show();
    return QApplication::exec();
}

}  // namespace taborvane::app
