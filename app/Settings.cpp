#include "app/Settings.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace {

const QString kLastFolderKey = QStringLiteral("files/lastFolder");
const QString kRecentScriptsKey = QStringLiteral("files/recentScripts");
const QString kZoomKey = QStringLiteral("editor/zoom");
const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kLevelPanelKey = QStringLiteral("window/levelPanel");
const QString kSessionGroup = QStringLiteral("session");
const QString kSessionCountKey = QStringLiteral("session/count");
const QString kSessionCurrentKey = QStringLiteral("session/current");

QString sessionKey(int index, const char* field)
{
    return QStringLiteral("session/%1/%2").arg(index).arg(QLatin1String(field));
}

// A whole number from `least` to `most`, or nothing.
std::optional<int> numberIn(const QVariant& value, int least, int most)
{
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    if (!isNumber || number < least || number > most)
        return std::nullopt;
    return number;
}

} // namespace

Settings::Settings() : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("quarn-xp"),
                                  QStringLiteral("quarn-xp"))
{
}

QString Settings::lastFolder() const
{
    const QVariant value = m_settings.value(kLastFolderKey);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void Settings::setLastFolder(const QString& folder)
{
    m_settings.setValue(kLastFolderKey, folder);
}

int Settings::zoom() const
{
    bool isNumber = false;
    const int zoom = m_settings.value(kZoomKey).toInt(&isNumber);
    return isNumber ? std::clamp(zoom, kMinimumZoom, kMaximumZoom) : 0;
}

void Settings::setZoom(int zoom)
{
    m_settings.setValue(kZoomKey, zoom);
}

QStringList Settings::recentScripts() const
{
    QStringList paths;
    for (const QString& path : m_settings.value(kRecentScriptsKey).toStringList()) {
        if (!path.isEmpty() && !paths.contains(path) && paths.size() < kRecentScriptCount)
            paths.append(path);
    }
    return paths;
}

void Settings::setRecentScripts(const QStringList& paths)
{
    m_settings.setValue(kRecentScriptsKey, paths);
}

QByteArray Settings::windowGeometry() const
{
    return m_settings.value(kGeometryKey).toByteArray();
}

void Settings::setWindowGeometry(const QByteArray& geometry)
{
    m_settings.setValue(kGeometryKey, geometry);
}

std::vector<SessionScript> Settings::sessionScripts() const
{
    std::vector<SessionScript> scripts;
    const int count = numberIn(m_settings.value(kSessionCountKey), 0, kSessionScripts).value_or(0);
    for (int index = 0; index < count; ++index) {
        const QVariant path = m_settings.value(sessionKey(index, "path"));
        if (path.typeId() != QMetaType::QString || path.toString().isEmpty())
            continue;
        scripts.push_back({path.toString(), numberIn(m_settings.value(sessionKey(index, "line")), 0, INT_MAX).value_or(0),
                           numberIn(m_settings.value(sessionKey(index, "column")), 0, INT_MAX).value_or(0)});
    }
    return scripts;
}

int Settings::sessionCurrent() const
{
    return numberIn(m_settings.value(kSessionCurrentKey), -1, kSessionScripts - 1).value_or(-1);
}

void Settings::setSession(const std::vector<SessionScript>& scripts, int current)
{
    m_settings.remove(kSessionGroup);
    const int count = std::min(int(scripts.size()), kSessionScripts);
    m_settings.setValue(kSessionCountKey, count);
    m_settings.setValue(kSessionCurrentKey, current < count ? current : -1);
    for (int index = 0; index < count; ++index) {
        m_settings.setValue(sessionKey(index, "path"), scripts[std::size_t(index)].path);
        m_settings.setValue(sessionKey(index, "line"), scripts[std::size_t(index)].line);
        m_settings.setValue(sessionKey(index, "column"), scripts[std::size_t(index)].column);
    }
}

bool Settings::levelPanelShown() const
{
    const QVariant value = m_settings.value(kLevelPanelKey);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    return value.toString() != QLatin1String("false");
}

void Settings::setLevelPanelShown(bool shown)
{
    m_settings.setValue(kLevelPanelKey, shown);
}

QStringList withRecentScript(QStringList recent, const QString& path)
{
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > Settings::kRecentScriptCount)
        recent.removeLast();
    return recent;
}
