#pragma once

#include <QAccessibleWidget>

class ScriptEditor;

// What assistive technology is told of the script editor: its text, caret, selections and lines,
// read from the editor's buffer a stretch at a time as they are asked for, and what changes, as
// it changes. Offsets count UTF-16 units from the start of the text; the component keeps an
// index of where each line starts in them, so that no question reads the text from its start.
class AccessibleEditor : public QAccessibleWidget,
                         public QAccessibleTextInterface,
                         public QAccessibleEditableTextInterface {
public:
    explicit AccessibleEditor(ScriptEditor* editor);
    ~AccessibleEditor() override;

    // Makes the editor known to Qt's accessibility by this interface.
    static void install();
    // Whether assistive technology has asked about the text of `editor`, and so is told what
    // changes.
    static bool isRead(const QWidget* editor);
    // Tells assistive technology, if any listens, of `length` bytes at `position` about to go.
    static void removing(ScriptEditor& editor, long position, long length);
    // ... of `length` bytes just put at `position`.
    static void inserted(ScriptEditor& editor, long position, long length);
    // ... of the caret or the selection having moved.
    static void caretMoved(ScriptEditor& editor);
    // Tells `event` to assistive technology, and to the sink.
    static void tell(QAccessibleEvent& event);
    // Qt passes events on only while assistive technology is active, which no display-less run
    // has: a sink hears every event told, for tests to follow what a screen reader would hear.
    using EventSink = void (*)(QAccessibleEvent& event);
    static void setEventSink(EventSink sink);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                             int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                            int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    ScriptEditor& editor() const;
    long send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
    void startReading() const;
    int offsetOf(long position) const;
    long positionOf(int offset) const;
    // The non-empty selections, as the component numbers them.
    std::vector<int> selections() const;
    // The character, word or line holding `position`, as positions.
    std::pair<long, long> unitAt(long position, QAccessible::TextBoundaryType boundary) const;
    QString textOfUnit(std::pair<long, long> unit, int* startOffset, int* endOffset) const;

    const QWidget* m_editor;  // kept beyond the widget's end, to be forgotten by
};
