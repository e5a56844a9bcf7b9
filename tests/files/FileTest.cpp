#include "FileFaults.h"

#include "platform/File.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Cause = FileError::Cause;

struct ErrnoCase {
    int error;
    Cause cause;
};

class ErrnoMapping : public ::testing::TestWithParam<ErrnoCase> {};

TEST_P(ErrnoMapping, GivesTheCauseTheUserIsTold)
{
    EXPECT_EQ(FileError::causeFromErrno(GetParam().error), GetParam().cause);
}

INSTANTIATE_TEST_SUITE_P(
    OperatingSystemErrors, ErrnoMapping,
    ::testing::Values(ErrnoCase{ENOENT, Cause::fileNotFound}, ErrnoCase{ENOTDIR, Cause::badPath},
                      ErrnoCase{EISDIR, Cause::badPath}, ErrnoCase{ENAMETOOLONG, Cause::badPath},
                      ErrnoCase{EINVAL, Cause::badPath}, ErrnoCase{ELOOP, Cause::badPath},
                      ErrnoCase{ENXIO, Cause::badPath},
                      ErrnoCase{EACCES, Cause::accessDenied}, ErrnoCase{EPERM, Cause::accessDenied},
                      ErrnoCase{EROFS, Cause::accessDenied}, ErrnoCase{EWOULDBLOCK, Cause::sharingViolation},
                      ErrnoCase{ETXTBSY, Cause::sharingViolation}, ErrnoCase{ENOLCK, Cause::lockViolation},
                      ErrnoCase{EMFILE, Cause::tooManyOpenFiles}, ErrnoCase{ENFILE, Cause::tooManyOpenFiles},
                      ErrnoCase{ENOSPC, Cause::diskFull}, ErrnoCase{EDQUOT, Cause::diskFull},
                      ErrnoCase{EIO, Cause::hardIO}, ErrnoCase{EFAULT, Cause::generic},
                      ErrnoCase{EBUSY, Cause::generic}, ErrnoCase{0, Cause::generic}));

struct MessageCase {
    Cause cause;
    const char* text;
};

class ErrorMessage : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ErrorMessage, NamesTheFullPath)
{
    const FileError error(GetParam().cause, QStringLiteral("/home/modder/Scripts/level01.bsl"));
    EXPECT_EQ(error.message(), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    EveryCause, ErrorMessage,
    ::testing::Values(
        MessageCase{Cause::fileNotFound, "/home/modder/Scripts/level01.bsl was not found."},
        MessageCase{Cause::badPath, "/home/modder/Scripts/level01.bsl contains an invalid path."},
        MessageCase{Cause::accessDenied, "Access to /home/modder/Scripts/level01.bsl was denied."},
        MessageCase{Cause::sharingViolation,
                    "A sharing violation occurred while accessing /home/modder/Scripts/level01.bsl."},
        MessageCase{Cause::lockViolation,
                    "A locking violation occurred while accessing /home/modder/Scripts/level01.bsl."},
        MessageCase{Cause::tooManyOpenFiles, "/home/modder/Scripts/level01.bsl could not be opened because "
                                             "there are too many open files."},
        MessageCase{Cause::directoryFull,
                    "/home/modder/Scripts/level01.bsl could not be created because the directory is full."},
        MessageCase{Cause::diskFull, "Disk full while accessing /home/modder/Scripts/level01.bsl."},
        MessageCase{Cause::hardIO,
                    "A hardware I/O error was reported while accessing /home/modder/Scripts/level01.bsl."},
        MessageCase{Cause::generic,
                    "An unknown error occurred while accessing /home/modder/Scripts/level01.bsl."},
        MessageCase{Cause::tooLarge, "/home/modder/Scripts/level01.bsl is too large to open: the editor holds "
                                     "scripts of up to 2 GB, as far as the memory allows."}));

TEST(ErrorMessageText, AnErrorNumberGivesItsCauseAndKeepsThePath)
{
    const FileError error = FileError::fromErrno(ENOSPC, QStringLiteral("/tmp/level01.bsl"));
    EXPECT_EQ(error.cause(), Cause::diskFull);
    EXPECT_EQ(error.path(), QStringLiteral("/tmp/level01.bsl"));
    EXPECT_EQ(error.message(), QStringLiteral("Disk full while accessing /tmp/level01.bsl."));
}

TEST(ErrorMessageText, ShowsThePathAsItIsWhateverItsCharacters)
{
    for (const QString& path : {QStringLiteral("/tmp/caf\u00e9 \u20ac.bsl"),
                               QStringLiteral("/home/\u041c\u043e\u0434/\u03a3\u03b5\u03bd\u03ac\u03c1\u03b9\u03bf.bsl"),
                               QStringLiteral("/tmp/\U0001F600 100%1 %2.bsl")}) {
        const FileError error(Cause::fileNotFound, path);
        EXPECT_EQ(error.message(), path + QStringLiteral(" was not found."));
    }
}

// Runs `body` and returns the cause it raised; nothing when it raised nothing.
template <typename Body>
std::optional<Cause> causeRaisedBy(Body body)
{
    try {
        body();
    } catch (const FileError& error) {
        return error.cause();
    }
    return std::nullopt;
}

QByteArray readWhole(const QString& path)
{
    LockedFile file(path, LockedFile::Mode::Read);
    QByteArray bytes;
    char block[4096];
    while (const std::size_t count = file.read(block, sizeof block))
        bytes.append(block, static_cast<qsizetype>(count));
    file.close();
    return bytes;
}

void writeWhole(const QString& path, const QByteArray& bytes)
{
    LockedFile file(path, LockedFile::Mode::CreateOrReplace);
    file.write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    file.close();
}

QByteArray everyByteValue()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(static_cast<char>(value));
    return bytes;
}

// Holds an exclusive lock on a file through an open file description of its own, as another
// program would.
class OtherProgramLock {
public:
    explicit OtherProgramLock(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC))
    {
        m_locked = m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
    }
    ~OtherProgramLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isLocked() const { return m_locked; }

private:
    int m_fd;
    bool m_locked = false;
};

bool lockIsFree(const QString& path)
{
    const OtherProgramLock probe(path);
    return probe.isLocked();
}

// Files in the folder other than the ones the test made; a save must leave none behind.
QStringList leftovers(const QTemporaryDir& dir, const QStringList& expected)
{
    QStringList names = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : expected)
        names.removeAll(name);
    return names;
}

class FileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

TEST_F(FileTest, ReadsEveryByteValueUnchanged)
{
    ASSERT_TRUE(writeFileBytes(path("all.bsl"), everyByteValue()));
    EXPECT_EQ(readWhole(path("all.bsl")), everyByteValue());
}

TEST_F(FileTest, ReadsAnEmptyFileAsNothing)
{
    ASSERT_TRUE(writeFileBytes(path("empty.bsl"), {}));
    EXPECT_TRUE(readWhole(path("empty.bsl")).isEmpty());
}

TEST_F(FileTest, ReadsALargeFileWhole)
{
    QByteArray bytes(64 * 1024 * 1024, 'x');
    bytes[bytes.size() - 1] = 'y';
    ASSERT_TRUE(writeFileBytes(path("large.bsl"), bytes));
    EXPECT_EQ(readWhole(path("large.bsl")), bytes);
}

TEST_F(FileTest, ReadingHoldsTheFileExclusivelyUntilClosed)
{
    ASSERT_TRUE(writeFileBytes(path("level01.bsl"), "func main() {}"));
    LockedFile file(path("level01.bsl"), LockedFile::Mode::Read);
    EXPECT_EQ(file.path(), path("level01.bsl"));
    EXPECT_FALSE(lockIsFree(path("level01.bsl")));
    file.close();
    EXPECT_TRUE(lockIsFree(path("level01.bsl")));
}

TEST_F(FileTest, ReadingAMissingFileInAnExistingFolderIsNotFound)
{
    EXPECT_EQ(causeRaisedBy([&] { LockedFile(path("typed.bsl"), LockedFile::Mode::Read); }), Cause::fileNotFound);
}

TEST_F(FileTest, ReadingFromAMissingFolderIsAnInvalidPath)
{
    EXPECT_EQ(causeRaisedBy([&] { LockedFile(path("nowhere/level01.bsl"), LockedFile::Mode::Read); }), Cause::badPath);
}

TEST_F(FileTest, ReadingAFolderIsAnInvalidPath)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.bsl"));
    EXPECT_EQ(causeRaisedBy([&] { LockedFile(path("folder.bsl"), LockedFile::Mode::Read); }), Cause::badPath);
}

TEST_F(FileTest, ReadingAPipeIsRefusedWithoutWaitingForAWriter)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.bsl")).constData(), 0600), 0);
    EXPECT_EQ(causeRaisedBy([&] { LockedFile(path("pipe.bsl"), LockedFile::Mode::Read); }), Cause::badPath);
}

TEST_F(FileTest, ReadingAFileWithoutReadPermissionIsDenied)
{
    if (runningAsRoot())
        GTEST_SKIP() << "permission bits do not stop root";
    ASSERT_TRUE(writeFileBytes(path("secret.bsl"), "x"));
    ASSERT_EQ(::chmod(QFile::encodeName(path("secret.bsl")).constData(), 0200), 0);
    EXPECT_EQ(causeRaisedBy([&] { LockedFile(path("secret.bsl"), LockedFile::Mode::Read); }), Cause::accessDenied);
}

TEST_F(FileTest, ReadingReportsTheCauseTheSystemGives)
{
    ASSERT_TRUE(writeFileBytes(path("secret.bsl"), "x"));
    FaultyFileSystemCalls calls;
    for (const ErrnoCase& fault : {ErrnoCase{EACCES, Cause::accessDenied}, ErrnoCase{EMFILE, Cause::tooManyOpenFiles},
                                   ErrnoCase{EIO, Cause::hardIO}}) {
        calls.failOpen(path("secret.bsl"), fault.error);
        EXPECT_EQ(causeRaisedBy([&] { LockedFile(path("secret.bsl"), LockedFile::Mode::Read); }), fault.cause);
    }
}

TEST_F(FileTest, ReadingAFileAnotherProgramHoldsIsASharingViolation)
{
    ASSERT_TRUE(writeFileBytes(path("level01.bsl"), "x"));
    const OtherProgramLock other(path("level01.bsl"));
    ASSERT_TRUE(other.isLocked());
    try {
        LockedFile file(path("level01.bsl"), LockedFile::Mode::Read);
        FAIL() << "the locked file was opened";
    } catch (const FileError& error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("A sharing violation occurred while accessing ") + path("level01.bsl") + ".");
        EXPECT_EQ(error.path(), path("level01.bsl"));
    }
}

TEST_F(FileTest, AReadErrorPartWayIsReportedAndFreesTheFile)
{
    ASSERT_TRUE(writeFileBytes(path("level01.bsl"), QByteArray(10000, 'a')));
    {
        FaultyFileSystemCalls calls;
        calls.failReadsAfter(5000, EIO);
        EXPECT_EQ(causeRaisedBy([&] { readWhole(path("level01.bsl")); }), Cause::hardIO);
    }
    EXPECT_TRUE(lockIsFree(path("level01.bsl")));
}

TEST_F(FileTest, WritesANewFileWithTheUsualPermissions)
{
    const mode_t mask = ::umask(022);
    writeWhole(path("new.bsl"), everyByteValue());
    ::umask(mask);
    EXPECT_EQ(readFileBytes(path("new.bsl")), everyByteValue());
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path("new.bsl")).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0644u);
    EXPECT_TRUE(leftovers(m_dir, {"new.bsl"}).isEmpty());
}

TEST_F(FileTest, ReplacingKeepsTheTargetsPermissions)
{
    ASSERT_TRUE(writeFileBytes(path("level01.bsl"), "old text that is longer than the new"));
    ASSERT_EQ(::chmod(QFile::encodeName(path("level01.bsl")).constData(), 0640), 0);
    writeWhole(path("level01.bsl"), "new");
    EXPECT_EQ(readFileBytes(path("level01.bsl")), "new");
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path("level01.bsl")).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_TRUE(leftovers(m_dir, {"level01.bsl"}).isEmpty());
}

TEST_F(FileTest, ReplacingWithNothingLeavesAnEmptyFile)
{
    ASSERT_TRUE(writeFileBytes(path("level01.bsl"), "old"));
    writeWhole(path("level01.bsl"), {});
    EXPECT_TRUE(QFileInfo::exists(path("level01.bsl")));
    EXPECT_TRUE(readFileBytes(path("level01.bsl")).isEmpty());
}

TEST_F(FileTest, ReplacingThroughASymbolicLinkKeepsTheLink)
{
    ASSERT_TRUE(writeFileBytes(path("real.bsl"), "old"));
    ASSERT_TRUE(QFile::link(path("real.bsl"), path("link.bsl")));
    writeWhole(path("link.bsl"), "new");
    EXPECT_TRUE(QFileInfo(path("link.bsl")).isSymLink());
    EXPECT_EQ(readFileBytes(path("real.bsl")), "new");
}

TEST_F(FileTest, TheTargetIsHeldExclusivelyWhileItIsReplaced)
{
    ASSERT_TRUE(writeFileBytes(path("level01.bsl"), "old"));
    LockedFile file(path("level01.bsl"), LockedFile::Mode::CreateOrReplace);
    EXPECT_FALSE(lockIsFree(path("level01.bsl")));
    file.close();
    EXPECT_TRUE(lockIsFree(path("level01.bsl")));
}

TEST_F(FileTest, ATargetAnotherProgramHoldsIsASharingViolationAndStaysAsItWas)
{
    ASSERT_TRUE(writeFileBytes(path("level01.bsl"), "old"));
    const OtherProgramLock other(path("level01.bsl"));
    ASSERT_TRUE(other.isLocked());
    EXPECT_EQ(causeRaisedBy([&] { writeWhole(path("level01.bsl"), "new"); }), Cause::sharingViolation);
    EXPECT_EQ(readFileBytes(path("level01.bsl")), "old");
    EXPECT_TRUE(leftovers(m_dir, {"level01.bsl"}).isEmpty());
}

TEST_F(FileTest, AReadOnlyTargetIsDenied)
{
    if (runningAsRoot())
        GTEST_SKIP() << "permission bits do not stop root";
    ASSERT_TRUE(writeFileBytes(path("level01.bsl"), "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(path("level01.bsl")).constData(), 0444), 0);
    EXPECT_EQ(causeRaisedBy([&] { writeWhole(path("level01.bsl"), "new"); }), Cause::accessDenied);
    EXPECT_EQ(readFileBytes(path("level01.bsl")), "old");
}

TEST_F(FileTest, ATargetTheSystemRefusesToOpenIsReportedWithItsCause)
{
    ASSERT_TRUE(writeFileBytes(path("level01.bsl"), "old"));
    FaultyFileSystemCalls calls;
    for (const ErrnoCase& fault : {ErrnoCase{EACCES, Cause::accessDenied}, ErrnoCase{EROFS, Cause::accessDenied},
                                   ErrnoCase{ETXTBSY, Cause::sharingViolation}}) {
        calls.failOpen(path("level01.bsl"), fault.error);
        EXPECT_EQ(causeRaisedBy([&] { writeWhole(path("level01.bsl"), "new"); }), fault.cause);
        EXPECT_EQ(readFileBytes(path("level01.bsl")), "old");
    }
    EXPECT_TRUE(leftovers(m_dir, {"level01.bsl"}).isEmpty());
}

TEST_F(FileTest, AFileOnAReadOnlyFileSystemIsDenied)
{
    TinyFileSystem tiny;
    if (!tiny.isMounted())
        GTEST_SKIP() << "no file system can be mounted here";
    ASSERT_TRUE(writeFileBytes(tiny.filePath("level01.bsl"), "old"));
    ASSERT_TRUE(tiny.makeReadOnly());
    EXPECT_EQ(causeRaisedBy([&] { writeWhole(tiny.filePath("level01.bsl"), "new"); }), Cause::accessDenied);
    EXPECT_EQ(causeRaisedBy([&] { writeWhole(tiny.filePath("other.bsl"), "new"); }), Cause::accessDenied);
    EXPECT_EQ(readFileBytes(tiny.filePath("level01.bsl")), "old");
}

TEST_F(FileTest, SavingIntoAMissingFolderIsAnInvalidPath)
{
    EXPECT_EQ(causeRaisedBy([&] { writeWhole(path("nowhere/level01.bsl"), "new"); }), Cause::badPath);
}

TEST_F(FileTest, SavingOntoAFolderIsAnInvalidPath)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.bsl"));
    EXPECT_EQ(causeRaisedBy([&] { writeWhole(path("folder.bsl"), "new"); }), Cause::badPath);
    EXPECT_TRUE(QFileInfo(path("folder.bsl")).isDir());
    EXPECT_TRUE(leftovers(m_dir, {"folder.bsl"}).isEmpty());
}

TEST_F(FileTest, ADiskFullHalfWayLeavesTheOldFileIntact)
{
    ASSERT_TRUE(writeFileBytes(path("level01.bsl"), "the user's only copy"));
    {
        FaultyFileSystemCalls calls;
        calls.failWritesAfter(50000, ENOSPC);
        EXPECT_EQ(causeRaisedBy([&] { writeWhole(path("level01.bsl"), QByteArray(100000, 'n')); }),
                  Cause::diskFull);
    }
    EXPECT_EQ(readFileBytes(path("level01.bsl")), "the user's only copy");
    EXPECT_TRUE(leftovers(m_dir, {"level01.bsl"}).isEmpty());
    EXPECT_TRUE(lockIsFree(path("level01.bsl")));
}

TEST_F(FileTest, AFailedFlushToDiskLeavesTheOldFileIntact)
{
    ASSERT_TRUE(writeFileBytes(path("level01.bsl"), "old"));
    {
        FaultyFileSystemCalls calls;
        calls.failFsync(EIO);
        EXPECT_EQ(causeRaisedBy([&] { writeWhole(path("level01.bsl"), "new"); }), Cause::hardIO);
    }
    EXPECT_EQ(readFileBytes(path("level01.bsl")), "old");
    EXPECT_TRUE(leftovers(m_dir, {"level01.bsl"}).isEmpty());
}

TEST_F(FileTest, AWriteAbandonedBeforeCloseLeavesTheOldFileIntact)
{
    ASSERT_TRUE(writeFileBytes(path("level01.bsl"), "old"));
    {
        LockedFile file(path("level01.bsl"), LockedFile::Mode::CreateOrReplace);
        file.write("new", 3);
    }
    EXPECT_EQ(readFileBytes(path("level01.bsl")), "old");
    EXPECT_TRUE(leftovers(m_dir, {"level01.bsl"}).isEmpty());
}

TEST_F(FileTest, ARealFullDiskLeavesTheOldFileIntact)
{
    TinyFileSystem tiny;
    if (!tiny.isMounted())
        GTEST_SKIP() << "no file system can be mounted here";
    const QByteArray old(8 * 1024, 'o');
    ASSERT_TRUE(writeFileBytes(tiny.filePath("level01.bsl"), old));
    EXPECT_EQ(causeRaisedBy([&] { writeWhole(tiny.filePath("level01.bsl"), QByteArray(256 * 1024, 'n')); }),
              Cause::diskFull);
    EXPECT_EQ(readFileBytes(tiny.filePath("level01.bsl")), old);
    EXPECT_EQ(QDir(QFileInfo(tiny.filePath("level01.bsl")).path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"level01.bsl"});
}

} // namespace
