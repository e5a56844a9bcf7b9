#pragma once

#include "language/DeclaredNames.h"
#include "language/ScriptChecker.h"
#include "language/ScriptReader.h"
#include "platform/File.h"
#include "quarn-bsl/DocumentStore.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// One reading of one revision of a script, checked with what the other scripts of its level
// declared at the time.
struct Reading {
    std::uint64_t revision = 0;
    std::optional<std::int64_t> version;  // the client's, for an open document
    Snapshot snapshot;                    // no text for a file that could not be read
    std::shared_ptr<const ScriptAnalysis> analysis;
    std::shared_ptr<const DeclaredNames> siblings;
    std::shared_ptr<const std::vector<Finding>> findings;
};

// The newest reading of every script the server knows: the documents the client has open, and
// the other `.bsl` files of their folders as they are on disk, since the game loads a level's
// scripts together. Scripts are read and checked on worker threads, one job at a time for each
// script with the newest text, so that no request waits for a reading it does not need. When
// what a script declares changes, the others of its level are checked again. Findings are told
// only from a check that saw what every other script of the level declares, so that a level
// being read shows no calls as undefined that are not.
class ScriptReadings : public QObject {
public:
    // Told of new findings for the script at `uri`, in `reading`; of null when the script leaves
    // the server's view and its findings go with it.
    using Checked = std::function<void(const QString& uri, const std::shared_ptr<const Reading>& reading)>;

    explicit ScriptReadings(Checked checked, QObject* parent = nullptr);
    // Waits for the jobs still running.
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
    // Calls `use` with a reading of the open document at `uri` as soon as there is one: with
    // `current`, one of its text as it is now. Null when the document is not open or closes
    // first.
    void whenRead(const QString& uri, bool current, std::function<void(std::shared_ptr<const Reading>)> use);
    // What orders the argument lists of completion for the document at `uri`: see levelHintOf.
    std::string levelHint(const QString& uri) const;

private:
    using Entries = std::vector<DeclaredNames::Entry>;

    struct Waiter {
        std::uint64_t revision;
        bool current;
        std::function<void(std::shared_ptr<const Reading>)> use;
    };
    struct Script {
        QString uri;
        bool open = false;
        bool member = false;  // a `.bsl` file of the level's folder: the others see its names
        std::optional<std::int64_t> version;
        Snapshot text;         // the open document's newest
        FileStamp stamp;       // of the file, while it is not open
        std::uint64_t revision = 0;
        std::shared_ptr<const Reading> reading;
        std::shared_ptr<const Entries> declared;
        std::shared_ptr<const DeclaredNames> siblings;
        std::uint64_t siblingsGeneration = 0;
        std::uint64_t job = 0;  // the one running, 0 when none
        bool readWanted = false;
        bool checkWanted = false;
        std::vector<Waiter> waiters;
    };
    struct Level {
        QString folder;  // empty for a document that has no file
        std::map<QString, Script> scripts;  // by path, in the order the window merges names
        int open = 0;
        // Counts changes of what the level's scripts declare; a merge of the names of a script's
        // siblings holds while the count stays.
        std::uint64_t generation = 1;
        QElapsedTimer sinceRefresh;
    };
    struct Place {
        QString level;
        QString key;
    };
    struct Job;
    struct Result;

    static Result run(const Job& job);
    Script* find(const QString& uri);
    const Script* find(const QString& uri) const;
    // Lists the level's folder again, then starts the jobs its scripts want.
    void refresh(const QString& levelKey, Level& level);
    void relist(Level& level);
    // What the level's scripts declare changed, by `changed` when it is one of them.
    void namesChanged(Level& level, const Script* changed = nullptr);
    void schedule(const QString& levelKey, Level& level, const QString& key, Script& script);
    // True when every script of the level but `key` has been read, so that a check sees all
    // the names it may call.
    static bool othersRead(const Level& level, const QString& key);
    void finished(const Result& result);
    void remove(Level& level, std::map<QString, Script>::iterator script);

    Checked m_checked;
    QThreadPool m_pool;
    std::map<QString, Level> m_levels;  // by folder; a document without a file is a level under its URI
    std::map<QString, Place> m_open;    // by URI
    std::uint64_t m_revisions = 0;
    std::uint64_t m_jobs = 0;
};
