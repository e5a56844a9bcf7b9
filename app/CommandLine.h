#pragma once

#include <QString>
#include <QStringList>

// What the program was asked to do on its command line. Parsing needs no display, so --help,
// --version and a mistyped option answer even where no window can open.
struct CommandLine {
    enum class Action {
        Run,          // open the window, with the scripts of scriptPaths loaded
        ShowHelp,     // print message to standard output, exit 0
        ShowVersion,  // print message to standard output, exit 0
        Refuse,       // print message (the fault, then the usage) to standard error, exit 2
    };

    Action action = Action::Run;
    QStringList scriptPaths;  // absolute, in the order given; none when the window starts with no script
    QString message;          // the text to print for every action but Run, ending with a line feed
};

// The exit status for an action that does not run the window.
inline constexpr int kUsageExitCode = 2;

// `arguments` as the program received them, the program's own name first. Qt's own options
// (-platform, -style, ...) are accepted and left for QApplication.
CommandLine parseCommandLine(const QStringList& arguments);

// argv as the list parseCommandLine takes, decoded as the system's file names are.
QStringList commandLineArguments(int argc, const char* const* argv);
