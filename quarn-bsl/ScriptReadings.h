#pragma once

#include "language/DeclaredNames.h"
#include "language/Level.h"
#include "language/LevelWorkspace.h"
#include "language/ScriptChecker.h"
#include "language/ScriptReader.h"
#include "quarn-bsl/DocumentStore.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// What the client calls a script of a level, and which version of it the level holds.
struct ScriptSource {
    QString uri;
    std::optional<std::int64_t> version;  // an open document's; nothing for a file on disk
};

// A level as one reading saw it, with what the client calls each of its scripts.
struct LevelView {
    std::shared_ptr<const Level> level;  // never null
    std::vector<ScriptSource> sources;   // one for each of the level's scripts
};

// One reading of one revision of an open document.
struct Reading {
    std::uint64_t revision = 0;
    std::optional<std::int64_t> version;  // the client's
    Snapshot snapshot;
    // Null only without the memory for a reading.
    std::shared_ptr<const ScriptAnalysis> analysis;
    // What the other scripts of its level declare; never null.
    std::shared_ptr<const DeclaredNames> siblings;
    // From a check that saw the whole level; both null in a reading made ahead of its level.
    std::shared_ptr<const std::vector<Finding>> findings;
    std::shared_ptr<const LevelView> view;
    std::size_t script = 0;  // the document among the view's scripts
};

// The findings to publish for one script.
struct Diagnostics {
    QString uri;
    std::optional<std::int64_t> version;
    Snapshot snapshot;  // the text the findings were found in
    // In text order; null when the script left the server's view and its findings go with it.
    std::shared_ptr<const std::vector<Finding>> findings;
};

// The readings of the documents the client has open, and the checks of their levels: the other
// `.bsl` files of their folders as they are on disk, since the game loads a level's scripts
// together. A LevelWorkspace reads and checks them on a worker thread, one change after the
// other, the newest text of each document only; a document just opened is read before the rest
// of its level, so that answers about it need not wait for its folder. Findings are published only
// from a check that saw the whole level, so that a level being read shows no calls as undefined
// that are not.
class ScriptReadings : public QObject {
public:
    // Told, on the worker thread and in order, of findings to publish.
    using Publish = std::function<void(const Diagnostics& diagnostics)>;

    explicit ScriptReadings(Publish publish, QObject* parent = nullptr);
    // Waits for the work still running.
    ~ScriptReadings() override;

    // The client opened the document at `uri`, or changed it. `path` is its file's, empty for a
    // document that has none.
    void update(const QString& uri, const QString& path, std::int64_t version, const Snapshot& snapshot);
    // The client closed it: it counts as it is on disk while its level has other scripts open.
    void close(const QString& uri);
    // Looks at the folders again for scripts that were added, changed or removed on disk.
    void refreshFolders();

    // The newest reading of the open document at `uri`; null before the first.
    std::shared_ptr<const Reading> latest(const QString& uri) const;
    enum class Wanted {
        Newest,        // whatever reading there is
        Current,       // one of the text as it is now
        CurrentLevel,  // one of the text as it is now, with its level checked
    };
    // Calls `use` with the reading `wanted` of the open document at `uri` as soon as there is
    // one; a reading without an analysis (no memory for it) does for any. Null when the
    // document is not open or closes first.
    void whenRead(const QString& uri, Wanted wanted, std::function<void(std::shared_ptr<const Reading>)> use);
    // What orders the argument lists of completion for the document at `uri`: see levelHintOf.
    std::string levelHint(const QString& uri) const;
    // The newest view of each level that holds an open document.
    std::vector<std::shared_ptr<const LevelView>> views() const;

private:
    struct Waiter {
        std::uint64_t revision;
        Wanted wanted;
        std::function<void(std::shared_ptr<const Reading>)> use;
    };
    // An open document, on the thread that made this object.
    struct Document {
        QString path;
        QString levelKey;
        std::uint64_t revision = 0;
        std::shared_ptr<const Reading> reading;
        std::vector<Waiter> waiters;
    };
    // An open document as the worker last gave it to the workspace.
    struct Given {
        QString uri;
        QString path;
        std::uint64_t revision = 0;
        std::int64_t version = 0;
        Snapshot snapshot;
    };
    // What was published for a script of a level.
    struct Published {
        QString uri;
        std::optional<std::int64_t> version;
        std::shared_ptr<const std::vector<Finding>> findings;
    };
    // A level the worker shows the client.
    struct Shown {
        bool onDisk = false;  // a folder, rather than a document that has no file
        std::shared_ptr<const Level> level;
        std::map<QString, Published> published;  // by the script's path, or URI
    };

    // The level a document belongs to: its folder, or its URI for a document without a file.
    static QString levelKeyOf(const QString& uri, const QString& path);
    bool ready(const Reading& reading, const Waiter& waiter) const;
    void delivered(const QString& uri, std::shared_ptr<const Reading> reading);

    // On the worker.
    void read(const QString& uri, const QString& path, std::uint64_t revision, std::int64_t version, const Snapshot& snapshot);
    void closed(const QString& uri, const QString& path);
    void show(const QString& levelKey, std::shared_ptr<const Level> level);
    void forget(const QString& levelKey);
    void deliver(const QString& uri, std::shared_ptr<const Reading> reading);
    void runOnWorker(std::function<void()> work);

    Publish m_publish;
    std::map<QString, Document> m_documents;  // by URI
    std::map<QString, std::shared_ptr<const LevelView>> m_views;  // by level key
    std::uint64_t m_revisions = 0;

    QThreadPool m_worker;
    std::mutex m_newestMutex;
    std::map<QString, std::uint64_t> m_newest;  // each open document's newest revision, by URI
    // The worker's own; the pool's one thread may not be the same thread each time.
    std::mutex m_workspaceMutex;
    LevelWorkspace m_workspace;
    // The workspace keeps a level for each document never saved, by a number of its own.
    std::map<QString, std::uint64_t> m_unsavedDocuments;
    std::uint64_t m_nextUnsaved = 0;
    std::map<QString, Given> m_given;  // by path, or URI for a document without a file
    std::map<QString, Shown> m_shown;  // by level key
};
