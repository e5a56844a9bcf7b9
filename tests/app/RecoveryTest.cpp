#include "app/RecoveryFile.h"
#include "app/ScriptTab.h"
#include "app/ScriptTabs.h"
#include "files/FileFaults.h"
#include "platform/File.h"
#include "support/FakeDesktopServices.h"
#include "support/MainWindowHarness.h"
#include "support/WindowDriving.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <chrono>
#include <string>

// Unsaved work kept through a crash: a copy of the program killed while it held changes, and the
// next start that offers them back.

namespace {

using Answer = DesktopServices::Answer;
using namespace driving;

constexpr int kChildReadyWithinMs = 8000;
// The windows of these tests copy unsaved work this long after a change, not the two seconds of
// the program, so that no test waits for the program's own delay.
constexpr std::chrono::milliseconds kCopyDelay{100};
// A bound on waiting for a copy, with slack for a busy machine.
constexpr int kCopyWithinMs = 5000;

// What the child types after the end of the script, as keys: a keyword in the wrong case, and
// letters of windows-1252 beyond ASCII in a comment. The editor indents the line after `{`.
const QString kTyped = QStringLiteral("\nFUNC void main(void)\n{\nSLEEP 5 # caf\u00e9 \u20ac\n}");
// The same as the editor holds it: corrected, CR LF, UTF-8.
const std::string kTypedAsHeld = "\r\nfunc void main(void)\r\n{\r\n\tsleep 5 # caf\xC3\xA9 \xE2\x82\xAC\r\n}";
const QByteArray kScript = "sleep 1";

QByteArray Bytes(const std::string& text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

// A copy of the program in a process of its own, holding unsaved work.
class ChildCopy {
public:
    ChildCopy(const QString& stateFolder, const QString& configFolder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_STATE_HOME"), stateFolder);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
        m_process.setProcessEnvironment(environment);
    }
    ~ChildCopy()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kChildReadyWithinMs);
        }
    }

    // Starts it on `script` (empty: a new script), has it type, and waits until it says its
    // recovery copy holds what it typed.
    ::testing::AssertionResult StartTyping(const QString& script, const QString& typed, QStringList more = {})
    {
        m_process.start(QStringLiteral(QUARN_RECOVERY_CHILD), QStringList{script, typed} + more);
        return Says("ready\n");
    }

    // Waits for the child to print `line`.
    ::testing::AssertionResult Says(const char* line)
    {
        const QDeadlineTimer deadline(kChildReadyWithinMs);
        while (!m_out.contains(line)) {
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning
                || (!m_process.waitForReadyRead(int(deadline.remainingTime())) && !m_process.bytesAvailable()))
                return ::testing::AssertionFailure()
                       << "the child did not say " << line << "; it said: " << m_out.toStdString()
                       << m_process.readAllStandardError().toStdString() << "; exit status "
                       << int(m_process.exitStatus());
            m_out += m_process.readAllStandardOutput();
        }
        return ::testing::AssertionSuccess();
    }

    // Ends it the way a crash or the system does: it gets no chance to tidy up.
    void Kill()
    {
        ::kill(pid_t(m_process.processId()), SIGKILL);
        m_process.waitForFinished(kChildReadyWithinMs);
    }

private:
    QProcess m_process;
    QByteArray m_out;
};

class Recovery : public ::testing::Test {
protected:
    // The recovery folder is this test's own, for the windows made here and the children alike.
    Recovery() : m_savedState(qgetenv("XDG_STATE_HOME"))
    {
        qputenv("XDG_STATE_HOME", QFile::encodeName(m_state.path()));
    }
    ~Recovery() override { qputenv("XDG_STATE_HOME", m_savedState); }

    QString Folder() const { return RecoveryFile::defaultFolder(); }
    QString ScriptPath(const QString& name) const { return m_scripts.filePath(name); }

    // The recovery files in the folder, and every file there.
    QStringList RecoveryFiles() const
    {
        return QDir(Folder()).entryList({QStringLiteral("*.recovery")}, QDir::Files, QDir::Name);
    }
    QStringList AllFiles() const { return QDir(Folder()).entryList(QDir::Files, QDir::Name); }

    // The work a recovery file holds; nothing when it is missing or unreadable.
    std::optional<RecoveredScript> Held(const QString& name) const
    {
        const QByteArray bytes = readFileBytes(QDir(Folder()).filePath(name));
        return RecoveryFile::decode(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    }

    // A recovery file as a copy that died left it, last written `minutesAgo`.
    QString LeaveBehind(const QString& name, const QByteArray& bytes, int minutesAgo = 0)
    {
        QDir().mkpath(Folder());
        const QString path = QDir(Folder()).filePath(name);
        EXPECT_TRUE(writeFileBytes(path, bytes));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesAgo), QFileDevice::FileModificationTime);
        return path;
    }
    QString LeaveBehind(const QString& name, const RecoveredScript& script, int minutesAgo = 0)
    {
        return LeaveBehind(name, Bytes(RecoveryFile::encode(script)), minutesAgo);
    }

    // A window as a new start of the program makes it.
    std::unique_ptr<MainWindowUnderTest> Start() const
    {
        auto main = std::make_unique<MainWindowUnderTest>();
        main->window.setRecoveryDelay(kCopyDelay);
        return main;
    }

    // Types `text` into the window and waits for its recovery copy to hold the editor's text.
    ::testing::AssertionResult TypeAndWaitForTheCopy(MainWindowUnderTest& main, const QString& text) const
    {
        if (!Activate(main.window))
            return ::testing::AssertionFailure() << "the window did not become active";
        TypeKeys(main.window, text);
        const std::string held = main.editorText();
        const bool copied = WaitFor(
            [&] {
                const QStringList files = RecoveryFiles();
                return files.size() == 1 && Held(files[0]) && Held(files[0])->text == held;
            },
            kCopyWithinMs);
        if (!copied)
            return ::testing::AssertionFailure() << "no recovery copy of the typing within " << kCopyWithinMs << " ms";
        return ::testing::AssertionSuccess();
    }

    QString QuestionFor(const char* name) const
    {
        return QStringLiteral("Recover unsaved changes to %1 from ").arg(QString::fromUtf8(name));
    }

    QTemporaryDir m_state;
    QTemporaryDir m_config;
    QTemporaryDir m_scripts;
    FakeDesktopServices desktop;

private:
    QByteArray m_savedState;
};

// --- A copy killed while it held unsaved work ----------------------------------------------------

TEST_F(Recovery, AKilledCopysWorkComesBackByteForByteAsUnsavedChangesToItsScript)
{
    const QString script = ScriptPath(QStringLiteral("level01.bsl"));
    ASSERT_TRUE(writeFileBytes(script, kScript));
    ChildCopy child(m_state.path(), m_config.path());
    ASSERT_TRUE(child.StartTyping(script, kTyped));
    const QStringList left = RecoveryFiles();
    ASSERT_EQ(left.size(), 1u);
    const QString childFile = QDir(Folder()).filePath(left[0]);

    // While it runs, its work is its own: another copy offers nothing and leaves the file alone.
    {
        auto second = Start();
        second->window.offerRecovery();
        EXPECT_TRUE(desktop.messageBoxes.empty());
        EXPECT_EQ(second->editorText(), "");
    }
    EXPECT_TRUE(QFile::exists(childFile));

    child.Kill();
    const FileStamp scriptBefore = fileStampOf(script);
    desktop.messageBoxAnswers = {Answer::Recover};
    auto main = Start();
    main->window.offerRecovery();

    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    const auto& question = desktop.messageBoxes[0];
    EXPECT_EQ(question.buttons, DesktopServices::Buttons::RecoverDiscard);
    EXPECT_EQ(question.owner, &main->window);
    EXPECT_TRUE(QString::fromStdString(question.text).startsWith(QuestionFor("level01.bsl"))) << question.text;
    EXPECT_TRUE(question.text.ends_with("?")) << question.text;

    EXPECT_EQ(main->editorText(), kScript.toStdString() + kTypedAsHeld);
    EXPECT_EQ(main->editor()->script(), "sleep 1\r\nfunc void main(void)\r\n{\r\n\tsleep 5 # caf\xE9 \x80\r\n}");
    EXPECT_TRUE(main->editor()->isModified());
    EXPECT_EQ(main->window.scriptPath(), script);
    EXPECT_EQ(main->window.windowTitle(), QStringLiteral("level01.bsl* - QUARN-XP"));

    // The dead copy's file and its lock are gone, and the work was in the new window's own copy
    // on disk by then: a crash at any moment leaves it somewhere.
    EXPECT_FALSE(QFile::exists(childFile));
    EXPECT_FALSE(QFile::exists(childFile + QStringLiteral(".lock")));
    const QStringList own = RecoveryFiles();
    ASSERT_EQ(own.size(), 1);
    ASSERT_TRUE(Held(own[0]));
    EXPECT_EQ(Held(own[0])->text, main->editorText());
    EXPECT_EQ(Held(own[0])->scriptPath, script);

    // The script's own file waits for the user to save, whatever the window still had queued.
    QApplication::processEvents();
    EXPECT_EQ(readFileBytes(script), kScript);
    EXPECT_EQ(fileStampOf(script), scriptBefore);

    // Saved, it is written without a question: nobody changed it since it was recovered.
    ASSERT_TRUE(Activate(main->window));
    PressKey(main->window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(readFileBytes(script), Bytes(main->editor()->script()));
    EXPECT_FALSE(main->editor()->isModified());
    EXPECT_TRUE(RecoveryFiles().empty());
}

TEST_F(Recovery, AKilledCopysNewScriptComesBackUnnamed)
{
    {
        ChildCopy child(m_state.path(), m_config.path());
        ASSERT_TRUE(child.StartTyping(QString(), kTyped));
        child.Kill();
    }
    desktop.messageBoxAnswers = {Answer::Recover};
    auto main = Start();
    main->window.offerRecovery();

    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_TRUE(QString::fromStdString(desktop.messageBoxes[0].text).startsWith(QuestionFor("an unnamed script")))
        << desktop.messageBoxes[0].text;
    EXPECT_EQ(main->editorText(), kTypedAsHeld);
    EXPECT_TRUE(main->editor()->isModified());
    EXPECT_EQ(main->window.scriptPath(), QString());
    EXPECT_EQ(main->window.windowTitle(), QStringLiteral("Untitled* - QUARN-XP"));

    // Saving asks where, as for any new script.
    desktop.saveFileName = ScriptPath(QStringLiteral("rescued.bsl"));
    ASSERT_TRUE(Activate(main->window));
    PressKey(main->window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_EQ(readFileBytes(ScriptPath(QStringLiteral("rescued.bsl"))), Bytes(main->editor()->script()));
}

TEST_F(Recovery, EveryModifiedTabOfAKilledCopyComesBackAfterOneQuestion)
{
    const QString first = ScriptPath(QStringLiteral("level01.bsl"));
    const QString second = ScriptPath(QStringLiteral("level02.bsl"));
    ASSERT_TRUE(writeFileBytes(first, "sleep 1"));
    ASSERT_TRUE(writeFileBytes(second, "sleep 2"));
    {
        ChildCopy child(m_state.path(), m_config.path());
        ASSERT_TRUE(child.StartTyping(first, QStringLiteral("x"),
                                      {second, QStringLiteral("y"), QString(), QStringLiteral("z")}));
        EXPECT_EQ(RecoveryFiles().size(), 3);
        child.Kill();
    }
    // Another program changes the first script after the crash.
    ASSERT_TRUE(writeFileBytes(first, "sleep 10"));

    desktop.messageBoxAnswers = {Answer::Recover};
    auto main = Start();
    main->window.offerRecovery();
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    const QString question = QString::fromStdString(desktop.messageBoxes[0].text);
    for (const char* offered : {"level01.bsl from ", "level02.bsl from ", "an unnamed script from "})
        EXPECT_TRUE(question.contains(QString::fromLatin1(offered))) << desktop.messageBoxes[0].text;

    ScriptTabs& tabs = *main->window.tabs();
    ASSERT_EQ(tabs.tabs().size(), 3u);
    ASSERT_TRUE(tabs.find(first) && tabs.find(second));
    EXPECT_EQ(tabs.find(first)->editor()->documentText(), "sleep 1x");
    EXPECT_EQ(tabs.find(second)->editor()->documentText(), "sleep 2y");
    for (const auto& tab : tabs.tabs()) {
        EXPECT_TRUE(tab->isModified()) << tab->name().toStdString();
        if (tab->path().isEmpty()) {
            EXPECT_EQ(tab->editor()->documentText(), "z");
        }
    }
    EXPECT_EQ(RecoveryFiles().size(), 3) << "the new window's own copies, the dead copy's gone";

    // The other program's change is told as the window comes forward, and saving over it asks
    // first; the script nobody changed is saved without a question.
    ASSERT_TRUE(Activate(main->window));
    ASSERT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_NE(desktop.messageBoxes[1].text.find("level01.bsl was changed by another program"), std::string::npos)
        << desktop.messageBoxes[1].text;
    tabs.setCurrent(tabs.find(second));
    PressKey(main->window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(readFileBytes(second), "sleep 2y");
    tabs.setCurrent(tabs.find(first));
    desktop.messageBoxAnswers = {Answer::No};
    PressKey(main->window, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(desktop.messageBoxes.size(), 3u);
    EXPECT_NE(desktop.messageBoxes[2].text.find("Overwrite it with this script?"), std::string::npos)
        << desktop.messageBoxes[2].text;
    EXPECT_EQ(readFileBytes(first), "sleep 10");
    EXPECT_TRUE(tabs.find(first)->isModified());
}

// Memory that runs out while a copy is taken on the window's thread, or while it is written on
// the writer's, costs that copy only: the program goes on and the last copy stays.
class RecoveryWithoutMemory : public Recovery, public ::testing::WithParamInterface<const char*> {};

TEST_P(RecoveryWithoutMemory, ACopyTheMemoryCannotHoldIsSkippedAndTheLastOneKept)
{
    const QString script = ScriptPath(QStringLiteral("large.bsl"));
    QByteArray large;
    while (large.size() < (3 << 20))
        large += "func void level_start(void)\r\n{\r\n\tsleep 60\r\n}\r\n";
    ASSERT_TRUE(writeFileBytes(script, large));
    ChildCopy child(m_state.path(), m_config.path());
    ASSERT_TRUE(child.StartTyping(script, QStringLiteral("x"), {QString::fromLatin1(GetParam())}));
    ASSERT_TRUE(child.Says("survived\n"));
    child.Kill();

    desktop.messageBoxAnswers = {Answer::Recover};
    auto main = Start();
    main->window.offerRecovery();
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    const std::string recovered = main->editor()->script();
    const std::string lastWritten = large.toStdString() + "x";
    if (std::string_view(GetParam()).ends_with("writing")) {
        EXPECT_TRUE(recovered == lastWritten) << "the last copy that could be written";
    } else {
        // The window keeps memory for its copies of the text, so the copy may need none; either
        // way what is recovered is a whole copy.
        EXPECT_TRUE(recovered == lastWritten || recovered == lastWritten + " ") << "a whole copy";
    }
}

INSTANTIATE_TEST_SUITE_P(TakingOrWriting, RecoveryWithoutMemory,
                         ::testing::Values("--then-run-out-of-memory-copying", "--then-run-out-of-memory-writing"));

TEST_F(Recovery, AKilledCopyWithNothingUnsavedLeavesNothingForTheNextStart)
{
    {
        ChildCopy child(m_state.path(), m_config.path());
        ASSERT_TRUE(child.StartTyping(QString(), QString()));
        EXPECT_TRUE(RecoveryFiles().isEmpty());
        ASSERT_EQ(AllFiles().size(), 1) << "its lock";
        child.Kill();
    }
    const QString lockOfTheDead = AllFiles().value(0);
    auto main = Start();
    main->window.offerRecovery();
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_FALSE(AllFiles().contains(lockOfTheDead)) << AllFiles().join(u' ').toStdString();
    EXPECT_EQ(AllFiles().size(), 1) << "the window's own lock only";
}

TEST_F(Recovery, ARunningCopyWithNothingUnsavedKeepsItsLock)
{
    ChildCopy child(m_state.path(), m_config.path());
    ASSERT_TRUE(child.StartTyping(QString(), QString()));
    const QStringList before = AllFiles();
    ASSERT_EQ(before.size(), 1);
    auto main = Start();
    main->window.offerRecovery();
    EXPECT_TRUE(AllFiles().contains(before[0]));

    // Its lock still holds: killed with work unsaved, it would be recovered as usual.
    RecoveryFile::leftBehind();
    EXPECT_TRUE(AllFiles().contains(before[0]));
}

// --- What the next start offers ------------------------------------------------------------------

TEST_F(Recovery, TheQuestionNamesTheScriptAndTheLocalTimeOfTheCopy)
{
    const QDateTime savedAt(QDate(2026, 3, 14), QTime(15, 9, 26, 535), Qt::UTC);
    LeaveBehind(QStringLiteral("left.recovery"),
                RecoveredScript{ScriptPath(QStringLiteral("\u0421\u0446\u0435\u043d\u0430.bsl")), savedAt, "x"});
    auto main = Start();
    main->window.offerRecovery();
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text,
              QStringLiteral("Recover unsaved changes to \u0421\u0446\u0435\u043d\u0430.bsl from %1?")
                  .arg(savedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                  .toStdString());
    EXPECT_EQ(desktop.messageBoxes[0].caption, "quarn-xp");
}

TEST_F(Recovery, DiscardDeletesTheCopyAndLeavesTheWindowAsItStarted)
{
    const QString left = LeaveBehind(QStringLiteral("left.recovery"),
                                     RecoveredScript{QString(), QDateTime::currentDateTimeUtc(), "sleep 9"});
    desktop.messageBoxAnswers = {Answer::Discard};
    auto main = Start();
    main->window.offerRecovery();
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(main->editorText(), "");
    EXPECT_FALSE(main->editor()->isModified());
    EXPECT_FALSE(QFile::exists(left));
    EXPECT_TRUE(AllFiles().filter(QStringLiteral("left.")).isEmpty()) << AllFiles().join(u' ').toStdString();

    // Asked once: the next start finds nothing.
    auto next = Start();
    next->window.offerRecovery();
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
}

TEST_F(Recovery, ADamagedCopyIsReportedOnceAndSetAsideAndTheStartGoesOn)
{
    const QString damaged = LeaveBehind(QStringLiteral("damaged.recovery"), QByteArray("QUARN-XP recovery 1\npath "), 2);
    LeaveBehind(QStringLiteral("good.recovery"), RecoveredScript{QString(), QDateTime::currentDateTimeUtc(), "sleep 9"},
                1);
    desktop.messageBoxAnswers = {Answer::Ok, Answer::Recover};
    auto main = Start();
    main->window.offerRecovery();

    ASSERT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(desktop.messageBoxes[0].icon, DesktopServices::Icon::Warning);
    EXPECT_EQ(desktop.messageBoxes[0].buttons, DesktopServices::Buttons::Ok);
    EXPECT_NE(desktop.messageBoxes[0].text.find(QFile::encodeName(damaged).toStdString()), std::string::npos)
        << desktop.messageBoxes[0].text;
    EXPECT_EQ(desktop.messageBoxes[1].buttons, DesktopServices::Buttons::RecoverDiscard);
    EXPECT_EQ(main->editorText(), "sleep 9");
    EXPECT_FALSE(QFile::exists(damaged));
    EXPECT_EQ(readFileBytes(damaged + QStringLiteral(".damaged")), "QUARN-XP recovery 1\npath ");

    // Reported once: the next start finds nothing more.
    main.reset();
    auto next = Start();
    next->window.offerRecovery();
    EXPECT_EQ(desktop.messageBoxes.size(), 2u);
}

TEST_F(Recovery, EverythingLeftIsOfferedInOneQuestionAndDiscardedInOne)
{
    LeaveBehind(QStringLiteral("older.recovery"),
                RecoveredScript{QString(), QDateTime::currentDateTimeUtc(), "sleep 1"}, 2);
    LeaveBehind(QStringLiteral("newer.recovery"),
                RecoveredScript{ScriptPath(QStringLiteral("level02.bsl")), QDateTime::currentDateTimeUtc(), "sleep 2"}, 1);
    desktop.messageBoxAnswers = {Answer::Discard};
    auto main = Start();
    main->window.offerRecovery();
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    const QString question = QString::fromStdString(desktop.messageBoxes[0].text);
    EXPECT_TRUE(question.startsWith(QStringLiteral("Recover unsaved changes to these scripts?\n\nan unnamed script from ")))
        << desktop.messageBoxes[0].text;
    EXPECT_TRUE(question.contains(QStringLiteral("\nlevel02.bsl from "))) << desktop.messageBoxes[0].text;
    EXPECT_EQ(main->window.tabs()->tabs().size(), 1u);
    EXPECT_EQ(main->editorText(), "");
    EXPECT_TRUE(RecoveryFiles().isEmpty());
}

TEST_F(Recovery, NothingLeftBehindAsksNothing)
{
    auto main = Start();
    main->window.offerRecovery();
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(main->editorText(), "");
}

// --- The window's own copy -----------------------------------------------------------------------

TEST_F(Recovery, TheOwnCopyFollowsTheTypingAndGoesWhenTheScriptIsSaved)
{
    const QString script = ScriptPath(QStringLiteral("level01.bsl"));
    ASSERT_TRUE(writeFileBytes(script, kScript));
    auto main = Start();
    ASSERT_TRUE(main->window.openScriptFile(script));
    EXPECT_TRUE(RecoveryFiles().isEmpty()) << "nothing unsaved yet";

    ASSERT_TRUE(TypeAndWaitForTheCopy(*main, QStringLiteral("x")));
    const auto held = Held(RecoveryFiles().value(0));
    ASSERT_TRUE(held);
    EXPECT_EQ(held->scriptPath, script);
    EXPECT_EQ(held->text, "xsleep 1");

    PressKey(main->window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(readFileBytes(script), "xsleep 1");
    EXPECT_TRUE(RecoveryFiles().isEmpty());

    // Saved before the copy of the next change was due, it writes no copy when due.
    TypeKeys(main->window, QStringLiteral("y"));
    PressKey(main->window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(readFileBytes(script), "xysleep 1");
    ASSERT_TRUE(WaitFor([&] { return !main->window.recoveryCopyDue(); }, kCopyWithinMs)) << "the copy never came due";
    EXPECT_TRUE(RecoveryFiles().isEmpty());
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(Recovery, TypingWithoutAPauseIsCopiedAsItGoes)
{
    auto main = Start();
    ASSERT_TRUE(Activate(main->window));
    // A key every quarter of the copy's delay: the copy does not wait for a pause.
    int keys = 0;
    while (RecoveryFiles().isEmpty() && keys < 40) {
        TypeKeys(main->window, QStringLiteral("a"));
        ++keys;
        WaitFor([] { return false; }, int(kCopyDelay.count()) / 4);
    }
    ASSERT_EQ(RecoveryFiles().size(), 1);
    EXPECT_LT(keys, 20) << "the copy came only after a pause";
    const auto held = Held(RecoveryFiles()[0]);
    ASSERT_TRUE(held);
    EXPECT_FALSE(held->text.empty());
    EXPECT_EQ(held->text, std::string(held->text.size(), 'a'));
}

TEST_F(Recovery, TheOwnCopyGoesWhenTheChangesAreDiscardedOnClose)
{
    auto main = Start();
    ASSERT_TRUE(TypeAndWaitForTheCopy(*main, QStringLiteral("sleep 2")));
    desktop.messageBoxAnswers = {Answer::Discard};
    EXPECT_TRUE(main->window.close());
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_TRUE(RecoveryFiles().isEmpty());
}

TEST_F(Recovery, TheOwnCopyStaysWhenClosingIsCancelled)
{
    auto main = Start();
    ASSERT_TRUE(TypeAndWaitForTheCopy(*main, QStringLiteral("sleep 2")));
    desktop.messageBoxAnswers = {Answer::Cancel};
    EXPECT_FALSE(main->window.close());
    EXPECT_EQ(RecoveryFiles().size(), 1);
}

TEST_F(Recovery, TheOwnCopyAndItsLockGoAtANormalEnd)
{
    auto main = Start();
    ASSERT_TRUE(TypeAndWaitForTheCopy(*main, QStringLiteral("sleep 2")));
    EXPECT_EQ(AllFiles().size(), 2) << AllFiles().join(u' ').toStdString();
    main.reset();
    EXPECT_TRUE(AllFiles().isEmpty()) << AllFiles().join(u' ').toStdString();
}

} // namespace
