#pragma once

#include "editor/TemplateSession.h"
#include "language/EditedRanges.h"
#include "language/LineCuts.h"
#include "language/TextEdit.h"
#include "language/TextSnapshots.h"

#include <Qsci/qsciscintilla.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CaretMarks;
class DeclaredNames;
class FoldMargin;
struct ScriptAnalysis;
class ScriptAssistant;
class ScriptLexer;

// The script editor: colours the script language as it is shown and keeps every keyword and
// command in its list's letter case. Each edit the user makes is one undo step together with the
// case correction it caused. The text is held as UTF-8 with CR LF line ends; scripts go in and
// out as their file bytes. A line longer than kLineReach is held cut short, with a mark standing
// for its rest (see LineCuts): the script's text is the editor's text with those rests in place.
class ScriptEditor : public QsciScintilla {
    Q_OBJECT

public:
    explicit ScriptEditor(QWidget* parent = nullptr);
    ~ScriptEditor() override;

    // Replaces the whole text with a script file's bytes, case-corrected; afterwards there are no
    // unsaved changes and nothing to undo. `progress` hears how far it got, from 0 to 100.
    // `loading` is given the script's text, as snapshot() gives it afterwards, before the editor
    // makes room for it: one textChanging() stands for the whole load, and readers on other
    // threads may start on the text meanwhile. Throws std::bad_alloc, leaving the text as it was,
    // when the memory cannot hold the script; a second textChanging() then makes a reading of the
    // text given to `loading` out of date.
    void setScript(std::string fileBytes, const std::function<void(int)>& progress = {},
                   const std::function<void(std::shared_ptr<const std::string>)>& loading = {});
    // Replaces the whole text with `documentText` (UTF-8, CR LF) as one edit that can be undone
    // and leaves unsaved changes.
    void replaceText(std::string_view documentText);
    // The bytes the text is saved as.
    std::string script() const;
    // The text as the editor holds it, long lines cut short; valid until the next edit.
    std::string_view documentText() const;
    // The script's text as it is now, long lines whole, for readers on other threads: the same
    // copy until the text changes.
    std::shared_ptr<const std::string> snapshot();
    // Counts the changes to the text: a result worked out from an older snapshot is out of date.
    std::uint64_t revision() const { return m_revision; }

    // Where an offset into the script's text stands in the editor's text. An offset in the rest
    // of a long line stands at the mark of that rest, and sets `inRest`.
    long shownPosition(std::size_t scriptOffset, bool* inRest = nullptr) const;
    // The offset into the script's text of a position of the editor's text.
    std::size_t scriptOffset(long shownPosition) const;
    // What the editor does not show of the script's text, the rests of long lines: [begin, end)
    // of each, in order.
    std::vector<std::pair<std::size_t, std::size_t>> unshownRanges() const { return cuts().restRanges(); }

    // The bytes of [from, to) of the editor's text; valid until the next edit.
    std::string_view bytesAt(long from, long to) const;
    // Where the line holding `position` of the editor's text starts.
    long lineStart(long position) const;
    // Where the character at `position` of the editor's text shows on the screen, at least a pixel
    // wide.
    QRect screenRect(long position) const;
    // Puts `indicator` on [from, from + length) of the editor's text, or takes it off.
    void setIndicator(int indicator, long from, long length, bool on);
    // Puts `bytes`, taken in the code page already, in place of [from, to) of the editor's text,
    // within the edit step that is open.
    void replaceBytes(long from, long to, std::string_view bytes);

    // Removes the selected text, as Delete does.
    void deleteSelection();
    // Puts `text` in place of [from, to) as one edit, taken in the code page as typing is.
    void replaceRange(long from, long to, const QString& text);
    // Puts the template `name` in place of [from, to) and starts filling its fields.
    void insertTemplate(long from, long to, std::string_view name);
    bool fillingTemplate() const { return m_template.active(); }
    // Whether the folds of the last reading are still going onto the fold margin.
    bool foldsPending() const;
    // How long the caret rests on a name before its uses light up.
    void setOccurrenceDelay(std::chrono::milliseconds delay);

    // What completion, hints and the check know of the script beyond its text: the names the
    // other .bsl files of its folder declare, and its file or folder name, which may tell the
    // level (whose entries then head an argument's list). A null `siblings` means none.
    void setScriptContext(std::shared_ptr<const DeclaredNames> siblings, QString levelHint);
    // The newest reading of the script, for completion and hints, and, when it read the text as it
    // is, for the folds and the indentation. Gives back the one it held, for the caller to let go
    // of where that costs the window nothing.
    std::shared_ptr<const ScriptAnalysis> setAnalysis(std::shared_ptr<const ScriptAnalysis> analysis);
    // From now on readings come only through setAnalysis.
    void takeReadingsFromOutside();
    const DeclaredNames& siblings() const;
    QString levelHint() const;
    // Shows what the name at `position` (of the editor's text) is, as resting the mouse on it does.
    void showHint(long position);

    // Asked about a Ctrl+click (without Alt) at a position of the editor's text: true when the
    // click is taken there, false to leave it to the component as any other click.
    void setControlClick(std::function<bool(long position)> taken) { m_controlClick = std::move(taken); }

    // While one lives, the edits made, by code too (a replace-all, say), form one undo step that
    // ends with the case correction of the lines they touched. Steps may nest; the outermost
    // one decides.
    class EditStep {
    public:
        explicit EditStep(ScriptEditor& editor);
        ~EditStep();
        EditStep(const EditStep&) = delete;
        EditStep& operator=(const EditStep&) = delete;

    private:
        ScriptEditor& m_editor;
    };

signals:
    // The text is about to change, by an edit, an undo or a load.
    void textChanging();

public slots:
    void cut() override;
    void paste() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    QByteArray fromMimeData(const QMimeData* source, bool& rectangular) const override;
    QMimeData* toMimeData(const QByteArray& text, bool rectangular) const override;

private:
    static bool refuseFiles(QDropEvent& event);
    void fitLineNumberMargin();
    void noteChange();
    void noteModification(int position, int type, int length);
    void trackMarks(long position, int type, long length);
    const LineCuts& cuts() const;
    void takeText(std::string_view text, LineCuts cuts, const std::vector<std::size_t>& marks);
    void showMark(std::string_view mark);
    void cutTouchedLines();
    void cutLine(long line);
    bool shortenRestAtCaret(const QKeyEvent& event);
    void correctTouchedLines();
    bool isUndoOrRedo(const QKeyEvent& event) const;
    void applyKey(QKeyEvent* event);
    bool applyEditingKey(const QKeyEvent& event);
    // Puts what `text` gives for each selection's start in place of each selection.
    void typeAtEachSelection(const std::function<std::string(long)>& text);
    void editSelectedLines(const std::function<std::vector<TextEdit>(std::string_view)>& edits);
    void alignClosingBraces();
    void tellInsertion();
    std::vector<std::pair<long, long>> selections() const;  // carets and anchors
    void setSelections(const std::vector<std::pair<long, long>>& selections);

    ScriptLexer* m_lexer;
    // Up to date but for the marks of the text last inserted, until cuts() looks at it.
    mutable LineCuts m_cuts;
    mutable std::pair<long, long> m_inserted{0, 0};  // position and length
    bool m_marksGiven = false;  // the text going in comes with its marks known
    bool m_loading = false;
    TextSnapshots m_snapshots;
    std::shared_ptr<const std::string> m_snapshot;  // of the text as it is; null once it changes
    std::uint64_t m_revision = 0;
    ScriptAssistant* m_assistant = nullptr;
    std::function<bool(long)> m_controlClick;
    FoldMargin* m_folds = nullptr;
    CaretMarks* m_caretMarks = nullptr;
    TemplateSession m_template{*this};
    std::string m_indentUnit = "\t";
    int m_editDepth = 0;
    int m_lineNumberDigits = 0;
    // What the current edit step changed, in positions after the changes.
    EditedRanges m_edited;
    std::pair<long, long> m_untoldInsertion{0, 0};  // position and length, for assistive technology
};
