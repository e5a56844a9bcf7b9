#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <vector>

// A script open when the program last ended, and where its caret stood.
struct SessionScript {
    QString path;
    int line = 0;    // from 0
    int column = 0;  // bytes into the line

    friend bool operator==(const SessionScript&, const SessionScript&) = default;
};

// What the program remembers between runs, in the user's configuration folder. Each value is
// checked as it is read: one that is missing, damaged or out of range reads as its default, and
// the others stay in use.
class Settings {
public:
    static constexpr int kRecentScriptCount = 8;
    static constexpr int kMinimumZoom = -8;
    static constexpr int kMaximumZoom = 20;
    // A session remembers no more scripts than this.
    static constexpr int kSessionScripts = 100;

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

    // The scripts that were open, in their tabs' order, and the index of the current one (-1 for
    // none). Entries without a path are dropped; numbers out of range read as 0.
    std::vector<SessionScript> sessionScripts() const;
    int sessionCurrent() const;
    void setSession(const std::vector<SessionScript>& scripts, int current);

    // Whether the level panel shows beside the editor; it does unless hidden.
    bool levelPanelShown() const;
    void setLevelPanelShown(bool shown);

private:
    QSettings m_settings;
};

// `recent` with `path` moved or added to its front, at most Settings::kRecentScriptCount long.
QStringList withRecentScript(QStringList recent, const QString& path);
