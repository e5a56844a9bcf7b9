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
    // The named script first: recovered work then takes its place as unsaved changes instead of
    // being replaced by it without a question.
    if (!commandLine.scriptPath.isEmpty())
        window.openScriptFile(commandLine.scriptPath);
    window.offerRecovery();
    return application.exec();
}
