#pragma once

#include "app/Settings.h"
#include "platform/DialogUnits.h"

#include <QFileSystemWatcher>
#include <QWidget>

#include <chrono>
#include <memory>
#include <vector>

class ClickLabel;
class CommandBuilder;
class FindDialog;
class LanguageService;
class Level;
class LevelCommands;
class LevelPanel;
class ProblemsWindow;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class ScriptEditor;
class ScriptTab;
class ScriptTabs;

// The program's window: the scripts open in tabs on the left, with the level panel beside them,
// the command builder on the right, the OPEN and SAVE labels, the credits, the clock and three
// web links.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The current script's editor.
    ScriptEditor* editor() const;
    // The file the current script was opened from or last saved to; empty for a new script.
    const QString& scriptPath() const;
    ScriptTabs* tabs() const { return m_tabs; }
    LevelPanel* levelPanel() const { return m_levelPanel; }
    LevelCommands* levelCommands() const { return m_commands; }

    // Asks for a script and opens it in a tab.
    void openScript();
    // Opens the script at `path` in a tab, or brings its tab forward when it is open; a failure
    // is reported and leaves the tabs as they were.
    bool openScriptFile(const QString& path);
    // Saves the current script to its own file at once, or asks where when it has none.
    void save();
    // Asks where to save the current script and saves it.
    void saveScriptAs();
    // Saves every script with unsaved changes, until one is not saved.
    void saveAll();
    // Closes the current script's tab, offering to save its unsaved changes first.
    void closeScript();
    // Asks for a line number and puts the caret at the start of that line.
    void goToLine();
    // Offers, in one question, the unsaved work crashed runs of the program left behind.
    void offerRecovery();
    // Opens the scripts that were open when the program last ended, with their carets.
    void restoreSession();
    // Checks the current script now, on a worker, with the other scripts of its level; once the
    // check of the text as it stands is done, underlines the faults, lists the level's in the
    // problems window and emits scriptChecked.
    void checkScriptNow();
    // How long typing must pause before a script is checked by itself.
    void setCheckPause(std::chrono::milliseconds pause);
    // How long after the first unsaved change the recovery copy is written.
    void setRecoveryDelay(std::chrono::milliseconds delay);
    // How long an open runs before its progress shows.
    void setProgressDelay(std::chrono::milliseconds delay);
    // True while a recovery copy of some unsaved changes is due.
    bool recoveryCopyDue() const;
    // Checks the script and shows the problems window.
    void showProblems();
    // Puts the statement at the caret into the builder's choices.
    void readStatementIntoBuilder();
    void setLevelPanelShown(bool shown);

signals:
    // A reading of the current script's text as it stands was shown.
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

    ScriptTab* openTab(const QString& path, bool inBackground);
    void openRecentScript(const QString& path);
    void closeTab(ScriptTab* tab);
    // Offers to save every modified script; false when the user cancels or a save fails.
    bool maySaveAll();
    void saveSession();
    void placeAtFirstStart();

    void tabAdded(ScriptTab* tab);
    void currentTabChanged(ScriptTab* tab);
    void tabRead(ScriptTab* tab);
    // What the problems window and the level panel show: the level of the current script.
    void showLevel(std::shared_ptr<const Level> level);
    void watchLevel(const Level& level);
    void keyLevelPanel();
    void insertStatement(const std::string& statement);
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
    Settings m_settings;
    LanguageService* m_language;
    QLabel* m_credits;
    ClickLabel* m_openLabel;
    ClickLabel* m_saveLabel;
    QSplitter* m_area;
    LevelPanel* m_levelPanel;
    ScriptTabs* m_tabs;
    QPushButton* m_charsLink;
    QPushButton* m_shotsLink;
    QPushButton* m_centralLink;
    CommandBuilder* m_builder;
    QLabel* m_clock;
    QMenu* m_editMenu;
    QMenu* m_recentMenu;
    QAction* m_levelPanelEntry;
    FindDialog* m_findDialog;
    ProblemsWindow* m_problems;
    LevelCommands* m_commands;
    std::chrono::milliseconds m_progressDelay;
    std::shared_ptr<const Level> m_levelShown;
    // The folder and scripts of the level shown, so that it follows changes on disk.
    QFileSystemWatcher m_levelWatch;
};
