#pragma once

#include "language/DeclaredNames.h"
#include "language/FolderIndex.h"
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
    // What the other scripts of the folder declare, as they are on disk.
    std::shared_ptr<const DeclaredNames> siblings;
};

// Reads and checks a script on a worker thread from a snapshot of its text, with the other
// scripts of its folder, so that the window's thread never waits for either. Each request names
// the revision of the text it holds. Only the newest request is delivered: one that a newer one
// overtook before it started is dropped unread, and one overtaken while it ran is dropped read,
// since the folder may have changed between the two even when the text did not.
class LanguageService : public QObject {
    Q_OBJECT

public:
    explicit LanguageService(QObject* parent = nullptr);
    // Waits for a reading still running: it delivers to this object.
    ~LanguageService() override;

    // `scriptPath` is empty for a script that has no file yet: it has no folder to read.
    void request(std::uint64_t revision, std::shared_ptr<const std::string> text, QString scriptPath);

    // Lets go of a reading on the worker: a large one takes long to free.
    void release(std::shared_ptr<const ScriptAnalysis> analysis, std::shared_ptr<const std::vector<Finding>> findings = {});

signals:
    // On the thread that made the request.
    void read(std::uint64_t revision, ScriptReading reading);

private:
    ScriptReading readNow(std::shared_ptr<const std::string> text, const QString& scriptPath);

    QThreadPool m_worker;
    std::atomic<std::uint64_t> m_requests{0};
    std::mutex m_folderMutex;  // the pool's one thread may not be the same thread each time
    FolderIndex m_folder;
};
