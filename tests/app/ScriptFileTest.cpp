#include "FileFaults.h"

#include "app/Resource.h"
#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"
#include "support/ScriptToolDlgTestAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Access = ScriptToolDlgTestAccess;
using Answer = DesktopServices::Answer;

constexpr char kStartupCredits[] = "Programmed by Ravok - Ideas by PLXN";
constexpr char kCreditsAfterLoad[] = "Programmed by Ravok  -  Ideas by PLXN";
constexpr char kLoadingText[] = "Loading, Please wait a few seconds...";
constexpr COLORREF kCommandColour = 0x0000A400;

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
    std::string Folder() const { return Native(m_dir.path()) + "/"; }

    CRichEdiT& Editor() { return Access::Editor(main.dlg); }
    std::string EditorText() const { return main.dlg.GetDlgItemText(IDC_SCRIPT_EDIT); }
    std::string Credits() const { return main.dlg.GetDlgItemText(IDC_CREDITS); }
    std::string& LastFolder() { return Access::LastFolder(main.dlg); }

    void ClickOpen() { input::LeftClick(main.control(IDC_OPEN_LABEL), QPoint(2, 2)); }
    void ClickSave() { input::LeftClick(main.control(IDC_SAVE_LABEL), QPoint(2, 2)); }

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

    // Text typed into the editor after it was opened or saved.
    void Edit(const std::string& text)
    {
        Editor().SetSel(0, 0);
        Editor().ReplaceSel(text, TRUE);
    }

    bool CloseWindow()
    {
        main.window()->close();
        return !main.window()->isVisible();
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
        return box.text;
    }

    std::string Message(const char* pattern, const QString& path)
    {
        std::string text = pattern;
        text.replace(text.find("%1"), 2, Native(path));
        return text;
    }

    CHARFORMAT FormatAt(long start, long end)
    {
        Editor().SetSel(start, end);
        CHARFORMAT format;
        Editor().GetSelectionCharFormat(format);
        return format;
    }

    FakeDesktopServices desktop;
    QTemporaryDir m_dir;
    MainWindowUnderTest main;
};

TEST_F(ScriptFile, OpensAScriptColouredAndUnchanged)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "func main\r\n\tchr_teleport 0 1\r\n"));
    Open(PathOf("level01.bsl"));
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(EditorText(), "func main\n\tchr_teleport 0 1\n");
    const CHARFORMAT command = FormatAt(11, 23);
    EXPECT_EQ(command.crTextColor, kCommandColour);
    EXPECT_TRUE(command.dwEffects & CFE_BOLD);
    EXPECT_FALSE(Editor().GetModify());
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
}

TEST_F(ScriptFile, CancellingTheOpenDialogChangesNothing)
{
    Editor().SetWindowText("unsaved");
    const std::string folder = LastFolder();
    desktop.openFileName.reset();
    ClickOpen();
    EXPECT_EQ(EditorText(), "unsaved");
    EXPECT_EQ(Credits(), kStartupCredits);
    EXPECT_EQ(desktop.waitCursorsShown, 0);
    EXPECT_EQ(LastFolder(), folder);
}

TEST_F(ScriptFile, RemembersTheFolderOfTheLastFileOpenedOrSaved)
{
    const QString home = QDir::homePath();
    desktop.openFileName.reset();
    ClickOpen();
    desktop.saveFileName.reset();
    ClickSave();
    ASSERT_EQ(desktop.openDialogs.size(), 1u);
    ASSERT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_EQ(desktop.openDialogs[0].initialFolder, home + "/");
    EXPECT_EQ(desktop.saveDialogs[0].initialFolder, home + "/");

    ASSERT_TRUE(QDir(m_dir.path()).mkdir("Scripts"));
    ASSERT_TRUE(writeFileBytes(PathOf("Scripts/level01.bsl"), "func main"));
    Open(PathOf("Scripts/level01.bsl"));
    EXPECT_EQ(LastFolder(), Folder() + "Scripts/");

    desktop.openFileName.reset();
    ClickOpen();
    desktop.saveFileName.reset();
    ClickSave();
    EXPECT_EQ(desktop.openDialogs.back().initialFolder, PathOf("Scripts/"));
    EXPECT_EQ(desktop.saveDialogs.back().initialFolder, PathOf("Scripts/"));
    EXPECT_EQ(LastFolder(), Folder() + "Scripts/");

    Save(PathOf("copy.bsl"));
    EXPECT_EQ(LastFolder(), Folder());
    desktop.openFileName.reset();
    ClickOpen();
    EXPECT_EQ(desktop.openDialogs.back().initialFolder, m_dir.path() + "/");
}

TEST_F(ScriptFile, AFolderNameOutsideTheCodePageIsKept)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("\u0421\u0446\u0435\u043d\u0430\u0440\u0438\u0438")));
    const QString path = PathOf(QStringLiteral("\u0421\u0446\u0435\u043d\u0430\u0440\u0438\u0438/level01.bsl"));
    ASSERT_TRUE(writeFileBytes(path, "func main"));
    Open(path);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(EditorText(), "func main");
    desktop.saveFileName.reset();
    ClickSave();
    EXPECT_EQ(desktop.saveDialogs.back().initialFolder, QFileInfo(path).path() + "/");
}

TEST_F(ScriptFile, AMissingFileTypedIntoTheOpenDialogIsNotFound)
{
    Editor().SetWindowText("kept");
    const std::string folder = LastFolder();
    Open(PathOf("typed.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("%1 was not found.", PathOf("typed.bsl")));
    EXPECT_EQ(EditorText(), "kept");
    EXPECT_EQ(Credits(), kCreditsAfterLoad);
    EXPECT_EQ(desktop.waitCursorDepth, 0);
    EXPECT_EQ(LastFolder(), folder);
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
    Editor().SetWindowText("kept");
    Open(PathOf("level01.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("A sharing violation occurred while accessing %1.", PathOf("level01.bsl")));
    EXPECT_EQ(EditorText(), "kept");
}

TEST_F(ScriptFile, AReadErrorPartWayLeavesTheTextAsItWas)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), LargeScript(1 << 20)));
    Editor().SetWindowText("kept");
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
}

TEST_F(ScriptFile, AnEmptyScriptEmptiesTheEditor)
{
    ASSERT_TRUE(writeFileBytes(PathOf("empty.bsl"), {}));
    Editor().SetWindowText("old text");
    Open(PathOf("empty.bsl"));
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(EditorText(), "");
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

TEST_F(ScriptFile, LineFeedAndCarriageReturnOnlyScriptsSaveAsCrLf)
{
    ASSERT_TRUE(writeFileBytes(PathOf("lf.bsl"), "func main\n{\n}\n"));
    ASSERT_TRUE(writeFileBytes(PathOf("cr.bsl"), "func main\r{\r}\r"));
    for (const char* name : {"lf.bsl", "cr.bsl"}) {
        Open(PathOf(name));
        EXPECT_EQ(EditorText(), "func main\n{\n}\n") << name;
        Save(PathOf("saved.bsl"));
        EXPECT_EQ(readFileBytes(PathOf("saved.bsl")), "func main\r\n{\r\n}\r\n") << name;
    }
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(ScriptFile, ALargeScriptLoadsWholeAndSavesEveryByte)
{
    const QByteArray script = LargeScript(64 << 20);
    ASSERT_TRUE(writeFileBytes(PathOf("large.bsl"), script));
    Open(PathOf("large.bsl"));
    ASSERT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(Editor().GetTextLength(), script.size() - script.count('\n'));
    const long length = Editor().GetTextLength();
    EXPECT_EQ(FormatAt(length - 19, length - 10).crTextColor, kCommandColour);
    Save(PathOf("saved.bsl"));
    EXPECT_TRUE(readFileBytes(PathOf("saved.bsl")) == script);
}

TEST_F(ScriptFile, ATypedNameWithoutAnExtensionIsSavedAsAScript)
{
    Editor().SetWindowText("func main");
    Save(PathOf("test"));
    EXPECT_TRUE(desktop.messageBoxes.empty());
    ASSERT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_EQ(desktop.saveDialogs[0].defaultSuffix, "bsl");
    EXPECT_EQ(desktop.saveDialogs[0].filterDescription, "VESK Level Script Files (*.bsl)");
    EXPECT_EQ(desktop.saveDialogs[0].filterPattern, "*.bsl");
    EXPECT_EQ(readFileBytes(PathOf("test.bsl")), "func main");
    EXPECT_FALSE(QFileInfo::exists(PathOf("test")));
    EXPECT_EQ(LastFolder(), Folder());
}

TEST_F(ScriptFile, SavingShowsNoWaitCursorAndLeavesTheCredits)
{
    Editor().SetWindowText("func main");
    Save(PathOf("level01.bsl"));
    EXPECT_EQ(desktop.waitCursorsShown, 0);
    EXPECT_EQ(Credits(), kStartupCredits);
}

TEST_F(ScriptFile, ASavedScriptOpensAsTheSameText)
{
    Editor().SetWindowText("func main\r\n{\r\n\tchr_teleport 0 1 # go\r\n}");
    const std::string text = EditorText();
    Save(PathOf("level01.bsl"));
    Editor().SetWindowText("");
    Open(PathOf("level01.bsl"));
    EXPECT_EQ(EditorText(), text);
}

TEST_F(ScriptFile, AReadOnlyTargetIsDeniedAndKept)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "old"));
    Editor().SetWindowText("new");
    {
        FaultyFileSystemCalls calls;
        calls.failOpen(PathOf("level01.bsl"), EACCES);
        Save(PathOf("level01.bsl"));
    }
    EXPECT_EQ(FileErrorShown(), Message("Access to %1 was denied.", PathOf("level01.bsl")));
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "old");
    EXPECT_NE(LastFolder(), Folder());
}

TEST_F(ScriptFile, AReadOnlyFileIsDenied)
{
    if (runningAsRoot())
        GTEST_SKIP() << "permission bits do not stop root";
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(PathOf("level01.bsl")).constData(), 0444), 0);
    Editor().SetWindowText("new");
    Save(PathOf("level01.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("Access to %1 was denied.", PathOf("level01.bsl")));
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "old");
}

TEST_F(ScriptFile, ATargetOnAReadOnlyFileSystemIsDenied)
{
    TinyFileSystem tiny;
    if (!tiny.isMounted())
        GTEST_SKIP() << "no file system can be mounted here";
    ASSERT_TRUE(writeFileBytes(tiny.filePath("level01.bsl"), "old"));
    ASSERT_TRUE(tiny.makeReadOnly());
    Editor().SetWindowText("new");
    Save(tiny.filePath("level01.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("Access to %1 was denied.", tiny.filePath("level01.bsl")));
    EXPECT_EQ(readFileBytes(tiny.filePath("level01.bsl")), "old");
}

TEST_F(ScriptFile, ATargetAnotherProgramHoldsIsASharingViolationAndKept)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "old"));
    const LockingChildProcess other(PathOf("level01.bsl"));
    ASSERT_TRUE(other.isLocked());
    Editor().SetWindowText("new");
    Save(PathOf("level01.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("A sharing violation occurred while accessing %1.", PathOf("level01.bsl")));
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "old");
}

TEST_F(ScriptFile, SavingOntoAFolderIsAnInvalidPath)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.bsl"));
    Editor().SetWindowText("new");
    Save(PathOf("folder.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("%1 contains an invalid path.", PathOf("folder.bsl")));
}

TEST_F(ScriptFile, ADiskFullHalfWayKeepsTheOldScriptAndTheChanges)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "the only copy"));
    Editor().SetWindowText(LargeScript(1 << 20).toStdString());
    Edit("# changed\r");
    {
        FaultyFileSystemCalls calls;
        calls.failWritesAfter(500000, ENOSPC);
        Save(PathOf("level01.bsl"));
    }
    EXPECT_EQ(FileErrorShown(), Message("Disk full while accessing %1.", PathOf("level01.bsl")));
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "the only copy");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"level01.bsl"});
    EXPECT_TRUE(Editor().GetModify());
    EXPECT_NE(LastFolder(), Folder());
}

TEST_F(ScriptFile, ARealFullDiskKeepsTheOldScript)
{
    TinyFileSystem tiny;
    if (!tiny.isMounted())
        GTEST_SKIP() << "no file system can be mounted here";
    const QByteArray old(8 * 1024, 'o');
    ASSERT_TRUE(writeFileBytes(tiny.filePath("level01.bsl"), old));
    Editor().SetWindowText(LargeScript(256 * 1024).toStdString());
    Save(tiny.filePath("level01.bsl"));
    EXPECT_EQ(FileErrorShown(), Message("Disk full while accessing %1.", tiny.filePath("level01.bsl")));
    EXPECT_EQ(readFileBytes(tiny.filePath("level01.bsl")), old);
}

TEST_F(ScriptFile, CaseCorrectionOfALoadedScriptIsNoChange)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "FUNC main\r\n\tCHR_TELEPORT 0 1"));
    Open(PathOf("level01.bsl"));
    EXPECT_EQ(EditorText(), "func main\n\tchr_teleport 0 1");
    EXPECT_FALSE(Editor().GetModify());
    Editor().FormatAll();
    EXPECT_FALSE(Editor().GetModify());
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
    Edit("func main");
    desktop.messageBoxAnswers = {Answer::Cancel};
    EXPECT_FALSE(CloseWindow());
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "Save changes to the script?");
    EXPECT_EQ(desktop.messageBoxes[0].buttons, DesktopServices::Buttons::SaveDiscardCancel);
    EXPECT_TRUE(desktop.saveDialogs.empty());
    EXPECT_EQ(EditorText(), "func main");
}

TEST_F(ScriptFile, ClosingAfterAChangeAndDiscardingWritesNothing)
{
    Edit("func main");
    desktop.messageBoxAnswers = {Answer::Discard};
    EXPECT_TRUE(CloseWindow());
    EXPECT_TRUE(desktop.saveDialogs.empty());
}

TEST_F(ScriptFile, ClosingAfterAChangeAndSavingWritesTheScript)
{
    Edit("func main");
    desktop.messageBoxAnswers = {Answer::Save};
    desktop.saveFileName = PathOf("level01.bsl");
    EXPECT_TRUE(CloseWindow());
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "func main");
}

TEST_F(ScriptFile, ClosingWithACancelledSaveKeepsTheWindow)
{
    Edit("func main");
    desktop.messageBoxAnswers = {Answer::Save};
    desktop.saveFileName.reset();
    EXPECT_FALSE(CloseWindow());
    EXPECT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_EQ(EditorText(), "func main");
}

TEST_F(ScriptFile, ClosingWithAFailedSaveReportsItAndKeepsTheWindow)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level01.bsl"), "old"));
    const LockingChildProcess other(PathOf("level01.bsl"));
    ASSERT_TRUE(other.isLocked());
    Edit("func main");
    desktop.messageBoxAnswers = {Answer::Save};
    desktop.saveFileName = PathOf("level01.bsl");
    EXPECT_FALSE(CloseWindow());
    ASSERT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(desktop.messageBoxes[1].text,
              Message("A sharing violation occurred while accessing %1.", PathOf("level01.bsl")));
    EXPECT_EQ(desktop.messageBoxes[1].icon, DesktopServices::Icon::Stop);
    EXPECT_EQ(desktop.messageBoxes[1].caption, "quarn-xp");
    EXPECT_EQ(EditorText(), "func main");
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "old");
}

TEST_F(ScriptFile, ClosingAfterASaveAsksNothing)
{
    Edit("func main");
    Save(PathOf("level01.bsl"));
    EXPECT_TRUE(CloseWindow());
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(ScriptFile, OpeningAfterAChangeAsksAndCancelKeepsTheText)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level02.bsl"), "func other"));
    Edit("func main");
    desktop.messageBoxAnswers = {Answer::Cancel};
    Open(PathOf("level02.bsl"));
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "Save changes to the script?");
    EXPECT_TRUE(desktop.openDialogs.empty());
    EXPECT_EQ(EditorText(), "func main");
}

TEST_F(ScriptFile, OpeningAfterAChangeAndDiscardingReplacesTheText)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level02.bsl"), "func other"));
    Edit("func main");
    desktop.messageBoxAnswers = {Answer::Discard};
    Open(PathOf("level02.bsl"));
    EXPECT_TRUE(desktop.saveDialogs.empty());
    EXPECT_EQ(EditorText(), "func other");
    EXPECT_FALSE(Editor().GetModify());
}

TEST_F(ScriptFile, OpeningAfterAChangeAndSavingSavesFirst)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level02.bsl"), "func other"));
    Edit("func main");
    desktop.messageBoxAnswers = {Answer::Save};
    desktop.saveFileName = PathOf("level01.bsl");
    Open(PathOf("level02.bsl"));
    EXPECT_EQ(readFileBytes(PathOf("level01.bsl")), "func main");
    EXPECT_EQ(EditorText(), "func other");
}

TEST_F(ScriptFile, OpeningWithACancelledOrFailedSaveKeepsTheText)
{
    ASSERT_TRUE(writeFileBytes(PathOf("level02.bsl"), "func other"));
    Edit("func main");
    desktop.messageBoxAnswers = {Answer::Save};
    desktop.saveFileName.reset();
    Open(PathOf("level02.bsl"));
    EXPECT_TRUE(desktop.openDialogs.empty());
    EXPECT_EQ(EditorText(), "func main");

    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.bsl"));
    desktop.messageBoxAnswers = {Answer::Save};
    desktop.saveFileName = PathOf("folder.bsl");
    desktop.openFileName = PathOf("level02.bsl");
    ClickOpen();
    EXPECT_TRUE(desktop.openDialogs.empty());
    EXPECT_EQ(desktop.messageBoxes.back().text, Message("%1 contains an invalid path.", PathOf("folder.bsl")));
    EXPECT_EQ(EditorText(), "func main");
}

} // namespace
