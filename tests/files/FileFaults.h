#pragma once

#include "platform/File.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

// Stands in for the system calls of LockedFile while it lives and fails them the way a broken disk,
// a full disk or a file the user may not read would, even when the tests run as root.
class FaultyFileSystemCalls : public FileSystemCalls {
public:
    FaultyFileSystemCalls() { FileSystemCalls::setInstance(this); }
    ~FaultyFileSystemCalls() override { FileSystemCalls::setInstance(nullptr); }
    FaultyFileSystemCalls(const FaultyFileSystemCalls&) = delete;
    FaultyFileSystemCalls& operator=(const FaultyFileSystemCalls&) = delete;

    // Opening exactly this path fails with `error`.
    void failOpen(const QString& path, int error)
    {
        m_failingOpenPath = QFile::encodeName(path).toStdString();
        m_openError = error;
    }
    // Writes take `bytes` in all, then fail with `error`.
    void failWritesAfter(std::size_t bytes, int error)
    {
        m_writeRoom = bytes;
        m_writeError = error;
    }
    // Reads deliver `bytes` in all, then fail with `error`.
    void failReadsAfter(std::size_t bytes, int error)
    {
        m_readRoom = bytes;
        m_readError = error;
    }
    void failFsync(int error) { m_fsyncError = error; }

    int open(const char* path, int flags, mode_t mode) override
    {
        if (m_openError != 0 && m_failingOpenPath == path)
            return fail(m_openError);
        return FileSystemCalls::open(path, flags, mode);
    }

    ssize_t read(int fd, void* buffer, std::size_t count) override
    {
        if (m_readRoom == 0 && m_readError != 0)
            return fail(m_readError);
        const ssize_t done = FileSystemCalls::read(fd, buffer, std::min(count, m_readRoom));
        if (done > 0 && m_readError != 0)
            m_readRoom -= static_cast<std::size_t>(done);
        return done;
    }

    ssize_t write(int fd, const void* buffer, std::size_t count) override
    {
        if (m_writeRoom == 0 && m_writeError != 0)
            return fail(m_writeError);
        const ssize_t done = FileSystemCalls::write(fd, buffer, std::min(count, m_writeRoom));
        if (done > 0 && m_writeError != 0)
            m_writeRoom -= static_cast<std::size_t>(done);
        return done;
    }

    int fsync(int fd) override
    {
        if (m_fsyncError != 0)
            return fail(m_fsyncError);
        return FileSystemCalls::fsync(fd);
    }

private:
    static int fail(int error)
    {
        errno = error;
        return -1;
    }

    static constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();

    std::string m_failingOpenPath;
    int m_openError = 0;
    std::size_t m_writeRoom = kUnlimited;
    int m_writeError = 0;
    std::size_t m_readRoom = kUnlimited;
    int m_readError = 0;
    int m_fsyncError = 0;
};

// A real file system of a few kilobytes, mounted for the lifetime of the object. Mounting needs
// root and a kernel that allows it; isMounted() tells whether the test can use it.
class TinyFileSystem {
public:
    explicit TinyFileSystem(const char* options = "size=64k")
    {
        m_mounted = m_dir.isValid()
                    && ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options) == 0;
    }
    ~TinyFileSystem()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    TinyFileSystem(const TinyFileSystem&) = delete;
    TinyFileSystem& operator=(const TinyFileSystem&) = delete;

    bool isMounted() const { return m_mounted; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    // From here on nothing on it can be changed.
    bool makeReadOnly()
    {
        return ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs",
                       MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

inline bool runningAsRoot()
{
    return ::geteuid() == 0;
}

inline QByteArray readFileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
