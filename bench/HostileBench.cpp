#include "ScriptGenerator.h"
#include "ScriptWindow.h"

#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

namespace {

// One character typed into the middle of a hostile script open in the window, at rest: from the
// key to the window showing it. Then, as a counter, the longest stretch the window's thread is
// busy in the three seconds after, with the check, completion, hints and the recovery copy on.
// `siblings` other scripts of the same size lie beside it in its folder.
void timeHostileKeystroke(benchmark::State& state, const std::string& script, int siblings = 0)
{
    QTemporaryDir dir;
    const QString path = writeScript(state, dir, script);
    if (path.isEmpty())
        return;
    for (int i = 0; i < siblings; ++i) {
        QFile file(dir.filePath(QStringLiteral("part%1.bsl").arg(i)));
        if (!file.open(QIODevice::WriteOnly) || file.write(script.data(), qint64(script.size())) != qint64(script.size())) {
            state.SkipWithError("cannot write the folder");
            return;
        }
    }
    ScriptWindow window(path);
    if (!window.openAndRead()) {
        state.SkipWithError("the script did not open");
        return;
    }
    ScriptEditor& editor = window.editor();
    editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                         static_cast<unsigned long>(editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH) / 2));
    QApplication::processEvents();
    qint64 longest = 0;
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&editor, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&editor, &release);
        window.window().repaint();
        state.PauseTiming();
        longest = std::max(longest, longestBusyNanoseconds(3000));
        state.ResumeTiming();
    }
    state.counters["longest_busy_ms"] = double(longest) / 1e6;
}

void BM_KeystrokeNested(benchmark::State& state)
{
    timeHostileKeystroke(state, hostile::nested(std::size_t(state.range(0))));
}
BENCHMARK(BM_KeystrokeNested)->Name("BM_Keystroke/nested_1000000")->Arg(1000000)->Iterations(2)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_KeystrokeParentheses(benchmark::State& state)
{
    timeHostileKeystroke(state, hostile::nested(std::size_t(state.range(0)), '('));
}
BENCHMARK(BM_KeystrokeParentheses)->Name("BM_Keystroke/parentheses_1000000")->Arg(1000000)->Iterations(2)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_KeystrokeOneLine(benchmark::State& state)
{
    timeHostileKeystroke(state, hostile::oneLine(std::size_t(state.range(0))));
}
BENCHMARK(BM_KeystrokeOneLine)->Name("BM_Keystroke/line_16777216")->Arg(16 << 20)->Iterations(2)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_KeystrokeFunctions(benchmark::State& state)
{
    timeHostileKeystroke(state, hostile::functions(std::size_t(state.range(0))));
}
BENCHMARK(BM_KeystrokeFunctions)->Name("BM_Keystroke/functions_300000")->Arg(300000)->Iterations(2)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_KeystrokeBinary(benchmark::State& state)
{
    timeHostileKeystroke(state, hostile::binary(std::size_t(state.range(0))));
}
BENCHMARK(BM_KeystrokeBinary)->Name("BM_Keystroke/binary_1048576")->Arg(1 << 20)->Iterations(2)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

// A level of a thousand scripts of 4 KiB beside the one typed into.
void BM_KeystrokeFolder(benchmark::State& state)
{
    timeHostileKeystroke(state, GenerateScript(4096, LineEnds::CarriageReturnLineFeed), int(state.range(0)));
}
BENCHMARK(BM_KeystrokeFolder)->Name("BM_Keystroke/folder_1000")->Arg(1000)->Iterations(2)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
