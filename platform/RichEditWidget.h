#pragma once

#include "platform/BlockLooks.h"
#include "platform/RichEditHooks.h"
#include "platform/StyleStore.h"

#include <QPlainTextEdit>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The Qt widget behind the rich-text control: a plain-text editor whose characters carry looks
// from a style store, that admits only characters of the 8-bit code page, and that reports every
// request changing its text to its hooks, before and after.
class RichEditWidget : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RichEditWidget(QWidget* parent = nullptr);

    void setHooks(RichEditHooks* hooks);

    StyleStore& styles() { return m_styles; }
    const StyleStore& styles() const { return m_styles; }

    int textLength() const;
    // The selection as (start, end), start not above end.
    CHARRANGE selection() const;
    // Positions are cut to the text; the caret goes to `position`.
    void setSelection(int anchor, int position);
    // The bytes of [from, to); a paragraph end reads as a carriage return.
    std::string textBytes(int from, int to) const;

    // Gives [from, to) the look, announced as a style change. False when it was refused.
    bool setLook(int from, int to, const CharacterLook& look);
    // Replaces the selection; without `canUndo` the replacement joins the previous undo step.
    void replaceSelection(const QString& text, bool canUndo);
    // Default processing of a typed character: it replaces the selection.
    void insertTypedCharacter(unsigned char character);
    void cutSelection();
    void pasteClipboard();
    void clearSelection();
    bool undoEdit();
    bool redoEdit();
    // Replaces the whole text with code-page bytes, in which CR LF, a lone CR and a lone LF each
    // end a paragraph; `announce` decides whether the hooks hear of it. The undo history and the
    // caret start afresh.
    bool replaceAll(std::string_view bytes, bool announce);

    // Painting, and the selection's visible moves, wait until the last resume.
    void suspendPainting();
    void resumePainting();
    void setSelectionHidden(bool hidden);

    void setBackground(const QColor& color);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    struct Request {
        EditRequest kind;
        CHARRANGE range;
        bool silent;
        bool announced;
        bool changed;
    };

    // Whether a request's text changes are made one undo step that a case correction can join, or
    // are left as they come: undo and redo, style changes (which have none), and whatever the text
    // edit does itself, which groups its own multi-step edits.
    enum class UndoStep { One, Own };

    // Runs `edit` as one request. A request expected to change something is announced first and
    // may be refused; any other is announced when its first change arrives.
    template <typename Edit>
    bool perform(EditRequest kind, CHARRANGE range, bool changeExpected, Edit&& edit, UndoStep step = UndoStep::One);
    bool announce(Request& request);
    void finishRequest();

    void onContentsChange(int from, int removed, int added);
    void reportUnannouncedChange();
    void onSelectionMoved();
    void showChangedLooks();
    void applyLooksToVisibleBlocks();

    void typeCharacter(QChar character, const QKeyEvent& event);
    void deleteWithKey(QKeyEvent* event, bool forward);
    // The DLGC_* flags of the hooks, or the editor's own without them.
    unsigned dialogCode() const;
    // While painting is suspended or the selection hidden, a selection set goes to
    // m_pendingSelection instead of the widget.
    bool selectionHeldAside() const;
    void commitPendingSelection();
    void placeWidgetCursor(int anchor, int position);

    StyleStore m_styles;
    BlockLooks m_looks{m_styles};
    RichEditHooks* m_hooks = nullptr;
    std::vector<Request> m_requests;
    std::optional<CHARRANGE> m_unannounced;
    int m_paintSuspensions = 0;
    // While painting is suspended the selection lives here, so that moving it neither scrolls nor
    // repaints: (anchor, position).
    std::optional<CHARRANGE> m_pendingSelection;
    bool m_selectionHidden = false;
    CHARRANGE m_reportedSelection;
};
