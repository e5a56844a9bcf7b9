#include "ScriptGenerator.h"
#include "ScriptWindow.h"

#include "app/LevelCommands.h"
#include "app/LevelFindDialog.h"
#include "app/ScriptTab.h"
#include "app/ScriptTabs.h"
#include "editor/ScriptEditor.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <string>

// What the level's questions cost through the window, from the key to the answer shown: the open
// scripts handed to the worker, the level brought up to date there, the question answered and the
// answer shown. The queries alone are timed in LanguageBench.

namespace {

constexpr std::string_view kDeclared[] = {"count", "alarm", "target", "wave", "door_state",
                                          "timer", "hits", "phase", "spawned", "left"};

// Eight generated scripts of `bytes` in all; the first declares the functions the generator's
// scripts fork to. Nothing when they cannot be written.
QStringList writeLevel(benchmark::State& state, const QTemporaryDir& dir, std::size_t bytes, int scripts = 8)
{
    QStringList paths;
    for (int part = 0; part < scripts; ++part) {
        std::string script;
        if (part == 0) {
            for (const std::string_view name : kDeclared)
                script.append("func void ").append(name).append("(void)\r\n{\r\n}\r\n");
        }
        script += GenerateScript(bytes / std::size_t(scripts), LineEnds::CarriageReturnLineFeed, 1999 + unsigned(part));
        const QString path = dir.filePath(QStringLiteral("level_part%1.bsl").arg(part));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(script.data(), qint64(script.size())) != qint64(script.size())) {
            state.SkipWithError("cannot write the level");
            return {};
        }
        paths.append(path);
    }
    return paths;
}

// A window with the first and the last script of the level open, both read.
class LevelWindow {
public:
    explicit LevelWindow(const QStringList& paths) : m_window(paths.front())
    {
        for (const QString& path : {paths.front(), paths.back()}) {
            m_window.window().openScriptFile(path);
            while (!tabs().current()->isRead())
                QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
    }

    ScriptTabs& tabs() { return *m_window.window().tabs(); }
    LevelCommands& commands() { return *m_window.window().levelCommands(); }
    ScriptEditor& editor() { return m_window.editor(); }

    // Runs `ask` and the event loop until `answers` answers are shown; the time it took.
    double timeAnswers(const std::function<void()>& ask, int answers = 1)
    {
        int answered = 0;
        const auto connection = QObject::connect(&commands(), &LevelCommands::answered, [&] { ++answered; });
        QElapsedTimer clock;
        clock.start();
        ask();
        while (answered < answers)
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        QObject::disconnect(connection);
        return seconds;
    }

    // Lets the window and the worker finish what the last question left them (a tab shown, the
    // panel's outline of its level), so that the next is timed alone.
    static void settle()
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 100)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    // Puts the caret of the current script on `text`, `into` bytes in.
    bool caretOn(std::string_view text, std::size_t from = 0, long into = 0)
    {
        const std::size_t at = editor().documentText().find(text, from);
        if (at == std::string_view::npos)
            return false;
        editor().SendScintilla(ScriptEditor::SCI_GOTOPOS, static_cast<unsigned long>(long(at) + into));
        return true;
    }

private:
    ScriptWindow m_window;
};

// F12 on a call in the last script of a function the first one declares: to the caret there.
void BM_WindowGoToDefinition(benchmark::State& state)
{
    QTemporaryDir dir;
    const QStringList paths = writeLevel(state, dir, 8 << 20);
    if (paths.isEmpty())
        return;
    LevelWindow window(paths);
    ScriptTab* last = window.tabs().current();
    for (auto _ : state) {
        window.tabs().setCurrent(last);
        if (!window.caretOn("fork count", window.editor().documentText().size() / 2, 5)) {
            state.SkipWithError("no call of the function");
            return;
        }
        LevelWindow::settle();
        state.SetIterationTime(window.timeAnswers([&] { window.commands().goToDefinition(); }));
        if (window.tabs().current() == last) {
            state.SkipWithError("the declaration was not shown");
            return;
        }
    }
}
BENCHMARK(BM_WindowGoToDefinition)->UseManualTime()->Unit(benchmark::kMillisecond);

// Shift+F12 on the function the first script declares, to the list of its uses filled.
void BM_WindowFindReferences(benchmark::State& state)
{
    QTemporaryDir dir;
    const QStringList paths = writeLevel(state, dir, std::size_t(state.range(0)));
    if (paths.isEmpty())
        return;
    LevelWindow window(paths);
    window.tabs().setCurrent(window.tabs().find(paths.front()));
    window.caretOn("count(void)");
    LevelWindow::settle();
    for (auto _ : state)
        state.SetIterationTime(window.timeAnswers([&] { window.commands().findReferences(); }));
}
BENCHMARK(BM_WindowFindReferences)->Arg(8 << 20)->UseManualTime()->Unit(benchmark::kMillisecond);

// F2 on the same function, a new name given, to every script changed: the six scripts that are not
// open are opened as tabs the first time; afterwards all eight are open and each change is undone
// between the renames, so that the open scripts go to the worker again each time.
void BM_WindowRenameAcrossLevel(benchmark::State& state)
{
    QTemporaryDir dir;
    const QStringList paths = writeLevel(state, dir, std::size_t(state.range(0)));
    if (paths.isEmpty())
        return;
    LevelWindow window(paths);
    ScriptTab* first = window.tabs().find(paths.front());
    FakeDesktopServices& desktop = static_cast<FakeDesktopServices&>(DesktopServices::instance());
    for (auto _ : state) {
        window.tabs().setCurrent(first);
        window.caretOn("count(void)");
        desktop.textAnswers = {QStringLiteral("tally")};
        LevelWindow::settle();
        state.SetIterationTime(window.timeAnswers([&] { window.commands().rename(); }, 2));
        if (window.tabs().tabs().size() != 8 || !first->isModified()) {
            state.SkipWithError("the rename did not change the level");
            return;
        }
        for (const auto& tab : window.tabs().tabs())
            tab->editor()->undo();
    }
}
BENCHMARK(BM_WindowRenameAcrossLevel)->Arg(8 << 20)->Iterations(4)->UseManualTime()->Unit(benchmark::kMillisecond);

// Ctrl+Shift+F for a command in every script, to the list filled.
void BM_WindowFindInLevel(benchmark::State& state)
{
    QTemporaryDir dir;
    const QStringList paths = writeLevel(state, dir, std::size_t(state.range(0)));
    if (paths.isEmpty())
        return;
    LevelWindow window(paths);
    window.commands().showFindInLevel();
    auto* text = window.commands().findDialog()->findChild<QLineEdit*>(QStringLiteral("LevelFindText"));
    auto* findAll = window.commands().findDialog()->findChild<QPushButton*>(QStringLiteral("LevelFindAll"));
    text->setText(QStringLiteral("AI2_ATTACK"));
    LevelWindow::settle();
    for (auto _ : state)
        state.SetIterationTime(window.timeAnswers([&] { findAll->click(); }));
}
BENCHMARK(BM_WindowFindInLevel)->Arg(8 << 20)->UseManualTime()->Unit(benchmark::kMillisecond);

// A whole process: start, seven scripts of 10 KB named on the command line opened in tabs, each
// read and checked with the others and the window painted, then the end.
void BM_OpenLevel(benchmark::State& state)
{
    QTemporaryDir dir;
    const QStringList paths = writeLevel(state, dir, 7 * 10 * 1024, 7);
    if (paths.isEmpty())
        return;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    environment.insert(QStringLiteral("XDG_STATE_HOME"), dir.path());
    environment.insert(QStringLiteral("QUARN_PROBE_UNTIL_READ"), QStringLiteral("1"));
    for (auto _ : state) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QUARN_STARTUP_PROBE), paths);
        if (!program.waitForFinished(30000) || program.exitCode() != 0) {
            state.SkipWithError("the program did not start and end cleanly");
            return;
        }
    }
}
BENCHMARK(BM_OpenLevel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace
