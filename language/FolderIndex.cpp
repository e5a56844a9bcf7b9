#include "language/FolderIndex.h"

#include "language/Completion.h"
#include "language/ScriptText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

std::vector<DeclaredNames::Entry> declarationsOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const std::string text = documentFromFile(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    DeclaredNames names;
    names.addScript(text);
    std::vector<DeclaredNames::Entry> entries;
    entries.reserve(names.entries().size());
    for (const auto& [name, entry] : names.entries())
        entries.push_back(entry);
    return entries;
}

} // namespace

QString levelHintOf(const QString& scriptPath)
{
    if (scriptPath.isEmpty())
        return {};
    const QFileInfo file(scriptPath);
    const QString folder = file.absoluteDir().dirName();
    return levelFromHint(folder.toStdString()) ? folder : file.completeBaseName();
}

std::shared_ptr<const DeclaredNames> FolderIndex::namesBeside(const QString& scriptPath)
{
    if (scriptPath != m_scriptPath) {
        m_scriptPath = scriptPath;
        m_siblings.clear();
        m_names.reset();
    }
    if (scriptPath.isEmpty()) {
        if (!m_names)
            m_names = std::make_shared<const DeclaredNames>();
        return m_names;
    }

    const QFileInfo script(scriptPath);
    const QDir folder = script.absoluteDir();
    // The game takes the suffix in any letter case; the name filter does too.
    QDir::Filters filters = QDir::Files | QDir::Readable | QDir::Hidden;
    const QFileInfoList found = folder.entryInfoList({QStringLiteral("*.bsl")}, filters, QDir::Name | QDir::IgnoreCase);

    bool changed = !m_names;
    std::map<QString, Sibling> seen;
    for (const QFileInfo& info : found) {
        if (info.suffix().compare(QLatin1String("bsl"), Qt::CaseInsensitive) != 0)
            continue;
        const QString path = info.absoluteFilePath();
        if (path == script.absoluteFilePath())
            continue;
        const FileStamp stamp = fileStampOf(path);
        auto known = m_siblings.find(path);
        if (known != m_siblings.end() && known->second.stamp == stamp) {
            seen.insert(m_siblings.extract(known));
            continue;
        }
        seen.emplace(path, Sibling{stamp, declarationsOf(path)});
        changed = true;
    }
    // Files gone since the last look take their names with them.
    changed = changed || !m_siblings.empty();
    m_siblings = std::move(seen);

    if (changed) {
        auto names = std::make_shared<DeclaredNames>();
        for (const auto& [path, sibling] : m_siblings) {
            for (const DeclaredNames::Entry& entry : sibling.entries)
                names->add(entry);
        }
        m_names = std::move(names);
    }
    return m_names;
}
