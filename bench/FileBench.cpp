#include "ProcessMemory.h"
#include "ScriptGenerator.h"

#include "app/MainWindow.h"
#include "editor/ScriptEditor.h"
#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

// Writes a script of state.range(0) bytes with CR LF line ends into `dir` and returns its path;
// an empty path once the benchmark has been told why it cannot run.
QString writeScript(benchmark::State& state, const QTemporaryDir& dir)
{
    const std::string script = GenerateScript(static_cast<std::size_t>(state.range(0)),
                                              LineEnds::CarriageReturnLineFeed);
    const QString path = dir.filePath("level.bsl");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(script.data(), static_cast<qint64>(script.size())) != static_cast<qint64>(script.size())) {
        state.SkipWithError("cannot write the script");
        return {};
    }
    return path;
}

// The main window, shown, with its file dialogs answered, so a click on a file label runs the
// whole handler.
class ScriptWindow {
public:
    explicit ScriptWindow(const QString& path)
    {
        m_desktop.openFileName = path;
        m_desktop.saveFileName = path;
        m_window.show();
        QApplication::processEvents();
    }

    // Clicks the label, then repaints the window; false when an error was reported.
    bool click(const char* label)
    {
        auto* target = m_window.findChild<QWidget*>(QString::fromLatin1(label));
        input::LeftClick(target, target->rect().center());
        m_window.repaint();
        QApplication::processEvents();
        return m_desktop.messageBoxes.empty();
    }

    ScriptEditor& editor() { return *m_window.editor(); }
    MainWindow& window() { return m_window; }

private:
    FakeDesktopServices m_desktop;
    MainWindow m_window;
};

// Keeps the largest growth of the peak resident memory over one step.
class PeakGrowth {
public:
    void begin()
    {
        releaseFreeMemory();
        m_reset = resetPeakMemory() && m_reset;
        m_before = processMemory();
    }
    void end()
    {
        const ProcessMemory after = processMemory();
        // Without a reset the peak may stem from before the step; the resident growth is then
        // the best that can be told.
        const double growth = m_reset ? after.peak - m_before.resident : after.resident - m_before.resident;
        m_largest = std::max(m_largest, growth);
    }
    double largest() const { return m_largest; }
    bool measured() const { return m_reset; }

private:
    ProcessMemory m_before;
    double m_largest = 0;
    bool m_reset = true;
};

// From the click on OPEN to the whole script in the editor, case-corrected, coloured where it
// shows and painted.
void BM_LoadScript(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeScript(state, dir);
    if (path.isEmpty())
        return;
    ScriptWindow window(path);
    releaseFreeMemory();
    const double empty = processMemory().resident;
    PeakGrowth peak;
    for (auto _ : state) {
        state.PauseTiming();
        peak.begin();
        state.ResumeTiming();
        const bool opened = window.click("IDC_OPEN_LABEL");
        state.PauseTiming();
        peak.end();
        if (!opened || window.editor().SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED) == 0) {
            state.SkipWithError("the script did not open coloured");
            break;
        }
        state.ResumeTiming();
    }
    const double size = static_cast<double>(state.range(0));
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.counters["text_length"] = static_cast<double>(window.editor().SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    state.counters["peak_growth_x_size"] = peak.largest() / size;
    state.counters["peak_reset"] = peak.measured() ? 1 : 0;
    releaseFreeMemory();
    state.counters["held_x_size"] = (processMemory().resident - empty) / size;
}
// The longest single stretch the window's thread is busy in the three seconds after a keystroke
// in the middle of an opened script, the key itself included, with the window's own check,
// completion, hints and recovery copy at their own delays. A timer that fires whenever the
// thread is free tells the stretches apart.
void BM_WindowStall(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeScript(state, dir);
    if (path.isEmpty())
        return;
    ScriptWindow window(path);
    if (!window.click("IDC_OPEN_LABEL")) {
        state.SkipWithError("the script did not open");
        return;
    }
    ScriptEditor& editor = window.editor();
    // From the window at rest: every reading of the opened script done.
    QEventLoop idle;
    QObject::connect(&window.window(), &MainWindow::scriptChecked, &idle, &QEventLoop::quit);
    idle.exec();
    window.window().activateWindow();
    editor.setFocus();
    QApplication::processEvents();
    for (auto _ : state) {
        const long middle = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH) / 2;
        const long line = editor.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(middle));
        editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                             static_cast<unsigned long>(editor.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION,
                                                                             static_cast<unsigned long>(line))));
        QApplication::processEvents();
        QApplication::postEvent(&editor, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
        QApplication::postEvent(&editor, new QKeyEvent(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));

        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        qint64 longest = 0;
        QTimer probe;
        probe.setInterval(0);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        probe.start();
        while (clock.elapsed() < 3000)
            QApplication::processEvents(QEventLoop::AllEvents);
        probe.stop();
        state.SetIterationTime(double(longest) / 1e9);
    }
    state.counters["text_length"] = static_cast<double>(editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
}
BENCHMARK(BM_WindowStall)->Arg(1 << 20)->Arg(64 << 20)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK(BM_LoadScript)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadScript)->Arg(64 << 20)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the click on SAVE to the script safely on disk in place of the old one.
void BM_SaveScript(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeScript(state, dir);
    if (path.isEmpty())
        return;
    ScriptWindow window(path);
    if (!window.click("IDC_OPEN_LABEL")) {
        state.SkipWithError("the script did not open");
        return;
    }
    PeakGrowth peak;
    for (auto _ : state) {
        state.PauseTiming();
        peak.begin();
        state.ResumeTiming();
        const bool saved = window.click("IDC_SAVE_LABEL");
        state.PauseTiming();
        peak.end();
        if (!saved) {
            state.SkipWithError("the script was not saved");
            break;
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.counters["peak_growth_x_size"] = peak.largest() / static_cast<double>(state.range(0));
    state.counters["peak_reset"] = peak.measured() ? 1 : 0;
}
BENCHMARK(BM_SaveScript)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
