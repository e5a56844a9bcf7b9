#include "language/LevelWorkspace.h"

#include "language/Parallel.h"
#include "language/ScriptText.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <future>
#include <limits>
#include <new>
#include <unordered_map>
#include <unordered_set>

namespace {

const std::shared_ptr<const ScriptAnalysis>& emptyAnalysis()
{
    static const std::shared_ptr<const ScriptAnalysis> analysis =
        analyseScript(std::make_shared<const std::string>());
    return analysis;
}

QString folderOfScript(const QString& scriptPath)
{
    return levelPath(QFileInfo(scriptPath).absolutePath());
}

bool isScriptName(const QString& fileName)
{
    return fileName.endsWith(QLatin1String(".bsl"), Qt::CaseInsensitive);
}

// The names one of `a` and `b` declares and the other does not.
std::vector<std::string> namesOnOneSide(const DeclaredNames& a, const DeclaredNames& b)
{
    std::vector<std::string> names;
    for (const auto& [name, entry] : a.entries()) {
        if (!b.contains(name))
            names.emplace_back(name);
    }
    for (const auto& [name, entry] : b.entries()) {
        if (!a.contains(name))
            names.emplace_back(name);
    }
    return names;
}

} // namespace

std::string readScriptText(const QString& path)
{
    try {
        std::string text = openedScriptText(readUnlocked(path));
        // A reading counts offsets in 32 bits, and a byte of the code page takes up to three.
        if (text.size() > std::numeric_limits<std::uint32_t>::max())
            throw FileError(FileError::tooLarge, path);
        return text;
    } catch (const std::bad_alloc&) {
        throw FileError(FileError::tooLarge, path);
    }
}

struct LevelWorkspace::Script {
    LevelScript read;
    FileStamp stamp;  // of the file as it was read; for an open document, unused
};

struct LevelWorkspace::Folder {
    QString path;
    std::vector<Script> scripts;  // in level order
    // Every script's functions and globals, each name's first declaration in level order.
    std::shared_ptr<const DeclaredNames> names = std::make_shared<const DeclaredNames>();
    std::shared_ptr<const Level> level;
    // What lies beside each script asked about, while it stays the same.
    std::map<QString, std::shared_ptr<const DeclaredNames>> beside;
};

LevelWorkspace::LevelWorkspace() : m_noNames(std::make_shared<const DeclaredNames>())
{
}

LevelWorkspace::~LevelWorkspace() = default;

void LevelWorkspace::setDocument(const QString& path, std::uint64_t revision, std::shared_ptr<const std::string> text)
{
    const QString key = levelPath(path);
    if (key.isEmpty() || !text)
        return;
    const auto known = m_documents.find(key);
    if (known != m_documents.end()) {
        if (revision > known->second.revision)
            known->second = {revision, std::move(text), nullptr};
        return;
    }
    m_documents.emplace(key, Document{revision, std::move(text), nullptr});
}

void LevelWorkspace::closeDocument(const QString& path)
{
    m_documents.erase(levelPath(path));
}

std::shared_ptr<const ScriptAnalysis> LevelWorkspace::documentAnalysis(const QString& path)
{
    const auto document = m_documents.find(levelPath(path));
    if (document == m_documents.end())
        return nullptr;
    if (!document->second.analysis)
        document->second.analysis = analyseScript(document->second.text);
    return document->second.analysis;
}

std::shared_ptr<const Level> LevelWorkspace::levelOf(const QString& scriptPath)
{
    if (scriptPath.isEmpty())
        return std::make_shared<const Level>(QString(), std::vector<LevelScript>());
    return levelOfFolder(folderOfScript(scriptPath));
}

std::shared_ptr<const Level> LevelWorkspace::levelOfFolder(const QString& folderPath)
{
    const QString key = levelPath(folderPath);
    Folder& folder = folderAt(key);
    refresh(folder);
    std::shared_ptr<const Level> level = folder.level;
    forgetFoldersBut(key);
    return level;
}

std::shared_ptr<const Level> LevelWorkspace::unsavedLevel(std::uint64_t document, std::uint64_t revision,
                                                         std::shared_ptr<const std::string> text)
{
    if (const auto kept = m_unsaved.find(document); kept != m_unsaved.end() && kept->second.revision == revision)
        return kept->second.level;
    std::shared_ptr<const ScriptAnalysis> analysis = analyseScript(std::move(text));
    LevelScript script;
    script.open = true;
    script.revision = revision;
    script.findings = std::make_shared<const std::vector<Finding>>(checkScript(*analysis->text, analysis->outline));
    script.declarations = std::make_shared<const DeclaredNames::Entries>(
        DeclaredNames::entriesOf(*analysis->text, analysis->outline));
    script.analysis = std::move(analysis);
    std::vector<LevelScript> scripts;
    scripts.push_back(std::move(script));
    auto level = std::make_shared<const Level>(QString(), std::move(scripts));
    m_unsaved[document] = {revision, level};
    return level;
}

std::shared_ptr<const Level> LevelWorkspace::unsavedLevel(std::uint64_t document) const
{
    if (const auto kept = m_unsaved.find(document); kept != m_unsaved.end())
        return kept->second.level;
    return std::make_shared<const Level>(QString(), std::vector<LevelScript>());
}

void LevelWorkspace::closeUnsaved(std::uint64_t document)
{
    m_unsaved.erase(document);
}

std::shared_ptr<const DeclaredNames> LevelWorkspace::namesBeside(const QString& scriptPath)
{
    const QString path = levelPath(scriptPath);
    if (path.isEmpty())
        return m_noNames;
    const auto found = m_folders.find(folderOfScript(path));
    if (found == m_folders.end())
        return m_noNames;
    std::shared_ptr<const DeclaredNames>& beside = found->second->beside[path];
    if (beside)
        return beside;
    auto names = std::make_shared<DeclaredNames>();
    for (const Script& script : found->second->scripts) {
        if (script.read.path != path)
            names->add(script.read.declarations);
    }
    beside = std::move(names);
    return beside;
}

LevelWorkspace::Folder& LevelWorkspace::folderAt(const QString& path)
{
    std::unique_ptr<Folder>& folder = m_folders[path];
    if (!folder) {
        folder = std::make_unique<Folder>();
        folder->path = path;
    }
    return *folder;
}

void LevelWorkspace::forgetFoldersBut(const QString& kept)
{
    for (auto folder = m_folders.begin(); folder != m_folders.end();) {
        const bool holdsDocument = std::any_of(m_documents.begin(), m_documents.end(), [&](const auto& document) {
            return folderOfScript(document.first) == folder->first;
        });
        if (folder->first == kept || holdsDocument)
            ++folder;
        else
            folder = m_folders.erase(folder);
    }
}

void LevelWorkspace::forgetLevelsWithoutDocuments()
{
    forgetFoldersBut(QString());
}

std::vector<QString> LevelWorkspace::scriptPathsIn(const QString& folder) const
{
    // The folder's `.bsl` entries whatever they are (a folder or a pipe by that name is a script
    // that cannot be read), and the open documents in it.
    std::vector<std::pair<QString, QString>> found;  // file name, path
    if (!folder.isEmpty()) {
        const QDir dir(folder);
        const QDir::Filters filters = QDir::Files | QDir::Dirs | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
        for (const QString& name : dir.entryList({QStringLiteral("*.bsl")}, filters, QDir::NoSort)) {
            if (isScriptName(name))
                found.emplace_back(name, levelPath(dir.filePath(name)));
        }
    }
    for (const auto& [path, document] : m_documents) {
        if (folderOfScript(path) == folder)
            found.emplace_back(QFileInfo(path).fileName(), path);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        const int folded = a.first.compare(b.first, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.first < b.first;
    });
    std::vector<QString> paths;
    paths.reserve(found.size());
    for (auto& [name, path] : found) {
        if (paths.empty() || paths.back() != path)
            paths.push_back(std::move(path));
    }
    return paths;
}

std::optional<LevelWorkspace::Source> LevelWorkspace::changedSource(const QString& path, const Script* previous) const
{
    Source source;
    if (const auto document = m_documents.find(path); document != m_documents.end()) {
        if (previous && previous->read.open && previous->read.analysis->text == document->second.text)
            return std::nullopt;
        source.open = true;
        source.revision = document->second.revision;
        source.text = document->second.text;
        source.analysis = document->second.analysis;
        return source;
    }
    // Stamped before it is read, so that a change while it is read shows next time.
    source.stamp = fileStampOf(path);
    if (previous && !previous->read.open && !previous->read.readError && source.stamp.exists &&
        previous->stamp == source.stamp)
        return std::nullopt;
    return source;
}

std::optional<LevelWorkspace::Script> LevelWorkspace::readSource(const QString& path, Source source, const Script* previous,
                                                                 std::shared_ptr<ScriptAnalysis>& uncounted)
{
    Script script;
    script.stamp = source.stamp;
    script.read.path = path;
    script.read.open = source.open;
    script.read.revision = source.revision;
    if (!source.open) {
        try {
            source.text = std::make_shared<const std::string>(readScriptText(path));
        } catch (const FileError& error) {
            // Tried again every time, as the cause may pass (a lock, a permission); while it
            // stays the same, nothing changed.
            if (previous && !previous->read.open && previous->read.readError &&
                previous->read.readError->cause() == error.cause())
                return std::nullopt;
            script.read.readError = error;
        }
    }
    if (source.analysis) {
        script.read.analysis = std::move(source.analysis);
    } else if (source.text) {
        uncounted = readAnalysis(std::move(source.text));
        script.read.analysis = uncounted;
    } else {
        script.read.analysis = emptyAnalysis();
    }
    return script;
}

void LevelWorkspace::gatherDeclarations(LevelScript& script, const Script* previous)
{
    script.declarations = std::make_shared<const DeclaredNames::Entries>(
        DeclaredNames::entriesOf(*script.analysis->text, script.analysis->outline));
    if (previous && *previous->read.declarations == *script.declarations)
        script.declarations = previous->read.declarations;
}

void LevelWorkspace::refresh(Folder& folder)
{
    std::unordered_map<QString, const Script*> before;
    for (const Script& script : folder.scripts)
        before.emplace(script.read.path, &script);

    // Everything is made aside and put in place at the end, so that running out of memory on
    // the way leaves the folder as it was.
    const std::vector<QString> paths = scriptPathsIn(folder.path);
    std::vector<const Script*> previous(paths.size(), nullptr);
    std::vector<std::optional<Source>> sources(paths.size());
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (const auto old = before.find(paths[i]); old != before.end())
            previous[i] = old->second;
        sources[i] = changedSource(paths[i], previous[i]);
        if (sources[i])
            changed.push_back(i);
    }
    struct Read {
        std::optional<Script> script;  // nothing when it holds what was read before
        std::shared_ptr<ScriptAnalysis> uncounted;
    };
    std::vector<Read> reads(changed.size());
    forEachInParallel(changed.size(), [&](std::size_t n) {
        const std::size_t i = changed[n];
        reads[n].script = readSource(paths[i], std::move(*sources[i]), previous[i], reads[n].uncounted);
    });

    std::vector<Script> scripts;
    scripts.reserve(paths.size());
    std::vector<std::size_t> fresh;  // read again: to gather, count and check
    std::vector<const Script*> freshBefore;  // what each fresh script read before, if anything
    std::vector<std::shared_ptr<ScriptAnalysis>> uncounted;
    for (std::size_t i = 0, n = 0; i < paths.size(); ++i) {
        Read* read = sources[i] ? &reads[n++] : nullptr;
        if (!read || !read->script) {
            scripts.push_back(*previous[i]);
            continue;
        }
        if (read->uncounted)
            uncounted.push_back(std::move(read->uncounted));
        fresh.push_back(scripts.size());
        freshBefore.push_back(previous[i]);
        scripts.push_back(std::move(*read->script));
    }
    // The counts read only the outline and nothing below waits for them: they are made on a
    // thread of their own while the declarations are gathered and the scripts checked.
    std::future<void> counting = std::async(std::launch::async | std::launch::deferred, [&uncounted] {
        for (const std::shared_ptr<ScriptAnalysis>& analysis : uncounted)
            countNames(*analysis);
    });
    const bool sameScripts = scripts.size() == folder.scripts.size() &&
                             std::equal(scripts.begin(), scripts.end(), folder.scripts.begin(),
                                        [](const Script& a, const Script& b) { return a.read.path == b.read.path; });
    // A script read again alone, as after a pause in typing, is checked against what the others
    // declare, which is known already: its check need not wait for its own declarations.
    const std::optional<std::size_t> alone = fresh.size() == 1 ? std::optional(fresh[0]) : std::nullopt;
    std::future<void> checkingAlone;
    if (alone) {
        checkingAlone = std::async(std::launch::async | std::launch::deferred, [&, alone = *alone] {
            LevelScript& script = scripts[alone].read;
            std::shared_ptr<const DeclaredNames> others;
            if (sameScripts) {
                others = namesBeside(script.path);
            } else {
                auto names = std::make_shared<DeclaredNames>();
                for (std::size_t i = 0; i < scripts.size(); ++i) {
                    if (i != alone)
                        names->add(scripts[i].read.declarations);
                }
                others = std::move(names);
            }
            script.findings = std::make_shared<const std::vector<Finding>>(
                checkScript(*script.analysis->text, script.analysis->outline, *others));
        });
    }
    forEachInParallel(fresh.size(), [&](std::size_t n) { gatherDeclarations(scripts[fresh[n]].read, freshBefore[n]); });

    std::vector<QString> declarers;  // paths whose declarations changed, came or went
    for (std::size_t n = 0; n < fresh.size(); ++n) {
        const LevelScript& script = scripts[fresh[n]].read;
        if (freshBefore[n] ? script.declarations != freshBefore[n]->read.declarations : !script.declarations->empty())
            declarers.push_back(script.path);
    }
    const std::unordered_set<QString> present(paths.begin(), paths.end());
    for (const Script& gone : folder.scripts) {
        if (!present.contains(gone.read.path) && !gone.read.declarations->empty())
            declarers.push_back(gone.read.path);
    }

    std::shared_ptr<const DeclaredNames> names = folder.names;
    std::vector<std::string> changedNames;
    if (!declarers.empty()) {
        auto all = std::make_shared<DeclaredNames>();
        for (const Script& script : scripts)
            all->add(script.read.declarations);
        // They tell which of the scripts not read again to check again, if there are any.
        if (fresh.size() < scripts.size())
            changedNames = namesOnOneSide(*folder.names, *all);
        names = std::move(all);
    }

    // The check of one script is handed every declaration of the level, its own included: it
    // asks of a name only whether the level declares it, and a name the script declares itself
    // it already knows. So one set of names serves every script, instead of one set for each.
    std::vector<std::size_t> toCheck = alone ? std::vector<std::size_t>() : fresh;
    std::size_t next = 0;
    for (std::size_t i = 0; i < scripts.size() && !changedNames.empty(); ++i) {
        if (next < fresh.size() && fresh[next] == i) {
            ++next;
            continue;
        }
        const NameMap<std::uint32_t>& uses = scripts[i].read.analysis->uses;
        if (std::any_of(changedNames.begin(), changedNames.end(),
                        [&uses](const std::string& name) { return uses.contains(name); }))
            toCheck.push_back(i);
    }
    forEachInParallel(toCheck.size(), [&](std::size_t n) {
        LevelScript& script = scripts[toCheck[n]].read;
        script.findings = std::make_shared<const std::vector<Finding>>(
            checkScript(*script.analysis->text, script.analysis->outline, *names));
    });
    if (checkingAlone.valid())
        checkingAlone.get();
    counting.get();

    std::shared_ptr<const Level> level = folder.level;
    if (!level || !sameScripts || !fresh.empty() || !toCheck.empty()) {
        std::vector<LevelScript> snapshot;
        snapshot.reserve(scripts.size());
        for (const Script& script : scripts)
            snapshot.push_back(script.read);
        level = std::make_shared<const Level>(folder.path, std::move(snapshot));
    }

    std::erase_if(folder.beside, [&declarers](const auto& beside) {
        return std::any_of(declarers.begin(), declarers.end(), [&](const QString& path) { return path != beside.first; });
    });
    folder.scripts = std::move(scripts);
    folder.names = std::move(names);
    folder.level = std::move(level);
}
