#pragma once

#include "app/RecoveryFile.h"
#include "platform/File.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class ScriptEditor;
class Settings;
class QWidget;

// The script being edited, as a file: where it lives, reading and writing it with every failure
// reported, whether another program changed it on disk, and the recovery copy that keeps unsaved
// work through a crash.
class ScriptDocument : public QObject {
    Q_OBJECT

public:
    // Boxes and dialogs open over `window`.
    ScriptDocument(ScriptEditor* editor, QWidget* window, Settings& settings, QObject* parent = nullptr);

    // The file the script was opened from or last saved to; empty for a new script.
    const QString& path() const { return m_path; }
    // Where the file dialogs start: the folder of the last script opened or saved in any tab.
    QString lastFolder() const;

    // Reads the script at `path` into the editor; a failure is reported and leaves the text as
    // it was. `progress` hears of the load's progress from 0 to 100.
    bool open(const QString& path, const std::function<void(int)>& progress = {});
    // Saves to the script's own file, or asks where when it has none.
    bool save();
    // Asks where to save the script and saves it there.
    bool saveAs();
    // Offers to save unsaved changes; false when the user cancels or the save does not happen.
    bool maybeSave();
    // The unsaved changes are thrown away: their recovery copy goes.
    void discardChanges();

    // Asks to reload a script another program changed since it was read or written, and says
    // so once when it was deleted.
    void checkDisk();
    // Takes the work a crashed copy of the program left behind as unsaved changes to its
    // script, whose file is left alone until saved. Saving then asks first when another program
    // changed the file since the crashed copy read it.
    void recover(const RecoveredScript& work);
    // How long after the first unsaved change the recovery copy is written.
    void setRecoveryDelay(std::chrono::milliseconds delay) { m_recoveryTimer.setInterval(delay); }
    bool recoveryCopyDue() const { return m_recoveryTimer.isActive(); }

signals:
    void pathChanged();
    // A script read from `path` is going into the editor: its text, as the editor's snapshot
    // gives it once it is in.
    void loading(const QString& path, std::shared_ptr<const std::string> text);

private:
    bool write(const QString& path);
    void setPath(const QString& path);
    void keepRecoveryCopy();
    void report(const QString& text);
    bool confirmOverwrite();

    ScriptEditor* m_editor;
    QWidget* m_window;
    Settings& m_settings;
    QString m_path;
    // The file as it was when read or written, and a change the user chose not to reload. None
    // declined is not the same as a declined deletion, whose stamp is the empty one.
    FileStamp m_diskStamp;
    std::optional<FileStamp> m_declinedStamp;
    RecoveryFile m_recovery;
    QTimer m_recoveryTimer;
};
