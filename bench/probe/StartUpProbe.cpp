// The program's own start-up, ended as soon as its window has been painted with the scripts on
// the command line loaded and coloured, so that a benchmark can time the whole process. With
// QUARN_PROBE_UNTIL_READ set, it waits until every script was read and checked with its level.
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/ScriptTab.h"
#include "app/ScriptTabs.h"
#include "editor/ScriptEditor.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>

int main(int argc, char** argv)
{
    const CommandLine commandLine = parseCommandLine(commandLineArguments(argc, argv));
    if (commandLine.action != CommandLine::Action::Run)
        return kUsageExitCode;

    QApplication application(argc, argv);
    MainWindow window;
    window.show();
    for (const QString& path : commandLine.scriptPaths)
        window.openScriptFile(path);
    const bool untilRead = qEnvironmentVariableIsSet("QUARN_PROBE_UNTIL_READ");
    const auto allRead = [&] {
        const auto& tabs = window.tabs()->tabs();
        return !untilRead || std::all_of(tabs.begin(), tabs.end(), [](const auto& tab) { return tab->isRead(); });
    };
    const auto finish = [&] {
        window.repaint();
        window.editor()->viewport()->repaint();
        application.quit();
    };
    // Runs once the events of showing the window are handled; the paint colours what it shows.
    QTimer::singleShot(0, &window, [&] {
        if (allRead())
            finish();
    });
    QObject::connect(window.tabs(), &ScriptTabs::tabRead, &window, [&] {
        if (allRead())
            finish();
    });
    return application.exec();
}
