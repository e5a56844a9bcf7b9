#include "ScriptGenerator.h"

#include "app/MainWindow.h"
#include "app/RecoveryFile.h"
#include "editor/ScriptEditor.h"
#include "support/FakeDesktopServices.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTimerEvent>

#include <benchmark/benchmark.h>

namespace {

// The recovery copy is taken by a single-shot timer due this long after a change.
constexpr int kRecoveryDelayMs = 2000;
constexpr int kOnDiskWithinMs = 5000;

// Finds the window's recovery timer by its first time out and lets it through.
class RecoveryTimerSpy : public QObject {
public:
    RecoveryTimerSpy() { QCoreApplication::instance()->installEventFilter(this); }
    ~RecoveryTimerSpy() override { QCoreApplication::instance()->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Timer && !timer) {
            auto* candidate = qobject_cast<QTimer*>(watched);
            if (candidate && candidate->isSingleShot() && candidate->interval() == kRecoveryDelayMs)
                timer = candidate;
        }
        return false;
    }

    QTimer* timer = nullptr;
};

// Recovery copies go to a folder of the benchmark's own while it lives.
class StateFolder {
public:
    StateFolder() : m_saved(qgetenv("XDG_STATE_HOME")) { qputenv("XDG_STATE_HOME", QFile::encodeName(m_dir.path())); }
    ~StateFolder() { qputenv("XDG_STATE_HOME", m_saved); }

private:
    QTemporaryDir m_dir;
    QByteArray m_saved;
};

void typeKey(ScriptEditor& editor)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(&editor, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(&editor, &release);
}

// The one recovery file in the folder.
QString recoveryFile()
{
    const QDir folder(RecoveryFile::defaultFolder());
    const QStringList files = folder.entryList({QStringLiteral("*.recovery")}, QDir::Files);
    return files.size() == 1 ? folder.filePath(files[0]) : QString();
}

// What the window's thread spends on a recovery copy of a script of state.range(0) bytes with
// unsaved changes: the timer's slot, which takes the copy and hands it to the writer. The time
// until the copy is in place on disk is the counter to_disk_ms.
void BM_RecoverySnapshot(benchmark::State& state)
{
    const StateFolder folder;
    FakeDesktopServices desktop;
    RecoveryTimerSpy spy;
    MainWindow window;
    window.show();
    ScriptEditor& editor = *window.editor();
    editor.setScript(GenerateScript(std::size_t(state.range(0)), LineEnds::CarriageReturnLineFeed));
    // Typing in the middle: taking the copy first closes the editor's gap there.
    editor.SendScintilla(ScriptEditor::SCI_GOTOPOS, static_cast<unsigned long>(state.range(0) / 2));

    // The first copy comes by the timer itself, which shows the benchmark which timer it is.
    typeKey(editor);
    const QDeadlineTimer firstCopy(kRecoveryDelayMs + kOnDiskWithinMs);
    while ((!spy.timer || recoveryFile().isEmpty()) && !firstCopy.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!spy.timer || recoveryFile().isEmpty()) {
        state.SkipWithError("no recovery copy was written");
        return;
    }
    const QString file = recoveryFile();

    double toDiskMs = 0;
    for (auto _ : state) {
        typeKey(editor);
        const qint64 expected = qint64(
            RecoveryFile::encode({QString(), QDateTime::currentDateTimeUtc(), std::string(editor.documentText())}).size());
        QTimerEvent due(spy.timer->timerId());
        QElapsedTimer clock;
        clock.start();
        QCoreApplication::sendEvent(spy.timer, &due);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        const QDeadlineTimer onDisk(kOnDiskWithinMs);
        while (QFileInfo(file).size() != expected && !onDisk.hasExpired())
            QThread::usleep(50);
        if (QFileInfo(file).size() != expected) {
            state.SkipWithError("the copy did not reach the disk");
            break;
        }
        toDiskMs += double(clock.nsecsElapsed()) / 1e6;
    }
    state.counters["to_disk_ms"] = benchmark::Counter(toDiskMs / double(std::max<std::int64_t>(1, state.iterations())));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RecoverySnapshot)->Arg(1 << 20)->Iterations(200)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
