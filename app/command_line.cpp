#include "command_line.h"

#include <QCommandLineParser>
#include <array>

namespace taborvane::app {
namespace {

const QString kProgram = QStringLiteral("taborvane");

struct QtOption {
    const char* name;
    const char* valueName;  // nullptr: the option takes no value
    const char* description;
};

// Qt's own options, which Qt takes out of the command line when it starts:
// they must pass the reading that comes before, and --help-all lists them.
constexpr std::array<QtOption, 20> kQtOptions{{
    {"platform", "platformName[:options]", "Qt platform plugin to use: xcb (X11), wayland, ..."},
    {"platformpluginpath", "path", "Folder to load Qt platform plugins from."},
    {"platformtheme", "theme", "Qt platform theme to use."},
    {"plugin", "plugin", "Further Qt plugin to load; may be given more than once."},
    {"qwindowgeometry", "geometry", "Size and place of the window, as 100x100+50+50."},
    {"qwindowicon", "icon", "Icon of the window."},
    {"qwindowtitle", "title", "Title of the window."},
    {"reverse", nullptr, "Lays the window out from right to left."},
    {"session", "session", "Session to restore."},
    {"style", "style", "Qt widget style, such as Fusion."},
    {"stylesheet", "stylesheet", "Qt style sheet to apply."},
    {"widgetcount", nullptr, "Reports at the end how many widgets were left."},
    {"display", "display", "X11 only: the display to use instead of $DISPLAY."},
    {"name", "name", "X11 only: the window's instance name."},
    {"geometry", "geometry", "X11 only: the same as -qwindowgeometry."},
    {"title", "title", "X11 only: the same as -qwindowtitle."},
    {"icon", "icon", "X11 only: the same as -qwindowicon."},
    {"visual", "id", "X11 only: the visual to use."},
    {"nograb", nullptr, "X11 only: never grab the mouse."},
    {"dograb", nullptr, "X11 only: grab the mouse even under a debugger."},
}};

enum class QtOptionsInHelp { Hidden, Shown };

void AddOptions(QCommandLineParser& parser, QtOptions qtOptions, QtOptionsInHelp inHelp) {
    // Qt's options are written with one dash: -platform is one option, not eight letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(TABORVANE_DESCRIPTION "."));
    parser.addHelpOption();
    parser.addVersionOption();
    if (qtOptions == QtOptions::TakenByQt) return;
    for (const QtOption& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name), QString::fromLatin1(qt.description));
        if (qt.valueName != nullptr) option.setValueName(QString::fromLatin1(qt.valueName));
        if (inHelp == QtOptionsInHelp::Hidden) option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

QString HelpText(QtOptionsInHelp inHelp) {
    QCommandLineParser parser;
    AddOptions(parser, QtOptions::StillInList, inHelp);
    // The parser names the program only once an application object exists, and none does yet.
    QString text = parser.helpText();
    const qsizetype firstLineEnd = text.indexOf(u'\n');
    return QStringLiteral("Usage: %1 [options]").arg(kProgram) + text.mid(firstLineEnd);
}

CommandLineOutcome Exit(int status, QString out, QString err) {
    CommandLineOutcome outcome;
    outcome.action = CommandLineOutcome::Action::Exit;
    outcome.exitStatus = status;
    outcome.standardOutput = std::move(out);
    outcome.standardError = std::move(err);
    return outcome;
}

CommandLineOutcome UsageError(const QString& what) {
    return Exit(kExitUsageError, {},
                QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(kProgram, what));
}

std::optional<QString> ValueOf(const QCommandLineParser& parser, const QString& name) {
    if (!parser.isSet(name)) return std::nullopt;
    return parser.value(name);
}

}  // namespace

CommandLineOutcome ReadCommandLine(const QStringList& arguments, QtOptions qtOptions) {
    QCommandLineParser parser;
    AddOptions(parser, qtOptions, QtOptionsInHelp::Hidden);
    if (!parser.parse(arguments)) return UsageError(parser.errorText());
    // The same order as QCommandLineParser::process: version, help, then help with Qt's options.
    if (parser.isSet(QStringLiteral("version")))
        return Exit(0, QStringLiteral("%1 %2\n").arg(kProgram, QStringLiteral(TABORVANE_VERSION)), {});
    if (parser.isSet(QStringLiteral("help"))) return Exit(0, HelpText(QtOptionsInHelp::Hidden), {});
    if (parser.isSet(QStringLiteral("help-all"))) return Exit(0, HelpText(QtOptionsInHelp::Shown), {});
    if (!parser.positionalArguments().isEmpty())
        return UsageError(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));

    CommandLineOutcome outcome;
    if (qtOptions == QtOptions::StillInList) {
        outcome.platform = ValueOf(parser, QStringLiteral("platform"));
        outcome.x11Display = ValueOf(parser, QStringLiteral("display"));
    }
    return outcome;
}

}  // namespace taborvane::app
