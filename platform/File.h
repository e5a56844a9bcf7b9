#pragma once

#include <QString>

#include <cstddef>
#include <exception>
#include <string>
#include <sys/types.h>

// A file that could not be opened, created, read or written. The report names the file and the
// cause in the words the user sees.
class FileError : public std::exception {
public:
    enum Cause {
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        directoryFull,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        tooLarge,  // more than the editor can address or the memory can hold
    };

    FileError(Cause cause, QString path);

    // The cause an operating-system error number stands for; anything unknown is generic.
    static Cause causeFromErrno(int error);
    static FileError fromErrno(int error, QString path) { return {causeFromErrno(error), std::move(path)}; }

    Cause cause() const { return m_cause; }
    const QString& path() const { return m_path; }

    // The report's text with the full path in place of %1.
    QString message() const;

    const char* what() const noexcept override { return "file error"; }

private:
    Cause m_cause;
    QString m_path;
};

// The system calls through which LockedFile opens files and moves their bytes. Tests install a
// replacement that fails on purpose, the way a full disk, a failing disk or a file the user may
// not read would. Each call returns what the system call returns and sets errno the same way.
class FileSystemCalls {
public:
    virtual ~FileSystemCalls() = default;

    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t read(int fd, void* buffer, std::size_t count);
    virtual ssize_t write(int fd, const void* buffer, std::size_t count);
    virtual int fsync(int fd);

    static FileSystemCalls& instance();
    static void setInstance(FileSystemCalls* calls);  // nullptr restores the real calls
};

// A script file held exclusively while it is read or written. Every failure throws
// FileError naming the path; the destructor never throws and always lets the file go.
//
// Writing never touches the existing file until every byte is safely on disk: the bytes go to a
// temporary file in the same folder, which close() flushes and renames over the target. A file
// whose writing fails or is abandoned leaves the target exactly as it was.
class LockedFile {
public:
    enum class Mode {
        Read,             // the file must exist
        CreateOrReplace,  // the file need not exist; its permissions are kept when it does
    };

    LockedFile(const QString& path, Mode mode);
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Up to `count` bytes; 0 at the end of the file.
    std::size_t read(void* buffer, std::size_t count);

    // All `count` bytes, or an error.
    void write(const void* buffer, std::size_t count);

    // Ends the work on the file. A file being written is flushed to disk and put in place of the
    // target; an error here leaves the target as it was.
    void close();

    const QString& path() const { return m_path; }

private:
    [[noreturn]] void raise(int error) const;
    // An open that failed: a missing file in an existing folder is not found, anything missing
    // on the way to it makes the path invalid.
    [[noreturn]] void raiseOpenError(int error, const std::string& osPath) const;
    void requireRegularFile(int fd, struct stat& status) const;
    void lockExclusively(int fd) const;
    void openForReading();
    void openForReplacing();
    void createTemporary(const struct stat* target);
    void discard() noexcept;

    QString m_path;
    Mode m_mode;
    int m_fd = -1;                // the file read, or the temporary file written
    int m_targetFd = -1;          // the existing target while it is replaced, locked
    std::string m_targetOsPath;   // the target with symbolic links resolved
    std::string m_tempOsPath;     // empty once the temporary file is in place or gone
};

// Tells whether a file changed on disk without reading it: which file the path leads to, and the
// length and time of its last write.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    dev_t device = 0;
    ino_t inode = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

FileStamp fileStampOf(const QString& path);

// The whole of a file that is only looked at, such as the other scripts of a level: read without
// a lock, since holding one would make the window's save of that very file fail meanwhile. A
// folder, pipe or device is refused rather than waited on, and so is a file larger than the
// editor addresses (2 GB). Throws FileError naming the path.
std::string readUnlocked(const QString& path);
