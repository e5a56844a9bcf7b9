// A copy of the program that leaves unsaved work behind for the recovery tests: for each pair of
// arguments it opens the script named first in a tab (a new script when the name is empty), types
// the text named second into its editor as key presses, waits until its recovery copies on disk
// hold that work (if it typed any), says "ready" and then idles until it is killed. Told to, it first types one more key, finds no
// memory for large blocks while the next copy is taken or written, and says "survived" if it did. It
// ends when its standard input does, as it does when the test that started it ends in any way, so
// that a test that dies first leaves nothing running.

#include "app/MainWindow.h"
#include "app/RecoveryFile.h"
#include "app/ScriptTab.h"
#include "app/ScriptTabs.h"
#include "editor/ScriptEditor.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <thread>
#include <vector>

// Told to, allocations of this size and more fail: on the window's thread while the recovery
// copy is taken, or on the others while it is written.
std::atomic<std::size_t> g_failingFrom{0};
std::atomic<bool> g_failingOnTheWindowsThread{false};
std::thread::id g_windowsThread;

void* operator new(std::size_t size)
{
    const std::size_t failingFrom = g_failingFrom.load(std::memory_order_relaxed);
    if (failingFrom != 0 && size >= failingFrom
        && (std::this_thread::get_id() == g_windowsThread) == g_failingOnTheWindowsThread.load())
        throw std::bad_alloc();
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

// The other forms go through the two above, as the standard library's own do; an address
// sanitizer would otherwise serve them itself and see its blocks given back to free().
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size)
{
    return ::operator new(size);
}

void* operator new[](std::size_t size, const std::nothrow_t& nothrow) noexcept
{
    return ::operator new(size, nothrow);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    ::operator delete(block);
}

void operator delete[](void* block) noexcept
{
    ::operator delete(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    ::operator delete(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    ::operator delete(block);
}

namespace {

// Shorter than the program's own, so that the tests wait less; the starving below knows the
// recovery timer by it.
constexpr int kRecoveryDelayMs = 200;
constexpr int kCopyWithinMs = 10000;
constexpr std::size_t kLargeAllocation = 1 << 20;
// Longer than the recovery copy's delay.
constexpr int kStarvedForMs = 5 * kRecoveryDelayMs;

// Leaves the large blocks to fail while the window's recovery timer is handled: the timer that
// fires once, its delay after a change.
class StarvedRecoveryCopy : public QObject {
public:
    StarvedRecoveryCopy() { QCoreApplication::instance()->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* timer = qobject_cast<QTimer*>(watched);
        if (event->type() != QEvent::Timer || !timer || !timer->isSingleShot() || timer->interval() != kRecoveryDelayMs)
            return false;
        g_failingFrom = kLargeAllocation;
        watched->event(event);
        g_failingFrom = 0;
        return true;
    }
};

// A key as the keyboard gives it: Enter and Tab by their keys, anything else with its text.
void type(QWidget* target, const QString& text)
{
    for (const QChar c : text) {
        const int key = c == QLatin1Char('\n') ? Qt::Key_Return : c == QLatin1Char('\t') ? Qt::Key_Tab
                                                                                        : int(c.toUpper().unicode());
        const QString keyText = c == QLatin1Char('\n') ? QStringLiteral("\r") : QString(c);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, keyText);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, keyText);
        QApplication::sendEvent(target, &release);
    }
}

// Whether a recovery file in the folder holds exactly `text`.
bool copyHolds(std::string_view text)
{
    const QDir folder(RecoveryFile::defaultFolder());
    for (const QString& name : folder.entryList({QStringLiteral("*.recovery")}, QDir::Files)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        const auto script = RecoveryFile::decode(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        if (script && script->text == text)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    g_windowsThread = std::this_thread::get_id();
    QApplication application(argc, argv);
    const bool starved = argc > 1 && std::strncmp(argv[argc - 1], "--then-", 7) == 0;
    const int pairs = (argc - 1 - int(starved)) / 2;
    if (pairs < 1 || 1 + 2 * pairs + int(starved) != argc) {
        std::fputs("usage: quarn-recovery-child SCRIPT|\"\" TEXT [SCRIPT|\"\" TEXT...] "
                   "[--then-run-out-of-memory-copying|-writing]\n",
                   stderr);
        return 2;
    }
    MainWindow window;
    window.setRecoveryDelay(std::chrono::milliseconds(kRecoveryDelayMs));
    window.show();
    QApplication::processEvents();
    std::vector<ScriptEditor*> typedInto;
    for (int pair = 0; pair < pairs; ++pair) {
        const QString script = QString::fromLocal8Bit(argv[1 + 2 * pair]);
        if (!script.isEmpty() && !window.openScriptFile(script)) {
            std::fputs("the script did not open\n", stderr);
            return 2;
        }
        if (script.isEmpty() && pair > 0)
            window.tabs()->addTab();
        ScriptEditor* editor = window.editor();
        editor->SendScintilla(ScriptEditor::SCI_DOCUMENTEND);
        type(editor, QString::fromUtf8(argv[2 + 2 * pair]));
        if (argv[2 + 2 * pair][0] != '\0')
            typedInto.push_back(editor);
    }

    // With nothing typed there is nothing unsaved to wait for. The copies are written off the
    // window's thread and land in their folder by a rename, which the watcher reports.
    const QFileSystemWatcher landing({RecoveryFile::defaultFolder()});
    const QDeadlineTimer deadline(kCopyWithinMs);
    while (!std::all_of(typedInto.begin(), typedInto.end(),
                        [](ScriptEditor* editor) { return copyHolds(editor->documentText()); })) {
        if (deadline.hasExpired()) {
            std::fputs("no recovery copy was written\n", stderr);
            return 3;
        }
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    std::fputs("ready\n", stdout);
    std::fflush(stdout);

    // One key more, and no memory for the copy of the script when it is due.
    if (starved) {
        const bool copying = std::strcmp(argv[argc - 1], "--then-run-out-of-memory-copying") == 0;
        std::optional<StarvedRecoveryCopy> starvedCopy;
        if (copying)
            starvedCopy.emplace();
        else
            g_failingFrom = kLargeAllocation;
        g_failingOnTheWindowsThread = copying;
        type(window.editor(), QStringLiteral(" "));
        const QDeadlineTimer starvedFor(kStarvedForMs);
        while (!starvedFor.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        g_failingFrom = 0;
        std::fputs("survived\n", stdout);
        std::fflush(stdout);
    }
    while (std::fgetc(stdin) != EOF) {
    }
    return 0;
}
