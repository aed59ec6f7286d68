// The real program's command line, run with no display at all: what it prints
// on each stream and the status it ends with.
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>

#include <QProcess>
#include <QTemporaryDir>

class CommandLineTest : public QObject {
    Q_OBJECT

    QTemporaryDir runtimeDir_;  // an XDG_RUNTIME_DIR with no compositor's socket in it

private slots:
    void endsAsDocumented_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");  // regular expression for the whole of standard output
        QTest::addColumn<QString>("err");  // the same for standard error

        const QString none = QStringLiteral("");
        const QString usage = QStringLiteral("Usage: taborvane \\[options\\]\n(.|\n)*-v, --version(.|\n)*");
        const QString version = QStringLiteral("taborvane " TABORVANE_VERSION "\n");
        const auto usageError = [](const QString& what) {
            return QStringLiteral("taborvane: %1\nTry 'taborvane --help' for more information.\n").arg(what);
        };
        const auto row = [](const char* name, QStringList arguments, QStringList environment, int status,
                            const QString& out, const QString& err) {
            QTest::newRow(name) << arguments << environment << status << out << err;
        };
        row("help", {"--help"}, {}, 0, usage, none);
        row("help, short", {"-h"}, {}, 0, usage, none);
        row("help with Qt's options", {"--help-all"}, {}, 0, usage + "--platform <platformName(.|\n)*--style(.|\n)*",
            none);
        row("help leaves Qt's options out", {"--help"}, {}, 0, "((?!--platform)(.|\n))*", none);
        row("version", {"--version"}, {}, 0, QRegularExpression::escape(version), none);
        row("version, short", {"-v"}, {}, 0, QRegularExpression::escape(version), none);
        row("version after Qt options", {"-style", "fusion", "-platform", "xcb", "-v"}, {}, 0,
            QRegularExpression::escape(version), none);
        row("help on a display that is gone", {"--help"}, {"DISPLAY=:4711"}, 0, usage, none);
        row("unknown option", {"--frob"}, {}, 2, none,
            QRegularExpression::escape(usageError("Unknown option 'frob'.")));
        row("unknown option, one dash", {"-frob"}, {}, 2, none,
            QRegularExpression::escape(usageError("Unknown option 'frob'.")));
        row("unknown option beside help", {"--help", "--frob"}, {}, 2, none,
            QRegularExpression::escape(usageError("Unknown option 'frob'.")));
        row("stray argument", {"frob"}, {}, 2, none,
            QRegularExpression::escape(usageError("Unexpected argument 'frob'.")));
        row("Qt option without its value", {"-platform"}, {}, 2, none,
            QRegularExpression::escape(usageError("Missing value after '-platform'.")));
        row("no display", {}, {}, 1, none,
            "taborvane: no display to open: set DISPLAY for X11 or WAYLAND_DISPLAY for Wayland\n");
        row("X server gone", {}, {"DISPLAY=:4711"}, 1, none,
            "taborvane: cannot open a display: the X11 display ':4711' does not answer; set DISPLAY[^\n]*\n");
        row("compositor gone", {}, {"WAYLAND_DISPLAY=taborvane-none"}, 1, none,
            "taborvane: [^\n]*'taborvane-none' does not answer[^\n]*WAYLAND_DISPLAY[^\n]*\n");
        row("Wayland session without compositor", {}, {"XDG_SESSION_TYPE=wayland"}, 1, none,
            "taborvane: [^\n]*'wayland-0' does not answer[^\n]*\n");
        row("Wayland chosen without compositor", {}, {"QT_QPA_PLATFORM=wayland"}, 1, none,
            "taborvane: [^\n]*'wayland-0' does not answer; set WAYLAND_DISPLAY to a running compositor\n");
        row("X11 chosen without X server", {"-platform", "xcb"}, {}, 1, none,
            "taborvane: [^\n]*DISPLAY is not set; set DISPLAY to a running X server\n");
        row("X11 display option without X server", {"-display", ":4711"}, {}, 1, none,
            "taborvane: [^\n]*':4711' does not answer[^\n]*\n");
        // Qt takes its options for the platform that started; what it leaves is the program's to refuse.
        row("X11 option on a platform without X11", {"-display", ":1"}, {"QT_QPA_PLATFORM=offscreen"}, 2, none,
            QRegularExpression::escape(usageError("Unknown option 'display'.")));
        // Outside a UTF-8 locale a newer Qt says so first, in lines of its own; the program's line still ends it.
        row("X11 option on a platform without X11, C locale", {"-display", ":1"},
            {"QT_QPA_PLATFORM=offscreen", "LANG=C"}, 2, none,
            "([^\n]*\n)*" + QRegularExpression::escape(usageError("Unknown option 'display'.")));
    }

    void endsAsDocumented() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QVERIFY(runtimeDir_.isValid());

        // Nothing of the machine's own session reaches the program, but a UTF-8 locale, as every desktop has.
        QProcessEnvironment clean;
        clean.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        clean.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        clean.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir_.path());
        for (const QString& variable : environment)
            clean.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));

        QProcess program;
        program.setProcessEnvironment(clean);
        program.start(QStringLiteral(TABORVANE_PROGRAM), arguments);
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);  // no abort, no core dump
        const QString standardOutput = QString::fromLocal8Bit(program.readAllStandardOutput());
        const QString standardError = QString::fromLocal8Bit(program.readAllStandardError());
        QCOMPARE(program.exitCode(), status);
        const auto whole = [](const QString& pattern) {
            return QRegularExpression(QRegularExpression::anchoredPattern(pattern));
        };
        QVERIFY2(whole(out).match(standardOutput).hasMatch(), qPrintable(standardOutput));
        QVERIFY2(whole(err).match(standardError).hasMatch(), qPrintable(standardError));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
