#pragma once

#include "language/DeclaredNames.h"
#include "language/Level.h"
#include "language/LevelWorkspace.h"
#include "language/ScriptChecker.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// What one revision of a script reads as, with the level it belongs to.
struct ScriptReading {

    // Null only without the memory for a reading.
    std::shared_ptr<const ScriptAnalysis> analysis;
    // In text order.
    std::shared_ptr<const std::vector<Finding>> findings;
    // What the other scripts of the folder declare, as the level below holds them: the same object
    // from one reading to the next while they stay the same.
    std::shared_ptr<const DeclaredNames> siblings;
    // The script's level as this reading saw it, the script among its scripts with the analysis
    // and findings above: the other scripts as open documents or the files on disk hold them.
    // Null only without the memory for a reading.
    std::shared_ptr<const Level> level;
};

// Reads and checks a script on a worker thread from a snapshot of its text, as one script of its
// level (LevelWorkspace), so that the window's thread never waits for either. Each request names
// the revision of the text it holds; the text stands in for the script's file until the document
// is closed. Only the newest request is delivered: one that a newer one overtook before it started
// is dropped unread, and one overtaken while it ran is dropped read, since the folder may have
// changed between the two even when the text did not.
class LanguageService : public QObject {
    Q_OBJECT

public:
    explicit LanguageService(QObject* parent = nullptr);
    // Waits for a reading still running: it delivers to this object.
    ~LanguageService() override;

    // `scriptPath` is empty for a script that has no file yet: it has no folder to read.
    void request(std::uint64_t revision, std::shared_ptr<const std::string> text, QString scriptPath);
    // The script at `scriptPath` is no longer held as a document (closed, or saved under another
    // name): its level reads its file again.
    void closeDocument(QString scriptPath);

    // Lets go of a reading on the worker: a large one takes long to free.
    void release(std::shared_ptr<const ScriptAnalysis> analysis, std::shared_ptr<const std::vector<Finding>> findings = {},
                 std::shared_ptr<const Level> level = {});

signals:
    // On the thread that made the request.
    void read(std::uint64_t revision, ScriptReading reading);

private:
    ScriptReading readNow(std::uint64_t revision, std::shared_ptr<const std::string> text, const QString& scriptPath);

    QThreadPool m_worker;
    std::atomic<std::uint64_t> m_requests{0};
    std::mutex m_workspaceMutex;  // the pool's one thread may not be the same thread each time
    LevelWorkspace m_workspace;
};
