#pragma once

#include <QString>
#include <QStringList>

// What quarn-bsl was asked to do.
struct Invocation {
    enum class Action {
        Check,        // check `paths`
        Serve,        // speak the protocol on standard input and output
        ShowHelp,     // print message to standard output, exit 0
        ShowVersion,  // print message to standard output, exit 0
        Refuse,       // print message (the fault, then the usage) to standard error, exit 2
    };
    enum class Format { Text, Json };

    Action action = Action::Refuse;
    Format format = Format::Text;
    QStringList paths;
    QString message;  // for every action but Check and Serve, ending with a line feed
};

// The exit status of a usage error or a file the check cannot read.
inline constexpr int kUsageExitCode = 2;

// `arguments` as the program received them, its own name first.
Invocation parseInvocation(const QStringList& arguments);
