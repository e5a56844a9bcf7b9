#include "ProcessMemory.h"
#include "ScriptGenerator.h"
#include "ScriptWindow.h"
#include "app/FindDialog.h"


#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

QString writeScript(benchmark::State& state, const QTemporaryDir& dir)
{
    return writeScript(state, dir, GenerateScript(static_cast<std::size_t>(state.range(0)), LineEnds::CarriageReturnLineFeed));
}

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
void timeLoad(benchmark::State& state, const std::string& script)
{
    QTemporaryDir dir;
    const QString path = writeScript(state, dir, script);
    if (path.isEmpty())
        return;
    ScriptWindow window(path);
    releaseFreeMemory();
    const double empty = processMemory().resident;
    PeakGrowth peak;
    for (auto _ : state) {
        state.PauseTiming();
        window.closeScript();
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
    const double size = static_cast<double>(script.size());
    state.SetBytesProcessed(state.iterations() * std::int64_t(script.size()));
    state.counters["text_length"] = static_cast<double>(window.editor().SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    state.counters["peak_growth_x_size"] = peak.largest() / size;
    state.counters["peak_reset"] = peak.measured() ? 1 : 0;
    releaseFreeMemory();
    state.counters["held_x_size"] = (processMemory().resident - empty) / size;
}

void BM_LoadScript(benchmark::State& state)
{
    timeLoad(state, GenerateScript(static_cast<std::size_t>(state.range(0)), LineEnds::CarriageReturnLineFeed));
}

// A million `{`, a 1 MB file that nests a million blocks deep.
void BM_LoadScriptNested(benchmark::State& state)
{
    timeLoad(state, hostile::nested(std::size_t(state.range(0))));
}
BENCHMARK(BM_LoadScriptNested)->Name("BM_LoadScript/nested_1000000")->Arg(1000000)->Iterations(3)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

// From the click on OPEN to the window at rest, every reading of the script shown, and the
// longest stretch the window's thread was busy after the first paint on the way there.
void BM_OpenToIdle(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeScript(state, dir);
    if (path.isEmpty())
        return;
    ScriptWindow window(path);
    qint64 longest = 0;
    for (auto _ : state) {
        window.closeScript();
        QElapsedTimer clock;
        clock.start();
        bool idle = false;
        QMetaObject::Connection done = QObject::connect(&window.window(), &MainWindow::scriptChecked, [&] { idle = true; });
        if (!window.click("IDC_OPEN_LABEL")) {
            state.SkipWithError("the script did not open");
            break;
        }
        // The click ends with the first paint.
        BusyProbe probe;
        while (!idle && clock.elapsed() < 60000)
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        longest = std::max(longest, probe.longestNanoseconds());
        QObject::disconnect(done);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
    state.counters["longest_busy_ms"] = double(longest) / 1e6;
}
BENCHMARK(BM_OpenToIdle)->Arg(64 << 20)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

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
    // From the window at rest: every reading of the opened script done.
    if (!window.openAndRead()) {
        state.SkipWithError("the script did not open");
        return;
    }
    ScriptEditor& editor = window.editor();
    for (auto _ : state) {
        const long middle = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH) / 2;
        const long line = editor.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(middle));
        editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                             static_cast<unsigned long>(editor.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION,
                                                                             static_cast<unsigned long>(line))));
        QApplication::processEvents();
        QApplication::postEvent(&editor, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
        QApplication::postEvent(&editor, new QKeyEvent(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
        state.SetIterationTime(double(longestBusyNanoseconds(3000)) / 1e9);
    }
    state.counters["text_length"] = static_cast<double>(editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
}
BENCHMARK(BM_WindowStall)->Arg(1 << 20)->Arg(64 << 20)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

// F3 for a word in any letter case, from the start of an opened script to the match selected
// near its end; as a counter, the longest stretch the window's thread is busy meanwhile.
void BM_FindAnyCase(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeScript(state, dir, GenerateScript(std::size_t(state.range(0)), LineEnds::CarriageReturnLineFeed) +
                                                     "\r\n# QUARRY\r\n");
    if (path.isEmpty())
        return;
    ScriptWindow window(path);
    if (!window.openAndRead()) {
        state.SkipWithError("the script did not open");
        return;
    }
    auto* find = window.window().findChild<FindDialog*>();
    find->findChild<QLineEdit*>(QStringLiteral("FindText"))->setText(QStringLiteral("quarry"));
    qint64 longest = 0;
    for (auto _ : state) {
        window.editor().SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
        QElapsedTimer clock;
        clock.start();
        BusyProbe probe;
        find->findNext();
        while (find->isSearching())
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        longest = std::max(longest, probe.longestNanoseconds());
    }
    state.counters["longest_busy_ms"] = double(longest) / 1e6;
}
BENCHMARK(BM_FindAnyCase)->Arg(64 << 20)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

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
