#pragma once

#include "language/Completion.h"
#include "language/DeclaredNames.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

class CompletionPopup;
class QKeyEvent;
class ScriptEditor;

// Completion and hints for the script editor: the candidate list that opens as a name is typed
// (or on Ctrl+Space, or at a builder command's argument) and the tooltip telling what a name is.
// It looks at the script only when a list or a tip is due, so that plain typing costs nothing.
class ScriptAssistant : public QObject {
    Q_OBJECT

public:
    explicit ScriptAssistant(ScriptEditor& editor);

    void setContext(std::shared_ptr<const DeclaredNames> siblings, QString levelHint);
    const DeclaredNames& siblings() const { return *m_siblings; }
    const QString& levelHint() const { return m_levelHint; }
    // The newest reading of the script, which completion and hints use in place of reading the
    // whole text again; until one comes they read the text themselves.
    std::shared_ptr<const ScriptAnalysis> setAnalysis(std::shared_ptr<const ScriptAnalysis> analysis)
    {
        return std::exchange(m_analysis, std::move(analysis));
    }
    // Readings come from a service off the window's thread: until one comes, completion and
    // hints know only the built-in names rather than read a script of any length here.
    void takeReadingsFromOutside() { m_readsItself = false; }

    // Before the editor handles a key: true when the open list took it.
    bool keyPressed(QKeyEvent& event);
    // After the editor handled a key and corrected what it typed.
    void keyApplied(const QKeyEvent& event);
    // Shows the hint for the name at `position`, below it.
    void showHint(std::size_t position);
    // Closes the list and the tip, as a click elsewhere or a loss of focus does.
    void dismiss();

    bool listShown() const;

private:
    void open(bool asked);
    void refresh();
    // Fills the list with `completion`'s candidates; closes it, and is false, when none is insertable.
    bool offer(Completion completion);
    void moveInList(int rows);
    void close();
    // The chosen candidate is the name being typed, made longer.
    bool finishesTypedName() const;
    void insertChosen();
    void showHintAt(std::size_t position, QPoint globalPoint, bool dwelling);
    void hideHint();
    // The line of `position` up to it.
    std::string_view lineBefore(long position) const;
    bool callableBefore(long caret) const;
    Completion completion(std::size_t caret) const;
    // The reading completion and hints use: the newest one handed in, or one of the text now.
    std::shared_ptr<const ScriptAnalysis> analysis() const;

    ScriptEditor& m_editor;
    CompletionPopup* m_popup;
    std::shared_ptr<const DeclaredNames> m_siblings;
    std::shared_ptr<const ScriptAnalysis> m_analysis;
    bool m_readsItself = true;
    QString m_levelHint;
    std::string m_levelHintBytes;
    std::size_t m_replaceBegin = 0;
    bool m_arguments = false;
    // The list came by itself and the user has not moved in it.
    bool m_untouched = false;
    bool m_hintShown = false;
};
