#include "platform/File.h"


#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace {

struct CauseText {
    FileError::Cause cause;
    std::string_view text;
};

constexpr CauseText kCauseTexts[] = {
    {FileError::fileNotFound, "%1 was not found."},
    {FileError::badPath, "%1 contains an invalid path."},
    {FileError::accessDenied, "Access to %1 was denied."},
    {FileError::sharingViolation, "A sharing violation occurred while accessing %1."},
    {FileError::lockViolation, "A locking violation occurred while accessing %1."},
    {FileError::tooManyOpenFiles, "%1 could not be opened because there are too many open files."},
    {FileError::directoryFull, "%1 could not be created because the directory is full."},
    {FileError::diskFull, "Disk full while accessing %1."},
    {FileError::hardIO, "A hardware I/O error was reported while accessing %1."},
    {FileError::tooLarge, "%1 is too large to open: the editor holds scripts of up to 2 GB, as far as the memory allows."},
};

constexpr std::string_view kUnknownErrorText = "An unknown error occurred while accessing %1.";

struct ErrnoCause {
    int error;
    FileError::Cause cause;
};

// ENOENT is refined by LockedFile: not found when the folder exists, an invalid path when it does not.
constexpr ErrnoCause kErrnoCauses[] = {
    {ENOENT, FileError::fileNotFound},
    {ENOTDIR, FileError::badPath},
    {EISDIR, FileError::badPath},
    {ENAMETOOLONG, FileError::badPath},
    {EINVAL, FileError::badPath},
    {ELOOP, FileError::badPath},
    {ENXIO, FileError::badPath},
    {EACCES, FileError::accessDenied},
    {EPERM, FileError::accessDenied},
    {EROFS, FileError::accessDenied},
    {EWOULDBLOCK, FileError::sharingViolation},
    {ETXTBSY, FileError::sharingViolation},
    {ENOLCK, FileError::lockViolation},
    {EMFILE, FileError::tooManyOpenFiles},
    {ENFILE, FileError::tooManyOpenFiles},
    {ENOSPC, FileError::diskFull},
    {EDQUOT, FileError::diskFull},
    {EIO, FileError::hardIO},
};

FileSystemCalls* g_installedCalls = nullptr;

std::string osPathOf(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::string folderOf(const std::string& osPath)
{
    const std::size_t slash = osPath.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return osPath.substr(0, slash);
}

bool isFolder(const std::string& osPath)
{
    struct stat status {};
    return ::stat(osPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A symbolic link is replaced by writing through it, not by turning it into a plain file.
std::string resolveLinks(const std::string& osPath)
{
    char resolved[PATH_MAX];
    if (::realpath(osPath.c_str(), resolved))
        return resolved;
    return osPath;
}

void closeDescriptor(int& fd) noexcept
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

FileError::FileError(Cause cause, QString path)
    : m_cause(cause), m_path(std::move(path))
{
}

FileError::Cause FileError::causeFromErrno(int error)
{
    for (const ErrnoCause& entry : kErrnoCauses) {
        if (entry.error == error)
            return entry.cause;
    }
    return generic;
}

QString FileError::message() const
{
    std::string_view pattern = kUnknownErrorText;
    for (const CauseText& entry : kCauseTexts) {
        if (entry.cause == m_cause)
            pattern = entry.text;
    }
    return QString::fromLatin1(pattern.data(), qsizetype(pattern.size())).arg(m_path);
}

int FileSystemCalls::open(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

ssize_t FileSystemCalls::read(int fd, void* buffer, std::size_t count)
{
    return ::read(fd, buffer, count);
}

ssize_t FileSystemCalls::write(int fd, const void* buffer, std::size_t count)
{
    return ::write(fd, buffer, count);
}

int FileSystemCalls::fsync(int fd)
{
    return ::fsync(fd);
}

FileSystemCalls& FileSystemCalls::instance()
{
    static FileSystemCalls realCalls;
    return g_installedCalls ? *g_installedCalls : realCalls;
}

void FileSystemCalls::setInstance(FileSystemCalls* calls)
{
    g_installedCalls = calls;
}

LockedFile::LockedFile(const QString& path, Mode mode)
    : m_path(path), m_mode(mode)
{
    try {
        if (mode == Mode::Read)
            openForReading();
        else
            openForReplacing();
    } catch (...) {
        discard();
        throw;
    }
}

LockedFile::~LockedFile()
{
    discard();
}

std::size_t LockedFile::read(void* buffer, std::size_t count)
{
    ssize_t done;
    do {
        done = FileSystemCalls::instance().read(m_fd, buffer, count);
    } while (done < 0 && errno == EINTR);
    if (done < 0)
        raise(errno);
    return static_cast<std::size_t>(done);
}

void LockedFile::write(const void* buffer, std::size_t count)
{
    const auto* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        const ssize_t done = FileSystemCalls::instance().write(m_fd, bytes, count);
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            raise(errno);
        // A regular file that takes no bytes without saying why has no room left.
        if (done == 0)
            raise(ENOSPC);
        bytes += done;
        count -= static_cast<std::size_t>(done);
    }
}

void LockedFile::close()
{
    if (m_mode == Mode::CreateOrReplace && !m_tempOsPath.empty()) {
        int result;
        do {
            result = FileSystemCalls::instance().fsync(m_fd);
        } while (result < 0 && errno == EINTR);
        if (result < 0)
            raise(errno);
        // Some file systems report a failed write only when the file is closed.
        result = ::close(std::exchange(m_fd, -1));
        if (result < 0 && errno != EINTR)
            raise(errno);
        if (::rename(m_tempOsPath.c_str(), m_targetOsPath.c_str()) < 0)
            raise(errno);
        m_tempOsPath.clear();
        // The rename itself lasts through a power cut only once the folder is on disk; a folder
        // that cannot be flushed does not undo a save that has already taken place.
        const int folder = ::open(folderOf(m_targetOsPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    }
    discard();
}

void LockedFile::raise(int error) const
{
    throw FileError::fromErrno(error, m_path);
}

void LockedFile::raiseOpenError(int error, const std::string& osPath) const
{
    if (error == ENOENT && !isFolder(folderOf(osPath)))
        throw FileError(FileError::badPath, m_path);
    raise(error);
}

void LockedFile::requireRegularFile(int fd, struct stat& status) const
{
    if (::fstat(fd, &status) < 0)
        raise(errno);
    // A folder, a device or a pipe chosen as a script is not a path to a file.
    if (!S_ISREG(status.st_mode))
        throw FileError(FileError::badPath, m_path);
}

void LockedFile::lockExclusively(int fd) const
{
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return;
    const int error = errno;
    // A file system that cannot lock at all still lets the user work on the file.
    if (error == EOPNOTSUPP || error == EBADF || error == EINVAL)
        return;
    raise(error);
}

void LockedFile::openForReading()
{
    const std::string osPath = osPathOf(m_path);
    // Not blocking, so that a pipe chosen as a script is refused instead of hanging the window.
    m_fd = FileSystemCalls::instance().open(osPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
    if (m_fd < 0)
        raiseOpenError(errno, osPath);
    struct stat status {};
    requireRegularFile(m_fd, status);
    lockExclusively(m_fd);
}

void LockedFile::openForReplacing()
{
    m_targetOsPath = resolveLinks(osPathOf(m_path));
    // Opened for writing, never truncated: a file the user may not write is refused here, and
    // the descriptor carries the lock that keeps other programs out while the new file is made.
    m_targetFd = FileSystemCalls::instance().open(m_targetOsPath.c_str(),
                                                  O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
    if (m_targetFd < 0) {
        if (errno != ENOENT)
            raiseOpenError(errno, m_targetOsPath);
        createTemporary(nullptr);
        return;
    }
    struct stat target {};
    requireRegularFile(m_targetFd, target);
    lockExclusively(m_targetFd);
    createTemporary(&target);
}

void LockedFile::createTemporary(const struct stat* target)
{
    const std::string folder = folderOf(m_targetOsPath);
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts && m_fd < 0; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "/.quarn-save-%08x", QRandomGenerator::global()->generate());
        const std::string candidate = folder + name;
        // 0666 lets the umask decide, as it does for any new file the user creates.
        m_fd = FileSystemCalls::instance().open(candidate.c_str(),
                                                O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (m_fd >= 0)
            m_tempOsPath = candidate;
        else if (errno != EEXIST)
            raiseOpenError(errno, m_targetOsPath);
    }
    if (m_fd < 0)
        raise(EEXIST);
    if (!target)
        return;
    // Only a privileged user can give the file back to its owner; anyone else keeps it as
    // their own, which is what writing a copy of it means to them anyway.
    std::ignore = ::fchown(m_fd, target->st_uid, target->st_gid);
    if (::fchmod(m_fd, target->st_mode & 07777) < 0)
        raise(errno);
}

void LockedFile::discard() noexcept
{
    closeDescriptor(m_fd);
    if (!m_tempOsPath.empty()) {
        ::unlink(m_tempOsPath.c_str());
        m_tempOsPath.clear();
    }
    closeDescriptor(m_targetFd);
}

FileStamp fileStampOf(const QString& path)
{
    struct stat status {};
    if (::stat(osPathOf(path).c_str(), &status) != 0)
        return {};
    return {true, qint64(status.st_size), qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec,
            status.st_dev, status.st_ino};
}

std::string readUnlocked(const QString& path)
{
    const std::string osPath = osPathOf(path);
    int fd = FileSystemCalls::instance().open(osPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
    if (fd < 0)
        throw FileError::fromErrno(errno, path);
    struct Closer {
        int& fd;
        ~Closer() { closeDescriptor(fd); }
    } closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) < 0)
        throw FileError::fromErrno(errno, path);
    if (!S_ISREG(status.st_mode))
        throw FileError(FileError::badPath, path);
    if (status.st_size >= INT_MAX)
        throw FileError(FileError::tooLarge, path);
    try {
        // Sized as the file was when opened, and grown when it has grown since.
        std::string bytes(std::size_t(status.st_size) + 1, '\0');
        std::size_t size = 0;
        for (;;) {
            if (size == bytes.size()) {
                if (bytes.size() >= std::size_t(INT_MAX))
                    throw FileError(FileError::tooLarge, path);
                bytes.resize(bytes.size() * 2);
            }
            const ssize_t done = FileSystemCalls::instance().read(fd, bytes.data() + size, bytes.size() - size);
            if (done < 0 && errno == EINTR)
                continue;
            if (done < 0)
                throw FileError::fromErrno(errno, path);
            if (done == 0)
                break;
            size += std::size_t(done);
        }
        bytes.resize(size);
        return bytes;
    } catch (const std::bad_alloc&) {
        throw FileError(FileError::tooLarge, path);
    }
}
