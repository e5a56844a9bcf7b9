#pragma once

#include "platform/Exception.h"

#include <QString>

#include <cstddef>
#include <string>
#include <sys/types.h>

// A file that could not be opened, created, read or written. The report names the file and the
// cause in the words the user sees.
class CFileException : public CException {
public:
    enum Cause {
        none,  // no error; the value a stream callback returns when the transfer may go on
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        directoryFull,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
    };

    CFileException(Cause cause, QString path);

    // The cause an operating-system error number stands for; anything unknown is generic.
    static Cause CauseFromErrno(int error);
    static CFileException FromErrno(int error, QString path) { return {CauseFromErrno(error), std::move(path)}; }

    Cause GetCause() const { return m_cause; }
    const QString& GetFilePath() const { return m_path; }

    // The report's text with the full path in place of %1, in 8-bit text.
    std::string GetErrorMessage() const override;

private:
    Cause m_cause;
    QString m_path;
};

// The system calls through which CFile opens files and moves their bytes. Tests install a
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
// CFileException naming the path; the destructor never throws and always lets the file go.
//
// Writing never touches the existing file until every byte is safely on disk: the bytes go to a
// temporary file in the same folder, which Close() flushes and renames over the target. A file
// whose writing fails or is abandoned leaves the target exactly as it was.
class CFile {
public:
    enum class Mode {
        Read,             // the file must exist
        CreateOrReplace,  // the file need not exist; its permissions are kept when it does
    };

    CFile(const QString& path, Mode mode);
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Up to `count` bytes; 0 at the end of the file.
    std::size_t Read(void* buffer, std::size_t count);

    // All `count` bytes, or an error.
    void Write(const void* buffer, std::size_t count);

    // Ends the work on the file. A file being written is flushed to disk and put in place of the
    // target; an error here leaves the target as it was.
    void Close();

    const QString& GetFilePath() const { return m_path; }

private:
    [[noreturn]] void Raise(int error) const;
    // An open that failed: a missing file in an existing folder is not found, anything missing
    // on the way to it makes the path invalid.
    [[noreturn]] void RaiseOpenError(int error, const std::string& osPath) const;
    void RequireRegularFile(int fd, struct stat& status) const;
    void LockExclusively(int fd) const;
    void OpenForReading();
    void OpenForReplacing();
    void CreateTemporary(const struct stat* target);
    void Discard() noexcept;

    QString m_path;
    Mode m_mode;
    int m_fd = -1;                // the file read, or the temporary file written
    int m_targetFd = -1;          // the existing target while it is replaced, locked
    std::string m_targetOsPath;   // the target with symbolic links resolved
    std::string m_tempOsPath;     // empty once the temporary file is in place or gone
};
