#include "editor/ScriptAssistant.h"

#include "language/Completion.h"
#include "editor/CompletionPopup.h"
#include "editor/ScriptEditor.h"
#include "language/ScriptHints.h"
#include "language/Tokenizer.h"
#include "language/ScriptReader.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QToolTip>

#include <algorithm>
#include <string_view>

namespace {

// How long the mouse rests on a name before its hint shows, in milliseconds.
constexpr int kDwellMilliseconds = 500;

// Where what shows under the character at `rect` goes.
QPoint belowOf(const QRect& rect)
{
    return {rect.left(), rect.top() + rect.height()};
}

bool isModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr || key == Qt::Key_CapsLock;
}

} // namespace

ScriptAssistant::ScriptAssistant(ScriptEditor& editor)
    : QObject(&editor), m_editor(editor), m_popup(new CompletionPopup(&editor)),
      m_siblings(std::make_shared<const DeclaredNames>())
{
    m_popup->hide();
    connect(m_popup, &CompletionPopup::picked, this, &ScriptAssistant::insertChosen);
    m_editor.SendScintilla(QsciScintillaBase::SCI_SETMOUSEDWELLTIME, kDwellMilliseconds);
    connect(&m_editor, &QsciScintillaBase::SCN_DWELLSTART, this, [this](int position, int x, int y) {
        if (position < 0 || listShown())
            return;
        const auto at = static_cast<unsigned long>(position);
        const auto here = char(m_editor.SendScintilla(QsciScintillaBase::SCI_GETCHARAT, at));
        const auto before = position > 0 ? char(m_editor.SendScintilla(QsciScintillaBase::SCI_GETCHARAT, at - 1)) : ' ';
        if (!isWordByte(here) && !isWordByte(before))
            return;
        showHintAt(std::size_t(position), m_editor.viewport()->mapToGlobal(QPoint(x, y)), true);
    });
    connect(&m_editor, &QsciScintillaBase::SCN_DWELLEND, this, [this](int, int, int) { hideHint(); });
}

void ScriptAssistant::setContext(std::shared_ptr<const DeclaredNames> siblings, QString levelHint)
{
    m_siblings = siblings ? std::move(siblings) : std::make_shared<const DeclaredNames>();
    m_levelHint = std::move(levelHint);
    m_levelHintBytes = m_levelHint.toStdString();
}

bool ScriptAssistant::listShown() const
{
    return m_popup->isVisible();
}

bool ScriptAssistant::keyPressed(QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (event.key() == Qt::Key_Space && modifiers == Qt::ControlModifier && m_editor.isVisible()) {
        hideHint();
        open(true);
        event.accept();
        return true;
    }
    if (!listShown() || modifiers != Qt::NoModifier)
        return false;
    switch (event.key()) {
    case Qt::Key_Escape: close(); break;
    case Qt::Key_Up: moveInList(-1); break;
    case Qt::Key_Down: moveInList(1); break;
    case Qt::Key_PageUp: moveInList(-m_popup->pageRows()); break;
    case Qt::Key_PageDown: moveInList(m_popup->pageRows()); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        // A list that came by itself must not change what is being typed: Enter and Tab keep
        // their own meaning unless the list offers to finish the word.
        if (m_untouched && !finishesTypedName()) {
            close();
            return false;
        }
        // On a heading there is nothing to insert, and the key is not the editor's either.
        if (m_popup->chosen())
            insertChosen();
        break;
    default: return false;
    }
    event.accept();
    return true;
}

void ScriptAssistant::moveInList(int rows)
{
    m_untouched = false;
    m_popup->moveCurrent(rows);
}

void ScriptAssistant::keyApplied(const QKeyEvent& event)
{
    if (isModifierKey(event.key()))
        return;
    hideHint();
    // Keys sent to an editor nobody sees are edits made by code, not typing to help with.
    if (!m_editor.isVisible())
        return;
    if (listShown()) {
        refresh();
        if (listShown())
            return;
    }
    const QString text = event.text();
    if (text.size() != 1 || text.front().unicode() >= 0x80 || (event.modifiers() & Qt::ControlModifier))
        return;
    const char typed = char(text.front().unicode());
    const long caret = m_editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    if (isWordByte(typed)) {
        if (opensNameList(lineBefore(caret)))
            open(false);
        return;
    }
    if (typed != ' ' && typed != '(' && typed != ',')
        return;
    if (followsBuilderCommand(lineBefore(caret)))
        open(false);
    if (typed != ',' && callableBefore(caret))
        showHintAt(std::size_t(caret), m_editor.screenRect(caret).topLeft(), false);
}

bool ScriptAssistant::finishesTypedName() const
{
    const Candidate* chosen = m_popup->chosen();
    const long caret = m_editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    return chosen && caret >= long(m_replaceBegin) &&
           ::finishesTypedName(m_popup->candidates(), *chosen, m_editor.bytesAt(long(m_replaceBegin), caret));
}

void ScriptAssistant::dismiss()
{
    close();
    hideHint();
}

void ScriptAssistant::open(bool asked)
{
    const auto caret = std::size_t(m_editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    Completion completion = this->completion(caret);
    // Unasked, a list of every name is no help: only an argument's entries come without a word.
    if (!asked && !completion.arguments && completion.caret - completion.replaceBegin < 2) {
        close();
        return;
    }
    m_untouched = !asked;
    if (!offer(std::move(completion)))
        return;
    const QRect word = m_editor.screenRect(long(m_replaceBegin));
    m_popup->showAt(belowOf(word), word.top());
}

void ScriptAssistant::refresh()
{
    const long caret = m_editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const auto begin = long(m_replaceBegin);
    const auto isName = [](std::string_view typed) { return std::all_of(typed.begin(), typed.end(), isWordByte); };
    if (caret < begin || m_editor.lineStart(caret) != m_editor.lineStart(begin) ||
        (!m_arguments && !isName(m_editor.bytesAt(begin, caret)))) {
        close();
        return;
    }
    Completion completion = this->completion(std::size_t(caret));
    // A name's list lasts while the name does; an argument's list follows the caret from one
    // argument of the call to the next.
    if (!completion.arguments && (m_arguments || completion.replaceBegin != m_replaceBegin)) {
        close();
        return;
    }
    if (offer(std::move(completion)))
        m_popup->update();
}

bool ScriptAssistant::offer(Completion completion)
{
    m_replaceBegin = completion.replaceBegin;
    m_arguments = completion.arguments;
    m_popup->setCandidates(std::move(completion.candidates));
    if (m_popup->offersAny())
        return true;
    close();
    return false;
}

void ScriptAssistant::close()
{
    if (m_popup->isVisible())
        m_popup->hide();
}

void ScriptAssistant::insertChosen()
{
    const Candidate* chosen = m_popup->chosen();
    if (!chosen)
        return;
    const std::string insert = chosen->insertText;
    const bool statement = chosen->kind == NameKind::Template;
    close();
    const long caret = m_editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    if (caret < long(m_replaceBegin))
        return;
    if (statement) {
        m_editor.insertTemplate(long(m_replaceBegin), caret, insert);
        return;
    }
    const ScriptEditor::EditStep step(m_editor);
    m_editor.replaceBytes(long(m_replaceBegin), caret, insert);
    m_editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(m_replaceBegin + insert.size()));
}

void ScriptAssistant::showHint(std::size_t position)
{
    showHintAt(position, belowOf(m_editor.screenRect(long(position))), true);
}

void ScriptAssistant::showHintAt(std::size_t position, QPoint globalPoint, bool dwelling)
{
    const std::shared_ptr<const ScriptAnalysis> reading = analysis();
    const CaretHint found = hintAt(m_editor.documentText(), *reading, position, *m_siblings);
    if (found.hint.empty()) {
        hideHint();
        return;
    }
    const QString tip = QString::fromStdString(found.hint.text());
    QPoint at = globalPoint;
    if (!dwelling) {
        // Above the line being typed, where the list that may open under it leaves it visible.
        const int lines = int(tip.count(QLatin1Char('\n'))) + 1;
        at.ry() -= QFontMetrics(QToolTip::font()).lineSpacing() * lines + 24;
    }
    QToolTip::showText(at, tip, m_editor.viewport());
    m_hintShown = true;
}

void ScriptAssistant::hideHint()
{
    if (!m_hintShown)
        return;
    m_hintShown = false;
    QToolTip::hideText();
}

std::string_view ScriptAssistant::lineBefore(long position) const
{
    return m_editor.bytesAt(m_editor.lineStart(position), position);
}

bool ScriptAssistant::callableBefore(long caret) const
{
    std::shared_ptr<const ScriptAnalysis> reading;
    // Before the blank or parenthesis just typed.
    return followsCallable(lineBefore(std::max(0L, caret - 1)), *m_siblings, [&]() -> const ScriptOutline& {
        reading = analysis();
        return reading->outline;
    });
}

Completion ScriptAssistant::completion(std::size_t caret) const
{
    const std::shared_ptr<const ScriptAnalysis> reading = analysis();
    return completeAt(m_editor.documentText(), caret, *reading, *m_siblings, m_levelHintBytes);
}

std::shared_ptr<const ScriptAnalysis> ScriptAssistant::analysis() const
{
    if (m_analysis)
        return m_analysis;
    if (!m_readsItself) {
        static const auto nothingRead = analyseScript(std::make_shared<const std::string>());
        return nothingRead;
    }
    return analyseScript(m_editor.snapshot());
}
