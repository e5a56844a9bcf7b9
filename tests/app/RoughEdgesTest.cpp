#include "files/FileFaults.h"
#include "support/BuilderDriver.h"
#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"
#include "support/MainWindowHarness.h"
#include "support/WindowDriving.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <new>
#include <string>
#include <unistd.h>

// What keeps the user's work safe where things get awkward: names in any script, files too large
// for the editor, slow disks, memory that runs out, and the statement that composes nothing.

namespace {

using Answer = DesktopServices::Answer;
using namespace driving;

constexpr char kLoadingText[] = "Loading, Please wait a few seconds...";
constexpr char kCreditsAfterLoad[] = "Programmed by Ravok  -  Ideas by PLXN";

// Reads through the real calls, after letting the test look at the window, and counts the bytes.
class WatchedReads : public FileSystemCalls {
public:
    explicit WatchedReads(std::function<void()> beforeEach = {}) : m_beforeEach(std::move(beforeEach))
    {
        setInstance(this);
    }
    ~WatchedReads() override { setInstance(nullptr); }
    WatchedReads(const WatchedReads&) = delete;
    WatchedReads& operator=(const WatchedReads&) = delete;

    ssize_t read(int fd, void* buffer, std::size_t count) override
    {
        ++calls;
        if (m_beforeEach)
            m_beforeEach();
        const ssize_t done = FileSystemCalls::read(fd, buffer, std::min(count, chunk));
        if (done > 0)
            bytes += std::size_t(done);
        return done;
    }

    // So much at a time.
    std::size_t chunk = std::size_t(-1);

    int calls = 0;
    std::size_t bytes = 0;

private:
    std::function<void()> m_beforeEach;
};

// A read or a write that the memory cannot serve.
class OutOfMemoryCalls : public FileSystemCalls {
public:
    OutOfMemoryCalls() { setInstance(this); }
    ~OutOfMemoryCalls() override { setInstance(nullptr); }
    OutOfMemoryCalls(const OutOfMemoryCalls&) = delete;
    OutOfMemoryCalls& operator=(const OutOfMemoryCalls&) = delete;

    ssize_t read(int, void*, std::size_t) override { throw std::bad_alloc(); }
    ssize_t write(int, const void*, std::size_t) override { throw std::bad_alloc(); }
};

// A script of about `size` bytes of ordinary lines.
QByteArray ScriptOf(qsizetype size)
{
    const QByteArray lines = "func void level_start(void)\r\n{\r\n\tchr_teleport 0 12\r\n\tsleep 60\r\n}\r\n";
    QByteArray script;
    script.reserve(size + lines.size());
    while (script.size() < size)
        script.append(lines);
    return script;
}

class RoughEdges : public ::testing::Test {
protected:
    RoughEdges() { QGuiApplication::clipboard()->clear(); }

    MainWindow& Window() { return main.window; }
    ScriptEditor& Editor() { return *main.editor(); }
    QString PathOf(const QString& name) const { return m_dir.filePath(name); }
    QLabel* Credits() const { return main.control<QLabel>("IDC_CREDITS"); }

    void Open(const QString& path)
    {
        desktop.openFileName = path;
        input::LeftClick(main.control("IDC_OPEN_LABEL"), QPoint(2, 2));
    }

    // The only box shown so far, a stop-icon file error over the window; its text.
    std::string FileErrorShown()
    {
        if (desktop.messageBoxes.size() != 1)
            return "message boxes shown: " + std::to_string(desktop.messageBoxes.size());
        const auto& box = desktop.messageBoxes.front();
        EXPECT_EQ(box.icon, DesktopServices::Icon::Stop);
        EXPECT_EQ(box.buttons, DesktopServices::Buttons::Ok);
        EXPECT_EQ(box.owner, &Window());
        return box.text;
    }

    // Text typed into the window with an undo step behind it, as the state a failure must keep.
    void TypeSomething()
    {
        ASSERT_TRUE(Activate(Window()));
        TypeKeys(Window(), QStringLiteral("sleep 5"));
        ASSERT_EQ(main.editorText(), "sleep 5");
    }

    void ExpectTheTypingKept()
    {
        EXPECT_EQ(main.editorText(), "sleep 5");
        EXPECT_TRUE(Editor().isModified());
        EXPECT_TRUE(Editor().isUndoAvailable());
        EXPECT_EQ(desktop.waitCursorDepth, 0);
        EXPECT_EQ(Credits()->text(), QString::fromLatin1(kCreditsAfterLoad));
    }

    // The window still takes typing, and undoes it.
    void ExpectTheWindowGoesOn()
    {
        ASSERT_TRUE(Activate(Window()));
        const std::string before = main.editorText();
        Editor().SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        TypeKeys(Window(), QStringLiteral("x"));
        EXPECT_EQ(main.editorText(), before + "x");
        PressKey(Window(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(main.editorText(), before);
    }

    FakeDesktopServices desktop;
    QTemporaryDir m_dir;
    MainWindowUnderTest main;
};

// --- Names in any script -------------------------------------------------------------------------

// Cyrillic, Greek and an emoji beyond the basic plane, as the file system holds them: UTF-8.
const QString kWorldlyFolder = QStringLiteral("\u0421\u0446\u0435\u043d\u0430 \u03a3\u03ba\u03b7\u03bd\u03ae \U0001F3AC");
const std::string kWorldlyFolderUtf8 = "\xD0\xA1\xD1\x86\xD0\xB5\xD0\xBD\xD0\xB0 \xCE\xA3\xCE\xBA\xCE\xB7\xCE\xBD\xCE\xAE "
                                       "\xF0\x9F\x8E\xAC";

TEST_F(RoughEdges, AnErrorBoxNamesAPathInAnyScriptExactly)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(kWorldlyFolder));
    const std::string folder = QFile::encodeName(m_dir.path()).toStdString() + "/" + kWorldlyFolderUtf8;
    Open(m_dir.path() + QLatin1Char('/') + kWorldlyFolder + QStringLiteral("/level01.bsl"));
    EXPECT_EQ(FileErrorShown(), folder + "/level01.bsl was not found.");

    // The same name opens, shows in the title and saves back.
    const QString path = m_dir.path() + QLatin1Char('/') + kWorldlyFolder + QStringLiteral("/\U0001F3AC.bsl");
    ASSERT_TRUE(writeFileBytes(path, "sleep 1"));
    ASSERT_TRUE(QFile::exists(QString::fromStdString(folder + "/\xF0\x9F\x8E\xAC.bsl")));
    Open(path);
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(Window().windowTitle().toStdString(), "\xF0\x9F\x8E\xAC.bsl - QUARN-XP");
    ASSERT_TRUE(Activate(Window()));
    TypeKeys(Window(), QStringLiteral("x"));
    PressKey(Window(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(readFileBytes(path), "xsleep 1");

    // A box about it after a failed save names it as exactly.
    FaultyFileSystemCalls faults;
    faults.failWritesAfter(0, EIO);
    TypeKeys(Window(), QStringLiteral("y"));
    PressKey(Window(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(desktop.messageBoxes[1].text,
              "A hardware I/O error was reported while accessing " + folder + "/\xF0\x9F\x8E\xAC.bsl.");
    EXPECT_EQ(readFileBytes(path), "xsleep 1");
}

// --- A file too large for the editor -------------------------------------------------------------

TEST_F(RoughEdges, AFileOfTwoGigabytesIsRefusedBeforeTheEditorChangesAndUnread)
{
    TypeSomething();
    const QString path = PathOf(QStringLiteral("huge.bsl"));
    {
        // Sparse: it takes no room on the disk.
        const int fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t(2) << 30), 0);
        ::close(fd);
    }
    WatchedReads reads;
    QElapsedTimer clock;
    clock.start();
    Open(path);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(reads.bytes, 0u);

    ASSERT_EQ(desktop.messageBoxes.size(), 1u) << "the refusal alone: the open goes to a tab of its own";
    EXPECT_EQ(FileErrorShown(), FileError(FileError::tooLarge, path).message().toStdString());
    EXPECT_NE(FileErrorShown().find("too large"), std::string::npos);
    ExpectTheTypingKept();
    EXPECT_EQ(Window().scriptPath(), QString());
    ExpectTheWindowGoesOn();
}

// --- A slow load ---------------------------------------------------------------------------------

TEST_F(RoughEdges, ASlowLoadPaintsTheLoadingTextFirstAndShowsItsProgress)
{
    class PaintCount : public QObject {
    public:
        explicit PaintCount(QWidget* widget) { widget->installEventFilter(this); }
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                ++paints;
            return false;
        }
        int paints = 0;
    };

    const QByteArray script = ScriptOf(4 << 20);
    const QString path = PathOf(QStringLiteral("big.bsl"));
    ASSERT_TRUE(writeFileBytes(path, script));
    ASSERT_TRUE(WaitFor([&] { return Window().windowHandle()->isExposed(); }));
    QApplication::processEvents();

    const PaintCount painted(Credits());
    struct Seen {
        bool loadingTextPainted = false;
        bool progressShown = false;
        bool progressOverTheWindow = false;
        int largestProgress = -1;
    } seen;
    WatchedReads reads([&] {
        if (reads.calls == 1)
            seen.loadingTextPainted = Credits()->text() == QString::fromLatin1(kLoadingText) && painted.paints > 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<QProgressDialog*>(widget);
            if (!progress || !progress->isVisible())
                continue;
            seen.progressShown = true;
            seen.progressOverTheWindow =
                progress->parentWidget() == &Window() && progress->windowModality() == Qt::WindowModal;
            seen.largestProgress = std::max(seen.largestProgress, progress->value());
        }
    });
    // 64 reads of 64 KiB, from an open that has run longer than its progress waits for.
    reads.chunk = 64 << 10;
    Window().setProgressDelay(std::chrono::milliseconds(0));
    Open(path);

    EXPECT_GE(reads.calls, 64);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(main.editorText().size(), std::size_t(script.size()));
    EXPECT_TRUE(seen.loadingTextPainted) << "painted " << painted.paints << " times";
    EXPECT_TRUE(seen.progressShown);
    EXPECT_TRUE(seen.progressOverTheWindow);
    EXPECT_GT(seen.largestProgress, 0);
    EXPECT_LE(seen.largestProgress, 50) << "the reading is the first half";
    // Done, the progress goes and the credits come back.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* progress = qobject_cast<QProgressDialog*>(widget)) {
            EXPECT_FALSE(progress->isVisible());
        }
    }
    EXPECT_EQ(Credits()->text(), QString::fromLatin1(kCreditsAfterLoad));
}

TEST_F(RoughEdges, AQuickLoadShowsNoProgress)
{
    const QString path = PathOf(QStringLiteral("small.bsl"));
    ASSERT_TRUE(writeFileBytes(path, ScriptOf(256 << 10)));
    bool progressShown = false;
    WatchedReads reads([&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            progressShown = progressShown || (qobject_cast<QProgressDialog*>(widget) && widget->isVisible());
    });
    reads.chunk = 16 << 10;
    Open(path);
    EXPECT_GT(reads.calls, 10);
    EXPECT_FALSE(progressShown);
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

// --- Memory that runs out ------------------------------------------------------------------------

TEST_F(RoughEdges, MemoryRunningOutWhileReadingIsReportedAndTheWindowGoesOn)
{
    TypeSomething();
    const QString path = PathOf(QStringLiteral("level01.bsl"));
    ASSERT_TRUE(writeFileBytes(path, "sleep 1"));
    {
        const OutOfMemoryCalls noMemory;
        Open(path);
    }
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(FileErrorShown(), FileError(FileError::tooLarge, path).message().toStdString());
    ExpectTheTypingKept();
    EXPECT_EQ(Window().scriptPath(), QString());
    ExpectTheWindowGoesOn();

    // With the memory back the same script opens.
    Open(path);
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(main.editorText(), "sleep 1");
}

TEST_F(RoughEdges, MemoryRunningOutWhileSavingIsReportedAndKeepsTheFileAndTheChanges)
{
    const QString path = PathOf(QStringLiteral("level01.bsl"));
    ASSERT_TRUE(writeFileBytes(path, "sleep 1"));
    Open(path);
    ASSERT_TRUE(Activate(Window()));
    TypeKeys(Window(), QStringLiteral("x"));
    {
        const OutOfMemoryCalls noMemory;
        PressKey(Window(), Qt::Key_S, Qt::ControlModifier);
    }
    EXPECT_EQ(FileErrorShown(), FileError(FileError::generic, path).message().toStdString());
    EXPECT_EQ(readFileBytes(path), "sleep 1");
    EXPECT_EQ(main.editorText(), "xsleep 1");
    EXPECT_TRUE(Editor().isModified());
    ExpectTheWindowGoesOn();
}

// --- The statement that composes nothing ---------------------------------------------------------

TEST_F(RoughEdges, AddingCinematicStopInsertsNothingAndLeavesTheClipboardAsItWas)
{
    auto* held = new QMimeData;
    held->setText(QStringLiteral("held \u00e9 \u20ac \U0001F3AC"));
    held->setHtml(QStringLiteral("<b>held</b>"));
    QGuiApplication::clipboard()->setMimeData(held);
    main.setEditorText("sleep 1", 7, 7);
    const bool undoBefore = Editor().isUndoAvailable();
    const bool modifiedBefore = Editor().isModified();

    BuilderDriver builder(main);
    builder.ChooseCommand("cinematic_stop");
    for (int press = 1; press <= 9; ++press) {
        input::LeftClick(main.control("IDC_ADD_STATEMENT"), {5, 5});
        const QMimeData* now = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(now, nullptr);
        EXPECT_EQ(now->text(), QStringLiteral("held \u00e9 \u20ac \U0001F3AC")) << "press " << press;
        EXPECT_EQ(now->html(), QStringLiteral("<b>held</b>")) << "press " << press;
        EXPECT_EQ(main.editorText(), "sleep 1") << "press " << press;
    }
    EXPECT_EQ(Editor().isUndoAvailable(), undoBefore);
    EXPECT_EQ(Editor().isModified(), modifiedBefore);
    EXPECT_EQ(main.editorSelection(), std::make_pair(7L, 7L));
    // Only the ninth press earns its remark.
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
}

} // namespace
