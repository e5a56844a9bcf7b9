#pragma once

#include "editor/ScriptSearch.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ScriptEditor;

// Find, and with Ctrl+H replace, in the script: a small window that stays open beside the main
// one. Searches wrap at the ends of the script and say so.
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

private:
    script_search::Options options() const;
    void find(bool forward);
    void replace();
    void replaceAll();
    void showControls(bool replacing);
    void tell(const QString& notice);

    ScriptEditor* m_editor;
    QLineEdit* m_findText;
    QLabel* m_replaceLabel;
    QLineEdit* m_replaceText;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QPushButton* m_replaceButton;
    QPushButton* m_replaceAllButton;
    QLabel* m_notice;
};
