#pragma once

#include "language/LanguageService.h"
#include "language/LevelQueries.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CheckMarks;
class ScriptDocument;
class ScriptEditor;
class Settings;
class QWidget;

// One script open in the window: its editor, its file, the revisions of its text and the newest
// reading of them, its underlines and its recovery copy. Each change counts a revision; once the
// typing pauses, the text goes to the language service, and a reading of the text as it still
// stands is shown.
class ScriptTab : public QObject {
    Q_OBJECT

public:
    // `id` names the tab's document to the language service. The editor goes into `editorParent`;
    // boxes and dialogs open over `window`.
    ScriptTab(std::uint64_t id, QWidget* editorParent, QWidget* window, Settings& settings, LanguageService& language);
    ~ScriptTab() override;

    std::uint64_t id() const { return m_id; }
    ScriptEditor* editor() const { return m_editor; }
    ScriptDocument* document() const { return m_document; }
    // The file the script was opened from or last saved to; empty for a new script.
    const QString& path() const;
    // The file's name, or "Untitled" with the number telling new scripts apart.
    QString name() const;
    void setUntitledNumber(int number) { m_untitledNumber = number; }
    int untitledNumber() const { return m_untitledNumber; }
    bool isModified() const;
    // Nothing was opened, typed or loaded: a script opened next may take its place.
    bool isUntouched() const;

    std::uint64_t revision() const { return m_revision; }
    // The level of the newest reading shown; null before the first.
    const std::shared_ptr<const Level>& level() const { return m_level; }
    // The reading shown is of the text as it stands.
    bool isRead() const { return m_level && m_readRevision == m_revision; }
    // This script among the scripts of level().
    std::optional<std::size_t> indexInLevel() const;
    // The folder of the script's level; empty for a new script, which is a level of its own.
    QString folder() const;

    // Hands the text to the language service now, and shows its reading when it comes.
    void checkNow();
    // The same, unless the service holds this very revision already.
    void handOver();
    void setCheckPause(std::chrono::milliseconds pause) { m_checkTimer.setInterval(pause); }
    void showReading(std::uint64_t revision, const ScriptReading& reading);

    // Whether `edits` (in offsets of the script's text) fall where the editor can make them: none
    // inside the rest of a line the editor holds cut short.
    bool canApply(const std::vector<TextEdit>& edits) const;
    // Makes them, as one undo step.
    void apply(const std::vector<TextEdit>& edits);

signals:
    // A reading of the text as it stands was shown.
    void read();
    // The name or the unsaved mark changed.
    void stateChanged();

private:
    void requestReading(std::shared_ptr<const std::string> text, const QString& path);
    void pathChanged();
    void updateScriptContext(std::shared_ptr<const DeclaredNames> siblings);
    std::pair<long, long> shownRange(const TextEdit& edit) const;

    std::uint64_t m_id;
    LanguageService& m_language;
    ScriptEditor* m_editor;
    ScriptDocument* m_document;
    CheckMarks* m_checkMarks;
    int m_untitledNumber = 1;
    // Started afresh by every change, so the check runs once the typing pauses.
    QTimer m_checkTimer;
    // Counts the changes to the text, so that a reading of an older text is never shown.
    std::uint64_t m_revision = 0;
    // The revision and path of the last reading asked for.
    std::pair<std::uint64_t, QString> m_requested;
    QString m_readPath;  // the path the language service holds the text as
    std::uint64_t m_readRevision = 0;
    std::shared_ptr<const Level> m_level;
    std::shared_ptr<const DeclaredNames> m_siblingNames;
    QString m_contextPath;
};
