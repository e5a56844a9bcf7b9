#include "quarn-bsl/ScriptReadings.h"

#include "language/Level.h"
#include "quarn-bsl/ScriptFiles.h"

#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <new>

namespace {

// A folder's listing is looked at again after a change of one of its scripts at most this
// often: a level may hold a thousand files, and a client sends a change at every key.
constexpr qint64 kRefreshMilliseconds = 2000;

bool sameEntries(const std::vector<DeclaredNames::Entry>& a, const std::vector<DeclaredNames::Entry>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const DeclaredNames::Entry& x, const DeclaredNames::Entry& y) {
        return x.name == y.name && x.role == y.role && x.declaration == y.declaration && x.comment == y.comment &&
               x.detail == y.detail;
    });
}

bool isLevelScript(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).suffix().compare(QLatin1String("bsl"), Qt::CaseInsensitive) == 0;
}

} // namespace

// What a worker needs to read and check one script.
struct ScriptReadings::Job {
    std::uint64_t serial = 0;
    QString level;
    QString key;
    std::uint64_t revision = 0;
    std::optional<std::int64_t> version;
    bool read = false;
    Snapshot text;   // an open document's; read from `path` when there is none
    QString path;
    std::shared_ptr<const Reading> previous;  // for a check alone, which reuses its reading
    std::shared_ptr<const DeclaredNames> siblings;
    std::vector<std::shared_ptr<const Entries>> siblingEntries;  // merged when `siblings` is null
    std::uint64_t generation = 0;
    bool complete = false;  // every other script of the level was read
};

struct ScriptReadings::Result {
    std::uint64_t serial = 0;
    QString level;
    QString key;
    std::uint64_t generation = 0;
    bool complete = false;
    std::shared_ptr<const Reading> reading;
    std::shared_ptr<const Entries> declared;  // when the text was read
};

ScriptReadings::ScriptReadings(Checked checked, QObject* parent) : QObject(parent), m_checked(std::move(checked))
{
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

ScriptReadings::~ScriptReadings()
{
    m_pool.clear();
    m_pool.waitForDone();
}

ScriptReadings::Result ScriptReadings::run(const Job& job)
{
    Result result{job.serial, job.level, job.key, job.generation, job.complete, nullptr, nullptr};
    auto reading = std::make_shared<Reading>();
    reading->revision = job.revision;
    reading->version = job.version;
    try {
        if (job.read) {
            reading->snapshot = job.text;
            if (!reading->snapshot.text) {
                // A file that cannot be read declares nothing and is checked for nothing.
                const ScriptFile file = readScriptFile(job.path);
                if (file.text)
                    reading->snapshot = {file.text, std::make_shared<const LineIndex>(*file.text)};
            }
            if (reading->snapshot.text) {
                reading->analysis = analyseScript(reading->snapshot.text);
                DeclaredNames names;
                names.addScript(*reading->snapshot.text, reading->analysis->outline);
                auto declared = std::make_shared<Entries>();
                declared->reserve(names.entries().size());
                for (const auto& [name, entry] : names.entries())
                    declared->push_back(entry);
                std::sort(declared->begin(), declared->end(),
                          [](const DeclaredNames::Entry& a, const DeclaredNames::Entry& b) { return a.name < b.name; });
                result.declared = std::move(declared);
            } else {
                result.declared = std::make_shared<const Entries>();
            }
        } else if (job.previous) {
            reading->snapshot = job.previous->snapshot;
            reading->analysis = job.previous->analysis;
        }
        reading->siblings = job.siblings;
        if (!reading->siblings) {
            auto siblings = std::make_shared<DeclaredNames>();
            for (const std::shared_ptr<const Entries>& entries : job.siblingEntries) {
                for (const DeclaredNames::Entry& entry : *entries)
                    siblings->add(entry);
            }
            reading->siblings = std::move(siblings);
        }
        reading->findings = std::make_shared<const std::vector<Finding>>(
            reading->analysis ? checkScript(*reading->snapshot.text, reading->analysis->outline, *reading->siblings)
                              : std::vector<Finding>());
    } catch (const std::bad_alloc&) {
        // A reading is a help, not an edit: without the memory for one the script goes unread.
        reading->analysis.reset();
        reading->findings = std::make_shared<const std::vector<Finding>>();
        reading->siblings = std::make_shared<const DeclaredNames>();
        if (job.read)
            result.declared = std::make_shared<const Entries>();
    }
    result.reading = std::move(reading);
    return result;
}

void ScriptReadings::update(const QString& uri, const QString& path, std::int64_t version, const Snapshot& snapshot)
{
    const QFileInfo file(path);
    const QString levelKey = path.isEmpty() ? uri : file.absolutePath();
    const QString key = path.isEmpty() ? uri : file.absoluteFilePath();
    const auto [levelAt, newLevel] = m_levels.try_emplace(levelKey);
    Level& level = levelAt->second;
    if (newLevel && !path.isEmpty())
        level.folder = levelKey;

    const auto [scriptAt, newScript] = level.scripts.try_emplace(key);
    Script& script = scriptAt->second;
    if (!script.open) {
        script.open = true;
        script.uri = uri;
        ++level.open;
        m_open[uri] = {levelKey, key};
    }
    if (newScript)
        script.member = isLevelScript(path);
    script.version = version;
    script.text = snapshot;
    script.revision = ++m_revisions;
    script.readWanted = true;
    // A new level's other scripts are listed before the first check, which must wait for them.
    if (newLevel || level.sinceRefresh.hasExpired(kRefreshMilliseconds))
        refresh(levelKey, level);
    else
        schedule(levelKey, level, key, script);
}

void ScriptReadings::close(const QString& uri)
{
    const auto place = m_open.find(uri);
    if (place == m_open.end())
        return;
    const auto levelAt = m_levels.find(place->second.level);
    const QString key = place->second.key;
    m_open.erase(place);
    Level& level = levelAt->second;
    const auto scriptAt = level.scripts.find(key);
    Script& script = scriptAt->second;
    script.open = false;
    script.text = {};
    script.version.reset();
    --level.open;
    std::vector<Waiter> waiters = std::move(script.waiters);
    for (Waiter& waiter : waiters)
        waiter.use(nullptr);
    if (level.open == 0) {
        while (!level.scripts.empty())
            remove(level, level.scripts.begin());
        m_levels.erase(levelAt);
        return;
    }
    // Read again from disk, where it may be as the client left it or not at all.
    script.stamp = {};
    if (!script.member)
        remove(level, scriptAt);
    refresh(levelAt->first, level);
}

void ScriptReadings::refreshFolders()
{
    for (auto& [key, level] : m_levels)
        refresh(key, level);
}

void ScriptReadings::refresh(const QString& levelKey, Level& level)
{
    level.sinceRefresh.start();
    if (!level.folder.isEmpty())
        relist(level);
    for (auto& [key, script] : level.scripts)
        schedule(levelKey, level, key, script);
}

void ScriptReadings::relist(Level& level)
{
    QSet<QString> seen;
    bool namesGone = false;
    for (const QFileInfo& info : levelScriptsIn(level.folder)) {
        const QString path = info.absoluteFilePath();
        seen.insert(path);
        const auto [at, added] = level.scripts.try_emplace(path);
        Script& script = at->second;
        if (added) {
            script.uri = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
            script.member = true;
        }
        if (script.open)
            continue;
        const FileStamp stamp = fileStampOf(path);
        if (!added && script.stamp == stamp && script.reading)
            continue;
        script.stamp = stamp;
        script.revision = ++m_revisions;
        script.readWanted = true;
    }
    for (auto at = level.scripts.begin(); at != level.scripts.end();) {
        const auto next = std::next(at);
        if (!at->second.open && !seen.contains(at->first)) {
            namesGone = namesGone || (at->second.member && at->second.declared && !at->second.declared->empty());
            remove(level, at);
        }
        at = next;
    }
    if (namesGone)
        namesChanged(level);
}

void ScriptReadings::namesChanged(Level& level, const Script* changed)
{
    const bool siblingsKept = changed && changed->siblingsGeneration == level.generation;
    ++level.generation;
    for (auto& [key, script] : level.scripts) {
        if (&script != changed)
            script.checkWanted = true;
        else if (siblingsKept)
            script.siblingsGeneration = level.generation;
    }
}

void ScriptReadings::remove(Level& level, std::map<QString, Script>::iterator script)
{
    // The waiters may call back into this object, so they are taken out first.
    std::vector<Waiter> waiters = std::move(script->second.waiters);
    const QString uri = script->second.uri;
    level.scripts.erase(script);
    m_checked(uri, nullptr);
    for (Waiter& waiter : waiters)
        waiter.use(nullptr);
}

bool ScriptReadings::othersRead(const Level& level, const QString& key)
{
    return std::all_of(level.scripts.begin(), level.scripts.end(), [&key](const auto& other) {
        return other.first == key || !other.second.member || other.second.declared;
    });
}

void ScriptReadings::schedule(const QString& levelKey, Level& level, const QString& key, Script& script)
{
    if (script.job != 0)
        return;
    const bool complete = othersRead(level, key);
    // A check alone waits for the level: the last reading of it will ask for the check again.
    if (!script.readWanted && !(script.checkWanted && script.reading && complete))
        return;
    Job job;
    job.serial = ++m_jobs;
    job.level = levelKey;
    job.key = key;
    job.revision = script.revision;
    job.version = script.version;
    job.read = script.readWanted || !script.reading;
    job.text = script.text;
    job.path = key;
    job.previous = job.read ? nullptr : script.reading;
    job.generation = level.generation;
    job.complete = complete;
    if (script.siblings && script.siblingsGeneration == level.generation) {
        job.siblings = script.siblings;
    } else {
        for (const auto& [otherKey, other] : level.scripts) {
            if (otherKey != key && other.member && other.declared)
                job.siblingEntries.push_back(other.declared);
        }
    }
    script.job = job.serial;
    script.readWanted = false;
    script.checkWanted = false;
    // The client's own documents go before the files of their folders.
    m_pool.start(
        [this, job = std::move(job)] {
            Result result = run(job);
            QMetaObject::invokeMethod(this, [this, result = std::move(result)] { finished(result); }, Qt::QueuedConnection);
        },
        script.open ? 1 : 0);
}

void ScriptReadings::finished(const Result& result)
{
    const auto levelAt = m_levels.find(result.level);
    if (levelAt == m_levels.end())
        return;
    Level& level = levelAt->second;
    const auto scriptAt = level.scripts.find(result.key);
    // A script that left and came back since has a job of its own.
    if (scriptAt == level.scripts.end() || scriptAt->second.job != result.serial)
        return;
    Script& script = scriptAt->second;
    script.job = 0;
    script.reading = result.reading;
    script.siblings = result.reading->siblings;
    script.siblingsGeneration = result.generation;
    if (result.declared) {
        const bool changed = !script.declared || !sameEntries(*script.declared, *result.declared);
        script.declared = result.declared;
        if (changed && script.member)
            namesChanged(level, &script);
    }
    if (result.complete)
        m_checked(script.uri, script.reading);
    else
        script.checkWanted = true;

    std::vector<Waiter> ready;
    std::erase_if(script.waiters, [&](Waiter& waiter) {
        if (waiter.current && waiter.revision > script.reading->revision)
            return false;
        ready.push_back(std::move(waiter));
        return true;
    });
    const std::shared_ptr<const Reading> reading = script.reading;
    for (auto& [key, other] : level.scripts)
        schedule(result.level, level, key, other);
    for (Waiter& waiter : ready)
        waiter.use(reading);
}

ScriptReadings::Script* ScriptReadings::find(const QString& uri)
{
    const auto place = m_open.find(uri);
    if (place == m_open.end())
        return nullptr;
    return &m_levels.at(place->second.level).scripts.at(place->second.key);
}

const ScriptReadings::Script* ScriptReadings::find(const QString& uri) const
{
    return const_cast<ScriptReadings*>(this)->find(uri);
}

std::shared_ptr<const Reading> ScriptReadings::latest(const QString& uri) const
{
    const Script* script = find(uri);
    return script ? script->reading : nullptr;
}

void ScriptReadings::whenRead(const QString& uri, bool current, std::function<void(std::shared_ptr<const Reading>)> use)
{
    Script* script = find(uri);
    if (!script) {
        use(nullptr);
        return;
    }
    if (script->reading && (!current || script->reading->revision >= script->revision)) {
        use(script->reading);
        return;
    }
    script->waiters.push_back({script->revision, current, std::move(use)});
}

std::string ScriptReadings::levelHint(const QString& uri) const
{
    const auto place = m_open.find(uri);
    if (place == m_open.end() || place->second.key == uri)
        return {};
    return levelHintOf(place->second.key).toStdString();
}
