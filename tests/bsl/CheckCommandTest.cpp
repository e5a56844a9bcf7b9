#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

// `quarn-bsl check` as a shell or a CI job runs it, on levels the tests write.

namespace {

struct Finished {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class CheckCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }

    QString path(const QString& name) const { return m_folder.filePath(name); }

    // Writes `bytes` as they are: windows-1252, line ends as given.
    void write(const QString& name, const std::string& bytes) const
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes.data(), qint64(bytes.size()));
    }

    Finished run(const QStringList& arguments) const
    {
        QProcess program;
        program.setWorkingDirectory(m_folder.path());
        program.start(QStringLiteral(QUARN_BSL_EXECUTABLE), arguments);
        Finished finished;
        if (!program.waitForFinished(20000)) {
            ADD_FAILURE() << "quarn-bsl did not finish";
            program.kill();
            program.waitForFinished();
            return finished;
        }
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        finished.exitCode = program.exitCode();
        finished.out = program.readAllStandardOutput().toStdString();
        finished.err = program.readAllStandardError().toStdString();
        return finished;
    }

    // A level of three scripts: main calls level_start and a name nobody declares; start
    // declares level_start and holds a fault after characters of the code page beyond ASCII;
    // a text file beside them declares a name that counts for nothing.
    void writeLevel() const
    {
        write("level01/main.bsl", "func void main(void)\r\n"
                                  "{\r\n"
                                  "\tlevel_start\r\n"
                                  "\tfrom_notes\r\n"
                                  "\tif (alarm eq 1\r\n"
                                  "}\r\n");
        // The suffix in another letter case, LF line ends, and e-acute, the euro sign and
        // Y-diaeresis as windows-1252 bytes before the fault on their line.
        write("level01/Start.BSL", "func void level_start(void)\n"
                                   "{\n"
                                   "\tdmsg \"caf\xe9 \x80 \x9f\"; unknown_call\n"
                                   "}\n");
        write("level01/clean.bsl", "var int alarm = 0;\r\n");
        write("level01/notes.txt", "func void from_notes(void)\r\n{\r\n}\r\n");
    }

    QTemporaryDir m_folder;
};

constexpr const char* kLevelFindings = "level01/main.bsl:4:2: warning: 'from_notes' is not defined here\n"
                                       "level01/main.bsl:5:5: error: '(' is never closed\n"
                                       "level01/Start.BSL:3:19: warning: 'unknown_call' is not defined here\n";

TEST_F(CheckCommand, ReportsEachFindingLikeACompilerInFileAndLineOrder)
{
    writeLevel();
    const Finished folder = run({"check", "level01"});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_EQ(folder.out, kLevelFindings);
    EXPECT_EQ(folder.err, "quarn-bsl: 1 error and 2 warnings in 3 scripts\n");

    // One script is still checked with its folder as its level; scripts in the order named.
    const Finished scripts = run({"check", "level01/Start.BSL", "level01/main.bsl"});
    EXPECT_EQ(scripts.exitCode, 1);
    EXPECT_EQ(scripts.out, "level01/Start.BSL:3:19: warning: 'unknown_call' is not defined here\n"
                           "level01/main.bsl:4:2: warning: 'from_notes' is not defined here\n"
                           "level01/main.bsl:5:5: error: '(' is never closed\n");

    // A script named twice, directly and through its folder, is checked once.
    const Finished twice = run({"check", "level01/main.bsl", "level01", "./level01/main.bsl"});
    EXPECT_EQ(twice.out, kLevelFindings);
    EXPECT_EQ(twice.err, "quarn-bsl: 1 error and 2 warnings in 3 scripts\n");
}

TEST_F(CheckCommand, ACleanLevelExitsZeroAndSaysSo)
{
    writeLevel();
    write("level01/main.bsl", "func void main(void)\r\n{\r\n\tlevel_start\r\n}\r\n");
    write("level01/Start.BSL", "func void level_start(void)\r\n{\r\n\tdmsg \"\x80\"\r\n}\r\n");
    const Finished clean = run({"check", "level01"});
    EXPECT_EQ(clean.exitCode, 0);
    EXPECT_EQ(clean.out, "");
    EXPECT_EQ(clean.err, "quarn-bsl: no problems in 3 scripts\n");
}

TEST_F(CheckCommand, JsonHoldsTheSameFindings)
{
    writeLevel();
    const Finished json = run({"check", "--format=json", "level01"});
    EXPECT_EQ(json.exitCode, 1);
    QJsonParseError error;
    const QJsonObject report = QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out;
    EXPECT_EQ(report.value("scripts").toInt(), 3);
    EXPECT_EQ(report.value("errors").toInt(), 1);
    EXPECT_EQ(report.value("warnings").toInt(), 2);
    std::string lines;
    for (const QJsonValue& value : report.value("findings").toArray()) {
        const QJsonObject finding = value.toObject();
        EXPECT_EQ(finding.value("endLine"), finding.value("line"));
        EXPECT_GT(finding.value("endColumn").toInt(), finding.value("column").toInt());
        lines += QStringLiteral("%1:%2:%3: %4: %5\n")
                     .arg(finding.value("path").toString())
                     .arg(finding.value("line").toInt())
                     .arg(finding.value("column").toInt())
                     .arg(finding.value("severity").toString(), finding.value("message").toString())
                     .toStdString();
    }
    EXPECT_EQ(lines, kLevelFindings);
}

TEST_F(CheckCommand, FilesThatCannotBeReadExitTwoSayingWhichAndWhy)
{
    writeLevel();
    // A link to nowhere and a pipe among the scripts: the pipe must not hold the check up.
    ASSERT_EQ(::symlink("nowhere.bsl", path("level01/gone.bsl").toLocal8Bit().constData()), 0);
    ASSERT_EQ(::mkfifo(path("level01/pipe.bsl").toLocal8Bit().constData(), 0644), 0);
    QDir().mkpath(path("empty"));

    const Finished partly = run({"check", "level01", "missing.bsl", "empty"});
    EXPECT_EQ(partly.exitCode, 2);
    // What could be read is still checked; what could not is named in the window's words.
    EXPECT_EQ(partly.out, kLevelFindings);
    EXPECT_NE(partly.err.find("quarn-bsl: missing.bsl was not found.\n"), std::string::npos) << partly.err;
    EXPECT_NE(partly.err.find("quarn-bsl: empty holds no .bsl script\n"), std::string::npos) << partly.err;
    EXPECT_NE(partly.err.find("quarn-bsl: level01/gone.bsl was not found.\n"), std::string::npos) << partly.err;
    EXPECT_NE(partly.err.find("quarn-bsl: level01/pipe.bsl contains an invalid path.\n"), std::string::npos) << partly.err;
}

TEST_F(CheckCommand, AScriptTheUserMayNotReadExitsTwo)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    writeLevel();
    ASSERT_EQ(::chmod(path("level01/clean.bsl").toLocal8Bit().constData(), 0), 0);
    const Finished locked = run({"check", "level01/main.bsl"});
    EXPECT_EQ(locked.exitCode, 2);
    EXPECT_NE(locked.err.find("quarn-bsl: Access to level01/clean.bsl was denied.\n"), std::string::npos) << locked.err;
}

TEST_F(CheckCommand, UsageErrorsExitTwoWithTheUsage)
{
    for (const QStringList& arguments : {QStringList{}, QStringList{"check"}, QStringList{"frobnicate"},
                                         QStringList{"check", "--format=xml", "a.bsl"}, QStringList{"server", "a.bsl"},
                                         QStringList{"check", "--colour", "a.bsl"}}) {
        const Finished refused = run(arguments);
        EXPECT_EQ(refused.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(refused.out, "");
        EXPECT_NE(refused.err.find("Usage: quarn-bsl check"), std::string::npos) << refused.err;
    }
    const Finished help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("quarn-bsl server"), std::string::npos);
    const Finished version = run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("quarn-bsl ", 0), 0u);
}

} // namespace
