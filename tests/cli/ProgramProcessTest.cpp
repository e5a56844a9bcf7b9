#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

// These start the built program, as a shell or a file manager does.

namespace {

constexpr int kAnswerWithinMs = 5000;
// Long enough for the window to come up, open the script or the error box, and crash if it were
// going to.
constexpr int kWindowRunsForMs = 1500;

struct Finished {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// An environment with no display at all: options that answer on the terminal must not need one.
QProcessEnvironment WithoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

Finished RunToTheEnd(const QStringList& arguments)
{
    QProcess program;
    program.setProcessEnvironment(WithoutDisplay());
    program.start(QStringLiteral(QUARN_XP_EXECUTABLE), arguments);
    Finished finished;
    if (!program.waitForFinished(kAnswerWithinMs)) {
        ADD_FAILURE() << "quarn-xp did not finish: " << program.errorString().toStdString();
        program.kill();
        program.waitForFinished();
        return finished;
    }
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    finished.exitCode = program.exitCode();
    finished.out = program.readAllStandardOutput();
    finished.err = program.readAllStandardError();
    return finished;
}

// Starts the window on the offscreen platform and checks that it is still up a while later, then
// ends it: it waits for a person otherwise.
void ExpectWindowKeepsRunning(const QStringList& arguments)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUARN_XP_EXECUTABLE), arguments);
    ASSERT_TRUE(program.waitForStarted(kAnswerWithinMs)) << program.errorString().toStdString();

    const bool ended = program.waitForFinished(kWindowRunsForMs);
    EXPECT_FALSE(ended) << "exit code " << program.exitCode() << ", exit status " << int(program.exitStatus())
                        << ", standard error:\n"
                        << program.readAllStandardError().toStdString();
    EXPECT_EQ(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished(kAnswerWithinMs);
}

TEST(ProgramProcessTest, VersionAnswersWithoutADisplay)
{
    const Finished finished = RunToTheEnd({QStringLiteral("--version")});
    EXPECT_EQ(finished.exitCode, 0);
    EXPECT_EQ(finished.out.toStdString(), "quarn-xp " QUARN_VERSION "\n");
    EXPECT_EQ(finished.err.toStdString(), "");
}

TEST(ProgramProcessTest, HelpAnswersWithoutADisplay)
{
    const Finished finished = RunToTheEnd({QStringLiteral("--help")});
    EXPECT_EQ(finished.exitCode, 0);
    EXPECT_TRUE(finished.out.startsWith("Usage: quarn-xp [options] [script...]\n")) << finished.out.toStdString();
    EXPECT_TRUE(finished.out.contains("A script to open at start, each in a tab of its own"))
        << finished.out.toStdString();
    EXPECT_EQ(finished.err.toStdString(), "");
}

TEST(ProgramProcessTest, AnUnknownOptionPrintsTheUsageToStandardErrorAndExitsWith2)
{
    const Finished finished = RunToTheEnd({QStringLiteral("--bogus")});
    EXPECT_EQ(finished.exitCode, 2);
    EXPECT_EQ(finished.out.toStdString(), "");
    EXPECT_TRUE(finished.err.startsWith("quarn-xp: Unknown option 'bogus'.")) << finished.err.toStdString();
    EXPECT_TRUE(finished.err.contains("Usage: quarn-xp [options] [script...]")) << finished.err.toStdString();
}

TEST(ProgramProcessTest, StartsWithNoScript)
{
    ExpectWindowKeepsRunning({});
}

TEST(ProgramProcessTest, OpensTheScriptsNamedOnTheCommandLine)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile script(folder.filePath(QStringLiteral("level 01.bsl")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("# The warehouse\r\nif (x) then\r\n  give_powerup konoko hypo\r\nendif\r\n");
    script.close();

    QFile other(folder.filePath(QStringLiteral("level 02.bsl")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("func void level_start(void)\r\n{\r\n}\r\n");
    other.close();

    ExpectWindowKeepsRunning({script.fileName(), other.fileName()});
}

// The error box is a real, modal one here; the program must wait in it, not crash.
TEST(ProgramProcessTest, AMissingScriptLeavesTheWindowRunning)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ExpectWindowKeepsRunning({folder.filePath(QStringLiteral("missing.bsl"))});
}

}  // namespace
