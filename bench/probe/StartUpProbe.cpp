// The program's own start-up, ended as soon as its window has been painted with the script on the
// command line loaded and coloured, so that a benchmark can time the whole process.
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "editor/ScriptEditor.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    const CommandLine commandLine = parseCommandLine(commandLineArguments(argc, argv));
    if (commandLine.action != CommandLine::Action::Run)
        return kUsageExitCode;

    QApplication application(argc, argv);
    MainWindow window;
    window.show();
    if (!commandLine.scriptPath.isEmpty())
        window.openScriptFile(commandLine.scriptPath);
    // Runs once the events of showing the window are handled; the paint colours what it shows.
    QTimer::singleShot(0, &window, [&] {
        window.repaint();
        window.editor()->viewport()->repaint();
        application.quit();
    });
    return application.exec();
}
