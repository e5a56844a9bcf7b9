#include "ScriptGenerator.h"

#include "app/Resource.h"
#include "tests/support/FakeDesktopServices.h"
#include "tests/support/ScriptToolDlgTestAccess.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

// The most memory this process has held at once so far, in MiB.
double peakResidentMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

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

// The main window with its file dialogs answered, so a click on a file label runs the handler.
class ScriptWindow {
public:
    explicit ScriptWindow(const QString& path)
    {
        m_desktop.openFileName = path;
        m_desktop.saveFileName = path;
        QApplication::processEvents();
    }

    // Clicks the label and lets the window show the result; false when an error was reported.
    bool click(int labelId)
    {
        m_main.dlg.SendMessage({DialogEvent::Clicked, labelId});
        QApplication::processEvents();
        return m_desktop.messageBoxes.empty();
    }

    long textLength() { return ScriptToolDlgTestAccess::Editor(m_main.dlg).GetTextLength(); }

private:
    FakeDesktopServices m_desktop;
    MainWindowUnderTest m_main;
};

// From the click on OPEN to the whole script in the editor, coloured and shown.
void BM_LoadScript(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeScript(state, dir);
    if (path.isEmpty())
        return;
    ScriptWindow window(path);
    for (auto _ : state) {
        if (!window.click(IDC_OPEN_LABEL)) {
            state.SkipWithError("the script did not open");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.counters["text_length"] = static_cast<double>(window.textLength());
    state.counters["peak_rss_MiB"] = peakResidentMiB();
}
BENCHMARK(BM_LoadScript)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the click on SAVE to the script safely on disk in place of the old one.
void BM_SaveScript(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeScript(state, dir);
    if (path.isEmpty())
        return;
    ScriptWindow window(path);
    if (!window.click(IDC_OPEN_LABEL)) {
        state.SkipWithError("the script did not open");
        return;
    }
    for (auto _ : state) {
        if (!window.click(IDC_SAVE_LABEL)) {
            state.SkipWithError("the script was not saved");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.counters["peak_rss_MiB"] = peakResidentMiB();
}
BENCHMARK(BM_SaveScript)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
