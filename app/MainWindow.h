#pragma once

#include "language/LanguageService.h"
#include "app/Settings.h"
#include "platform/DialogUnits.h"

#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CheckMarks;
class ClickLabel;
class CommandBuilder;
class FindDialog;
class ProblemsWindow;
class QLabel;
class QMenu;
class QPushButton;
class ScriptDocument;
class ScriptEditor;

// The program's window: the script editor on the left, the command builder on the right, the
// OPEN and SAVE labels, the credits, the clock and three web links.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);

    ScriptEditor* editor() const { return m_editor; }
    // The file the script was opened from or last saved to; empty for a new script.
    const QString& scriptPath() const;

    // Asks for a script and opens it, after offering to save unsaved changes.
    void openScript();
    // Opens the script at `path` in place of the text, without asking; a failure is reported
    // and leaves the text as it was.
    bool openScriptFile(const QString& path);
    // Saves to the script's own file at once, or asks where when it has none.
    void save();
    // Asks where to save the script and saves it.
    void saveScriptAs();
    // Asks for a line number and puts the caret at the start of that line.
    void goToLine();
    // Offers the unsaved work a crashed run of the program left behind.
    void offerRecovery();
    // Checks the script now, on a worker, with what the other scripts of its folder declare;
    // once the check of the text as it stands is done, underlines the faults, lists them in the
    // problems window and emits scriptChecked.
    void checkScriptNow();
    void requestReading(std::shared_ptr<const std::string> text, const QString& path);
    // How long typing must pause before the script is checked by itself.
    void setCheckPause(std::chrono::milliseconds pause);
    // How long after the first unsaved change the recovery copy is written.
    void setRecoveryDelay(std::chrono::milliseconds delay);
    // How long an open runs before its progress shows.
    void setProgressDelay(std::chrono::milliseconds delay);
    // True while a recovery copy of the unsaved changes is due.
    bool recoveryCopyDue() const;
    // Checks the script and shows the problems window.
    void showProblems();
    // Puts the statement at the caret into the builder's choices.
    void readStatementIntoBuilder();

signals:
    void scriptChecked();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Where a control stays when the window grows: its template rectangle moves with the right
    // and bottom edges as its anchors say.
    enum Anchor { AnchorLeft = 0, AnchorRight = 1, AnchorBottom = 2, Stretch = 4 };
    struct Placement {
        QWidget* control;
        QRect rect;  // at the template's size, in pixels
        int anchors;
    };

    void openDroppedScript(const QString& path);
    void openRecentScript(const QString& path);

    void insertStatement(const std::string& statement);
    void goToFinding(std::size_t offset);
    void scriptPathChanged();
    // Tells the editor's completion and hints what the folder's other scripts declare.
    void showReading(std::uint64_t revision, const ScriptReading& reading);
    void updateScriptContext(std::shared_ptr<const DeclaredNames> siblings);
    void showAbout();
    void updateClock();
    void updateTitle();
    void fillRecentScriptsMenu();
    void createShortcuts();
    // Every control, and the window itself, opens the edit menu on a right click.
    void offerEditMenu(QWidget* control);

    DialogUnits m_units;
    QSize m_templateSize;
    std::vector<Placement> m_placements;
    QLabel* m_credits;
    ClickLabel* m_openLabel;
    ClickLabel* m_saveLabel;
    ScriptEditor* m_editor;
    QPushButton* m_charsLink;
    QPushButton* m_shotsLink;
    QPushButton* m_centralLink;
    CommandBuilder* m_builder;
    QLabel* m_clock;
    QMenu* m_editMenu;
    QMenu* m_recentMenu;
    FindDialog* m_findDialog;
    ProblemsWindow* m_problems;
    // Started afresh by every change, so the check runs once the typing pauses.
    QTimer m_checkTimer;
    std::chrono::milliseconds m_progressDelay;
    LanguageService* m_language;
    CheckMarks* m_checkMarks;
    // Counts the changes to the text, so that a check of an older text is never shown.
    std::uint64_t m_revision = 0;
    // The revision and path of the last reading asked for.
    std::pair<std::uint64_t, QString> m_requested;
    std::shared_ptr<const DeclaredNames> m_siblingNames = std::make_shared<const DeclaredNames>();
    QString m_contextPath;
    QString m_readPath;  // the path the language service holds the editor's text as
    Settings m_settings;
    ScriptDocument* m_document;
};
