#include "quarn-bsl/LevelCheck.h"

#include "language/LevelWorkspace.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <map>

namespace {

bool hasScriptSuffix(const QString& path)
{
    return path.endsWith(QLatin1String(".bsl"), Qt::CaseInsensitive);
}

// What a script is as a file: two names of one file are one script.
QString identityOf(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

// What the user named: a script, or a folder of them.
struct Named {
    QString shownPath;  // as named
    QString path;       // see levelPath
    QString folder;     // the level's: see levelPath
    bool isFolder = false;
    bool unreadable = false;
};

class Check {
public:
    CheckRun run(const QStringList& paths);

private:
    void name(const QString& path);
    // The level of `folder`, asked once however many of its scripts are named.
    std::shared_ptr<const Level> levelAt(const QString& folder);
    // Reads a named script the folder's listing does not hold, such as one whose name does not
    // end in .bsl, as the window reads a script it opens: a document of its folder's level.
    bool openDocument(const Named& named);
    void add(const QString& shownPath, const LevelScript& script);
    void fail(const FileError& error, const QString& shownPath);

    LevelWorkspace m_workspace;
    CheckRun m_run;
    std::vector<Named> m_named;
    std::map<QString, std::shared_ptr<const Level>> m_levels;  // by folder
    std::map<QString, QString> m_shownFolders;  // how each folder was first named, by folder
    QSet<QString> m_added;     // the scripts checked or failed, as files: each is reported once
};

void Check::name(const QString& path)
{
    const QFileInfo info(path);
    Named named{path, levelPath(path), {}, info.isDir()};
    if (named.isFolder) {
        if (!info.isReadable() || !info.isExecutable()) {
            fail(FileError(FileError::accessDenied, path), path);
            return;
        }
        named.folder = named.path;
        m_shownFolders.try_emplace(named.folder, path);
    } else {
        named.folder = levelPath(info.absolutePath());
        m_shownFolders.try_emplace(named.folder, info.path());
    }
    m_named.push_back(std::move(named));
}

std::shared_ptr<const Level> Check::levelAt(const QString& folder)
{
    std::shared_ptr<const Level>& level = m_levels[folder];
    if (!level)
        level = m_workspace.levelOfFolder(folder);
    return level;
}

bool Check::openDocument(const Named& named)
{
    try {
        m_workspace.setDocument(named.path, 1, std::make_shared<const std::string>(readScriptText(named.path)));
        return true;
    } catch (const FileError& error) {
        fail(error, named.shownPath);
        return false;
    }
}

void Check::fail(const FileError& error, const QString& shownPath)
{
    m_run.failures.push_back(FileError(error.cause(), shownPath).message());
}

void Check::add(const QString& shownPath, const LevelScript& script)
{
    const QString identity = identityOf(script.path);
    if (m_added.contains(identity))
        return;
    m_added.insert(identity);
    if (script.readError)
        fail(*script.readError, shownPath);
    else
        m_run.scripts.push_back({shownPath, script.analysis->text, script.findings});
}

CheckRun Check::run(const QStringList& paths)
{
    for (const QString& path : paths)
        name(path);

    // Documents first, so that each level is read once, with them in it.
    for (Named& named : m_named) {
        named.unreadable = !named.isFolder && !hasScriptSuffix(named.path) && !openDocument(named);
    }
    for (const Named& named : m_named) {
        if (named.unreadable)
            continue;
        if (named.isFolder) {
            const std::shared_ptr<const Level> level = levelAt(named.folder);
            if (level->size() == 0)
                m_run.failures.push_back(QStringLiteral("%1 holds no .bsl script").arg(named.shownPath));
            const QDir shown(named.shownPath);
            for (const LevelScript& script : level->scripts())
                add(shown.filePath(QFileInfo(script.path).fileName()), script);
            continue;
        }
        std::optional<std::size_t> index = levelAt(named.folder)->indexOf(named.path);
        if (!index) {
            // Not listed, as in a folder that can be entered but not listed, or not there at all.
            if (!openDocument(named))
                continue;
            m_levels[named.folder] = m_workspace.levelOfFolder(named.folder);
            index = m_levels[named.folder]->indexOf(named.path);
            if (!index)
                continue;
        }
        add(named.shownPath, m_levels[named.folder]->script(*index));
    }

    // The scripts beside those named that could not be read: the level is not whole without them.
    for (const auto& [folder, level] : m_levels) {
        const QDir shown(m_shownFolders.at(folder));
        for (const LevelScript& script : level->scripts()) {
            if (script.readError && !m_added.contains(identityOf(script.path))) {
                m_added.insert(identityOf(script.path));
                fail(*script.readError, shown.filePath(QFileInfo(script.path).fileName()));
            }
        }
    }
    return std::move(m_run);
}

} // namespace

CheckRun checkPaths(const QStringList& paths)
{
    return Check().run(paths);
}
