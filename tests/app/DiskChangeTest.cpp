#include "files/FileFaults.h"
#include "platform/File.h"
#include "support/FakeDesktopServices.h"
#include "support/MainWindowHarness.h"
#include "support/WindowDriving.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>

// Another program changes or deletes the open script while the window is in the background; the
// window notices when the user comes back to it, and before it saves over the other program's work.

namespace {

using Answer = DesktopServices::Answer;
using Buttons = DesktopServices::Buttons;
using Icon = DesktopServices::Icon;
using namespace driving;

// Moves the file's time of last write `seconds` on from where it stands, so that a rewrite is
// told apart however coarse the file system's clock is.
void MoveWriteTime(const QString& path, int seconds)
{
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    timespec times[2] = {status.st_atim, status.st_mtim};
    times[1].tv_sec += seconds;
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

class DiskChange : public ::testing::Test {
protected:
    MainWindow& Window() { return main.window; }
    std::string EditorText() const { return main.editorText(); }
    QString PathOf(const QString& name) const { return m_dir.filePath(name); }

    // The window with `bytes` open as level01.bsl, active.
    QString Open(const QByteArray& bytes)
    {
        const QString path = PathOf(QStringLiteral("level01.bsl"));
        EXPECT_TRUE(writeFileBytes(path, bytes));
        EXPECT_TRUE(Window().openScriptFile(path));
        EXPECT_TRUE(Activate(Window()));
        return path;
    }

    // Another program writes the file anew.
    static void Rewrite(const QString& path, const QByteArray& bytes)
    {
        ASSERT_TRUE(writeFileBytes(path, bytes));
        MoveWriteTime(path, 5);
    }

    std::string Question(const QString& path, const char* rest) const
    {
        return (path + QString::fromLatin1(rest)).toStdString();
    }

    void ExpectNoQuestionWhenComingBack()
    {
        const std::size_t before = desktop.messageBoxes.size();
        ASSERT_TRUE(ComeBackTo(Window()));
        EXPECT_EQ(desktop.messageBoxes.size(), before);
    }

    void Save() { PressKey(Window(), Qt::Key_S, Qt::ControlModifier); }

    FakeDesktopServices desktop;
    QTemporaryDir m_dir;
    MainWindowUnderTest main;
};

// --- Coming back to the window -------------------------------------------------------------------

TEST_F(DiskChange, NothingIsAskedWhileTheScriptIsUnchangedNorAfterItsOwnSave)
{
    ExpectNoQuestionWhenComingBack();  // a new script has no file to watch
    const QString path = Open("sleep 1");
    ExpectNoQuestionWhenComingBack();
    ExpectNoQuestionWhenComingBack();

    TypeKeys(Window(), QStringLiteral("x"));
    Save();
    ASSERT_EQ(readFileBytes(path), "xsleep 1");
    ExpectNoQuestionWhenComingBack();

    // Saved under another name, the new file is the one watched.
    const QString other = PathOf(QStringLiteral("level02.bsl"));
    desktop.saveFileName = other;
    PressKey(Window(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    Rewrite(path, "sleep 99");
    ExpectNoQuestionWhenComingBack();
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(DiskChange, AChangedScriptIsOfferedForReloadAndYesReloadsIt)
{
    const QString path = Open("sleep 1");
    Rewrite(path, "SLEEP 2\r\nsleep 3");
    desktop.messageBoxAnswers = {Answer::Yes};
    ASSERT_TRUE(ComeBackTo(Window()));

    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    const auto& box = desktop.messageBoxes[0];
    EXPECT_EQ(box.text, Question(path, " was changed by another program. Reload it?"));
    EXPECT_EQ(box.buttons, Buttons::YesNo);
    EXPECT_EQ(box.icon, Icon::Question);
    EXPECT_EQ(box.owner, &Window());
    EXPECT_EQ(EditorText(), "sleep 2\r\nsleep 3");
    EXPECT_FALSE(main.editor()->isModified());
    EXPECT_FALSE(main.editor()->isUndoAvailable());
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("level01.bsl - QUARN-XP"));

    // Reloaded, the script is as on disk again: nothing more to ask.
    ExpectNoQuestionWhenComingBack();
}

TEST_F(DiskChange, NoKeepsTheTextAndIsNotAskedAgainForTheSameChange)
{
    const QString path = Open("sleep 1");
    Rewrite(path, "sleep 2");
    desktop.messageBoxAnswers = {Answer::No};
    ASSERT_TRUE(ComeBackTo(Window()));
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(EditorText(), "sleep 1");
    EXPECT_FALSE(main.editor()->isModified());
    ExpectNoQuestionWhenComingBack();

    // A further change is a new question.
    Rewrite(path, "sleep 33");
    ASSERT_TRUE(ComeBackTo(Window()));
    EXPECT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(EditorText(), "sleep 1");
}

TEST_F(DiskChange, WithUnsavedChangesTheQuestionSaysTheyWouldBeLost)
{
    const QString path = Open("sleep 1");
    TypeKeys(Window(), QStringLiteral("x"));
    Rewrite(path, "sleep 2");
    desktop.messageBoxAnswers = {Answer::No};
    ASSERT_TRUE(ComeBackTo(Window()));
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text,
              Question(path, " was changed by another program. Reload it and lose the changes made here?"));
    EXPECT_EQ(EditorText(), "xsleep 1");
    EXPECT_TRUE(main.editor()->isModified());

    Rewrite(path, "sleep 3");
    desktop.messageBoxAnswers = {Answer::Yes};
    ASSERT_TRUE(ComeBackTo(Window()));
    EXPECT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(EditorText(), "sleep 3");
    EXPECT_FALSE(main.editor()->isModified());
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("level01.bsl - QUARN-XP"));
}

TEST_F(DiskChange, AChangeOfTimeAloneOrAFileSwappedInWithTheSameSizeAndTimeIsNoticed)
{
    const QString path = Open("sleep 1");
    MoveWriteTime(path, 5);
    ASSERT_TRUE(ComeBackTo(Window()));
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);

    // Saved the way many programs save: a new file renamed over the old, same length, same time.
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    const QString replacement = PathOf(QStringLiteral("replacement.tmp"));
    ASSERT_TRUE(writeFileBytes(replacement, "sleep 7"));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(replacement).constData(), times, 0), 0);
    ASSERT_EQ(::rename(QFile::encodeName(replacement).constData(), QFile::encodeName(path).constData()), 0);
    desktop.messageBoxAnswers = {Answer::Yes};
    ASSERT_TRUE(ComeBackTo(Window()));
    EXPECT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(EditorText(), "sleep 7");
}

TEST_F(DiskChange, AReloadThatFailsIsReportedAndKeepsTheText)
{
    const QString path = Open("sleep 1");
    Rewrite(path, "sleep 2");
    FaultyFileSystemCalls faults;
    faults.failOpen(path, EACCES);
    desktop.messageBoxAnswers = {Answer::Yes};
    ASSERT_TRUE(ComeBackTo(Window()));
    ASSERT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(desktop.messageBoxes[1].text, ("Access to " + path + " was denied.").toStdString());
    EXPECT_EQ(desktop.messageBoxes[1].icon, Icon::Stop);
    EXPECT_EQ(EditorText(), "sleep 1");
    EXPECT_EQ(Window().scriptPath(), path);
    ExpectNoQuestionWhenComingBack();
}

// --- A deleted script ----------------------------------------------------------------------------

TEST_F(DiskChange, ADeletedScriptIsReportedOnceAndSavingWritesItAnew)
{
    const QString path = Open("sleep 1");
    TypeKeys(Window(), QStringLiteral("x"));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(ComeBackTo(Window()));
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text,
              Question(path, " was deleted or moved by another program. Saving writes it anew."));
    EXPECT_EQ(desktop.messageBoxes[0].icon, Icon::Warning);
    EXPECT_EQ(desktop.messageBoxes[0].buttons, Buttons::Ok);
    EXPECT_EQ(EditorText(), "xsleep 1");
    EXPECT_TRUE(main.editor()->isModified());
    ExpectNoQuestionWhenComingBack();

    Save();
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(readFileBytes(path), "xsleep 1");
    EXPECT_FALSE(main.editor()->isModified());
    ExpectNoQuestionWhenComingBack();
}

TEST_F(DiskChange, AScriptPutBackAfterItWasDeletedIsOfferedForReload)
{
    const QString path = Open("sleep 1");
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(ComeBackTo(Window()));
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    ASSERT_TRUE(writeFileBytes(path, "sleep 4"));
    desktop.messageBoxAnswers = {Answer::Yes};
    ASSERT_TRUE(ComeBackTo(Window()));
    ASSERT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(desktop.messageBoxes[1].text, Question(path, " was changed by another program. Reload it?"));
    EXPECT_EQ(EditorText(), "sleep 4");
}

// --- Saving over another program's work ----------------------------------------------------------

TEST_F(DiskChange, SavingOverAChangedScriptAsksFirstAndNoLeavesTheOtherProgramsFile)
{
    const QString path = Open("sleep 1");
    TypeKeys(Window(), QStringLiteral("x"));
    Rewrite(path, "sleep 2");
    desktop.messageBoxAnswers = {Answer::No};
    Save();
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    const auto& box = desktop.messageBoxes[0];
    EXPECT_EQ(box.text, Question(path, " was changed by another program since it was opened or saved here. "
                                       "Overwrite it with this script?"));
    EXPECT_EQ(box.buttons, Buttons::YesNo);
    EXPECT_EQ(box.icon, Icon::Warning);
    EXPECT_EQ(readFileBytes(path), "sleep 2");
    EXPECT_TRUE(main.editor()->isModified());
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("level01.bsl* - QUARN-XP"));

    // Asked again at the next save; Yes writes it.
    desktop.messageBoxAnswers = {Answer::Yes};
    Save();
    EXPECT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(readFileBytes(path), "xsleep 1");
    EXPECT_FALSE(main.editor()->isModified());
    ExpectNoQuestionWhenComingBack();
}

TEST_F(DiskChange, SavingAfterDecliningTheReloadStillAsksBeforeOverwriting)
{
    const QString path = Open("sleep 1");
    Rewrite(path, "sleep 2");
    desktop.messageBoxAnswers = {Answer::No};
    ASSERT_TRUE(ComeBackTo(Window()));
    TypeKeys(Window(), QStringLiteral("x"));
    Save();
    ASSERT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(desktop.messageBoxes[1].buttons, Buttons::YesNo);
    EXPECT_EQ(readFileBytes(path), "sleep 2");
}

TEST_F(DiskChange, SaveAsOntoItsOwnChangedFileAsksToo)
{
    const QString path = Open("sleep 1");
    TypeKeys(Window(), QStringLiteral("x"));
    Rewrite(path, "sleep 2");
    desktop.saveFileName = path;
    desktop.messageBoxAnswers = {Answer::No};
    PressKey(Window(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].buttons, Buttons::YesNo);
    EXPECT_EQ(readFileBytes(path), "sleep 2");
    EXPECT_TRUE(main.editor()->isModified());
}

TEST_F(DiskChange, TheUnsavedChangesQuestionOnCloseSavesOnlyAfterAskingAboutTheChangedFile)
{
    const QString path = Open("sleep 1");
    TypeKeys(Window(), QStringLiteral("x"));
    Rewrite(path, "sleep 2");
    desktop.messageBoxAnswers = {Answer::Save, Answer::No};
    EXPECT_FALSE(Window().close()) << "the save did not happen: the window stays";
    EXPECT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(readFileBytes(path), "sleep 2");
    EXPECT_TRUE(main.editor()->isModified());
}

} // namespace
