#include "editor/ScriptEditor.h"

#include "editor/ScriptAssistant.h"
#include "editor/ScriptLexer.h"
#include "language/ScriptText.h"
#include "language/Tokenizer.h"
#include "platform/Cp1252.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QAccessible>
#include <QAccessibleWidget>
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

// The component's own accessibility bridge counts characters from the start of the text on
// every edit and caret move, which makes a keystroke cost grow with the script's size. A screen
// reader is given the plain widget instead: it announces the editor, not its text.
QAccessibleInterface* plainAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("ScriptEditor") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::EditableText);
    return nullptr;
}

QWidget* withPlainAccessibility(QWidget* parent)
{
    static const bool installed = (QAccessible::installFactory(plainAccessible), true);
    Q_UNUSED(installed);
    return parent;
}

QString codePageText(const QString& text)
{
    return cp1252::sanitize(text);
}

// Where a position lands after `length` characters were removed at `at`.
long afterDeletion(long position, long at, long length)
{
    if (position <= at)
        return position;
    return position >= at + length ? position - length : at;
}

} // namespace

ScriptEditor::EditStep::EditStep(ScriptEditor& editor) : m_editor(editor)
{
    if (m_editor.m_editDepth++ == 0) {
        m_editor.beginUndoAction();
        m_editor.m_touched = false;
    }
}

ScriptEditor::EditStep::~EditStep()
{
    if (--m_editor.m_editDepth == 0) {
        m_editor.cutTouchedLines();
        m_editor.correctTouchedLines();
        m_editor.endUndoAction();
    }
}

ScriptEditor::ScriptEditor(QWidget* parent)
    : QsciScintilla(withPlainAccessibility(parent)), m_lexer(new ScriptLexer(editorFont(), this))
{
    // Without the insertion and deletion events the accessibility bridge stays idle; the
    // before-change events tell which text an edit touches.
    SendScintilla(SCI_SETMODEVENTMASK, SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE);
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
    setMargins(1);
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
    // The horizontal scroll bar grows with the longest line shown, from nothing.
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1);
    // Ctrl+Shift+Z has always redone, as well as Ctrl+Y; the component binds only the latter.
    standardCommands()->find(QsciCommand::Redo)->setAlternateKey(
        QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z).toCombined());
    const QFont font = editorFont();
    const double tabPixels = kTabStopInches * logicalDpiX();
    setTabWidth(std::max(1, qRound(tabPixels / QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')))));
    m_assistant = new ScriptAssistant(*this);
}

ScriptEditor::~ScriptEditor()
{
    // The component may still signal while it is torn down; the assistant goes first so that
    // nothing reaches it half destroyed.
    delete m_assistant;
    m_assistant = nullptr;
}

std::shared_ptr<const ScriptAnalysis> ScriptEditor::setAnalysis(std::shared_ptr<const ScriptAnalysis> analysis)
{
    return m_assistant->setAnalysis(std::move(analysis));
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
    // The reading of the script that was here tells nothing of the one that comes.
    m_assistant->setAnalysis(nullptr);
    std::string text;
    if (isDocumentText(fileBytes)) {
        text = std::move(fileBytes);
    } else {
        text = documentFromFile(fileBytes);
        // Freed now, not when this returns: a move would keep the buffer.
        std::string().swap(fileBytes);
    }
    report(30);
    // Corrected no further along a line than its reach: the rests of long lines stay as they are.
    correctCase(text);
    const auto script = std::make_shared<const std::string>(std::move(text));
    // The rests of the text that is here go with it, not before.
    LineCuts cuts;
    std::vector<std::size_t> marks;
    const std::optional<std::string> cut = cuts.cutLongLines(*script, &marks);
    const std::string_view shown = cut ? std::string_view(*cut) : std::string_view(*script);
    report(60);

    // The component reports a failed allocation by its status instead of an exception; the room
    // is asked for before the old text goes. It comes with room for typing: a buffer just large
    // enough is moved whole to a larger one at the first key.
    SendScintilla(SCI_SETSTATUS, SC_STATUS_OK);
    SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(shown.size() + shown.size() / 16 + 4096));
    if (SendScintilla(SCI_GETSTATUS) == SC_STATUS_BADALLOC) {
        SendScintilla(SCI_SETSTATUS, SC_STATUS_OK);
        throw std::bad_alloc();
    }
    // The load is one change, and the script's text may be read while it goes in.
    noteChange();
    if (loading)
        loading(script);
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
    if (shortenRestAtCaret(*event))
        return;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool plainOrControl = modifiers == Qt::NoModifier || modifiers == Qt::ControlModifier;
    if (event->key() == Qt::Key_Tab && plainOrControl) {
        // A tab character in place of the selection, never an indent of the selected lines.
        replaceSelectedText(QStringLiteral("\t"));
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && modifiers == Qt::ControlModifier) {
        SendScintilla(SCI_NEWLINE);
        return;
    }
    const QString text = event->text();
    const QString typed = codePageText(text);
    if (typed == text) {
        QsciScintilla::keyPressEvent(event);
        return;
    }
    QKeyEvent inCodePage(event->type(), event->key(), event->modifiers(), typed, event->isAutoRepeat(),
                         ushort(event->count()));
    QsciScintilla::keyPressEvent(&inCodePage);
    event->setAccepted(inCodePage.isAccepted());
}

void ScriptEditor::inputMethodEvent(QInputMethodEvent* event)
{
    EditStep step(*this);
    const QString committed = codePageText(event->commitString());
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
bool ScriptEditor::carriesFiles(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

void ScriptEditor::dragEnterEvent(QDragEnterEvent* event)
{
    if (carriesFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    QsciScintilla::dragEnterEvent(event);
}

void ScriptEditor::dragMoveEvent(QDragMoveEvent* event)
{
    if (carriesFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    QsciScintilla::dragMoveEvent(event);
}

void ScriptEditor::dropEvent(QDropEvent* event)
{
    if (carriesFiles(event->mimeData())) {
        event->ignore();
        return;
    }
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
    return codePageText(QString::fromUtf8(text)).toUtf8();
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
    if (m_editDepth == 0)
        return;
    long first = position;
    long last = position;
    if (type & SC_MOD_BEFOREINSERT) {
        last = position + length;
        if (m_touched) {
            m_touchedFirst = m_touchedFirst > position ? m_touchedFirst + length : m_touchedFirst;
            m_touchedLast = m_touchedLast >= position ? m_touchedLast + length : m_touchedLast;
        }
    } else if (m_touched) {
        m_touchedFirst = afterDeletion(m_touchedFirst, position, length);
        m_touchedLast = afterDeletion(m_touchedLast, position, length);
    }
    m_touchedFirst = m_touched ? std::min(m_touchedFirst, first) : first;
    m_touchedLast = m_touched ? std::max(m_touchedLast, last) : last;
    m_touched = true;
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
    if (!m_touched)
        return;
    const long firstLine = SendScintilla(SCI_LINEFROMPOSITION, m_touchedFirst);
    for (long line = SendScintilla(SCI_LINEFROMPOSITION, m_touchedLast); line >= firstLine; --line) {
        const long start = SendScintilla(SCI_POSITIONFROMLINE, line);
        if (SendScintilla(SCI_GETLINEENDPOSITION, line) - start > long(LineCuts::kLongestShownLine))
            cutLine(line);
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
    // A place in what goes stays in front of the mark, one at the line's end stays at its end.
    const long shift = long(mark.size()) - (end - cut);
    const auto moved = [&](long position) {
        return position <= cut ? position : position >= end ? position + shift : cut;
    };
    const long anchor = moved(SendScintilla(SCI_GETANCHOR));
    const long caret = moved(SendScintilla(SCI_GETCURRENTPOS));
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(cut), end);
    SendScintilla(SCI_REPLACETARGET, uintptr_t(mark.size()), mark.data());
    SendScintilla(SCI_SETANCHOR, static_cast<unsigned long>(anchor));
    SendScintilla(SCI_SETCURRENTPOS, static_cast<unsigned long>(caret));
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
    const std::string_view rest = m_cuts.restOf(bytesAt(mark, mark + long(LineCuts::kMarkBytes)));
    std::size_t begin = 0;
    std::size_t end = rest.size();
    if (forward) {
        do
            ++begin;
        while (begin < end && (static_cast<unsigned char>(rest[begin]) & 0xC0) == 0x80);
    } else {
        do
            --end;
        while (end > 0 && (static_cast<unsigned char>(rest[end]) & 0xC0) == 0x80);
    }
    const std::string shorter = begin < end ? m_cuts.markForPart(bytesAt(mark, mark + long(LineCuts::kMarkBytes)), begin, end)
                                            : std::string();
    // With no mark left to give, the key is refused rather than taking the whole rest.
    if (begin < end && shorter.empty())
        return true;
    if (!shorter.empty())
        showMark(shorter);
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(mark), mark + long(LineCuts::kMarkBytes));
    SendScintilla(SCI_REPLACETARGET, uintptr_t(shorter.size()), shorter.data());
    const long after = mark + long(shorter.size());
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(forward ? mark : after));
    return true;
}

void ScriptEditor::correctTouchedLines()
{
    if (!m_touched)
        return;
    m_touched = false;
    const long from = SendScintilla(SCI_POSITIONFROMLINE, SendScintilla(SCI_LINEFROMPOSITION, m_touchedFirst));
    const long to = SendScintilla(SCI_GETLINEENDPOSITION, SendScintilla(SCI_LINEFROMPOSITION, m_touchedLast));

    // Positions in the text, and spellings that stay valid while the text is corrected.
    std::vector<std::pair<long, Token>> corrections;
    const std::string_view lines = bytesAt(from, to);
    Tokenizer tokenizer(lines, ScriptVocabulary::caseCorrected());
    while (const std::optional<Token> token = tokenizer.next()) {
        if (needsCaseCorrection(lines, *token))
            corrections.emplace_back(from, *token);
    }
    if (corrections.empty())
        return;

    // Each spelling is as long as the word it replaces, so the selection stays where it was.
    const long anchor = SendScintilla(SCI_GETANCHOR);
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    for (const auto& [position, token] : corrections) {
        SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(position + long(token.begin)),
                      position + long(token.end));
        SendScintilla(SCI_REPLACETARGET, uintptr_t(token.spelling.size()), std::string(token.spelling).c_str());
    }
    SendScintilla(SCI_SETANCHOR, static_cast<unsigned long>(anchor));
    SendScintilla(SCI_SETCURRENTPOS, static_cast<unsigned long>(caret));
}

