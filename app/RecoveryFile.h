#pragma once

#include "platform/File.h"

#include <QDateTime>
#include <QString>
#include <QThreadPool>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// What a recovery file keeps of unsaved work.
struct RecoveredScript {
    QString scriptPath;  // empty for a script never saved
    QDateTime savedAt;   // UTC
    std::string text;    // as the editor holds it
    // The script's file as the work started from it, so that a change another program made
    // since is noticed; nothing when there was none, or when an older copy of the program
    // wrote the file.
    std::optional<FileStamp> diskStamp = std::nullopt;
};

// A recovery file left by a copy of the program that is no longer running.
struct LeftRecovery {
    QString file;
    std::optional<RecoveredScript> script;  // nothing when the file is damaged or unreadable
};

// Unsaved work kept where a crash cannot take it: one file for each script open in a running copy
// of the program, which holds a lock on it while it runs; the system drops the lock when the
// process ends in any way, so a file nobody holds was left by a copy that died.
class RecoveryFile {
public:
    // In `folder`, made when missing.
    explicit RecoveryFile(QString folder = defaultFolder());
    // A normal end: the file goes.
    ~RecoveryFile();
    RecoveryFile(const RecoveryFile&) = delete;
    RecoveryFile& operator=(const RecoveryFile&) = delete;

    // The user's state folder for the program.
    static QString defaultFolder();

    // Replaces the file's content, written off the calling thread and atomically: a crash while
    // writing leaves the previous copy.
    // The text is shared, not copied: the caller's thread does nothing but hand it over.
    void write(QString scriptPath, QDateTime savedAt, std::optional<FileStamp> diskStamp,
               std::shared_ptr<const std::string> text);
    // The work was saved or thrown away.
    void remove();
    // Waits for a write under way.
    void flush();

    const QString& path() const { return m_path; }

    // The files of copies no longer running, oldest first. The locks of those that left nothing
    // go on the way.
    static std::vector<LeftRecovery> leftBehind(const QString& folder = defaultFolder());
    // Deletes one, after its work was recovered or thrown away.
    static void discard(const QString& file);
    // Moves a damaged one out of the way, so that it is reported only once.
    static void setAside(const QString& file);

    // The file's bytes for a script, and the script back from them; files of the earlier format,
    // which kept no stamp of the script's file, are read too.
    static std::string encode(const RecoveredScript& script);
    static std::optional<RecoveredScript> decode(std::string_view bytes);

private:
    QString m_folder;
    QString m_path;
    int m_lockFd = -1;
    QThreadPool m_writer;
};
