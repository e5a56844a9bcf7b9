#include "platform/RichEditWidget.h"

#include "platform/Cp1252.h"
#include "platform/KeyState.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

// Bits of OnChar's flags, as the keyboard reports them.
constexpr unsigned kScanCodeMask = 0x00FF;
constexpr unsigned kRepeatFlag = 0x4000;

// Text as the editor takes it in: every kind of line end becomes one paragraph end, and every
// character the code page cannot hold becomes '?', so what the user sees is what will be saved.
QString admitted(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == u'\r') {
            result += u'\n';
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator) {
            result += u'\n';
        } else {
            unsigned char byte;
            result += cp1252::fromUnicode(ch, byte) ? ch : QChar(QLatin1Char(cp1252::kReplacement));
        }
    }
    return result;
}

constexpr std::size_t kDecodeSliceSize = 1 << 16;

// Turns code-page bytes into editor text slice by slice: CR LF, a lone CR and a lone LF each end
// a paragraph, every other byte is its code-page character.
class LineEndDecoder {
public:
    QString decode(std::string_view bytes)
    {
        QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
        QChar* out = text.data();
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            const bool lineFeedAfterReturn = byte == '\n' && m_afterCarriageReturn;
            m_afterCarriageReturn = byte == '\r';
            if (lineFeedAfterReturn)
                continue;
            *out++ = byte == '\r' || byte == '\n' ? QChar(u'\n') : cp1252::toUnicode(byte);
        }
        text.truncate(out - text.data());
        return text;
    }

private:
    bool m_afterCarriageReturn = false;
};

// Above this many positions a range is read from one copy of the whole text.
constexpr int kWholeTextCopyThreshold = 1 << 16;

// The byte of a character of the editor's text; a paragraph end is a carriage return.
char toByte(QChar ch)
{
    if (ch.unicode() < 0x80)
        return static_cast<char>(ch.unicode());
    if (ch == QChar::ParagraphSeparator)
        return '\r';
    unsigned char byte;
    return cp1252::fromUnicode(ch, byte) ? static_cast<char>(byte) : cp1252::kReplacement;
}

bool isTypedText(const QKeyEvent& event)
{
    const QString text = event.text();
    if (text.isEmpty() || !std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.isPrint(); }))
        return false;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    return !modifiers.testFlag(Qt::ControlModifier) || modifiers.testFlag(Qt::AltModifier);
}

bool isRedo(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    return event.matches(QKeySequence::Redo)
        || (modifiers == Qt::ControlModifier && event.key() == Qt::Key_Y)
        || (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && event.key() == Qt::Key_Z);
}

bool isUndo(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    return event.matches(QKeySequence::Undo) || (modifiers == Qt::ControlModifier && event.key() == Qt::Key_Z);
}

bool clipboardHasText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText() && !data->text().isEmpty();
}

} // namespace

RichEditWidget::RichEditWidget(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // Scroll bars that come and go would resize the view, and each resize gives every line of the
    // script a layout of its own: hundreds of bytes a line, whether it is ever shown or not.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(document(), &QTextDocument::contentsChange, this, &RichEditWidget::onContentsChange);
    connect(this, &QPlainTextEdit::selectionChanged, this, &RichEditWidget::onSelectionMoved);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &RichEditWidget::onSelectionMoved);
}

void RichEditWidget::setHooks(RichEditHooks* hooks)
{
    m_hooks = hooks;
}

int RichEditWidget::textLength() const
{
    // The store follows every change of the text, and its size costs nothing to ask, unlike the
    // document's, which walks its pieces.
    return m_styles.size();
}

CHARRANGE RichEditWidget::selection() const
{
    if (m_pendingSelection)
        return {std::min(m_pendingSelection->cpMin, m_pendingSelection->cpMax),
                std::max(m_pendingSelection->cpMin, m_pendingSelection->cpMax)};
    const QTextCursor cursor = textCursor();
    return {cursor.selectionStart(), cursor.selectionEnd()};
}

void RichEditWidget::setSelection(int anchor, int position)
{
    const int length = textLength();
    anchor = std::clamp(anchor, 0, length);
    position = std::clamp(position, 0, length);
    if (selectionHeldAside()) {
        m_pendingSelection = CHARRANGE{anchor, position};
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

std::string RichEditWidget::textBytes(int from, int to) const
{
    std::string bytes;
    if (from >= to)
        return bytes;
    bytes.resize(static_cast<std::size_t>(to - from));
    char* out = bytes.data();
    if (to - from > kWholeTextCopyThreshold) {
        // One copy of the document's text beats a string per line for long ranges.
        const QString text = document()->toRawText();
        for (int i = from; i < to; ++i)
            *out++ = toByte(text[i]);
        return bytes;
    }
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        const int blockStart = block.position();
        const QString text = block.text();
        const int first = std::max(from - blockStart, 0);
        const int last = std::min(to - blockStart, static_cast<int>(text.size()));
        for (int i = first; i < last; ++i)
            *out++ = toByte(text[i]);
        if (blockStart + text.size() < to)
            *out++ = '\r';
    }
    return bytes;
}

bool RichEditWidget::setLook(int from, int to, const CharacterLook& look)
{
    StyleStore& store = styles();
    const StyleStore::LookId id = store.intern(look);
    return perform(EditRequest::SetCharFormat, CHARRANGE{from, to}, from < to, [&] {
        if (store.assign(from, to, id))
            m_requests.back().changed = true;
    }, UndoStep::Own);
}

void RichEditWidget::replaceSelection(const QString& text, bool canUndo)
{
    const QString replacement = admitted(text);
    const CHARRANGE range = selection();
    QTextDocument* doc = document();
    const bool joinPrevious = !canUndo && doc->isUndoAvailable();
    perform(EditRequest::ReplaceSel, range, range.cpMin < range.cpMax || !replacement.isEmpty(), [&] {
        QTextCursor cursor(doc);
        // Positioning inside an edit block lays nothing out.
        if (joinPrevious)
            cursor.joinPreviousEditBlock();
        else
            cursor.beginEditBlock();
        cursor.setPosition(range.cpMin);
        cursor.setPosition(range.cpMax, QTextCursor::KeepAnchor);
        cursor.insertText(replacement);
        cursor.endEditBlock();
        const int caret = range.cpMin + static_cast<int>(replacement.size());
        if (m_pendingSelection)
            m_pendingSelection = CHARRANGE{caret, caret};
        else
            setTextCursor(cursor);
    });
    // A replacement that may not be undone and has no step to join leaves no step behind.
    if (!canUndo && !joinPrevious)
        doc->clearUndoRedoStacks(QTextDocument::UndoStack);
    if (!m_pendingSelection)
        ensureCursorVisible();
}

void RichEditWidget::insertTypedCharacter(unsigned char character)
{
    commitPendingSelection();
    const QString text = character == '\r' || character == '\n' ? QStringLiteral("\n")
                                                                 : QString(cp1252::toUnicode(character));
    perform(EditRequest::Char, selection(), true, [&] {
        QTextCursor cursor = textCursor();
        cursor.insertText(text);
        setTextCursor(cursor);
    });
    // Only once the edit block is closed is the line laid out anew for the caret to be shown.
    ensureCursorVisible();
}

void RichEditWidget::cutSelection()
{
    commitPendingSelection();
    const CHARRANGE range = selection();
    perform(EditRequest::Cut, range, range.cpMin < range.cpMax, [&] { cut(); });
}

void RichEditWidget::pasteClipboard()
{
    commitPendingSelection();
    perform(EditRequest::Paste, selection(), clipboardHasText(), [&] { paste(); });
    ensureCursorVisible();
}

void RichEditWidget::clearSelection()
{
    commitPendingSelection();
    const CHARRANGE range = selection();
    perform(EditRequest::Other, range, range.cpMin < range.cpMax, [&] {
        QTextCursor cursor = textCursor();
        cursor.removeSelectedText();
        setTextCursor(cursor);
    });
}

bool RichEditWidget::undoEdit()
{
    commitPendingSelection();
    const bool available = document()->isUndoAvailable();
    perform(EditRequest::Other, selection(), false, [&] { undo(); }, UndoStep::Own);
    return available;
}

bool RichEditWidget::redoEdit()
{
    commitPendingSelection();
    const bool available = document()->isRedoAvailable();
    perform(EditRequest::Other, selection(), false, [&] { redo(); }, UndoStep::Own);
    return available;
}

bool RichEditWidget::replaceAll(std::string_view bytes, bool announce)
{
    m_pendingSelection.reset();
    m_requests.push_back({EditRequest::Other, CHARRANGE{0, textLength()}, !announce, false, false});
    if (!this->announce(m_requests.back())) {
        m_requests.pop_back();
        return false;
    }
    QTextDocument* doc = document();
    // Without undo the old text leaves no trace, and the new one goes in a slice at a time, so a
    // long script never stands in memory twice over as UTF-16.
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    LineEndDecoder decoder;
    for (std::size_t at = 0; at < bytes.size(); at += kDecodeSliceSize)
        cursor.insertText(decoder.decode(bytes.substr(at, kDecodeSliceSize)));
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    if (selectionHeldAside())
        m_pendingSelection = CHARRANGE{0, 0};
    else
        setTextCursor(QTextCursor(document()));
    finishRequest();
    return true;
}

void RichEditWidget::suspendPainting()
{
    if (m_paintSuspensions++ == 0)
        setUpdatesEnabled(false);
}

void RichEditWidget::resumePainting()
{
    if (m_paintSuspensions == 0 || --m_paintSuspensions > 0)
        return;
    if (!m_selectionHidden)
        commitPendingSelection();
    showChangedLooks();
    setUpdatesEnabled(true);
}

void RichEditWidget::setSelectionHidden(bool hidden)
{
    if (hidden == m_selectionHidden)
        return;
    m_selectionHidden = hidden;
    if (!hidden) {
        if (m_paintSuspensions == 0)
            commitPendingSelection();
        return;
    }
    // The selection lives on aside while the widget shows only the caret.
    const QTextCursor cursor = textCursor();
    if (!m_pendingSelection)
        m_pendingSelection = CHARRANGE{cursor.anchor(), cursor.position()};
    if (cursor.hasSelection())
        placeWidgetCursor(cursor.position(), cursor.position());
}

void RichEditWidget::setBackground(const QColor& color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Base, color);
    // The caret and uncoloured text take the opposite of the background, so both stay visible.
    colours.setColor(QPalette::Text, QColor(255 - color.red(), 255 - color.green(), 255 - color.blue()));
    setPalette(colours);
}

void RichEditWidget::keyPressEvent(QKeyEvent* event)
{
    const KeyStateScope keyState(event->modifiers());
    const unsigned keptKeys = dialogCode();
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);

    if (isUndo(*event)) {
        undoEdit();
        return;
    }
    if (isRedo(*event)) {
        redoEdit();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        cutSelection();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        commitPendingSelection();
        copy();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteClipboard();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!control && !(keptKeys & DLGC_WANTALLKEYS)) {
            event->ignore();
            return;
        }
        typeCharacter(QLatin1Char('\r'), *event);
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!(keptKeys & DLGC_WANTTAB)) {
            // The text edit's own override keeps the focus in an editable widget.
            QWidget::focusNextPrevChild(event->key() == Qt::Key_Tab && !event->modifiers().testFlag(Qt::ShiftModifier));
            return;
        }
        typeCharacter(QLatin1Char('\t'), *event);
        return;
    case Qt::Key_Escape:
        event->setAccepted((keptKeys & DLGC_WANTALLKEYS) != 0);
        return;
    case Qt::Key_Delete:
        deleteWithKey(event, true);
        return;
    case Qt::Key_Backspace:
        deleteWithKey(event, false);
        return;
    default:
        break;
    }
    if (isTypedText(*event)) {
        for (const QChar ch : event->text())
            typeCharacter(ch, *event);
        return;
    }
    commitPendingSelection();
    perform(EditRequest::Other, selection(), false, [&] { QPlainTextEdit::keyPressEvent(event); }, UndoStep::Own);
}

void RichEditWidget::inputMethodEvent(QInputMethodEvent* event)
{
    perform(EditRequest::Other, selection(), false, [&] {
        QInputMethodEvent filtered(event->preeditString(), event->attributes());
        filtered.setCommitString(admitted(event->commitString()), event->replacementStart(),
                                 event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&filtered);
        event->setAccepted(filtered.isAccepted());
    }, UndoStep::Own);
}

void RichEditWidget::mouseMoveEvent(QMouseEvent* event)
{
    // A drag that starts here takes its text away when it is dropped elsewhere.
    perform(EditRequest::Other, selection(), false, [&] { QPlainTextEdit::mouseMoveEvent(event); }, UndoStep::Own);
}

void RichEditWidget::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button pastes the desktop's selection where it is released.
    perform(EditRequest::Other, selection(), false, [&] { QPlainTextEdit::mouseReleaseEvent(event); }, UndoStep::Own);
}

void RichEditWidget::dropEvent(QDropEvent* event)
{
    perform(EditRequest::Other, selection(), false, [&] { QPlainTextEdit::dropEvent(event); }, UndoStep::Own);
}

void RichEditWidget::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    const bool fromKeyboard = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (fromKeyboard && (dialogCode() & DLGC_HASSETSEL))
        selectAll();
}

void RichEditWidget::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    cursor.insertText(admitted(source->text()));
    setTextCursor(cursor);
}

template <typename Edit>
bool RichEditWidget::perform(EditRequest kind, CHARRANGE range, bool changeExpected, Edit&& edit, UndoStep step)
{
    m_requests.push_back({kind, range, false, false, false});
    if (changeExpected && !announce(m_requests.back())) {
        m_requests.pop_back();
        return false;
    }
    if (step == UndoStep::One) {
        // Inside an edit block every undo command is marked as part of a block, which is what
        // lets a later correction join this step (a lone typed character would not be).
        QTextCursor block(document());
        block.beginEditBlock();
        edit();
        block.endEditBlock();
    } else {
        edit();
    }
    finishRequest();
    return true;
}

bool RichEditWidget::announce(Request& request)
{
    request.announced = true;
    return request.silent || !m_hooks || m_hooks->aboutToChange(request.kind, request.range);
}

void RichEditWidget::finishRequest()
{
    const Request done = m_requests.back();
    m_requests.pop_back();
    if (done.changed && !done.silent && m_hooks)
        m_hooks->changed();
    showChangedLooks();
}

void RichEditWidget::onContentsChange(int from, int removed, int added)
{
    StyleStore& store = styles();
    // The counts reported for a change that reaches the end of the text can include the
    // document's closing paragraph end; the lengths before and after are what is certain.
    const int oldLength = store.size();
    const int growth = document()->characterCount() - 1 - oldLength;
    from = std::clamp(from, 0, oldLength);
    removed = std::clamp(removed, std::max(0, -growth), oldLength - from);
    added = removed + growth;
    if (removed == 0 && added == 0)
        return;
    store.splice(from, removed, added);
    BlockLooks::markStale(*document(), from, from + added);

    if (m_requests.empty()) {
        // Changed by a way no request covers, such as a program editing the document directly:
        // reported as soon as the event loop runs again.
        if (!m_unannounced)
            QMetaObject::invokeMethod(this, &RichEditWidget::reportUnannouncedChange, Qt::QueuedConnection);
        m_unannounced = CHARRANGE{from, from + removed};
        return;
    }
    Request& request = m_requests.back();
    if (!request.announced) {
        request.range = CHARRANGE{from, from + removed};
        announce(request);
    }
    request.changed = true;
}

void RichEditWidget::reportUnannouncedChange()
{
    if (!m_unannounced)
        return;
    const CHARRANGE range = *m_unannounced;
    m_unannounced.reset();
    if (m_hooks) {
        m_hooks->aboutToChange(EditRequest::Other, range);
        m_hooks->changed();
    }
    showChangedLooks();
}

void RichEditWidget::onSelectionMoved()
{
    const CHARRANGE now = selection();
    if (now.cpMin == m_reportedSelection.cpMin && now.cpMax == m_reportedSelection.cpMax)
        return;
    m_reportedSelection = now;
    if (m_hooks)
        m_hooks->selectionChanged();
}

void RichEditWidget::showChangedLooks()
{
    if (m_paintSuspensions > 0 || !m_requests.empty())
        return;
    for (const StyleStore::Interval& range : m_styles.takeChangedRanges())
        BlockLooks::markStale(*document(), range.from, range.to);
    applyLooksToVisibleBlocks();
}

void RichEditWidget::applyLooksToVisibleBlocks()
{
    int first = -1;
    int last = -1;
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    for (; block.isValid() && top <= viewport()->height(); block = block.next()) {
        top += blockBoundingRect(block).height();
        if (!BlockLooks::isStale(block))
            continue;
        m_looks.apply(block);
        if (first < 0)
            first = block.position();
        last = block.position() + block.length() - 1;
    }
    if (first >= 0)
        document()->markContentsDirty(first, last - first);
}

void RichEditWidget::paintEvent(QPaintEvent* event)
{
    applyLooksToVisibleBlocks();
    QPlainTextEdit::paintEvent(event);
}

void RichEditWidget::typeCharacter(QChar character, const QKeyEvent& event)
{
    unsigned char byte;
    if (!cp1252::fromUnicode(character, byte))
        byte = cp1252::kReplacement;
    const unsigned flags = (event.nativeScanCode() & kScanCodeMask) | (event.isAutoRepeat() ? kRepeatFlag : 0);
    if (m_hooks)
        m_hooks->characterTyped(byte, 1, flags);
    else
        insertTypedCharacter(byte);
}

void RichEditWidget::deleteWithKey(QKeyEvent* event, bool forward)
{
    commitPendingSelection();
    QTextCursor reach = textCursor();
    if (!reach.hasSelection()) {
        const bool word = event->modifiers().testFlag(Qt::ControlModifier);
        const QTextCursor::MoveOperation step = forward ? (word ? QTextCursor::NextWord : QTextCursor::NextCharacter)
                                                        : (word ? QTextCursor::PreviousWord : QTextCursor::PreviousCharacter);
        reach.movePosition(step, QTextCursor::KeepAnchor);
    }
    const CHARRANGE range{reach.selectionStart(), reach.selectionEnd()};
    perform(forward ? EditRequest::KeyDelete : EditRequest::KeyBack, range, range.cpMin < range.cpMax,
            [&] { QPlainTextEdit::keyPressEvent(event); });
}

unsigned RichEditWidget::dialogCode() const
{
    return m_hooks ? m_hooks->dialogCode() : kEditorDialogCode;
}

bool RichEditWidget::selectionHeldAside() const
{
    return m_paintSuspensions > 0 || m_selectionHidden;
}

void RichEditWidget::commitPendingSelection()
{
    if (!m_pendingSelection)
        return;
    const CHARRANGE wanted = *m_pendingSelection;
    m_pendingSelection.reset();
    const QTextCursor current = textCursor();
    if (current.anchor() != wanted.cpMin || current.position() != wanted.cpMax)
        placeWidgetCursor(wanted.cpMin, wanted.cpMax);
}

void RichEditWidget::placeWidgetCursor(int anchor, int position)
{
    // Restoring a selection must not scroll: the view stays where the user left it.
    const int horizontal = horizontalScrollBar()->value();
    const int vertical = verticalScrollBar()->value();
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(anchor, 0, textLength()));
    cursor.setPosition(std::clamp(position, 0, textLength()), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    horizontalScrollBar()->setValue(horizontal);
    verticalScrollBar()->setValue(vertical);
}
