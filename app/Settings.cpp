#include "app/Settings.h"

#include <algorithm>

namespace {

const QString kLastFolderKey = QStringLiteral("files/lastFolder");
const QString kRecentScriptsKey = QStringLiteral("files/recentScripts");
const QString kZoomKey = QStringLiteral("editor/zoom");
const QString kGeometryKey = QStringLiteral("window/geometry");

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

QStringList withRecentScript(QStringList recent, const QString& path)
{
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > Settings::kRecentScriptCount)
        recent.removeLast();
    return recent;
}
