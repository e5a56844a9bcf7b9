#include "quarn-bsl/ScriptReadings.h"

#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <new>

namespace {

const std::shared_ptr<const DeclaredNames>& noNames()
{
    static const std::shared_ptr<const DeclaredNames> names = std::make_shared<const DeclaredNames>();
    return names;
}

QString uriOfFile(const QString& path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

} // namespace

ScriptReadings::ScriptReadings(Publish publish, QObject* parent) : QObject(parent), m_publish(std::move(publish))
{
    // One change after the other: the workspace serves one thread at a time, and each change
    // makes the reading of the one before it old.
    m_worker.setMaxThreadCount(1);
}

ScriptReadings::~ScriptReadings()
{
    m_worker.clear();
    m_worker.waitForDone();
}

QString ScriptReadings::levelKeyOf(const QString& uri, const QString& path)
{
    return path.isEmpty() ? uri : levelPath(QFileInfo(path).absolutePath());
}

void ScriptReadings::update(const QString& uri, const QString& path, std::int64_t version, const Snapshot& snapshot)
{
    Document& document = m_documents[uri];
    document.path = path;
    document.levelKey = levelKeyOf(uri, path);
    document.revision = ++m_revisions;
    {
        const std::lock_guard lock(m_newestMutex);
        m_newest[uri] = document.revision;
    }
    runOnWorker([this, uri, path, revision = document.revision, version, snapshot] {
        read(uri, path, revision, version, snapshot);
    });
}

void ScriptReadings::close(const QString& uri)
{
    const auto found = m_documents.find(uri);
    if (found == m_documents.end())
        return;
    const QString path = found->second.path;
    const QString levelKey = found->second.levelKey;
    // The waiters may call back into this object, so they are taken out first.
    std::vector<Waiter> waiters = std::move(found->second.waiters);
    m_documents.erase(found);
    {
        const std::lock_guard lock(m_newestMutex);
        m_newest.erase(uri);
    }
    if (std::none_of(m_documents.begin(), m_documents.end(),
                     [&levelKey](const auto& document) { return document.second.levelKey == levelKey; }))
        m_views.erase(levelKey);
    runOnWorker([this, uri, path] { closed(uri, path); });
    for (Waiter& waiter : waiters)
        waiter.use(nullptr);
}

void ScriptReadings::refreshFolders()
{
    runOnWorker([this] {
        std::vector<QString> folders;
        for (const auto& [key, shown] : m_shown) {
            if (shown.onDisk)
                folders.push_back(key);
        }
        for (const QString& folder : folders)
            show(folder, m_workspace.levelOfFolder(folder));
    });
}

std::shared_ptr<const Reading> ScriptReadings::latest(const QString& uri) const
{
    const auto found = m_documents.find(uri);
    return found == m_documents.end() ? nullptr : found->second.reading;
}

void ScriptReadings::whenRead(const QString& uri, Wanted wanted, std::function<void(std::shared_ptr<const Reading>)> use)
{
    const auto found = m_documents.find(uri);
    if (found == m_documents.end()) {
        use(nullptr);
        return;
    }
    Document& document = found->second;
    Waiter waiter{document.revision, wanted, std::move(use)};
    if (document.reading && ready(*document.reading, waiter)) {
        waiter.use(document.reading);
        return;
    }
    document.waiters.push_back(std::move(waiter));
}

std::string ScriptReadings::levelHint(const QString& uri) const
{
    const auto found = m_documents.find(uri);
    if (found == m_documents.end() || found->second.path.isEmpty())
        return {};
    return levelHintOf(found->second.path).toStdString();
}

std::vector<std::shared_ptr<const LevelView>> ScriptReadings::views() const
{
    std::vector<std::shared_ptr<const LevelView>> views;
    views.reserve(m_views.size());
    for (const auto& [key, view] : m_views)
        views.push_back(view);
    return views;
}

bool ScriptReadings::ready(const Reading& reading, const Waiter& waiter) const
{
    switch (waiter.wanted) {
    case Wanted::Newest: return true;
    case Wanted::Current: return reading.revision >= waiter.revision;
    case Wanted::CurrentLevel: return reading.revision >= waiter.revision && (reading.view || !reading.analysis);
    }
    return true;
}

void ScriptReadings::delivered(const QString& uri, std::shared_ptr<const Reading> reading)
{
    const auto found = m_documents.find(uri);
    if (found == m_documents.end())
        return;
    Document& document = found->second;
    // A reading made ahead of its level comes before the level's reading of the same text.
    if (document.reading && (reading->revision < document.reading->revision ||
                             (reading->revision == document.reading->revision && !reading->view && document.reading->view)))
        return;
    document.reading = reading;
    if (reading->view)
        m_views[document.levelKey] = reading->view;
    std::vector<Waiter> served;
    std::erase_if(document.waiters, [&](Waiter& waiter) {
        if (!ready(*reading, waiter))
            return false;
        served.push_back(std::move(waiter));
        return true;
    });
    for (Waiter& waiter : served)
        waiter.use(reading);
}

void ScriptReadings::runOnWorker(std::function<void()> work)
{
    m_worker.start([this, work = std::move(work)] {
        const std::lock_guard lock(m_workspaceMutex);
        try {
            work();
        } catch (const std::bad_alloc&) {
            // A reading is a help, not an edit: without the memory for one, the level goes
            // unread until the next change.
        }
    });
}

void ScriptReadings::deliver(const QString& uri, std::shared_ptr<const Reading> reading)
{
    QMetaObject::invokeMethod(
        this, [this, uri, reading = std::move(reading)]() mutable { delivered(uri, std::move(reading)); },
        Qt::QueuedConnection);
}

void ScriptReadings::read(const QString& uri, const QString& path, std::uint64_t revision, std::int64_t version,
                          const Snapshot& snapshot)
{
    {
        // A newer text is on its way, or the document closed since.
        const std::lock_guard lock(m_newestMutex);
        const auto newest = m_newest.find(uri);
        if (newest == m_newest.end() || newest->second != revision)
            return;
    }
    const bool opened = m_given.insert_or_assign(path.isEmpty() ? uri : levelPath(path),
                                                 Given{uri, path, revision, version, snapshot}).second;
    try {
        if (path.isEmpty()) {
            const auto [unsaved, added] = m_unsavedDocuments.try_emplace(uri, m_nextUnsaved + 1);
            m_nextUnsaved += added ? 1 : 0;
            const std::uint64_t number = unsaved->second;
            show(uri, m_workspace.unsavedLevel(number, revision, snapshot.text));
            return;
        }
        m_workspace.setDocument(path, revision, snapshot.text);
        // A document just opened is read before the rest of its level, which may be long to
        // read; after that, its level takes no longer than the document itself.
        if (opened) {
            auto ahead = std::make_shared<Reading>();
            ahead->revision = revision;
            ahead->version = version;
            ahead->snapshot = snapshot;
            ahead->analysis = m_workspace.documentAnalysis(path);
            ahead->siblings = m_workspace.namesBeside(path);
            deliver(uri, std::move(ahead));
        }
        const std::shared_ptr<const Level> level = m_workspace.levelOf(path);
        show(level->folder(), level);
    } catch (const std::bad_alloc&) {
        auto unread = std::make_shared<Reading>();
        unread->revision = revision;
        unread->version = version;
        unread->snapshot = snapshot;
        unread->siblings = noNames();
        deliver(uri, std::move(unread));
    }
}

void ScriptReadings::closed(const QString& uri, const QString& path)
{
    const auto given = m_given.find(path.isEmpty() ? uri : levelPath(path));
    if (given == m_given.end() || given->second.uri != uri)
        return;
    m_given.erase(given);
    const QString levelKey = levelKeyOf(uri, path);
    if (path.isEmpty()) {
        if (const auto unsaved = m_unsavedDocuments.find(uri); unsaved != m_unsavedDocuments.end()) {
            m_workspace.closeUnsaved(unsaved->second);
            m_unsavedDocuments.erase(unsaved);
        }
    } else {
        // Read again from disk, where it may be as the client left it or not at all.
        m_workspace.closeDocument(path);
        if (std::any_of(m_given.begin(), m_given.end(),
                        [&](const auto& other) { return levelKeyOf(other.second.uri, other.second.path) == levelKey; })) {
            show(levelKey, m_workspace.levelOfFolder(levelKey));
            return;
        }
    }
    forget(levelKey);
    m_workspace.forgetLevelsWithoutDocuments();
}

void ScriptReadings::show(const QString& levelKey, std::shared_ptr<const Level> level)
{
    Shown& shown = m_shown[levelKey];
    shown.onDisk = !level->folder().isEmpty();
    if (shown.level == level)
        return;
    shown.level = level;

    const auto givenOf = [&](const LevelScript& script) {
        return script.open ? m_given.find(script.path.isEmpty() ? levelKey : script.path) : m_given.end();
    };
    auto view = std::make_shared<LevelView>();
    view->level = level;
    view->sources.reserve(level->size());
    for (const LevelScript& script : level->scripts()) {
        const auto given = givenOf(script);
        if (given != m_given.end())
            view->sources.push_back({given->second.uri, given->second.version});
        else
            view->sources.push_back({uriOfFile(script.path), std::nullopt});
    }
    const std::shared_ptr<const LevelView> shared = std::move(view);

    // Every open document of the level reads as part of it now.
    for (std::size_t i = 0; i < level->size(); ++i) {
        const LevelScript& script = level->script(i);
        const auto given = givenOf(script);
        if (given == m_given.end())
            continue;
        auto reading = std::make_shared<Reading>();
        reading->revision = given->second.revision;
        reading->version = given->second.version;
        reading->snapshot = given->second.snapshot;
        reading->analysis = script.analysis;
        reading->siblings = script.path.isEmpty() ? noNames() : m_workspace.namesBeside(script.path);
        reading->findings = script.findings;
        reading->view = shared;
        reading->script = i;
        deliver(given->second.uri, std::move(reading));
    }

    // The findings of each script, told again only when they, or the text they are of, changed.
    std::map<QString, Published> before = std::move(shown.published);
    shown.published.clear();
    for (std::size_t i = 0; i < level->size(); ++i) {
        const LevelScript& script = level->script(i);
        const QString key = script.path.isEmpty() ? levelKey : script.path;
        Published now{shared->sources[i].uri, shared->sources[i].version, script.findings};
        if (const auto last = before.find(key); last != before.end()) {
            const Published old = std::move(last->second);
            before.erase(last);
            if (old.uri != now.uri)
                m_publish({old.uri, std::nullopt, {}, nullptr});
            else if (old.findings == now.findings && old.version == now.version) {
                shown.published.emplace(key, std::move(now));
                continue;
            }
        }
        const auto given = givenOf(script);
        Snapshot snapshot;
        if (given != m_given.end() && given->second.snapshot.text == script.analysis->text)
            snapshot = given->second.snapshot;
        else
            snapshot = {script.analysis->text, std::make_shared<const LineIndex>(script.text())};
        m_publish({now.uri, now.version, std::move(snapshot), now.findings});
        shown.published.emplace(key, std::move(now));
    }
    for (const auto& [key, gone] : before)
        m_publish({gone.uri, std::nullopt, {}, nullptr});
}

void ScriptReadings::forget(const QString& levelKey)
{
    const auto shown = m_shown.find(levelKey);
    if (shown == m_shown.end())
        return;
    for (const auto& [key, published] : shown->second.published)
        m_publish({published.uri, std::nullopt, {}, nullptr});
    m_shown.erase(shown);
}
