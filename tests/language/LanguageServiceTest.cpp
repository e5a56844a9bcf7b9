#include "language/LanguageService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

bool write(const QString& path, const char* text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == qint64(std::strlen(text));
}

// The service delivers through the event loop, into scripts of a folder of the test's own.
class LanguageServiceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    // Runs the event loop until `done` holds, or gives up after half a minute.
    template <typename Done>
    static void waitUntil(Done done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }

    int argc = 0;
    QCoreApplication application{argc, nullptr};
    QTemporaryDir folder;
};

// A second request for the same text, made after a file of the folder changed, is what the
// window shows: the first one, done or not, read the folder as it was.
TEST_F(LanguageServiceTest, DeliversOnlyTheNewestRequest)
{
    const QString script = folder.filePath(QStringLiteral("level1_main.bsl"));
    ASSERT_TRUE(write(script, "level_start\r\n"));
    const auto text = std::make_shared<const std::string>("level_start\r\n");

    LanguageService service;
    std::vector<bool> knowsLevelStart;
    QObject::connect(&service, &LanguageService::read, [&](std::uint64_t document, std::uint64_t revision,
                                                           const ScriptReading& reading) {
        EXPECT_EQ(document, 1u);
        EXPECT_EQ(revision, 7u);
        knowsLevelStart.push_back(reading.siblings && reading.siblings->contains("level_start"));
        ASSERT_TRUE(reading.level);
        EXPECT_EQ(reading.level->size(), 2u);
        EXPECT_EQ(reading.level->script(0).analysis, reading.analysis);
        EXPECT_TRUE(reading.level->script(0).open);
        EXPECT_TRUE(reading.findings && reading.findings->empty());
    });
    service.request(1, 7, text, script);
    ASSERT_TRUE(write(folder.filePath(QStringLiteral("level1_start.bsl")), "func void level_start(void)\r\n{\r\n}\r\n"));
    service.request(1, 7, text, script);

    waitUntil([&] { return !knowsLevelStart.empty(); });
    ASSERT_EQ(knowsLevelStart.size(), 1u);
    EXPECT_TRUE(knowsLevelStart.front());
}

// Saved under another name, the old script's file is what its level holds again, not the text
// the editor had for it.
TEST_F(LanguageServiceTest, AClosedDocumentGivesWayToItsFile)
{
    const QString first = folder.filePath(QStringLiteral("a.bsl"));
    const QString second = folder.filePath(QStringLiteral("b.bsl"));
    ASSERT_TRUE(write(first, "func void on_disk(void)\r\n"));

    LanguageService service;
    std::vector<ScriptReading> readings;
    QObject::connect(&service, &LanguageService::read,
                     [&](std::uint64_t, std::uint64_t, const ScriptReading& reading) { readings.push_back(reading); });
    service.request(1, 1, std::make_shared<const std::string>("func void edited(void)\r\n"), first);
    waitUntil([&] { return !readings.empty(); });
    ASSERT_EQ(readings.size(), 1u);
    EXPECT_TRUE(readings.front().level->script(0).open);

    readings.clear();
    ASSERT_TRUE(write(second, "func void edited(void)\r\n"));
    service.closeDocument(1, first);
    service.request(1, 2, std::make_shared<const std::string>("func void edited(void)\r\n"), second);
    waitUntil([&] { return !readings.empty(); });
    ASSERT_EQ(readings.size(), 1u);
    ASSERT_EQ(readings.front().level->size(), 2u);
    EXPECT_FALSE(readings.front().level->script(0).open);
    EXPECT_TRUE(readings.front().siblings->contains("on_disk"));
    EXPECT_FALSE(readings.front().siblings->contains("edited"));
}

// Two documents asked about one after the other are both read: a request overtakes only the
// requests of its own document. A job asked for afterwards sees both texts in the level.
TEST_F(LanguageServiceTest, DeliversTheNewestRequestOfEachDocumentAndRunsJobsAfterThem)
{
    const QString first = folder.filePath(QStringLiteral("a.bsl"));
    const QString second = folder.filePath(QStringLiteral("b.bsl"));

    LanguageService service;
    std::vector<std::uint64_t> documents;
    QObject::connect(&service, &LanguageService::read,
                     [&](std::uint64_t document, std::uint64_t, const ScriptReading&) { documents.push_back(document); });
    service.request(1, 1, std::make_shared<const std::string>("func void one(void)\r\n"), first);
    service.request(2, 1, std::make_shared<const std::string>("func void two(void)\r\n"), second);
    service.request(3, 1, std::make_shared<const std::string>("func void three(void)\r\n"), QString());
    std::vector<bool> openScripts;
    bool unsavedAlone = false;
    service.withLevel(1, first, [&](std::shared_ptr<const Level> level) -> LanguageService::Continuation {
        std::vector<bool> open;
        for (const LevelScript& script : level->scripts())
            open.push_back(script.open);
        return [&openScripts, open] { openScripts = open; };
    });
    service.withLevel(3, QString(), [&](std::shared_ptr<const Level> level) -> LanguageService::Continuation {
        const bool alone = level->size() == 1 && level->script(0).text().find("three") != std::string_view::npos;
        return [&unsavedAlone, alone] { unsavedAlone = alone; };
    });

    waitUntil([&] { return documents.size() >= 3 && unsavedAlone; });
    EXPECT_EQ(documents, (std::vector<std::uint64_t>{1, 2, 3}));
    EXPECT_EQ(openScripts, (std::vector<bool>{true, true}));
    EXPECT_TRUE(unsavedAlone);
}

} // namespace
