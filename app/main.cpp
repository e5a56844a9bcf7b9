#include "app/CommandLine.h"
#include "app/MainWindow.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // Before QApplication, which needs a display: --help and --version must answer without one.
    const CommandLine commandLine = parseCommandLine(commandLineArguments(argc, argv));
    switch (commandLine.action) {
    case CommandLine::Action::ShowHelp:
    case CommandLine::Action::ShowVersion:
        std::fputs(commandLine.message.toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Refuse:
        std::fputs(commandLine.message.toLocal8Bit().constData(), stderr);
        return kUsageExitCode;
    case CommandLine::Action::Run:
        break;
    }

    QApplication application(argc, argv);
    MainWindow window;
    window.show();
    window.restoreSession();
    // The named scripts after the session, the last named one current; recovered work then
    // comes into the tabs of its scripts as unsaved changes instead of being replaced by them
    // without a question.
    for (const QString& path : commandLine.scriptPaths)
        window.openScriptFile(path);
    window.offerRecovery();
    return application.exec();
}
