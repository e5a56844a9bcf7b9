#pragma once

#include "editor/ScriptSearch.h"
#include "language/BackgroundSearch.h"

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ScriptEditor;

// Find, and with Ctrl+H replace, in the script: a small window that stays open beside the main
// one. Searches wrap at the ends of the script and say so. They run on a worker; what they find
// shows once they are done, or the search starts over when the text changed meanwhile.
class FindDialog : public QDialog {
    Q_OBJECT

public:
    FindDialog(ScriptEditor* editor, QWidget* parent);

    // The editor searched from now on: the current script's.
    void setEditor(ScriptEditor* editor) { m_editor = editor; }

    // Shows the box with the replace controls or without them, the selection as the text to find.
    void showFind();
    void showReplace();

    // Find again with what the box holds; with nothing to find, the box opens.
    void findNext();
    void findPrevious();

    // A find or a replace-all is under way.
    bool isSearching() const { return m_searchNumber != 0; }

signals:
    // A find or a replace-all is done and what it found is shown.
    void searched();

private:
    enum class Task { Find, ReplaceAll };

    script_search::Options options() const;
    void find(bool forward);
    void replace();
    void replaceAll();
    void search(Task task, bool forward);
    void showAnswer(std::uint64_t number, const BackgroundSearch::Answer& answer);
    void showControls(bool replacing);
    void tell(const QString& notice);

    ScriptEditor* m_editor;
    BackgroundSearch m_search;
    // The search under way; 0 for none.
    std::uint64_t m_searchNumber = 0;
    Task m_task = Task::Find;
    script_search::Query m_query;
    QString m_replacement;
    QLineEdit* m_findText;
    QLabel* m_replaceLabel;
    QLineEdit* m_replaceText;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QPushButton* m_replaceButton;
    QPushButton* m_replaceAllButton;
    QLabel* m_notice;
};
