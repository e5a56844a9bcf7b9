#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>

// What the program remembers between runs, in the user's configuration folder. Each value is
// checked as it is read: one that is missing, damaged or out of range reads as its default, and
// the others stay in use.
class Settings {
public:
    static constexpr int kRecentScriptCount = 8;
    static constexpr int kMinimumZoom = -8;
    static constexpr int kMaximumZoom = 20;

    Settings();

    // The folder the file dialogs start in; empty when none was remembered.
    QString lastFolder() const;
    void setLastFolder(const QString& folder);

    // Points added to the editor's font size.
    int zoom() const;
    void setZoom(int zoom);

    // The scripts opened or saved last, the latest first.
    QStringList recentScripts() const;
    void setRecentScripts(const QStringList& paths);

    QByteArray windowGeometry() const;
    void setWindowGeometry(const QByteArray& geometry);

private:
    QSettings m_settings;
};

// `recent` with `path` moved or added to its front, at most Settings::kRecentScriptCount long.
QStringList withRecentScript(QStringList recent, const QString& path);
