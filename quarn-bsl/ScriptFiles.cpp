#include "quarn-bsl/ScriptFiles.h"

#include "language/ScriptText.h"
#include "language/Tokenizer.h"

#include <QDir>
#include <QFile>

#include <new>

namespace {

// A reading counts offsets in 32 bits, and a windows-1252 byte takes up to three in the editor's
// text.
constexpr qint64 kLargestScript = qint64(1) << 30;

} // namespace

ScriptFile readScriptFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {nullptr, QStringLiteral("No such file or directory")};
    // A pipe or a device would hold the check up until someone wrote to it.
    if (!info.isFile())
        return {nullptr, info.isDir() ? QStringLiteral("Is a folder") : QStringLiteral("Not a regular file")};
    if (info.size() > kLargestScript)
        return {nullptr, QStringLiteral("Larger than 1 GiB")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {nullptr, file.errorString()};
    try {
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return {nullptr, file.errorString()};
        std::string text = documentFromFile(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        correctCase(text);
        return {std::make_shared<const std::string>(std::move(text)), {}};
    } catch (const std::bad_alloc&) {
        return {nullptr, QStringLiteral("Not enough memory to read it")};
    }
}

QFileInfoList levelScriptsIn(const QString& folderPath)
{
    const QDir folder(folderPath);
    const QFileInfoList found = folder.entryInfoList({QStringLiteral("*.bsl")}, QDir::Files | QDir::Hidden | QDir::System,
                                                     QDir::Name | QDir::IgnoreCase);
    QFileInfoList scripts;
    for (const QFileInfo& info : found) {
        if (info.suffix().compare(QLatin1String("bsl"), Qt::CaseInsensitive) == 0)
            scripts.push_back(info);
    }
    return scripts;
}
