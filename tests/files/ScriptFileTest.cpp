#include "FileFaults.h"

#include "editor/ScriptLexer.h"
#include "platform/Cp1252.h"
#include "support/EditorProbe.h"
#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"
#include "support/MainWindowHarness.h"
#include "app/ScriptTab.h"
#include "app/ScriptTabs.h"
#include "support/WindowDriving.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Answer = DesktopServices::Answer;

constexpr char kStartupCredits[] = "Programmed by Ravok - Ideas by PLXN";
constexpr char kCreditsAfterLoad[] = "Programmed by Ravok  -  Ideas by PLXN";
constexpr char kLoadingText[] = "Loading, Please wait a few seconds...";

std::string Native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Holds an exclusive lock on a file from a child process, as another program would, until the
// object goes.
class LockingChildProcess {
public:
    explicit LockingChildProcess(const QString& path)
    {
        const std::string file = Native(path);
        int locked[2];
        int release[2];
        if (::pipe(locked) != 0 || ::pipe(release) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            // Only the parent may hold the release pipe's writing end, or it never reads as ended.
            ::close(release[1]);
            ::close(locked[0]);
            const int fd = ::open(file.c_str(), O_RDONLY);
            const char result = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            ssize_t ignored = ::write(locked[1], &result, 1);
            char done;
            ignored = ::read(release[0], &done, 1);
            ::_exit(ignored < 0 ? 1 : 0);
        }
        ::close(locked[1]);
        ::close(release[0]);
        m_release = release[1];
        char result = 'n';
        m_locked = m_pid > 0 && ::read(locked[0], &result, 1) == 1 && result == 'y';
        ::close(locked[0]);
    }

    ~LockingChildProcess()
    {
        if (m_pid <= 0)
            return;
        ::close(m_release);
        ::waitpid(m_pid, nullptr, 0);
    }

    bool isLocked() const { return m_locked; }

private:
    pid_t m_pid = -1;
    int m_release = -1;
    bool m_locked = false;
};

// Calls the given function on every read of a script, while the load is under way.
class ReadObserver : public FileSystemCalls {
public:
    explicit ReadObserver(std::function<void()> onRead) : m_onRead(std::move(onRead)) { setInstance(this); }
    ~ReadObserver() override { setInstance(nullptr); }

    ssize_t read(int fd, void* buffer, std::size_t count) override
    {
        m_onRead();
        return FileSystemCalls::read(fd, buffer, count);
    }

private:
    std::function<void()> m_onRead;
};

QByteArray EveryByteValue()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(static_cast<char>(value));
    return bytes;
}

// A script of at least `size` bytes of realistic lines ending in CR LF, with one distinct last line.
QByteArray LargeScript(qsizetype size)
{
    const QByteArray lines = "func void level_start(void)\r\n{\r\n\tchr_teleport 0 12\r\n"
                             "\tvar int count = 3;\r\n\t# wait for the guards\r\n\tsleep 60\r\n}\r\n";
    QByteArray script;
    script.reserve(size + lines.size() + 32);
    while (script.size() < size)
        script.append(lines);
    script.append("ai2_spawn last_line");
    return script;
}

class ScriptFile : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return m_dir.filePath(name); }
    QString Folder() const { return m_dir.path() + QLatin1Char('/'); }
    static QString Home() { return QDir::homePath() + QLatin1Char('/'); }

    ScriptEditor& Editor() { return *main.editor(); }
    std::string EditorText() { return probe::text(Editor()); }
    std::string Credits() const { return main.control<QLabel>("IDC_CREDITS")->text().toStdString(); }

    void ClickOpen() { input::LeftClick(main.control("IDC_OPEN_LABEL"), QPoint(2, 2)); }
    void ClickSave() { input::LeftClick(main.control("IDC_SAVE_LABEL"), QPoint(2, 2)); }

    void Open(const QString& path)
    {
        desktop.openFileName = path;
        ClickOpen();
    }

    void Save(const QString& path)
    {
        desktop.saveFileName = path;
        ClickSave();
    }

    // The folder the file dialogs start in now, as a save dialog, cancelled, shows it. Saving
    // asks nothing first, so this works with unsaved changes too.
    QString DialogFolder()
    {
        const std::optional<QString> chosen = std::exchange(desktop.saveFileName, std::nullopt);
        ClickSave();
        desktop.saveFileName = chosen;
        return desktop.saveDialogs.empty() ? QString() : desktop.saveDialogs.back().initialFolder;
    }

    // Text typed at the start of the script, a key at a time; '\r' is the Enter key, '\t' the Tab key.
    void Type(const std::string& text)
    {
        Editor().setCursorPosition(0, 0);
        for (const char c : text) {
            if (c == '\r' || c == '\t') {
                input::Key(&Editor(), c == '\r' ? Qt::Key_Return : Qt::Key_Tab);
                continue;
            }
            const QString character(QChar::fromLatin1(c));
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
            QApplication::sendEvent(&Editor(), &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
            QApplication::sendEvent(&Editor(), &release);
        }
    }

    bool CloseWindow()
    {
        main.window.close();
        return !main.window.isVisible();
    }

    // The one message box shown so far: a stop-icon file error with the program's name.
    std::string FileErrorShown()
    {
        if (desktop.messageBoxes.size() != 1)
            return "message boxes shown: " + std::to_string(desktop.messageBoxes.size());
        const auto& box = desktop.messageBoxes.front();
        EXPECT_EQ(box.caption, "quarn-xp");
        EXPECT_EQ(box.icon, DesktopServices::Icon::Stop);
        EXPECT_EQ(box.buttons, DesktopServices::Buttons::Ok);
        EXPECT_EQ(box.owner, &main.window);
        return box.text;
    }

    static std::string Message(const char* pattern, const QString& path)
    {
        return QString::fromLatin1(pattern).arg(path).toStdString();
    }

    // How the byte at `position` shows once the text is coloured.
    TokenLook LookAt(long position)
    {
        probe::colour(Editor());
        const int style =
            int(Editor().SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(position)));
        return {Editor().lexer()->color(style), Editor().lexer()->font(style).bold()};
    }

    FakeDesktopServices desktop;
    QTemporaryDir m_dir;
    MainWindowUnderTest main;
};

const TokenLook kCommandLook{script_colours::kCommandGreen, true};

TEST_F(ScriptFile, OpensAScriptColouredAndUnchanged)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "func main\r\n\tchr_teleport 0 1\r\n"));
    Open(PathOf("level01.bsl"));
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(EditorText(), "func main\r\n\tchr_teleport 0 1\r\n");
    const std::vector<TokenLook> looks = probe::looks(Editor());
    ASSERT_EQ(looks.size(), 30u);
    for (std::size_t p = 12; p < 24; ++p)
        EXPECT_EQ(looks[p], kCommandLook) << "position " << p;
    EXPECT_EQ(looks[0], lookOf(TokenKind::Keyword));
    EXPECT_FALSE(Editor().isModified());
    EXPECT_FALSE(Editor().isUndoAvailable());
}

TEST_F(ScriptFile, OpenDialogOffersScriptFilesOnly)
{
    desktop.openFileName.reset();
    ClickOpen();
    ASSERT_EQ(desktop.openDialogs.size(), 1u);
    EXPECT_EQ(desktop.openDialogs[0].filterDescription, "VESK Level Script Files (*.bsl)");
    EXPECT_EQ(desktop.openDialogs[0].filterPattern, "*.bsl");
    EXPECT_TRUE(desktop.openDialogs[0].defaultSuffix.isEmpty());
}

TEST_F(ScriptFile, ShowsTheWaitCursorAndTheLoadingTextWhileItLoads)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "func main"));
    std::vector<std::string> creditsWhileReading;
    int deepestWaitCursor = 0;
    {
        const ReadObserver observer([&] {
            creditsWhileReading.push_back(Credits());
            deepestWaitCursor = std::max(deepestWaitCursor, desktop.waitCursorDepth);
        });
        Open(PathOf("level01.bsl"));
    }
    ASSERT_FALSE(creditsWhileReading.empty());
    EXPECT_EQ(creditsWhileReading.front(), kLoadingText);
    EXPECT_EQ(deepestWaitCursor, 1);
    EXPECT_EQ(Credits(), kCreditsAfterLoad);
    EXPECT_EQ(desktop.waitCursorDepth, 0);
    EXPECT_EQ(desktop.waitCursorsShown, 1);
}

// The load keeps the event loop waiting, so the loading text is only seen when it is painted
// before the first byte is read.
TEST_F(ScriptFile, PaintsTheLoadingTextBeforeItLoads)
{
    class PaintedTexts : public QObject {
    public:
        explicit PaintedTexts(QLabel* label) : m_label(label) { label->installEventFilter(this); }
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                texts.push_back(m_label->text().toStdString());
            return false;
        }
        std::vector<std::string> texts;

    private:
        QLabel* m_label;
    };

    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "func main"));
    auto* credits = main.control<QLabel>("IDC_CREDITS");
    // Nothing is painted until the window is on the screen.
    for (int round = 0; round < 100 && !main.window.windowHandle()->isExposed(); ++round)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(main.window.windowHandle()->isExposed());
    QApplication::processEvents();
    PaintedTexts painted(credits);
    std::vector<std::string> paintedBeforeReading;
    {
        const ReadObserver observer([&] {
            if (paintedBeforeReading.empty())
                paintedBeforeReading = painted.texts;
        });
        Open(PathOf("level01.bsl"));
    }
    EXPECT_EQ(paintedBeforeReading, std::vector<std::string>{kLoadingText});
}

TEST_F(ScriptFile, CancellingTheOpenDialogChangesNothing)
{
    Editor().setScript("unsaved");
    desktop.openFileName.reset();
    ClickOpen();
    EXPECT_EQ(desktop.openDialogs.size(), 1u);
    EXPECT_EQ(EditorText(), "unsaved");
    EXPECT_EQ(Credits(), kStartupCredits);
    EXPECT_EQ(desktop.waitCursorsShown, 0);
    EXPECT_EQ(DialogFolder(), Home());
}

TEST_F(ScriptFile, RemembersTheFolderOfTheLastFileOpenedOrSaved)
{
    desktop.openFileName.reset();
    ClickOpen();
    desktop.saveFileName.reset();
    ClickSave();
    ASSERT_EQ(desktop.openDialogs.size(), 1u);
    ASSERT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_EQ(desktop.openDialogs[0].initialFolder, Home());
    EXPECT_EQ(desktop.saveDialogs[0].initialFolder, Home());

    ASSERT_TRUE(QDir(m_dir.path()).mkdir("Scripts"));
    ASSERT_TRUE(writeFileBytes(PathOf("Scripts/level01.bsl"), "func main"));
    Open(PathOf("Scripts/level01.bsl"));

    desktop.openFileName.reset();
    ClickOpen();
    desktop.saveFileName.reset();
    ClickSave();
    EXPECT_EQ(desktop.openDialogs.back().initialFolder, PathOf("Scripts/"));
    EXPECT_EQ(desktop.saveDialogs.back().initialFolder, PathOf("Scripts/"));
    // A cancelled dialog leaves the folder as it was.
    EXPECT_EQ(DialogFolder(), PathOf("Scripts/"));

    Save(PathOf("copy.bsl"));
    EXPECT_EQ(DialogFolder(), Folder());
    desktop.saveFileName.reset();
    ClickSave();
    EXPECT_EQ(desktop.saveDialogs.back().initialFolder, Folder());
}

TEST_F(ScriptFile, AFolderNameOutsideTheCodePageIsKept)
{
    const QString folder = QStringLiteral("\u0421\u0446\u0435\u043d\u0430\u0440\u0438\u0438");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(folder));
    const QString path = PathOf(folder + QStringLiteral("/level01.bsl"));
    ASSERT_TRUE(writeFileBytes(path, "func main"));
    Open(path);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(EditorText(), "func main");
    desktop.saveFileName.reset();
    ClickSave();
    EXPECT_EQ(desktop.saveDialogs.back().initialFolder, QFileInfo(path).path() + "/");

    Type("# ");
    Save(PathOf(folder + QStringLiteral("/copy.bsl")));
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(readFileBytes(PathOf(folder + QStringLiteral("/copy.bsl"))), "# func main");
}

TEST_F(ScriptFile, AMissingFileTypedIntoTheOpenDialogIsNotFound)
{
    Editor().setScript("kept");
    Open(PathOf("typed.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("%1 was not found.", PathOf("typed.bsl")));
    EXPECT_EQ(EditorText(), "kept");
    EXPECT_EQ(Credits(), kCreditsAfterLoad);
    EXPECT_EQ(desktop.waitCursorDepth, 0);
    EXPECT_EQ(DialogFolder(), Home());
}

TEST_F(ScriptFile, AFileInAMissingFolderIsAnInvalidPath)
{
    Open(PathOf("nowhere/level01.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("%1 contains an invalid path.", PathOf("nowhere/level01.bsl")));
}

TEST_F(ScriptFile, AFolderChosenAsAScriptIsAnInvalidPath)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.bsl"));
    Open(PathOf("folder.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("%1 contains an invalid path.", PathOf("folder.bsl")));
    EXPECT_EQ(Credits(), kCreditsAfterLoad);
}

TEST_F(ScriptFile, AScriptTheUserMayNotReadIsDenied)
{
    ASSERT_TRUE(writeFileBytes(PathOf("secret.bsl"), "func main"));
    FaultyFileSystemCalls calls;
    calls.failOpen(PathOf("secret.bsl"), EACCES);
    Open(PathOf("secret.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("Access to %1 was denied.", PathOf("secret.bsl")));
    EXPECT_EQ(EditorText(), "");
}

TEST_F(ScriptFile, AScriptWithoutReadPermissionIsDenied)
{
    if (runningAsRoot())
        GTEST_SKIP() << "permission bits do not stop root";
    ASSERT_TRUE(writeFileBytes(PathOf("secret.bsl"), "func main"));
    ASSERT_EQ(::chmod(QFile::encodeName(PathOf("secret.bsl")).constData(), 0200), 0);
    Open(PathOf("secret.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("Access to %1 was denied.", PathOf("secret.bsl")));
}

TEST_F(ScriptFile, AScriptAnotherProgramHoldsIsASharingViolation)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "func main"));
    const LockingChildProcess other(PathOf("level01.bsl"));
    ASSERT_TRUE(other.isLocked());
    Editor().setScript("kept");
    Open(PathOf("level01.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("A sharing violation occurred while accessing %1.", PathOf("level01.bsl")));
    EXPECT_EQ(EditorText(), "kept");
}

TEST_F(ScriptFile, AReadErrorPartWayLeavesTheTextAsItWas)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), LargeScript(1 << 20)));
    Editor().setScript("kept");
    {
        FaultyFileSystemCalls calls;
        calls.failReadsAfter(300000, EIO);
        Open(PathOf("level01.bsl"));
    }
    EXPECT_EQ(FileErrorShown(),
              Message("A hardware I/O error was reported while accessing %1.", PathOf("level01.bsl")));
    EXPECT_EQ(EditorText(), "kept");
    EXPECT_EQ(Credits(), kCreditsAfterLoad);
    EXPECT_EQ(desktop.waitCursorDepth, 0);
    // The file was let go: it opens now.
    desktop.messageBoxes.clear();
    Open(PathOf("level01.bsl"));
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(Editor().length(), LargeScript(1 << 20).size());
}

// Changes the user chose to discard are not lost by a load that does not happen.
TEST_F(ScriptFile, AReadErrorKeepsTheScriptOfTheCurrentTabWithItsChangesAndTheirUndo)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), LargeScript(1 << 20)));
    Editor().setScript("kept");
    Type("!");
    {
        FaultyFileSystemCalls calls;
        calls.failReadsAfter(300000, EIO);
        Open(PathOf("level01.bsl"));
    }
    EXPECT_EQ(FileErrorShown(), Message("A hardware I/O error was reported while accessing %1.", PathOf("level01.bsl")));
    EXPECT_EQ(main.window.tabs()->tabs().size(), 1u);
    EXPECT_EQ(EditorText(), "!kept");
    EXPECT_TRUE(Editor().isModified());
    EXPECT_TRUE(Editor().isUndoAvailable());
}

TEST_F(ScriptFile, AnEmptyScriptEmptiesTheEditor)
{
    ASSERT_TRUE(writeFileBytes(PathOf("empty.bsl"), {}));
    Editor().setScript("old text");
    Open(PathOf("empty.bsl"));
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(EditorText(), "");
    EXPECT_FALSE(Editor().isModified());
    Save(PathOf("saved.bsl"));
    EXPECT_TRUE(QFileInfo::exists(PathOf("saved.bsl")));
    EXPECT_TRUE(readFileBytes(PathOf("saved.bsl")).isEmpty());
}

TEST_F(ScriptFile, EveryByteValueSavesBackWithOnlyLineEndsMadeCrLf)
{
    ASSERT_TRUE(writeFileBytes(PathOf("bytes.bsl"), EveryByteValue()));
    Open(PathOf("bytes.bsl"));
    Save(PathOf("saved.bsl"));
    QByteArray expected = EveryByteValue();
    expected.replace(10, 1, "\r\n");  // the lone LF
    expected.replace(14, 1, "\r\n");  // the lone CR, one further on now
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(readFileBytes(PathOf("saved.bsl")), expected);
}

TEST_F(ScriptFile, EveryKindOfLineEndSavesAsCrLf)
{
    ASSERT_TRUE(writeFileBytes(PathOf("lf.bsl"), "func main\n{\n}\n"));
    ASSERT_TRUE(writeFileBytes(PathOf("cr.bsl"), "func main\r{\r}\r"));
    for (const char* name : {"lf.bsl", "cr.bsl"}) {
        Open(PathOf(name));
        EXPECT_EQ(EditorText(), "func main\r\n{\r\n}\r\n") << name;
        Save(PathOf("saved.bsl"));
        EXPECT_EQ(readFileBytes(PathOf("saved.bsl")), "func main\r\n{\r\n}\r\n") << name;
    }
    // A CR before a CR LF is a line of its own; an LF after a CR LF is another.
    ASSERT_TRUE(writeFileBytes(PathOf("mixed.bsl"), "a\r\nb\rc\nd\r\r\n\n"));
    Open(PathOf("mixed.bsl"));
    Save(PathOf("saved.bsl"));
    EXPECT_EQ(readFileBytes(PathOf("saved.bsl")), "a\r\nb\r\nc\r\nd\r\n\r\n\r\n");
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

// The sanitizers look for memory faults, which show on a smaller script as well, and would take
// most of a minute over 64 MiB.
#ifdef QUARN_SANITIZED
constexpr int kLargeScriptBytes = 8 << 20;
#else
constexpr int kLargeScriptBytes = 64 << 20;
#endif

TEST_F(ScriptFile, ALargeScriptLoadsWholeAndSavesEveryByte)
{
    const QByteArray script = LargeScript(kLargeScriptBytes);
    ASSERT_TRUE(writeFileBytes(PathOf("large.bsl"), script));
    Open(PathOf("large.bsl"));
    ASSERT_TRUE(desktop.messageBoxes.empty());
    const long length = Editor().length();
    EXPECT_EQ(length, script.size());
    // "ai2_spawn" on the last line is coloured as a command.
    EXPECT_EQ(LookAt(length - 19), kCommandLook);
    EXPECT_EQ(LookAt(length - 11), kCommandLook);
    Save(PathOf("saved.bsl"));
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_TRUE(readFileBytes(PathOf("saved.bsl")) == script);
}

TEST_F(ScriptFile, ATypedNameWithoutAnExtensionIsSavedAsAScript)
{
    Editor().setScript("func main");
    Save(PathOf("test"));
    EXPECT_TRUE(desktop.messageBoxes.empty());
    ASSERT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_EQ(desktop.saveDialogs[0].defaultSuffix, "bsl");
    EXPECT_EQ(desktop.saveDialogs[0].filterDescription, "VESK Level Script Files (*.bsl)");
    EXPECT_EQ(desktop.saveDialogs[0].filterPattern, "*.bsl");
    EXPECT_EQ(readFileBytes(PathOf("test.bsl")), "func main");
    EXPECT_FALSE(QFileInfo::exists(PathOf("test")));
    EXPECT_EQ(DialogFolder(), Folder());
}

TEST_F(ScriptFile, SavingShowsNoWaitCursorAndLeavesTheCredits)
{
    Editor().setScript("func main");
    Save(PathOf("level01.bsl"));
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "func main");
    EXPECT_EQ(desktop.waitCursorsShown, 0);
    EXPECT_EQ(Credits(), kStartupCredits);
}

TEST_F(ScriptFile, ASavedScriptOpensAsTheSameText)
{
    // The editor indents the line after `{` itself.
    Type("func main\r{\rchr_teleport 0 1 # go\r}");
    const std::string text = EditorText();
    ASSERT_EQ(text, "func main\r\n{\r\n\tchr_teleport 0 1 # go\r\n}");
    Save(PathOf("level01.bsl"));
    EXPECT_FALSE(Editor().isModified());
    main.window.closeScript();
    ASSERT_EQ(EditorText(), "");
    Open(PathOf("level01.bsl"));
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(EditorText(), text);
}

TEST_F(ScriptFile, AReadOnlyTargetIsDeniedAndKept)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "old"));
    Editor().setScript("func main");
    Type("new ");
    {
        FaultyFileSystemCalls calls;
        calls.failOpen(PathOf("level01.bsl"), EACCES);
        Save(PathOf("level01.bsl"));
    }
    EXPECT_EQ(FileErrorShown(), Message("Access to %1 was denied.", PathOf("level01.bsl")));
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "old");
    EXPECT_EQ(EditorText(), "new func main");
    EXPECT_TRUE(Editor().isModified());
    EXPECT_EQ(DialogFolder(), Home());
}

TEST_F(ScriptFile, AReadOnlyFileIsDenied)
{
    if (runningAsRoot())
        GTEST_SKIP() << "permission bits do not stop root";
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(PathOf("level01.bsl")).constData(), 0444), 0);
    Type("new");
    Save(PathOf("level01.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("Access to %1 was denied.", PathOf("level01.bsl")));
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "old");
    EXPECT_TRUE(Editor().isModified());
}

TEST_F(ScriptFile, ATargetOnAReadOnlyFileSystemIsDenied)
{
    TinyFileSystem tiny;
    if (!tiny.isMounted())
        GTEST_SKIP() << "no file system can be mounted here";
    ASSERT_TRUE(writeFileBytes(tiny.filePath("level01.bsl"), "old"));
    ASSERT_TRUE(tiny.makeReadOnly());
    Type("new");
    Save(tiny.filePath("level01.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("Access to %1 was denied.", tiny.filePath("level01.bsl")));
    EXPECT_EQ(readFileBytes(tiny.filePath("level01.bsl")), "old");
    EXPECT_EQ(EditorText(), "new");
    EXPECT_TRUE(Editor().isModified());
}

TEST_F(ScriptFile, ATargetAnotherProgramHoldsIsASharingViolationAndKept)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "old"));
    const LockingChildProcess other(PathOf("level01.bsl"));
    ASSERT_TRUE(other.isLocked());
    Type("new");
    Save(PathOf("level01.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("A sharing violation occurred while accessing %1.", PathOf("level01.bsl")));
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "old");
    EXPECT_EQ(EditorText(), "new");
    EXPECT_TRUE(Editor().isModified());
}

TEST_F(ScriptFile, SavingOntoAFolderIsAnInvalidPath)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.bsl"));
    Type("new");
    Save(PathOf("folder.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("%1 contains an invalid path.", PathOf("folder.bsl")));
    EXPECT_TRUE(QFileInfo(PathOf("folder.bsl")).isDir());
    EXPECT_TRUE(Editor().isModified());
}

TEST_F(ScriptFile, ADiskFullHalfWayKeepsTheOldScriptAndTheChanges)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "the only copy"));
    Editor().setScript(LargeScript(1 << 20).toStdString());
    Type("# changed\r");
    const std::string changed = EditorText();
    ASSERT_EQ(changed.substr(0, 11), "# changed\r\n");
    {
        FaultyFileSystemCalls calls;
        calls.failWritesAfter(500000, ENOSPC);
        Save(PathOf("level01.bsl"));
    }
    EXPECT_EQ(FileErrorShown(), Message("Disk full while accessing %1.", PathOf("level01.bsl")));
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "the only copy");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"level01.bsl"});
    EXPECT_TRUE(EditorText() == changed);
    EXPECT_TRUE(Editor().isModified());
    EXPECT_EQ(DialogFolder(), Home());
}

TEST_F(ScriptFile, ARealFullDiskKeepsTheOldScriptAndTheChanges)
{
    TinyFileSystem tiny;
    if (!tiny.isMounted())
        GTEST_SKIP() << "no file system can be mounted here";
    const QByteArray old(8 * 1024, 'o');
    ASSERT_TRUE(writeFileBytes(tiny.filePath("level01.bsl"), old));
    Editor().setScript(LargeScript(256 * 1024).toStdString());
    Type("# changed\r");
    Save(tiny.filePath("level01.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("Disk full while accessing %1.", tiny.filePath("level01.bsl")));
    EXPECT_EQ(readFileBytes(tiny.filePath("level01.bsl")), old);
    EXPECT_EQ(QDir(QFileInfo(tiny.filePath("level01.bsl")).path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"level01.bsl"});
    EXPECT_TRUE(Editor().isModified());
}

TEST_F(ScriptFile, CaseCorrectionOfALoadedScriptIsNoChange)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "FUNC main\r\n\tCHR_TELEPORT 0 1"));
    Open(PathOf("level01.bsl"));
    EXPECT_EQ(EditorText(), "func main\r\n\tchr_teleport 0 1");
    EXPECT_FALSE(Editor().isModified());
    EXPECT_FALSE(Editor().isUndoAvailable());
    // Colouring all of it changes nothing either.
    probe::kinds(Editor());
    EXPECT_FALSE(Editor().isModified());
    EXPECT_FALSE(Editor().isUndoAvailable());
    EXPECT_TRUE(CloseWindow());
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(ScriptFile, ClosingUnchangedAsksNothing)
{
    EXPECT_TRUE(CloseWindow());
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(ScriptFile, ClosingAfterAChangeAsksAndCancelKeepsTheWindow)
{
    Type("func main");
    desktop.messageBoxAnswers = {Answer::Cancel};
    EXPECT_FALSE(CloseWindow());
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "Save changes to the script?");
    EXPECT_EQ(desktop.messageBoxes[0].caption, "quarn-xp");
    EXPECT_EQ(desktop.messageBoxes[0].icon, DesktopServices::Icon::Question);
    EXPECT_EQ(desktop.messageBoxes[0].buttons, DesktopServices::Buttons::SaveDiscardCancel);
    EXPECT_TRUE(desktop.saveDialogs.empty());
    EXPECT_EQ(EditorText(), "func main");
    EXPECT_TRUE(Editor().isModified());
}

TEST_F(ScriptFile, ClosingAfterAChangeAndDiscardingWritesNothing)
{
    Type("func main");
    desktop.messageBoxAnswers = {Answer::Discard};
    EXPECT_TRUE(CloseWindow());
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_TRUE(desktop.saveDialogs.empty());
    EXPECT_TRUE(QDir(m_dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST_F(ScriptFile, ClosingAfterAChangeAndSavingWritesTheScript)
{
    Type("func main");
    desktop.messageBoxAnswers = {Answer::Save};
    desktop.saveFileName = PathOf("level01.bsl");
    EXPECT_TRUE(CloseWindow());
    EXPECT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "func main");
}

TEST_F(ScriptFile, ClosingWithACancelledSaveKeepsTheWindow)
{
    Type("func main");
    desktop.messageBoxAnswers = {Answer::Save};
    desktop.saveFileName.reset();
    EXPECT_FALSE(CloseWindow());
    EXPECT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(EditorText(), "func main");
    EXPECT_TRUE(Editor().isModified());
}

TEST_F(ScriptFile, ClosingWithAFailedSaveReportsItAndKeepsTheWindow)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "old"));
    const LockingChildProcess other(PathOf("level01.bsl"));
    ASSERT_TRUE(other.isLocked());
    Type("func main");
    desktop.messageBoxAnswers = {Answer::Save};
    desktop.saveFileName = PathOf("level01.bsl");
    EXPECT_FALSE(CloseWindow());
    ASSERT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(desktop.messageBoxes[1].text,
              Message("A sharing violation occurred while accessing %1.", PathOf("level01.bsl")));
    EXPECT_EQ(desktop.messageBoxes[1].icon, DesktopServices::Icon::Stop);
    EXPECT_EQ(desktop.messageBoxes[1].caption, "quarn-xp");
    EXPECT_EQ(EditorText(), "func main");
    EXPECT_TRUE(Editor().isModified());
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "old");
}

TEST_F(ScriptFile, ClosingAfterASaveAsksNothing)
{
    Type("func main");
    Save(PathOf("level01.bsl"));
    EXPECT_TRUE(CloseWindow());
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(ScriptFile, OpeningAfterAChangeOpensATabOfItsOwnAndAsksNothing)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level02.bsl"), "func other"));
    Type("func main");
    ScriptTab* typed = main.window.tabs()->current();
    Open(PathOf("level02.bsl"));
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(desktop.openDialogs.size(), 1u);
    EXPECT_EQ(EditorText(), "func other");
    EXPECT_FALSE(Editor().isModified());
    EXPECT_FALSE(Editor().isUndoAvailable());
    EXPECT_EQ(typed->editor()->documentText(), "func main");
    EXPECT_TRUE(typed->isModified());
}

// Ctrl+W on a tab with changes asks as closing the window does; Cancel and a save that does not
// happen keep it, Discard closes it, and closing the last tab leaves a new script.
TEST_F(ScriptFile, ClosingATabWithChangesAsksFirst)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level02.bsl"), "func other"));
    Type("func main");
    Open(PathOf("level02.bsl"));
    ScriptTabs& tabs = *main.window.tabs();
    ScriptTab* typed = tabs.tabs().front().get();

    tabs.setCurrent(typed);
    const auto closeKey = [&] {
        ASSERT_TRUE(driving::Activate(main.window));
        driving::PressKey(main.window, Qt::Key_W, Qt::ControlModifier);
    };
    desktop.messageBoxAnswers = {Answer::Cancel};
    closeKey();
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "Save changes to the script?");
    EXPECT_EQ(desktop.messageBoxes[0].buttons, DesktopServices::Buttons::SaveDiscardCancel);
    desktop.messageBoxAnswers = {Answer::Save};
    desktop.saveFileName.reset();
    closeKey();
    EXPECT_EQ(desktop.saveDialogs.size(), 1u);
    ASSERT_EQ(tabs.tabs().size(), 2u);
    EXPECT_EQ(tabs.current(), typed);

    desktop.messageBoxAnswers = {Answer::Discard};
    closeKey();
    ASSERT_EQ(tabs.tabs().size(), 1u);
    EXPECT_EQ(main.window.scriptPath(), PathOf("level02.bsl"));
    EXPECT_EQ(desktop.messageBoxes.size(), 3u);

    // Unchanged, it closes without a question; the last one leaves an empty new script.
    closeKey();
    EXPECT_EQ(desktop.messageBoxes.size(), 3u);
    ASSERT_EQ(tabs.tabs().size(), 1u);
    EXPECT_TRUE(tabs.current()->isUntouched());
    EXPECT_TRUE(QDir(m_dir.path()).entryList(QDir::Files) == QStringList{"level02.bsl"});
}

// Closing the window with several scripts changed asks once about all of them.
TEST_F(ScriptFile, ClosingTheWindowAsksOnceAboutEveryChangedScript)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level02.bsl"), "func other"));
    ASSERT_TRUE(writeFileBytes(PathOf("level03.bsl"), "func third"));
    Type("func main");
    Open(PathOf("level02.bsl"));
    Type("x");
    Open(PathOf("level03.bsl"));

    desktop.messageBoxAnswers = {Answer::Cancel};
    EXPECT_FALSE(CloseWindow());
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "Save changes to these scripts?\n\nUntitled\nlevel02.bsl");
    EXPECT_EQ(desktop.messageBoxes[0].buttons, DesktopServices::Buttons::SaveDiscardCancel);

    // A new script asks where it goes; cancelled there, the window stays.
    desktop.messageBoxAnswers = {Answer::Save};
    desktop.saveFileName.reset();
    EXPECT_FALSE(CloseWindow());
    EXPECT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_EQ(readFileBytes(PathOf("level02.bsl")), "func other");

    desktop.messageBoxAnswers = {Answer::Save};
    desktop.saveFileName = PathOf("level01.bsl");
    EXPECT_TRUE(CloseWindow());
    EXPECT_EQ(desktop.messageBoxes.size(), 3u);
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "func main");
    EXPECT_EQ(readFileBytes(PathOf("level02.bsl")), "xfunc other");
    EXPECT_EQ(readFileBytes(PathOf("level03.bsl")), "func third");
}

TEST_F(ScriptFile, DiscardingEveryChangedScriptAtCloseWritesNothing)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level02.bsl"), "func other"));
    Type("func main");
    Open(PathOf("level02.bsl"));
    Type("x");
    desktop.messageBoxAnswers = {Answer::Discard};
    EXPECT_TRUE(CloseWindow());
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_TRUE(desktop.saveDialogs.empty());
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"level02.bsl"});
    EXPECT_EQ(readFileBytes(PathOf("level02.bsl")), "func other");
}

} // namespace
