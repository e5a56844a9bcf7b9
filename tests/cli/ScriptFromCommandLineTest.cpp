#include "app/CommandLine.h"
#include "support/FakeDesktopServices.h"
#include "support/MainWindowHarness.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

// main() hands the parsed script to the window; these check that what the parser gives the window
// works there as a script chosen with OPEN does.

namespace {

// Makes `folder` the working folder for its lifetime.
class WorkingFolder {
public:
    explicit WorkingFolder(const QString& folder) : m_previous(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~WorkingFolder() { QDir::setCurrent(m_previous); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    QString m_previous;
};

TEST(ScriptFromCommandLineTest, ARelativeNameOpensFromTheWorkingFolderAndBecomesTheDialogsFolder)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile script(folder.filePath(QStringLiteral("level.bsl")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("# the warehouse\r\n");
    script.close();

    FakeDesktopServices desktop;
    MainWindowUnderTest window;
    {
        const WorkingFolder inFolder(folder.path());
        const CommandLine parsed = parseCommandLine({QStringLiteral("quarn-xp"), QStringLiteral("level.bsl")});
        ASSERT_EQ(parsed.action, CommandLine::Action::Run);
        EXPECT_TRUE(window.window.openScriptFile(parsed.scriptPaths.value(0)));
    }
    EXPECT_EQ(window.editorText(), "# the warehouse\r\n");
    EXPECT_TRUE(desktop.messageBoxes.empty());

    // OPEN then starts where the script came from, wherever the program runs now.
    window.window.openScript();
    ASSERT_EQ(desktop.openDialogs.size(), 1u);
    EXPECT_EQ(QDir(desktop.openDialogs.front().initialFolder).canonicalPath(), QDir(folder.path()).canonicalPath());
}

TEST(ScriptFromCommandLineTest, AMissingScriptIsReportedAsOpenReportsItAndTheTextStaysEmpty)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString missing = folder.filePath(QStringLiteral("missing.bsl"));

    FakeDesktopServices desktop;
    MainWindowUnderTest fromCommandLine;
    const CommandLine parsed = parseCommandLine({QStringLiteral("quarn-xp"), missing});
    EXPECT_FALSE(fromCommandLine.window.openScriptFile(parsed.scriptPaths.value(0)));
    EXPECT_EQ(fromCommandLine.editorText(), "");
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);

    MainWindowUnderTest fromOpen;
    desktop.openFileName = missing;
    fromOpen.window.openScript();
    EXPECT_EQ(fromOpen.editorText(), "");
    ASSERT_EQ(desktop.messageBoxes.size(), 2u);

    const FakeDesktopServices::MessageBoxCall& atStart = desktop.messageBoxes[0];
    const FakeDesktopServices::MessageBoxCall& onOpen = desktop.messageBoxes[1];
    EXPECT_EQ(atStart.owner, &fromCommandLine.window);
    EXPECT_EQ(atStart.text, onOpen.text);
    EXPECT_NE(atStart.text.find("missing.bsl"), std::string::npos) << atStart.text;
    EXPECT_EQ(atStart.caption, onOpen.caption);
    EXPECT_EQ(atStart.icon, onOpen.icon);
    EXPECT_EQ(atStart.icon, DesktopServices::Icon::Stop);
    EXPECT_EQ(atStart.buttons, DesktopServices::Buttons::Ok);
}

}  // namespace
