#include "app/RecoveryFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>
#include <QUuid>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr std::string_view kMagic = "QUARN-XP recovery 2\n";
constexpr std::string_view kFirstMagic = "QUARN-XP recovery 1\n";
static_assert(kFirstMagic.size() == kMagic.size());
constexpr char kSuffix[] = ".recovery";
constexpr char kLockSuffix[] = ".lock";
constexpr char kDamagedSuffix[] = ".damaged";
constexpr char kFreshSuffix[] = ".new";

QString lockPathOf(const QString& file)
{
    return file + QLatin1String(kLockSuffix);
}

// A lock the holder keeps for as long as it runs; -1 when another process holds it.
int takeLock(const QString& lockPath)
{
    const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// "key value\n" at the front of `rest`, which then starts after it.
std::optional<std::string_view> field(std::string_view& rest, std::string_view key)
{
    if (rest.substr(0, key.size()) != key || rest.size() <= key.size() || rest[key.size()] != ' ')
        return std::nullopt;
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos)
        return std::nullopt;
    const std::string_view value = rest.substr(key.size() + 1, end - key.size() - 1);
    rest.remove_prefix(end + 1);
    return value;
}

// An unsigned number filling the whole of `text`.
template <class Number>
std::optional<Number> number(std::string_view text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || text.front() == '-')
        return std::nullopt;
    return value;
}

std::string stampText(const FileStamp& stamp)
{
    return std::to_string(stamp.size) + ' ' + std::to_string(stamp.modifiedNs) + ' ' + std::to_string(stamp.device) + ' ' +
           std::to_string(stamp.inode);
}

std::optional<FileStamp> stampFrom(std::string_view text)
{
    std::string_view parts[4];
    for (std::string_view& part : parts) {
        const std::size_t blank = text.find(' ');
        part = text.substr(0, blank);
        text = blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
    }
    const auto size = number<qint64>(parts[0]);
    const auto modified = number<qint64>(parts[1]);
    const auto device = number<dev_t>(parts[2]);
    const auto inode = number<ino_t>(parts[3]);
    if (!size || !modified || !device || !inode || !text.empty())
        return std::nullopt;
    return FileStamp{true, *size, *modified, *device, *inode};
}

} // namespace

RecoveryFile::RecoveryFile(QString folder) : m_folder(std::move(folder))
{
    QDir().mkpath(m_folder);
    m_path = QDir(m_folder).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1String(kSuffix));
    // Locked under a name no other copy looks at, then put in place: another copy that clears
    // away the locks of dead copies never finds this one unlocked.
    const QString lockPath = lockPathOf(m_path);
    const QString freshLock = lockPath + QLatin1String(kFreshSuffix);
    m_lockFd = takeLock(freshLock);
    if (m_lockFd >= 0
        && ::rename(QFile::encodeName(freshLock).constData(), QFile::encodeName(lockPath).constData()) != 0) {
        QFile::remove(freshLock);
        ::close(m_lockFd);
        m_lockFd = -1;
    }
    // One writer, so that copies land in the order they were taken.
    m_writer.setMaxThreadCount(1);
}

RecoveryFile::~RecoveryFile()
{
    remove();
    if (m_lockFd >= 0) {
        QFile::remove(lockPathOf(m_path));
        ::close(m_lockFd);
    }
}

QString RecoveryFile::defaultFolder()
{
    // The state folder of the desktop's base directories; Qt names it only from 6.7 on.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/quarn-xp/recovery");
}

void RecoveryFile::write(QString scriptPath, QDateTime savedAt, std::optional<FileStamp> diskStamp,
                         std::shared_ptr<const std::string> text)
{
    m_writer.start([path = m_path, scriptPath = std::move(scriptPath), savedAt, diskStamp,
                    text = std::move(text)]() mutable {
        // An exception must not leave the writer's thread; a copy that cannot be written keeps
        // the previous one.
        try {
            QSaveFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                return;
            const std::string bytes = encode({std::move(scriptPath), savedAt, *text, diskStamp});
            file.write(bytes.data(), qint64(bytes.size()));
            file.commit();
        } catch (const std::bad_alloc&) {
        }
    });
}

void RecoveryFile::remove()
{
    flush();
    QFile::remove(m_path);
}

void RecoveryFile::flush()
{
    m_writer.waitForDone();
}

std::vector<LeftRecovery> RecoveryFile::leftBehind(const QString& folder)
{
    std::vector<LeftRecovery> found;
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*") + QLatin1String(kSuffix)}, QDir::Files,
                                                            QDir::Time | QDir::Reversed);
    for (const QFileInfo& info : files) {
        const QString file = info.absoluteFilePath();
        const int lock = takeLock(lockPathOf(file));
        if (lock < 0)
            continue;  // a running copy's own
        ::close(lock);
        // A copy that ended normally since the folder was listed took its file away.
        if (!QFileInfo::exists(file)) {
            QFile::remove(lockPathOf(file));
            continue;
        }
        std::optional<RecoveredScript> script;
        QFile input(file);
        if (input.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = input.readAll();
            if (input.error() == QFile::NoError)
                script = decode(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        }
        found.push_back({file, std::move(script)});
    }
    // A copy that died with nothing unsaved left its lock alone.
    const QStringList locks =
        QDir(folder).entryList({QStringLiteral("*") + QLatin1String(kSuffix) + QLatin1String(kLockSuffix)}, QDir::Files);
    for (const QString& name : locks) {
        const QString lockPath = QDir(folder).filePath(name);
        if (QFileInfo::exists(lockPath.chopped(qsizetype(sizeof kLockSuffix - 1))))
            continue;
        const int lock = takeLock(lockPath);
        if (lock < 0)
            continue;  // a running copy's, with nothing unsaved
        QFile::remove(lockPath);
        ::close(lock);
    }
    return found;
}

void RecoveryFile::discard(const QString& file)
{
    QFile::remove(file);
    QFile::remove(lockPathOf(file));
}

void RecoveryFile::setAside(const QString& file)
{
    QFile::remove(file + QLatin1String(kDamagedSuffix));
    QFile::rename(file, file + QLatin1String(kDamagedSuffix));
    QFile::remove(lockPathOf(file));
}

std::string RecoveryFile::encode(const RecoveredScript& script)
{
    std::string bytes(kMagic);
    bytes += "path ";
    bytes += QUrl::toPercentEncoding(script.scriptPath).toStdString();
    bytes += "\nsaved ";
    bytes += script.savedAt.toUTC().toString(Qt::ISODateWithMs).toStdString();
    if (script.diskStamp && script.diskStamp->exists) {
        bytes += "\ndisk ";
        bytes += stampText(*script.diskStamp);
    }
    bytes += "\nbytes ";
    bytes += std::to_string(script.text.size());
    bytes += "\n\n";
    bytes += script.text;
    return bytes;
}

std::optional<RecoveredScript> RecoveryFile::decode(std::string_view bytes)
{
    const bool first = bytes.substr(0, kFirstMagic.size()) == kFirstMagic;
    if (!first && bytes.substr(0, kMagic.size()) != kMagic)
        return std::nullopt;
    std::string_view rest = bytes.substr(kMagic.size());
    const auto path = field(rest, "path");
    const auto saved = field(rest, "saved");
    std::optional<FileStamp> diskStamp;
    if (!first && rest.starts_with("disk ")) {
        const auto disk = field(rest, "disk");
        diskStamp = disk ? stampFrom(*disk) : std::nullopt;
        if (!diskStamp)
            return std::nullopt;
    }
    const auto length = field(rest, "bytes");
    if (!path || !saved || !length || rest.substr(0, 1) != "\n")
        return std::nullopt;
    rest.remove_prefix(1);
    std::size_t size = 0;
    const auto [end, error] = std::from_chars(length->data(), length->data() + length->size(), size);
    if (error != std::errc() || end != length->data() + length->size() || size != rest.size())
        return std::nullopt;
    const QDateTime savedAt = QDateTime::fromString(QString::fromLatin1(saved->data(), qsizetype(saved->size())),
                                                    Qt::ISODateWithMs);
    if (!savedAt.isValid())
        return std::nullopt;
    return RecoveredScript{QUrl::fromPercentEncoding(QByteArray(path->data(), qsizetype(path->size()))), savedAt,
                           std::string(rest), diskStamp};
}
