#include "app/RecoveryFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

RecoveredScript Sample()
{
    return {QStringLiteral("/home/modder/levels/\u0421\u0446\u0435\u043d\u0430 1/level01.bsl"),
            QDateTime(QDate(2026, 12, 8), QTime(13, 45, 12, 250), Qt::UTC), "func void main(void)\r\n{\0\xE2\x82\xAC}\r\n"s};
}

void ExpectSame(const RecoveredScript& found, const RecoveredScript& expected)
{
    EXPECT_EQ(found.scriptPath, expected.scriptPath);
    EXPECT_EQ(found.savedAt, expected.savedAt);
    EXPECT_EQ(found.text, expected.text);
}

TEST(RecoveryFileFormat, KeepsPathTimeAndEveryByte)
{
    const auto decoded = RecoveryFile::decode(RecoveryFile::encode(Sample()));
    ASSERT_TRUE(decoded);
    ExpectSame(*decoded, Sample());

    const RecoveredScript unnamed{QString(), Sample().savedAt, ""};
    const auto decodedUnnamed = RecoveryFile::decode(RecoveryFile::encode(unnamed));
    ASSERT_TRUE(decodedUnnamed);
    ExpectSame(*decodedUnnamed, unnamed);

    // A line break in a file name must not end the field.
    const RecoveredScript oddName{QStringLiteral("/tmp/a\nb.bsl"), Sample().savedAt, "x"};
    ASSERT_TRUE(RecoveryFile::decode(RecoveryFile::encode(oddName)));
    EXPECT_EQ(RecoveryFile::decode(RecoveryFile::encode(oddName))->scriptPath, oddName.scriptPath);
}

TEST(RecoveryFileFormat, KeepsTheStampOfTheScriptsFileAndReadsTheEarlierFormat)
{
    RecoveredScript stamped = Sample();
    stamped.diskStamp = FileStamp{true, 1234, 1767225600123456789, 2049, 9876543};
    const auto decoded = RecoveryFile::decode(RecoveryFile::encode(stamped));
    ASSERT_TRUE(decoded);
    ExpectSame(*decoded, stamped);
    EXPECT_EQ(decoded->diskStamp, stamped.diskStamp);
    EXPECT_FALSE(RecoveryFile::decode(RecoveryFile::encode(Sample()))->diskStamp);

    const auto earlier = RecoveryFile::decode("QUARN-XP recovery 1\npath %2Ftmp%2Fa.bsl\nsaved 2026-12-08T13:45:12.250Z\n"
                                              "bytes 7\n\nsleep 1");
    ASSERT_TRUE(earlier);
    EXPECT_EQ(earlier->scriptPath, QStringLiteral("/tmp/a.bsl"));
    EXPECT_EQ(earlier->text, "sleep 1");
    EXPECT_FALSE(earlier->diskStamp);

    std::string damaged = RecoveryFile::encode(stamped);
    damaged.replace(damaged.find("disk ") + 5, 4, "-234");
    EXPECT_FALSE(RecoveryFile::decode(damaged));
}

TEST(RecoveryFileFormat, RefusesWhatIsDamaged)
{
    const std::string good = RecoveryFile::encode(Sample());
    EXPECT_FALSE(RecoveryFile::decode(""));
    EXPECT_FALSE(RecoveryFile::decode("\x7F" "ELF binary"));
    EXPECT_FALSE(RecoveryFile::decode(good.substr(0, good.size() - 1))) << "cut short";
    EXPECT_FALSE(RecoveryFile::decode(good + "x")) << "longer than it says";
    const auto withByte = [&](std::string_view field, char byte) {
        std::string damaged = good;
        damaged.at(damaged.find(field) + field.size()) = byte;
        return damaged;
    };
    EXPECT_FALSE(RecoveryFile::decode(withByte("saved ", 'x')));
    EXPECT_FALSE(RecoveryFile::decode(withByte("bytes ", '-')));
    for (std::size_t cut = 0; cut < good.find("\n\n") + 2; ++cut)
        EXPECT_FALSE(RecoveryFile::decode(good.substr(0, cut))) << cut;
}

class RecoveryFolder : public ::testing::Test {
protected:
    QString folder() const { return m_dir.path(); }

    QTemporaryDir m_dir;
};

void Write(RecoveryFile& recovery, const RecoveredScript& script)
{
    recovery.write(script.scriptPath, script.savedAt, script.diskStamp, std::make_shared<const std::string>(script.text));
}

TEST_F(RecoveryFolder, AWrittenCopyIsKeptUntilRemovedAndGoesAtANormalEnd)
{
    QString path;
    {
        RecoveryFile recovery(folder());
        path = recovery.path();
        Write(recovery, Sample());
        recovery.flush();
        ASSERT_TRUE(QFile::exists(path));
        recovery.remove();
        EXPECT_FALSE(QFile::exists(path));
        Write(recovery, Sample());
        recovery.flush();
        EXPECT_TRUE(QFile::exists(path));
    }
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(RecoveryFile::leftBehind(folder()).empty());
}

TEST_F(RecoveryFolder, ARunningCopysFileIsNotLeftBehind)
{
    RecoveryFile running(folder());
    Write(running, Sample());
    running.flush();
    EXPECT_TRUE(RecoveryFile::leftBehind(folder()).empty());
}

TEST_F(RecoveryFolder, AFileWhoseWriterIsGoneIsFoundAndCanBeDiscarded)
{
    const QString left = QDir(folder()).filePath(QStringLiteral("gone.recovery"));
    QFile file(left);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const std::string bytes = RecoveryFile::encode(Sample());
    file.write(bytes.data(), qint64(bytes.size()));
    file.close();

    const std::vector<LeftRecovery> found = RecoveryFile::leftBehind(folder());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].file, left);
    ASSERT_TRUE(found[0].script);
    ExpectSame(*found[0].script, Sample());

    RecoveryFile::discard(left);
    EXPECT_TRUE(RecoveryFile::leftBehind(folder()).empty());
}

TEST_F(RecoveryFolder, ADamagedFileIsFoundOnceAndThenSetAside)
{
    const QString left = QDir(folder()).filePath(QStringLiteral("damaged.recovery"));
    QFile file(left);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("QUARN-XP recovery 1\ngarbage");
    file.close();

    const std::vector<LeftRecovery> found = RecoveryFile::leftBehind(folder());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_FALSE(found[0].script);
    RecoveryFile::setAside(left);
    EXPECT_TRUE(RecoveryFile::leftBehind(folder()).empty());
    EXPECT_TRUE(QFile::exists(left + QStringLiteral(".damaged")));
}

} // namespace
