#include "ScriptGenerator.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {

// A whole process: start, the window shown with a script from the command line loaded, coloured
// and painted, then the end.
void BM_StartUpWithScript(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString script = folder.filePath(QStringLiteral("level.bsl"));
    {
        QFile file(script);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the script");
            return;
        }
        const std::string text = GenerateScript(std::size_t(state.range(0)), LineEnds::CarriageReturnLineFeed);
        file.write(text.data(), qint64(text.size()));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.path());

    for (auto _ : state) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QUARN_STARTUP_PROBE), {script});
        if (!program.waitForFinished(30000) || program.exitCode() != 0) {
            state.SkipWithError("the program did not start and end cleanly");
            return;
        }
    }
}
BENCHMARK(BM_StartUpWithScript)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace
