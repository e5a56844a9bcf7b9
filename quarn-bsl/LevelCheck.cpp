#include "quarn-bsl/LevelCheck.h"

#include "language/DeclaredNames.h"
#include "quarn-bsl/ScriptFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <future>
#include <map>

namespace {

// Runs work(0) to work(count - 1) on as many threads as the machine has cores.
template <typename Work>
void forEachInParallel(std::size_t count, const Work& work)
{
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            work(i);
    };
    const std::size_t threads = std::min(count, std::size_t(std::max(1, QThread::idealThreadCount())));
    std::vector<std::future<void>> helpers;
    for (std::size_t t = 1; t < threads; ++t)
        helpers.push_back(std::async(std::launch::async, worker));
    worker();
    for (std::future<void>& helper : helpers)
        helper.get();
}

QString cannotRead(const QString& path, const QString& why)
{
    return QStringLiteral("cannot read %1: %2").arg(path, why);
}

// A script of a level that the check reads: one named, or another of its folder.
struct ReadScript {
    QString absolutePath;
    QString shownPath;
    bool inLevel = false;  // a `.bsl` file of its folder, which the other scripts there may call
    ScriptFile file;
    ScriptOutline outline;
    std::vector<DeclaredNames::Entry> declared;
};

class Check {
public:
    CheckRun run(const QStringList& paths);

private:
    void name(const QString& path);
    void nameScript(const QString& shownPath, const QFileInfo& info);
    std::size_t scriptAt(const QFileInfo& info, const QString& shownPath);

    CheckRun m_run;
    std::vector<ReadScript> m_scripts;
    std::map<QString, std::size_t> m_byPath;    // absolute path -> m_scripts
    std::vector<std::size_t> m_named;           // into m_scripts, in the order named
    QSet<QString> m_namedFiles;                 // canonical paths of the scripts named
    // The `.bsl` files of each folder read, by absolute path, each in path order as the window
    // merges what they declare.
    std::map<QString, std::vector<std::size_t>> m_levels;
};

std::size_t Check::scriptAt(const QFileInfo& info, const QString& shownPath)
{
    const QString path = info.absoluteFilePath();
    const auto [at, added] = m_byPath.try_emplace(path, m_scripts.size());
    if (added)
        m_scripts.push_back({path, shownPath, false, {}, {}, {}});
    return at->second;
}

void Check::nameScript(const QString& shownPath, const QFileInfo& info)
{
    const QString canonical = info.canonicalFilePath();
    const QString identity = canonical.isEmpty() ? info.absoluteFilePath() : canonical;
    if (m_namedFiles.contains(identity))
        return;
    m_namedFiles.insert(identity);
    const std::size_t named = scriptAt(info, shownPath);
    m_scripts[named].shownPath = shownPath;
    m_named.push_back(named);

    // The rest of its level, each script read once however many of the level are named.
    const QString folder = info.absolutePath();
    if (!m_levels.try_emplace(folder).second)
        return;
    for (const QFileInfo& sibling : levelScriptsIn(folder))
        m_scripts[scriptAt(sibling, sibling.filePath())].inLevel = true;
}

void Check::name(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isDir()) {
        nameScript(path, info);
        return;
    }
    if (!info.isReadable() || !info.isExecutable()) {
        m_run.failures.push_back(cannotRead(path, QStringLiteral("Permission denied")));
        return;
    }
    const QFileInfoList scripts = levelScriptsIn(path);
    if (scripts.isEmpty()) {
        m_run.failures.push_back(QStringLiteral("%1 holds no .bsl script").arg(path));
        return;
    }
    const QDir folder(path);
    for (const QFileInfo& script : scripts)
        nameScript(folder.filePath(script.fileName()), script);
}

CheckRun Check::run(const QStringList& paths)
{
    for (const QString& path : paths)
        name(path);

    forEachInParallel(m_scripts.size(), [this](std::size_t i) {
        ReadScript& script = m_scripts[i];
        script.file = readScriptFile(script.absolutePath);
        if (!script.file.text)
            return;
        script.outline = readScript(*script.file.text);
        DeclaredNames names;
        names.addScript(*script.file.text, script.outline);
        script.declared.reserve(names.entries().size());
        for (const auto& [key, entry] : names.entries())
            script.declared.push_back(entry);
    });
    for (const ReadScript& script : m_scripts) {
        if (!script.file.text)
            m_run.failures.push_back(cannotRead(script.shownPath, script.file.error));
    }
    for (const auto& [path, index] : m_byPath) {
        if (m_scripts[index].inLevel)
            m_levels[QFileInfo(path).absolutePath()].push_back(index);
    }

    m_run.scripts.resize(m_named.size());
    forEachInParallel(m_named.size(), [this](std::size_t n) {
        const ReadScript& script = m_scripts[m_named[n]];
        CheckedScript& checked = m_run.scripts[n];
        checked.path = script.shownPath;
        checked.text = script.file.text;
        if (!script.file.text)
            return;
        DeclaredNames siblings;
        for (const std::size_t index : m_levels.at(QFileInfo(script.absolutePath).absolutePath())) {
            if (index == m_named[n])
                continue;
            for (const DeclaredNames::Entry& entry : m_scripts[index].declared)
                siblings.add(entry);
        }
        checked.findings = checkScript(*script.file.text, script.outline, siblings);
    });
    std::erase_if(m_run.scripts, [](const CheckedScript& script) { return !script.text; });
    return std::move(m_run);
}

} // namespace

CheckRun checkPaths(const QStringList& paths)
{
    return Check().run(paths);
}
