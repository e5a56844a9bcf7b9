#include "editor/ScriptEditor.h"

#include "editor/AccessibleEditor.h"
#include "editor/CaretMarks.h"
#include "editor/FoldMargin.h"
#include "editor/ScriptAssistant.h"
#include "editor/ScriptLexer.h"
#include "language/Indentation.h"
#include "language/ScriptReader.h"
#include "language/ScriptText.h"
#include "language/Tokenizer.h"
#include "platform/Cp1252.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QFontInfo>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <utility>
#include <new>
#include <vector>

namespace {

constexpr int kFontPointSize = 10;
constexpr double kTabStopInches = 0.5;
constexpr long kTextIndent = 4;
const QColor kGutterBackground(0x18, 0x18, 0x18);
const QColor kCaretLineBackground(0x20, 0x20, 0x30);

QFont editorFont()
{
    QFont font(QStringLiteral("Lucida Console"), kFontPointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    // The component asks for a face by name alone; give it the face this one resolves to, so a
    // missing face falls back to a fixed-pitch one rather than the default.
    font.setFamily(QFontInfo(font).family());
    return font;
}

QWidget* withOwnAccessibility(QWidget* parent)
{
    AccessibleEditor::install();
    return parent;
}

} // namespace

ScriptEditor::EditStep::EditStep(ScriptEditor& editor) : m_editor(editor)
{
    if (m_editor.m_editDepth++ == 0) {
        m_editor.beginUndoAction();
        m_editor.m_edited.clear();
    }
}

ScriptEditor::EditStep::~EditStep()
{
    if (--m_editor.m_editDepth == 0) {
        m_editor.cutTouchedLines();
        m_editor.correctTouchedLines();
        m_editor.endUndoAction();
        m_editor.tellInsertion();
    }
}

ScriptEditor::ScriptEditor(QWidget* parent)
    : QsciScintilla(withOwnAccessibility(parent)), m_lexer(new ScriptLexer(editorFont(), this))
{
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int length) {
                noteModification(position, type, length);
                if (!m_loading)
                    noteChange();
            });

    setUtf8(true);
    setEolMode(EolWindows);
    setWrapMode(WrapNone);
    setLexer(m_lexer);
    setMargins(2);
    setMarginType(0, NumberMargin);
    setMarginLineNumbers(0, true);
    setMarginsFont(editorFont());
    setMarginsForegroundColor(script_colours::kGapGreen.darker(150));
    setMarginsBackgroundColor(kGutterBackground);
    fitLineNumberMargin();
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &ScriptEditor::fitLineNumberMargin);
    connect(this, &QsciScintillaBase::SCN_ZOOM, this, [this] {
        m_lineNumberDigits = 0;
        fitLineNumberMargin();
    });
    SendScintilla(SCI_SETMARGINLEFT, 0, kTextIndent);
    setCaretLineVisible(true);
    setCaretLineBackgroundColor(kCaretLineBackground);
    setCaretForegroundColor(QColor(Qt::white));
    setSelectionBackgroundColor(palette().color(QPalette::Active, QPalette::Highlight));
    setSelectionForegroundColor(palette().color(QPalette::Active, QPalette::HighlightedText));
    // A jump far into a large script colours the lines on the way there a slice at a time between
    // events, not all at once before the window answers again: they show plain for a moment.
    SendScintilla(SCI_SETIDLESTYLING, SC_IDLESTYLING_TOVISIBLE);
    // The horizontal scroll bar grows with the longest line shown, from nothing.
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1);
    // Ctrl+Shift+Z has always redone, as well as Ctrl+Y; the component binds only the latter.
    standardCommands()->find(QsciCommand::Redo)->setAlternateKey(
        QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z).toCombined());
    const QFont font = editorFont();
    const double tabPixels = kTabStopInches * logicalDpiX();
    setTabWidth(std::max(1, qRound(tabPixels / QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')))));
    // Ctrl+click adds a caret, Alt+drag selects a rectangle; typing and pasting act at each.
    SendScintilla(SCI_SETMULTIPLESELECTION, 1);
    SendScintilla(SCI_SETADDITIONALSELECTIONTYPING, 1);
    SendScintilla(SCI_SETMULTIPASTE, SC_MULTIPASTE_EACH);
    SendScintilla(SCI_SETRECTANGULARSELECTIONMODIFIER, SCMOD_ALT);
    m_folds = new FoldMargin(*this, kGutterBackground);
    // Without the insertion and deletion events the component's accessibility bridge stays idle;
    // the before-change events tell which text an edit touches. Set after the fold margin, whose
    // setting up asks for the events of its own.
    SendScintilla(SCI_SETMODEVENTMASK, SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE);
    m_caretMarks = new CaretMarks(*this);
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        tellInsertion();
        if (updated & SC_UPDATE_SELECTION) {
            m_template.caretMoved();
            AccessibleEditor::caretMoved(*this);
        }
    });
    m_assistant = new ScriptAssistant(*this);
}

ScriptEditor::~ScriptEditor()
{
    // The component may still signal while it is torn down; nothing hears it by then, and the
    // assistant goes first, so that nothing reaches it half destroyed.
    disconnect(this, &QsciScintillaBase::SCN_MODIFIED, nullptr, nullptr);
    disconnect(this, &QsciScintillaBase::SCN_UPDATEUI, nullptr, nullptr);
    disconnect(this, &ScriptEditor::textChanging, nullptr, nullptr);
    delete m_assistant;
    m_assistant = nullptr;
}

std::shared_ptr<const ScriptAnalysis> ScriptEditor::setAnalysis(std::shared_ptr<const ScriptAnalysis> analysis)
{
    // Folds and indentation read lines, which a reading of an earlier text may place wrongly.
    if (analysis && m_snapshot && analysis->text == m_snapshot) {
        m_indentUnit = analysis->indentUnit;
        m_folds->show(analysis);
    }
    return m_assistant->setAnalysis(std::move(analysis));
}

bool ScriptEditor::foldsPending() const
{
    return m_folds->pending();
}

void ScriptEditor::setOccurrenceDelay(std::chrono::milliseconds delay)
{
    m_caretMarks->setRestDelay(delay);
}

void ScriptEditor::takeReadingsFromOutside()
{
    m_assistant->takeReadingsFromOutside();
}

void ScriptEditor::setScriptContext(std::shared_ptr<const DeclaredNames> siblings, QString levelHint)
{
    m_assistant->setContext(std::move(siblings), std::move(levelHint));
}

const DeclaredNames& ScriptEditor::siblings() const
{
    return m_assistant->siblings();
}

QString ScriptEditor::levelHint() const
{
    return m_assistant->levelHint();
}

void ScriptEditor::showHint(long position)
{
    m_assistant->showHint(std::size_t(std::max(0L, position)));
}

void ScriptEditor::setScript(std::string fileBytes, const std::function<void(int)>& progress,
                             const std::function<void(std::shared_ptr<const std::string>)>& loading)
{
    const auto report = [&progress](int percent) {
        if (progress)
            progress(percent);
    };
    m_assistant->dismiss();
    m_template.end();
    // The reading of the script that was here tells nothing of the one that comes.
    m_assistant->setAnalysis(nullptr);
    report(10);
    // Corrected no further along a line than its reach: the rests of long lines stay as they are.
    // Its memory serves the copies of the text that follow, as theirs serve each other.
    const auto script = m_snapshots.adopt(openedScriptText(std::move(fileBytes)));
    // The rests of the text that is here go with it, not before.
    LineCuts cuts;
    std::vector<std::size_t> marks;
    const std::optional<std::string> cut = cuts.cutLongLines(*script, &marks);
    const std::string_view shown = cut ? std::string_view(*cut) : std::string_view(*script);
    report(60);

    // The load is one change, and the script's text may be read while room is made for it, which
    // takes a long script's pages one by one, and while it goes in.
    noteChange();
    if (loading)
        loading(script);
    // The component reports a failed allocation by its status instead of an exception; the room
    // is asked for before the old text goes. It comes with room for typing: a buffer just large
    // enough is moved whole to a larger one at the first key.
    SendScintilla(SCI_SETSTATUS, SC_STATUS_OK);
    SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(shown.size() + shown.size() / 16 + 4096));
    if (SendScintilla(SCI_GETSTATUS) == SC_STATUS_BADALLOC) {
        SendScintilla(SCI_SETSTATUS, SC_STATUS_OK);
        noteChange();
        throw std::bad_alloc();
    }
    m_loading = true;
    SendScintilla(SCI_SETUNDOCOLLECTION, 0);
    takeText(shown, std::move(cuts), marks);
    SendScintilla(SCI_SETUNDOCOLLECTION, 1);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    SendScintilla(SCI_GOTOPOS, 0);
    m_loading = false;
    m_snapshot = script;
    report(100);
}

// Replaces the whole text with `text`, cut by `cuts`, whose marks stand at `marks`: they are
// known already, so the text is not searched for them.
void ScriptEditor::takeText(std::string_view text, LineCuts cuts, const std::vector<std::size_t>& marks)
{
    SendScintilla(SCI_CLEARALL);
    m_cuts = std::move(cuts);
    m_marksGiven = true;
    SendScintilla(SCI_APPENDTEXT, uintptr_t(text.size()), text.data());
    m_marksGiven = false;
    m_cuts.setMarks(text, marks);
    for (const std::size_t mark : marks)
        showMark(text.substr(mark, LineCuts::kMarkBytes));
}

void ScriptEditor::showMark(std::string_view mark)
{
    // An ellipsis in a box, in the place of the rest it stands for.
    SendScintilla(SCI_SETREPRESENTATION, std::string(mark).c_str(), "\xE2\x80\xA6");
}

void ScriptEditor::replaceText(std::string_view documentText)
{
    m_template.end();
    const EditStep step(*this);
    std::vector<std::size_t> marks;
    const std::optional<std::string> cut = m_cuts.cutLongLines(documentText, &marks);
    const std::string_view text = cut ? std::string_view(*cut) : documentText;
    for (const std::size_t mark : marks)
        showMark(text.substr(mark, LineCuts::kMarkBytes));
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, uintptr_t(text.size()), text.data());
}

std::string ScriptEditor::script() const
{
    if (!cuts().holdsMarks())
        return fileFromDocument(documentText());
    return fileFromDocument(m_cuts.expanded(documentText()));
}

std::string_view ScriptEditor::documentText() const
{
    const auto length = static_cast<std::size_t>(SendScintilla(SCI_GETLENGTH));
    const auto* text = reinterpret_cast<const char*>(SendScintilla(SCI_GETCHARACTERPOINTER));
    return {text, length};
}

std::string_view ScriptEditor::bytesAt(long from, long to) const
{
    const auto* bytes = reinterpret_cast<const char*>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), to - from));
    return {bytes, std::size_t(to - from)};
}

long ScriptEditor::lineStart(long position) const
{
    return SendScintilla(SCI_POSITIONFROMLINE, SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position)));
}

QRect ScriptEditor::screenRect(long position) const
{
    const auto at = static_cast<unsigned long>(position);
    const long x = SendScintilla(SCI_POINTXFROMPOSITION, 0UL, position);
    const long y = SendScintilla(SCI_POINTYFROMPOSITION, 0UL, position);
    const long next = SendScintilla(SCI_POSITIONAFTER, at);
    const long width = std::max(1L, SendScintilla(SCI_POINTXFROMPOSITION, 0UL, next) - x);
    const long height = SendScintilla(SCI_TEXTHEIGHT, static_cast<unsigned long>(SendScintilla(SCI_LINEFROMPOSITION, at)));
    return QRect(viewport()->mapToGlobal(QPoint(int(x), int(y))), QSize(int(width), int(height)));
}

void ScriptEditor::setIndicator(int indicator, long from, long length, bool on)
{
    SendScintilla(SCI_SETINDICATORCURRENT, indicator);
    SendScintilla(on ? SCI_INDICATORFILLRANGE : SCI_INDICATORCLEARRANGE, static_cast<unsigned long>(from), length);
}

void ScriptEditor::replaceBytes(long from, long to, std::string_view bytes)
{
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
    SendScintilla(SCI_REPLACETARGET, uintptr_t(bytes.size()), bytes.data());
}

std::shared_ptr<const std::string> ScriptEditor::snapshot()
{
    if (!m_snapshot) {
        // Read on both sides of the buffer's gap, so that the gap stays where the typing is.
        const long length = SendScintilla(SCI_GETLENGTH);
        const long gap = SendScintilla(SCI_GETGAPPOSITION);
        m_snapshot = m_snapshots.copy(cuts().scriptParts(bytesAt(0, gap), bytesAt(gap, length)));
    }
    return m_snapshot;
}

long ScriptEditor::shownPosition(std::size_t scriptOffset, bool* inRest) const
{
    return long(cuts().shownPosition(scriptOffset, inRest));
}

std::size_t ScriptEditor::scriptOffset(long shownPosition) const
{
    return cuts().scriptOffset(std::size_t(shownPosition));
}

void ScriptEditor::deleteSelection()
{
    // Without a selection the component's clear would take the next character.
    if (!hasSelectedText())
        return;
    EditStep step(*this);
    SendScintilla(SCI_CLEAR);
}

void ScriptEditor::replaceRange(long from, long to, const QString& text)
{
    const std::string bytes = cp1252::sanitize(text).toStdString();
    const EditStep step(*this);
    replaceBytes(from, to, bytes);
}

void ScriptEditor::insertTemplate(long from, long to, std::string_view name)
{
    if (const ScriptTemplate* statement = templateNamed(name))
        m_template.start(from, to, *statement, m_indentUnit);
}

void ScriptEditor::cut()
{
    EditStep step(*this);
    QsciScintilla::cut();
}

void ScriptEditor::paste()
{
    EditStep step(*this);
    QsciScintilla::paste();
}

bool ScriptEditor::isUndoOrRedo(const QKeyEvent& event) const
{
    const int key = event.key() | int(event.modifiers() & ~Qt::KeypadModifier);
    const QsciCommand* command = standardCommands()->boundTo(key);
    return command && (command->command() == QsciCommand::Undo || command->command() == QsciCommand::Redo);
}

void ScriptEditor::keyPressEvent(QKeyEvent* event)
{
    // The open candidate list has the first say on the keys that move through it and choose.
    if (m_assistant->keyPressed(*event))
        return;
    applyKey(event);
    // Completion and hints are a help, not the edit: without the memory for them the key still
    // counts and the list stays shut.
    try {
        m_assistant->keyApplied(*event);
    } catch (const std::bad_alloc&) {
        m_assistant->dismiss();
    }
}

void ScriptEditor::applyKey(QKeyEvent* event)
{
    // Undo and redo restore text that was corrected already; an edit step around them would cut
    // off what there is to redo.
    if (isUndoOrRedo(*event)) {
        QsciScintilla::keyPressEvent(event);
        return;
    }

    EditStep step(*this);
    if (shortenRestAtCaret(*event) || applyEditingKey(*event))
        return;
    const QString text = event->text();
    const QString typed = cp1252::sanitize(text);
    if (typed == text) {
        QsciScintilla::keyPressEvent(event);
        if (text == QLatin1String("}"))
            alignClosingBraces();
        return;
    }
    QKeyEvent inCodePage(event->type(), event->key(), event->modifiers(), typed, event->isAutoRepeat(),
                         ushort(event->count()));
    QsciScintilla::keyPressEvent(&inCodePage);
    event->setAccepted(inCodePage.isAccepted());
}

// The keys the editor gives a meaning of its own, inside the edit step of the key.
bool ScriptEditor::applyEditingKey(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const bool plain = modifiers == Qt::NoModifier;
    const bool control = modifiers == Qt::ControlModifier;
    switch (event.key()) {
    case Qt::Key_Tab:
        if (plain && m_template.active()) {
            m_template.nextField();
            return true;
        }
        if (!plain && !control)
            return false;
        // A tab character in place of each selection, never an indent of the selected lines.
        typeAtEachSelection([](long) { return std::string("\t"); });
        return true;
    case Qt::Key_Backtab:
        editSelectedLines([this](std::string_view lines) { return outdentLines(lines, m_indentUnit); });
        return true;
    case Qt::Key_Escape:
        m_template.end();
        return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!plain && !control)
            return false;
        typeAtEachSelection([this](long at) {
            return "\r\n" + indentationAfterBreak(bytesAt(lineStart(at), at), m_indentUnit);
        });
        return true;
    case Qt::Key_Slash:
        if (!(modifiers & Qt::ControlModifier))
            return false;
        editSelectedLines(toggleLineComments);
        return true;
    case Qt::Key_BracketRight:
    case Qt::Key_BracketLeft:
        if (!control)
            return false;
        editSelectedLines([this, indent = event.key() == Qt::Key_BracketRight](std::string_view lines) {
            return indent ? indentLines(lines, m_indentUnit) : outdentLines(lines, m_indentUnit);
        });
        return true;
    case Qt::Key_B:
        if (!control)
            return false;
        m_caretMarks->jumpToPartner();
        return true;
    case Qt::Key_F9:
        if (plain)
            m_folds->toggleAtCaret();
        else if (modifiers == Qt::ShiftModifier)
            m_folds->toggleAll();
        return plain || modifiers == Qt::ShiftModifier;
    default:
        return false;
    }
}

void ScriptEditor::typeAtEachSelection(const std::function<std::string(long)>& text)
{
    for (long n = 0, count = SendScintilla(SCI_GETSELECTIONS); n < count; ++n) {
        const long start = SendScintilla(SCI_GETSELECTIONNSTART, n);
        const long end = SendScintilla(SCI_GETSELECTIONNEND, n);
        const std::string typed = text(start);
        replaceBytes(start, end, typed);
        const long caret = start + long(typed.size());
        SendScintilla(SCI_SETSELECTIONNCARET, n, caret);
        SendScintilla(SCI_SETSELECTIONNANCHOR, n, caret);
    }
    SendScintilla(SCI_SCROLLCARET);
}

// A `}` typed where only blanks precede it on its line takes the indentation of its `{`'s line.
void ScriptEditor::alignClosingBraces()
{
    constexpr long kLookBack = 256 * 1024;
    for (long n = 0, count = SendScintilla(SCI_GETSELECTIONS); n < count; ++n) {
        const long brace = SendScintilla(SCI_GETSELECTIONNCARET, n) - 1;
        const long from = lineStart(std::max(0L, lineStart(brace) - kLookBack));
        if (const std::optional<TextEdit> edit = closingBraceAlignment(bytesAt(from, brace)))
            replaceBytes(from + long(edit->offset), brace, edit->replacement);
    }
}

// Applies `edits` of the whole lines the selection covers; a selection that ends at a line's
// start leaves that line out.
void ScriptEditor::editSelectedLines(const std::function<std::vector<TextEdit>(std::string_view)>& edits)
{
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    long end = SendScintilla(SCI_GETSELECTIONEND);
    const long firstLine = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(start));
    long lastLine = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(end));
    if (lastLine > firstLine && SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(lastLine)) == end)
        --lastLine;
    const long from = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(firstLine));
    const long to = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(lastLine));
    const std::vector<TextEdit> changes = edits(bytesAt(from, to));
    const bool wasSelected = start != end;
    for (auto edit = changes.rbegin(); edit != changes.rend(); ++edit) {
        const long at = from + long(edit->offset);
        replaceBytes(at, at + long(edit->length), edit->replacement);
    }
    // The lines stay selected as whole lines, so that the key can be pressed again.
    if (wasSelected)
        SendScintilla(SCI_SETSEL, static_cast<unsigned long>(from), SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(lastLine)));
}

void ScriptEditor::inputMethodEvent(QInputMethodEvent* event)
{
    EditStep step(*this);
    const QString committed = cp1252::sanitize(event->commitString());
    if (committed == event->commitString()) {
        QsciScintilla::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent inCodePage(event->preeditString(), event->attributes());
    inCodePage.setCommitString(committed, event->replacementStart(), event->replacementLength());
    QsciScintilla::inputMethodEvent(&inCodePage);
}

void ScriptEditor::fitLineNumberMargin()
{
    int digits = 1;
    for (long lines = SendScintilla(SCI_GETLINECOUNT); lines >= 10; lines /= 10)
        ++digits;
    if (digits == m_lineNumberDigits)
        return;
    m_lineNumberDigits = digits;
    // One digit to spare, so that the margin does not grow at every tenfold.
    setMarginWidth(0, QString(digits + 1, QLatin1Char('9')));
}

// Files dropped here are for the window to open, not text to insert.
bool ScriptEditor::refuseFiles(QDropEvent& event)
{
    const QMimeData* data = event.mimeData();
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    if (std::none_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); }))
        return false;
    event.ignore();
    return true;
}

void ScriptEditor::dragEnterEvent(QDragEnterEvent* event)
{
    if (!refuseFiles(*event))
        QsciScintilla::dragEnterEvent(event);
}

void ScriptEditor::dragMoveEvent(QDragMoveEvent* event)
{
    if (!refuseFiles(*event))
        QsciScintilla::dragMoveEvent(event);
}

void ScriptEditor::dropEvent(QDropEvent* event)
{
    if (refuseFiles(*event))
        return;
    EditStep step(*this);
    QsciScintilla::dropEvent(event);
}

void ScriptEditor::focusOutEvent(QFocusEvent* event)
{
    if (m_assistant)
        m_assistant->dismiss();
    QsciScintilla::focusOutEvent(event);
}

void ScriptEditor::mousePressEvent(QMouseEvent* event)
{
    if (m_assistant)
        m_assistant->dismiss();
    // The context menu acts on the selection as it stands, so a right click leaves the caret
    // where it is.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier &&
        m_controlClick) {
        const long position = SendScintilla(SCI_POSITIONFROMPOINTCLOSE, static_cast<unsigned long>(event->position().x()),
                                            long(event->position().y()));
        if (position >= 0 && m_controlClick(position)) {
            event->accept();
            return;
        }
    }
    // The middle button pastes the primary selection.
    if (event->button() == Qt::MiddleButton) {
        EditStep step(*this);
        QsciScintilla::mousePressEvent(event);
        return;
    }
    QsciScintilla::mousePressEvent(event);
}

QByteArray ScriptEditor::fromMimeData(const QMimeData* source, bool& rectangular) const
{
    const QByteArray text = QsciScintilla::fromMimeData(source, rectangular);
    return cp1252::sanitize(QString::fromUtf8(text)).toUtf8();
}

// What leaves the editor, copied or dragged, holds the long lines whole.
QMimeData* ScriptEditor::toMimeData(const QByteArray& text, bool rectangular) const
{
    if (!cuts().holdsMarks())
        return QsciScintilla::toMimeData(text, rectangular);
    const std::string whole = m_cuts.expanded(std::string_view(text.constData(), std::size_t(text.size())));
    return QsciScintilla::toMimeData(QByteArray(whole.data(), qsizetype(whole.size())), rectangular);
}

void ScriptEditor::noteChange()
{
    m_snapshot.reset();
    ++m_revision;
    emit textChanging();
}

void ScriptEditor::noteModification(int position, int type, int length)
{
    trackMarks(position, type, length);
    tellInsertion();
    if (type & SC_MOD_BEFOREINSERT) {
        m_template.inserted(position, length);
        m_untoldInsertion = {position, length};
    } else {
        m_template.removed(position, length);
        AccessibleEditor::removing(*this, position, length);
    }
    if (m_editDepth == 0)
        return;
    if (type & SC_MOD_BEFOREINSERT)
        m_edited.inserted(std::size_t(position), std::size_t(length));
    else
        m_edited.removed(std::size_t(position), std::size_t(length));
}

// An insertion is told once it is in place: at the next change, or once the edit is done.
void ScriptEditor::tellInsertion()
{
    if (const auto [position, length] = std::exchange(m_untoldInsertion, {0, 0}); length > 0)
        AccessibleEditor::inserted(*this, position, length);
}

// Every change, undo and redo included, moves the marks after it; a deletion takes the marks
// it covers, an insertion brings in the marks it holds. The component tells of an insertion
// before it is made, without its text, so the text inserted is looked at once it is in place:
// at the next change, or when the marks are asked for.
void ScriptEditor::trackMarks(long position, int type, long length)
{
    cuts();
    if (type & SC_MOD_BEFOREDELETE) {
        m_cuts.removeRange(std::size_t(position), std::size_t(length));
        return;
    }
    m_cuts.moveForInsertion(std::size_t(position), std::size_t(length));
    if (!m_marksGiven)
        m_inserted = {position, length};
}

const LineCuts& ScriptEditor::cuts() const
{
    if (const auto [position, length] = std::exchange(m_inserted, {0, 0}); length > 0)
        m_cuts.findMarks(std::size_t(position), bytesAt(position, position + length));
    return m_cuts;
}

// A line the edit step made longer than the longest the editor holds is cut again.
void ScriptEditor::cutTouchedLines()
{
    const std::vector<TextRange> edited = m_edited.ranges();
    for (auto range = edited.rbegin(); range != edited.rend(); ++range) {
        const long firstLine = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(range->begin));
        for (long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(range->end)); line >= firstLine; --line) {
            const long start = SendScintilla(SCI_POSITIONFROMLINE, line);
            if (SendScintilla(SCI_GETLINEENDPOSITION, line) - start > long(LineCuts::kLongestShownLine))
                cutLine(line);
        }
    }
}

void ScriptEditor::cutLine(long line)
{
    const long start = SendScintilla(SCI_POSITIONFROMLINE, line);
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, line);
    const std::string_view shown = bytesAt(start, end);
    const long cut = start + long(LineCuts::cutPoint(shown));
    const std::string mark = m_cuts.markFor(m_cuts.expanded(shown.substr(std::size_t(cut - start))));
    if (mark.empty())
        return;
    showMark(mark);
    const auto moved = [&](long position) {
        return long(LineCuts::placeAfterCut(std::size_t(position), std::size_t(cut), std::size_t(end)));
    };
    std::vector<std::pair<long, long>> kept = selections();
    for (auto& [caret, anchor] : kept)
        std::tie(caret, anchor) = std::pair{moved(caret), moved(anchor)};
    replaceBytes(cut, end, mark);
    setSelections(kept);
}

std::vector<std::pair<long, long>> ScriptEditor::selections() const
{
    std::vector<std::pair<long, long>> kept;
    for (long n = 0, count = SendScintilla(SCI_GETSELECTIONS); n < count; ++n)
        kept.emplace_back(SendScintilla(SCI_GETSELECTIONNCARET, n), SendScintilla(SCI_GETSELECTIONNANCHOR, n));
    return kept;
}

void ScriptEditor::setSelections(const std::vector<std::pair<long, long>>& selections)
{
    for (std::size_t n = 0; n < selections.size(); ++n) {
        SendScintilla(SCI_SETSELECTIONNCARET, n, selections[n].first);
        SendScintilla(SCI_SETSELECTIONNANCHOR, n, selections[n].second);
    }
}

// Delete in front of a mark, or Backspace behind it, takes one character of its rest, as it
// would of the line held whole, rather than the whole rest.
bool ScriptEditor::shortenRestAtCaret(const QKeyEvent& event)
{
    const bool forward = event.key() == Qt::Key_Delete;
    if ((!forward && event.key() != Qt::Key_Backspace) || hasSelectedText() || SendScintilla(SCI_GETSELECTIONS) != 1)
        return false;
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long mark = forward ? caret : caret - long(LineCuts::kMarkBytes);
    if (mark < 0 || !cuts().isMarkAt(std::size_t(mark)))
        return false;
    const std::optional<std::string> shorter =
        m_cuts.markWithoutCharacter(bytesAt(mark, mark + long(LineCuts::kMarkBytes)), forward);
    // With no mark left to give, the key is refused rather than taking the whole rest.
    if (!shorter)
        return true;
    if (!shorter->empty())
        showMark(*shorter);
    replaceBytes(mark, mark + long(LineCuts::kMarkBytes), *shorter);
    const long after = mark + long(shorter->size());
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(forward ? mark : after));
    return true;
}

void ScriptEditor::correctTouchedLines()
{
    // Positions in the text, and spellings that stay valid while the text is corrected.
    std::vector<std::pair<long, Token>> corrections;
    long firstLine = 0;  // the first not read yet: stretches on one line are read once
    for (const TextRange& range : m_edited.ranges()) {
        const long first = std::max(firstLine, SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(range.begin)));
        const long last = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(range.end));
        if (last < first)
            continue;
        firstLine = last + 1;
        const long from = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(first));
        const long to = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(last));
        const std::string_view lines = bytesAt(from, to);
        for (const Token& token : caseCorrections(lines))
            corrections.emplace_back(from, token);
    }
    m_edited.clear();
    if (corrections.empty())
        return;

    // Each spelling is as long as the word it replaces, so the selections stay where they were.
    const std::vector<std::pair<long, long>> kept = selections();
    for (const auto& [position, token] : corrections)
        replaceBytes(position + long(token.begin), position + long(token.end), token.spelling);
    setSelections(kept);
}
