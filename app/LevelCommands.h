#pragma once

#include "app/PlaceHistory.h"
#include "language/LevelQueries.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

class LanguageService;
class LevelFindDialog;
class ReferencesWindow;
class ScriptTab;
class ScriptTabs;
class QWidget;

// What the window does with a name or a text across the level: going to a declaration and back,
// listing the uses of a name, renaming it, finding and replacing text in every script. Each
// question goes to the language service's worker with the level as the open scripts stand then;
// the answer comes back here, and is dropped when the script asked about changed meanwhile.
class LevelCommands : public QObject {
    Q_OBJECT

public:
    // Opens the script at a path in a tab, made current unless in the background; null when it
    // could not be opened, which it reported.
    using Opener = std::function<ScriptTab*(const QString& path, bool inBackground)>;

    // Boxes and windows open over `window`.
    LevelCommands(ScriptTabs& tabs, LanguageService& language, Opener open, QWidget* window);

    // At the caret of the current script.
    void goToDefinition();
    void findReferences();
    void rename();
    void showFindInLevel();

    void goBack();
    void goForward();
    // Goes to `offset` (into the script's text) of the script at `path`, or of the tab `document`
    // when the script has no file, selecting `length` bytes from there; a jump to go back from.
    void goTo(const QString& path, std::uint64_t document, std::size_t offset, std::size_t length = 0);

    // A Ctrl+click at `position` of the tab's editor is taken when it falls on a declared name
    // (as the newest reading of the text as it stands has it): the click goes to the declaration.
    bool takeControlClick(ScriptTab* tab, long position);

    ReferencesWindow* referencesWindow() const { return m_references; }
    LevelFindDialog* findDialog() const { return m_find; }

signals:
    // A question to the worker was answered, and the answer shown if it still stood.
    void answered();

private:
    template <class Result>
    void ask(ScriptTab* tab, std::function<Result(const Level&, std::size_t)> job,
             std::function<void(ScriptTab&, Result&, const std::shared_ptr<const Level>&)> done);
    void goToDefinitionAt(ScriptTab* tab, long position);
    void renameTo(ScriptTab& tab, std::size_t offset, const QString& newName);
    void findAll(const QString& text, SearchOptions options);
    void replaceAll(const QString& text, const QString& replacement, SearchOptions options);
    // Makes the edits, each script's as one undo step; the scripts not open come as tabs with
    // unsaved changes. Nothing at all is changed, with the reason told, unless every script holds
    // the text the edits were made from and every edit can be made.
    bool applyEdits(ScriptTab& asking, const LevelEdits& edits, const Level& level, const QString& what);
    void refuse(const QString& reason);
    void tell(ScriptTab& tab, const QString& notice);
    EditorPlace here() const;
    bool show(const EditorPlace& place);
    void select(ScriptTab& tab, std::size_t offset, std::size_t length);

    ScriptTabs& m_tabs;
    LanguageService& m_language;
    Opener m_open;
    QWidget* m_window;
    PlaceHistory m_history;
    ReferencesWindow* m_references;
    LevelFindDialog* m_find;
};
