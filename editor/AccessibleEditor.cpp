#include "editor/AccessibleEditor.h"

#include "editor/ScriptEditor.h"

#include <QAccessible>
#include <QSet>

#include <algorithm>

namespace {

using Sci = QsciScintillaBase;

// The text of a change told is cut short here: a whole script removed at once is told as its
// start, not copied whole.
constexpr long kLongestToldChange = 64 * 1024;

QAccessibleInterface* editorAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("ScriptEditor") && object && object->isWidgetType())
        return new AccessibleEditor(static_cast<ScriptEditor*>(object));
    return nullptr;
}

QString textAt(const ScriptEditor& editor, long from, long to)
{
    const std::string_view bytes = editor.bytesAt(from, to);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

// The editors assistive technology has asked about the text of: only their changes are told, so
// that an editor nobody reads keeps no index of its characters.
QSet<const QWidget*>& readEditors()
{
    static QSet<const QWidget*> editors;
    return editors;
}

AccessibleEditor::EventSink g_sink = nullptr;

AccessibleEditor* listened(ScriptEditor& editor)
{
    if (!readEditors().contains(&editor))
        return nullptr;
    return static_cast<AccessibleEditor*>(QAccessible::queryAccessibleInterface(&editor));
}

} // namespace

AccessibleEditor::AccessibleEditor(ScriptEditor* editor)
    : QAccessibleWidget(editor, QAccessible::EditableText), m_editor(editor)
{
}

// The interface goes when its editor does.
AccessibleEditor::~AccessibleEditor()
{
    readEditors().remove(m_editor);
}

bool AccessibleEditor::isRead(const QWidget* editor)
{
    return readEditors().contains(editor);
}

void AccessibleEditor::tell(QAccessibleEvent& event)
{
    if (g_sink)
        g_sink(event);
    QAccessible::updateAccessibility(&event);
}

void AccessibleEditor::setEventSink(EventSink sink)
{
    g_sink = sink;
}

// The component's own accessibility counts characters from the start of the text on every edit
// and caret move, which makes a keystroke cost grow with the script's size.
void AccessibleEditor::install()
{
    static const bool installed = (QAccessible::installFactory(editorAccessible), true);
    Q_UNUSED(installed);
}

void AccessibleEditor::removing(ScriptEditor& editor, long position, long length)
{
    if (AccessibleEditor* accessible = listened(editor)) {
        QAccessibleTextRemoveEvent event(&editor, accessible->offsetOf(position),
                                         textAt(editor, position, position + std::min(length, kLongestToldChange)));
        tell(event);
    }
}

void AccessibleEditor::inserted(ScriptEditor& editor, long position, long length)
{
    if (AccessibleEditor* accessible = listened(editor)) {
        QAccessibleTextInsertEvent event(&editor, accessible->offsetOf(position),
                                         textAt(editor, position, position + std::min(length, kLongestToldChange)));
        tell(event);
    }
}

void AccessibleEditor::caretMoved(ScriptEditor& editor)
{
    AccessibleEditor* accessible = listened(editor);
    if (!accessible)
        return;
    const int caret = accessible->cursorPosition();
    if (editor.hasSelectedText()) {
        int start = 0;
        int end = 0;
        accessible->selection(0, &start, &end);
        QAccessibleTextSelectionEvent event(&editor, start, end);
        event.setCursorPosition(caret);
        tell(event);
    } else {
        QAccessibleTextCursorEvent event(&editor, caret);
        tell(event);
    }
}

void* AccessibleEditor::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State AccessibleEditor::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !editor().isReadOnly();
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

ScriptEditor& AccessibleEditor::editor() const
{
    return *static_cast<ScriptEditor*>(widget());
}

long AccessibleEditor::send(unsigned int message, unsigned long wParam, long lParam) const
{
    return editor().SendScintilla(message, wParam, lParam);
}

// Qt makes the interface of every widget shown, read or not: the index of the editor's
// characters is kept only from the first question about its text on.
void AccessibleEditor::startReading() const
{
    if (readEditors().contains(m_editor))
        return;
    send(Sci::SCI_ALLOCATELINECHARACTERINDEX, Sci::SC_LINECHARACTERINDEX_UTF16);
    readEditors().insert(m_editor);
}

int AccessibleEditor::offsetOf(long position) const
{
    startReading();
    const long line = send(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    const long lineStart = send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    return int(send(Sci::SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line), Sci::SC_LINECHARACTERINDEX_UTF16)
               + send(Sci::SCI_COUNTCODEUNITS, static_cast<unsigned long>(lineStart), position));
}

long AccessibleEditor::positionOf(int offset) const
{
    startReading();
    offset = std::clamp(offset, 0, characterCount());
    const long line = send(Sci::SCI_LINEFROMINDEXPOSITION, static_cast<unsigned long>(offset), Sci::SC_LINECHARACTERINDEX_UTF16);
    const long lineStart = send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long units = offset - send(Sci::SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line), Sci::SC_LINECHARACTERINDEX_UTF16);
    return send(Sci::SCI_POSITIONRELATIVECODEUNITS, static_cast<unsigned long>(lineStart), units);
}

std::vector<int> AccessibleEditor::selections() const
{
    std::vector<int> kept;
    for (int n = 0, count = int(send(Sci::SCI_GETSELECTIONS)); n < count; ++n) {
        if (send(Sci::SCI_GETSELECTIONNSTART, n) != send(Sci::SCI_GETSELECTIONNEND, n))
            kept.push_back(n);
    }
    return kept;
}

void AccessibleEditor::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    const std::vector<int> kept = selections();
    *startOffset = *endOffset = 0;
    if (selectionIndex < 0 || std::size_t(selectionIndex) >= kept.size())
        return;
    const auto n = static_cast<unsigned long>(kept[std::size_t(selectionIndex)]);
    *startOffset = offsetOf(send(Sci::SCI_GETSELECTIONNSTART, n));
    *endOffset = offsetOf(send(Sci::SCI_GETSELECTIONNEND, n));
}

int AccessibleEditor::selectionCount() const
{
    return int(selections().size());
}

void AccessibleEditor::addSelection(int startOffset, int endOffset)
{
    send(Sci::SCI_ADDSELECTION, static_cast<unsigned long>(positionOf(endOffset)), positionOf(startOffset));
}

void AccessibleEditor::removeSelection(int selectionIndex)
{
    const std::vector<int> kept = selections();
    if (selectionIndex >= 0 && std::size_t(selectionIndex) < kept.size())
        send(Sci::SCI_DROPSELECTIONN, static_cast<unsigned long>(kept[std::size_t(selectionIndex)]));
}

void AccessibleEditor::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    const std::vector<int> kept = selections();
    if (selectionIndex == 0 && kept.empty()) {
        send(Sci::SCI_SETSEL, static_cast<unsigned long>(positionOf(startOffset)), positionOf(endOffset));
        return;
    }
    if (selectionIndex < 0 || std::size_t(selectionIndex) >= kept.size())
        return;
    const auto n = static_cast<unsigned long>(kept[std::size_t(selectionIndex)]);
    send(Sci::SCI_SETSELECTIONNANCHOR, n, positionOf(startOffset));
    send(Sci::SCI_SETSELECTIONNCARET, n, positionOf(endOffset));
}

int AccessibleEditor::cursorPosition() const
{
    return offsetOf(send(Sci::SCI_GETCURRENTPOS));
}

void AccessibleEditor::setCursorPosition(int position)
{
    send(Sci::SCI_GOTOPOS, static_cast<unsigned long>(positionOf(position)));
}

QString AccessibleEditor::text(int startOffset, int endOffset) const
{
    const long from = positionOf(startOffset);
    const long to = positionOf(endOffset);
    return to > from ? textAt(editor(), from, to) : QString();
}

std::pair<long, long> AccessibleEditor::unitAt(long position, QAccessible::TextBoundaryType boundary) const
{
    const auto at = static_cast<unsigned long>(position);
    switch (boundary) {
    case QAccessible::CharBoundary:
        return {position, send(Sci::SCI_POSITIONAFTER, at)};
    case QAccessible::WordBoundary:
        return {send(Sci::SCI_WORDSTARTPOSITION, at, 1), send(Sci::SCI_WORDENDPOSITION, at, 1)};
    case QAccessible::NoBoundary:
        return {0, send(Sci::SCI_GETLENGTH)};
    default: {
        const long line = send(Sci::SCI_LINEFROMPOSITION, at);
        return {send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)),
                send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line + 1))};
    }
    }
}

QString AccessibleEditor::textOfUnit(std::pair<long, long> unit, int* startOffset, int* endOffset) const
{
    *startOffset = offsetOf(unit.first);
    *endOffset = offsetOf(unit.second);
    return unit.second > unit.first ? textAt(editor(), unit.first, unit.second) : QString();
}

QString AccessibleEditor::textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                                       int* endOffset) const
{
    return textOfUnit(unitAt(positionOf(offset), boundary), startOffset, endOffset);
}

QString AccessibleEditor::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                                           int* endOffset) const
{
    const long start = unitAt(positionOf(offset), boundary).first;
    if (start <= 0) {
        *startOffset = *endOffset = 0;
        return {};
    }
    return textOfUnit(unitAt(send(Sci::SCI_POSITIONBEFORE, static_cast<unsigned long>(start)), boundary), startOffset,
                      endOffset);
}

QString AccessibleEditor::textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                                          int* endOffset) const
{
    const long end = unitAt(positionOf(offset), boundary).second;
    if (end >= send(Sci::SCI_GETLENGTH)) {
        *startOffset = *endOffset = characterCount();
        return {};
    }
    return textOfUnit(unitAt(end, boundary), startOffset, endOffset);
}

int AccessibleEditor::characterCount() const
{
    return offsetOf(send(Sci::SCI_GETLENGTH));
}

QRect AccessibleEditor::characterRect(int offset) const
{
    return editor().screenRect(positionOf(offset));
}

int AccessibleEditor::offsetAtPoint(const QPoint& point) const
{
    const QPoint local = editor().viewport()->mapFromGlobal(point);
    const long position = send(Sci::SCI_POSITIONFROMPOINTCLOSE, static_cast<unsigned long>(local.x()), local.y());
    return position < 0 ? -1 : offsetOf(position);
}

void AccessibleEditor::scrollToSubstring(int startIndex, int endIndex)
{
    send(Sci::SCI_SCROLLRANGE, static_cast<unsigned long>(positionOf(endIndex)), positionOf(startIndex));
}

QString AccessibleEditor::attributes(int, int* startOffset, int* endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void AccessibleEditor::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void AccessibleEditor::insertText(int offset, const QString& text)
{
    replaceText(offset, offset, text);
}

void AccessibleEditor::replaceText(int startOffset, int endOffset, const QString& text)
{
    editor().replaceRange(positionOf(startOffset), positionOf(endOffset), text);
}
