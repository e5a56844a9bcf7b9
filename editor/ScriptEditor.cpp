#include "editor/ScriptEditor.h"

#include "editor/ScriptAssistant.h"
#include "editor/LineReach.h"
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
        m_editor.exposeSelectedUnread();
    }
}

ScriptEditor::EditStep::~EditStep()
{
    if (--m_editor.m_editDepth == 0) {
        m_editor.correctTouchedLines();
        m_editor.hideExposed();
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
                m_snapshot.reset();
                emit textChanging();
            });

    setUtf8(true);
    setEolMode(EolWindows);
    setWrapMode(WrapNone);
    setLexer(m_lexer);
    SendScintilla(SCI_STYLESETVISIBLE, ScriptLexer::kUnreadStyle, 0L);
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

void ScriptEditor::setScript(std::string fileBytes, const std::function<void(int)>& progress)
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
    correctCase(text);
    report(60);

    // The component reports a failed allocation by its status instead of an exception; the room
    // is asked for before the old text goes. It comes with room for typing: a buffer just large
    // enough is moved whole to a larger one at the first key.
    SendScintilla(SCI_SETSTATUS, SC_STATUS_OK);
    SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(text.size() + text.size() / 16 + 4096));
    if (SendScintilla(SCI_GETSTATUS) == SC_STATUS_BADALLOC) {
        SendScintilla(SCI_SETSTATUS, SC_STATUS_OK);
        throw std::bad_alloc();
    }
    SendScintilla(SCI_SETUNDOCOLLECTION, 0);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, uintptr_t(text.size()), text.data());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    // Placing the caret lays out its line before any paint colours it; coloured first, the
    // unread rest of a long first line is never measured.
    SendScintilla(SCI_COLOURISE, 0UL, SendScintilla(SCI_GETLINEENDPOSITION, 0UL));
    SendScintilla(SCI_GOTOPOS, 0);
    report(100);
}

void ScriptEditor::replaceText(std::string_view documentText)
{
    const EditStep step(*this);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, uintptr_t(documentText.size()), documentText.data());
}

std::string ScriptEditor::script() const
{
    return fileFromDocument(documentText());
}

std::string_view ScriptEditor::documentText() const
{
    const auto length = static_cast<std::size_t>(SendScintilla(SCI_GETLENGTH));
    const auto* text = reinterpret_cast<const char*>(SendScintilla(SCI_GETCHARACTERPOINTER));
    return {text, length};
}

std::shared_ptr<const std::string> ScriptEditor::snapshot()
{
    if (!m_snapshot) {
        // Read on both sides of the buffer's gap, so that the gap stays where the typing is.
        const auto length = static_cast<std::size_t>(SendScintilla(SCI_GETLENGTH));
        const auto gap = static_cast<std::size_t>(SendScintilla(SCI_GETGAPPOSITION));
        const auto* before = reinterpret_cast<const char*>(SendScintilla(SCI_GETRANGEPOINTER, 0UL, long(gap)));
        const auto* after = reinterpret_cast<const char*>(SendScintilla(SCI_GETRANGEPOINTER, gap, long(length - gap)));
        m_snapshot = m_snapshots.copy({before, gap}, {after, length - gap});
    }
    return m_snapshot;
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
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        const long caret = SendScintilla(SCI_GETCURRENTPOS);
        exposeUnread(std::max(0L, caret - 1), std::min(SendScintilla(SCI_GETLENGTH), caret + 1));
    }
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

void ScriptEditor::noteModification(int position, int type, int length)
{
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

void ScriptEditor::correctTouchedLines()
{
    if (!m_touched)
        return;
    m_touched = false;
    const long from = SendScintilla(SCI_POSITIONFROMLINE, SendScintilla(SCI_LINEFROMPOSITION, m_touchedFirst));
    const long to = SendScintilla(SCI_GETLINEENDPOSITION, SendScintilla(SCI_LINEFROMPOSITION, m_touchedLast));

    // Positions in the text, and spellings that stay valid while the text is corrected.
    std::vector<std::pair<long, Token>> corrections;
    walkReachedText(
        *this, from, to,
        [&corrections](long position, std::string_view lines) {
            Tokenizer tokenizer(lines, ScriptVocabulary::caseCorrected());
            while (const std::optional<Token> token = tokenizer.next()) {
                if (needsCaseCorrection(lines, *token))
                    corrections.emplace_back(position, *token);
            }
        },
        [](long, long) {});
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

// The component refuses to remove text in a hidden style, which the unread rest of a long line
// is: what an edit may remove takes the gap's style until the edit is done, when the lines from
// there are coloured again.
void ScriptEditor::exposeUnread(long from, long to)
{
    const long styled = SendScintilla(SCI_GETENDSTYLED);
    bool exposed = false;
    walkReachedText(*this, from, to, {}, [&](long position, long length) {
        SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(position), 0L);
        SendScintilla(SCI_SETSTYLING, static_cast<unsigned long>(length), int(TokenKind::Gap));
        m_exposedFrom = m_exposedFrom < 0 ? position : std::min(m_exposedFrom, position);
        exposed = true;
    });
    if (exposed)
        SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(styled), 0L);
}

void ScriptEditor::exposeSelectedUnread()
{
    const long selections = SendScintilla(SCI_GETSELECTIONS);
    for (long i = 0; i < selections; ++i) {
        const long start = SendScintilla(SCI_GETSELECTIONNSTART, static_cast<unsigned long>(i));
        const long end = SendScintilla(SCI_GETSELECTIONNEND, static_cast<unsigned long>(i));
        if (start < end)
            exposeUnread(start, end);
    }
}

void ScriptEditor::hideExposed()
{
    if (m_exposedFrom < 0)
        return;
    if (SendScintilla(SCI_GETENDSTYLED) > m_exposedFrom)
        SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(m_exposedFrom), 0L);
    m_exposedFrom = -1;
}
