#include "app/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

QSettings Stored()
{
    return {QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("quarn-xp"), QStringLiteral("quarn-xp")};
}

// The settings file as a hand-edited one would be found.
void WriteSettingsFile(const QByteArray& bytes)
{
    const QString path = Stored().fileName();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() { Stored().clear(); }
};

TEST_F(SettingsTest, AFirstRunRemembersNothing)
{
    const Settings settings;
    EXPECT_TRUE(settings.lastFolder().isEmpty());
    EXPECT_EQ(settings.zoom(), 0);
    EXPECT_TRUE(settings.recentScripts().isEmpty());
    EXPECT_TRUE(settings.windowGeometry().isEmpty());
}

TEST_F(SettingsTest, WhatIsWrittenIsReadByTheNextRun)
{
    {
        Settings settings;
        settings.setLastFolder(QStringLiteral("/scripts/level 1/"));
        settings.setZoom(-3);
        settings.setRecentScripts({QStringLiteral("/scripts/a, b.bsl"), QStringLiteral("/scripts/c.bsl")});
        settings.setWindowGeometry(QByteArray("\x01\x00\xd9\xd0", 4));
    }
    const Settings settings;
    EXPECT_EQ(settings.lastFolder(), QStringLiteral("/scripts/level 1/"));
    EXPECT_EQ(settings.zoom(), -3);
    EXPECT_EQ(settings.recentScripts(),
              (QStringList{QStringLiteral("/scripts/a, b.bsl"), QStringLiteral("/scripts/c.bsl")}));
    EXPECT_EQ(settings.windowGeometry(), QByteArray("\x01\x00\xd9\xd0", 4));
}

TEST_F(SettingsTest, TheZoomReadsWithinItsBounds)
{
    const std::pair<const char*, int> cases[] = {{"7", 7},     {"99", Settings::kMaximumZoom},
                                                 {"-99", Settings::kMinimumZoom}, {"big", 0},
                                                 {"2.5", 0},   {"", 0}};
    int round = 0;
    for (const auto& [stored, read] : cases) {
        // A file of another size each time: the toolkit may take one of the same size and time
        // for the one it read before.
        WriteSettingsFile("[editor]\nzoom=" + QByteArray(stored) + "\n" + QByteArray(++round, '#') + "\n");
        EXPECT_EQ(Settings().zoom(), read) << '"' << stored << '"';
    }
}

TEST_F(SettingsTest, TheRecentScriptsReadWithoutRepeatsOrBlanksAndAtMostEight)
{
    QByteArray list;
    for (int number = 1; number <= 12; ++number)
        list += "/s/" + QByteArray::number(number % 10) + ".bsl, , ";
    WriteSettingsFile("[files]\nrecentScripts=" + list + "/s/last.bsl\n");
    QStringList expected;
    for (int number = 1; number <= Settings::kRecentScriptCount; ++number)
        expected.append(QStringLiteral("/s/%1.bsl").arg(number % 10));
    EXPECT_EQ(Settings().recentScripts(), expected);

    // One path alone is a list of one.
    WriteSettingsFile("[files]\nrecentScripts=/s/only.bsl\n");
    EXPECT_EQ(Settings().recentScripts(), QStringList{QStringLiteral("/s/only.bsl")});
}

TEST_F(SettingsTest, AValueOfTheWrongKindReadsAsNothing)
{
    WriteSettingsFile("[files]\nlastFolder=@Rect(1 2 3 4)\nrecentScripts=@Point(1 2)\n[editor]\nzoom=@Size(3 4)\n");
    const Settings settings;
    EXPECT_TRUE(settings.lastFolder().isEmpty());
    EXPECT_TRUE(settings.recentScripts().isEmpty());
    EXPECT_EQ(settings.zoom(), 0);
}

TEST(WithRecentScript, PutsThePathFirstOnceAndKeepsEight)
{
    EXPECT_EQ(withRecentScript({}, QStringLiteral("a")), QStringList{QStringLiteral("a")});
    EXPECT_EQ(withRecentScript({"a", "b", "c"}, QStringLiteral("c")), (QStringList{"c", "a", "b"}));
    EXPECT_EQ(withRecentScript({"a", "b", "c"}, QStringLiteral("a")), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(withRecentScript({"1", "2", "3", "4", "5", "6", "7", "8"}, QStringLiteral("9")),
              (QStringList{"9", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(withRecentScript({"1", "2", "3", "4", "5", "6", "7", "8"}, QStringLiteral("8")),
              (QStringList{"8", "1", "2", "3", "4", "5", "6", "7"}));
}

} // namespace
