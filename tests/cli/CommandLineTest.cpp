#include "app/CommandLine.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <initializer_list>

namespace {

using Action = CommandLine::Action;

// The program's name comes first, as in argv.
CommandLine Parse(std::initializer_list<const char*> arguments)
{
    QStringList list{QStringLiteral("quarn-xp")};
    for (const char* argument : arguments)
        list.append(QString::fromUtf8(argument));
    return parseCommandLine(list);
}

QString InWorkingFolder(const char* name)
{
    return QDir::current().absoluteFilePath(QString::fromUtf8(name));
}

void ExpectRefusedWithUsage(const CommandLine& parsed, const char* fault)
{
    EXPECT_EQ(parsed.action, Action::Refuse);
    EXPECT_TRUE(parsed.scriptPaths.isEmpty());
    EXPECT_TRUE(parsed.message.startsWith(QStringLiteral("quarn-xp: "))) << parsed.message.toStdString();
    EXPECT_TRUE(parsed.message.contains(QString::fromUtf8(fault))) << parsed.message.toStdString();
    EXPECT_TRUE(parsed.message.contains(QStringLiteral("Usage: quarn-xp [options] [script...]")))
        << parsed.message.toStdString();
}

TEST(CommandLineTest, NoArgumentsStartsTheWindowEmpty)
{
    const CommandLine parsed = Parse({});
    EXPECT_EQ(parsed.action, Action::Run);
    EXPECT_TRUE(parsed.scriptPaths.isEmpty());
    EXPECT_TRUE(parsed.message.isEmpty());
}

TEST(CommandLineTest, HelpDescribesTheScriptArgumentAndTheOptions)
{
    for (const char* option : {"--help", "-h"}) {
        SCOPED_TRACE(option);
        const CommandLine parsed = Parse({option});
        EXPECT_EQ(parsed.action, Action::ShowHelp);
        EXPECT_TRUE(parsed.message.startsWith(QStringLiteral("Usage: quarn-xp [options] [script...]\n")));
        for (const char* mention : {"script", "each in a tab of its own", "--", "-h, --help", "-v, --version"})
            EXPECT_TRUE(parsed.message.contains(QString::fromUtf8(mention))) << mention;
        EXPECT_TRUE(parsed.message.endsWith(QLatin1Char('\n')));
    }
}

TEST(CommandLineTest, VersionIsTheProjectVersion)
{
    for (const char* option : {"--version", "-v"}) {
        SCOPED_TRACE(option);
        const CommandLine parsed = Parse({option});
        EXPECT_EQ(parsed.action, Action::ShowVersion);
        EXPECT_EQ(parsed.message, QStringLiteral("quarn-xp " QUARN_VERSION "\n"));
    }
}

// Asking for help or the version answers it, whatever else the line holds, and opens nothing.
TEST(CommandLineTest, HelpAndVersionWinOverAScript)
{
    EXPECT_EQ(Parse({"level.bsl", "--help"}).action, Action::ShowHelp);
    EXPECT_EQ(Parse({"--version", "level.bsl"}).action, Action::ShowVersion);
    EXPECT_EQ(Parse({"--version", "--help"}).action, Action::ShowHelp);
    EXPECT_TRUE(Parse({"--help", "level.bsl"}).scriptPaths.isEmpty());
}

// The window keeps the script's folder for its file dialogs, so a relative name is made whole
// against the working folder.
TEST(CommandLineTest, AScriptIsOpenedByItsFullPath)
{
    const CommandLine relative = Parse({"level.bsl"});
    EXPECT_EQ(relative.action, Action::Run);
    EXPECT_EQ(relative.scriptPaths, QStringList{InWorkingFolder("level.bsl")});
    EXPECT_TRUE(relative.message.isEmpty());

    EXPECT_EQ(Parse({"scripts/level 01 ü.bsl"}).scriptPaths, QStringList{InWorkingFolder("scripts/level 01 ü.bsl")});
    EXPECT_EQ(Parse({"/srv/levels/level.bsl"}).scriptPaths, QStringList{QStringLiteral("/srv/levels/level.bsl")});
    EXPECT_EQ(Parse({"/srv/levels/../levels/./level.bsl"}).scriptPaths, QStringList{QStringLiteral("/srv/levels/level.bsl")});
}

TEST(CommandLineTest, DoubleDashOpensANameThatLooksLikeAnOption)
{
    const CommandLine parsed = Parse({"--", "-level.bsl"});
    EXPECT_EQ(parsed.action, Action::Run);
    EXPECT_EQ(parsed.scriptPaths, QStringList{InWorkingFolder("-level.bsl")});

    EXPECT_EQ(Parse({"--", "--help"}).scriptPaths, QStringList{InWorkingFolder("--help")});
    ExpectRefusedWithUsage(Parse({"-level.bsl"}), "Unknown option 'level.bsl'");
}

TEST(CommandLineTest, AnUnknownOptionIsRefusedWithTheUsage)
{
    ExpectRefusedWithUsage(Parse({"--bogus"}), "Unknown option 'bogus'");
    ExpectRefusedWithUsage(Parse({"-x", "level.bsl"}), "Unknown option 'x'");
    // Single letters are not bundled: -hv is one unknown option, not -h -v.
    ExpectRefusedWithUsage(Parse({"-hv"}), "Unknown option 'hv'");
}

TEST(CommandLineTest, SeveralScriptsOpenInTheOrderGiven)
{
    EXPECT_EQ(Parse({"one.bsl", "--", "-two.bsl", "three.bsl"}).scriptPaths,
              (QStringList{InWorkingFolder("one.bsl"), InWorkingFolder("-two.bsl"), InWorkingFolder("three.bsl")}));
}

TEST(CommandLineTest, AnEmptyScriptNameIsRefused)
{
    ExpectRefusedWithUsage(Parse({""}), "a script's name is empty.");
    ExpectRefusedWithUsage(Parse({"one.bsl", ""}), "a script's name is empty.");
}

// QApplication takes its own options out of argv after the parse; they must not be refused, nor
// their values taken for the script.
TEST(CommandLineTest, QtsOwnOptionsPassThrough)
{
    const CommandLine parsed = Parse({"-platform", "offscreen", "-style=fusion", "--reverse", "level.bsl"});
    EXPECT_EQ(parsed.action, Action::Run);
    EXPECT_EQ(parsed.scriptPaths, QStringList{InWorkingFolder("level.bsl")});

    EXPECT_EQ(Parse({"-session", "restored-id"}).action, Action::Run);
    EXPECT_TRUE(Parse({"-session", "restored-id"}).scriptPaths.isEmpty());
    ExpectRefusedWithUsage(Parse({"-platform"}), "Missing value after '-platform'");
}

TEST(CommandLineTest, ArgvIsDecodedAsFileNames)
{
    const char* argv[] = {"quarn-xp", "level 01 \xc3\xbc.bsl", "--"};
    EXPECT_EQ(commandLineArguments(3, argv),
              (QStringList{QStringLiteral("quarn-xp"), QStringLiteral("level 01 ü.bsl"), QStringLiteral("--")}));
    EXPECT_TRUE(commandLineArguments(0, argv).isEmpty());
}

}  // namespace
