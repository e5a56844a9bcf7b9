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
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
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

// Reads and checks scripts on a worker thread from snapshots of their texts, each as one script of
// its level (LevelWorkspace), so that the window's thread never waits for either. A request names
// the document its text is of (the window may hold several) and the revision of that text; the
// text stands in for the script's file until the document is closed. Of each document only the
// newest request is delivered: one that a newer one overtook before it started is dropped unread,
// and one overtaken while it ran is dropped read, since the folder may have changed between the
// two even when the text did not.
class LanguageService : public QObject {
    Q_OBJECT

public:
    explicit LanguageService(QObject* parent = nullptr);
    // Waits for a reading still running: it delivers to this object.
    ~LanguageService() override;

    // `scriptPath` is empty for a script that has no file yet: it has no folder to read.
    void request(std::uint64_t document, std::uint64_t revision, std::shared_ptr<const std::string> text,
                 QString scriptPath);
    // The document no longer holds the script at `scriptPath` (it was closed, or saved under
    // another name or for the first time): that script's level reads its file again, an unsaved
    // script's level goes, and a reading of it still under way is not delivered.
    void closeDocument(std::uint64_t document, QString scriptPath);

    // What a job on the worker hands back to run on this object's thread.
    using Continuation = std::function<void()>;
    // Runs `job` on the worker once every request made before it is done, then what it returns
    // on this object's thread (not at all once this object is gone). A job that runs out of
    // memory hands back nothing.
    void run(std::function<Continuation()> job);
    // The same, with the level of the document's script (the one at `scriptPath`, or the unsaved
    // `document`) as the texts requested so far make it.
    void withLevel(std::uint64_t document, QString scriptPath,
                   std::function<Continuation(std::shared_ptr<const Level>)> job);

    // Lets go of a reading on the worker: a large one takes long to free.
    void release(std::shared_ptr<const ScriptAnalysis> analysis, std::shared_ptr<const std::vector<Finding>> findings = {},
                 std::shared_ptr<const Level> level = {});

signals:
    // On the thread that made the request.
    void read(std::uint64_t document, std::uint64_t revision, ScriptReading reading);

private:
    ScriptReading readNow(std::uint64_t document, std::uint64_t revision, std::shared_ptr<const std::string> text,
                          const QString& scriptPath);
    bool isNewest(std::uint64_t document, std::uint64_t serial);
    // On the worker, which yields to the window's thread.
    void startJob(std::function<void()> job);

    QThreadPool m_worker;
    std::atomic<std::uint64_t> m_requests{0};
    std::mutex m_newestMutex;
    std::unordered_map<std::uint64_t, std::uint64_t> m_newest;  // the serial of each document's newest request
    std::mutex m_workspaceMutex;  // the pool's one thread may not be the same thread each time
    LevelWorkspace m_workspace;
};
