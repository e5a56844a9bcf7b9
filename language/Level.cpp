#include "language/Level.h"

#include "language/Completion.h"

#include <QDir>
#include <QFileInfo>

QString levelPath(const QString& path)
{
    if (path.isEmpty())
        return {};
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString levelHintOf(const QString& scriptPath)
{
    if (scriptPath.isEmpty())
        return {};
    const QFileInfo file(scriptPath);
    const QString folder = file.absoluteDir().dirName();
    return levelFromHint(folder.toStdString()) ? folder : file.completeBaseName();
}

Level::Level(QString folder, std::vector<LevelScript> scripts)
    : m_folder(std::move(folder)), m_scripts(std::move(scripts))
{
}

std::optional<std::size_t> Level::indexOf(const QString& path) const
{
    const QString wanted = levelPath(path);
    for (std::size_t i = 0; i < m_scripts.size(); ++i) {
        if (m_scripts[i].path == wanted)
            return i;
    }
    return std::nullopt;
}
