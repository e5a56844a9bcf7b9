#include "editor/FoldMargin.h"

#include "editor/ScriptEditor.h"
#include "language/ScriptReader.h"

#include <algorithm>
#include <vector>

namespace {

using Sci = QsciScintillaBase;

// A turn costs at most a few milliseconds when every line's level changes.
constexpr long kLinesPerTurn = 2048;
// Lines an edit reaches, or a fold that goes away, come back into view.
constexpr long kAutomaticFold = Sci::SC_AUTOMATICFOLD_SHOW | Sci::SC_AUTOMATICFOLD_CHANGE;
const QColor kMarkerColour(0x90, 0x90, 0x90);

} // namespace

FoldMargin::FoldMargin(ScriptEditor& editor, const QColor& background) : QObject(&editor), m_editor(editor)
{
    editor.setFolding(QsciScintilla::BoxedTreeFoldStyle, kMargin);
    editor.setFoldMarginColors(background, background);
    for (int marker = Sci::SC_MARKNUM_FOLDEREND; marker <= int(Sci::SC_MARKNUM_FOLDEROPEN); ++marker) {
        editor.setMarkerForegroundColor(background, marker);
        editor.setMarkerBackgroundColor(kMarkerColour, marker);
    }
    editor.SendScintilla(Sci::SCI_SETAUTOMATICFOLD, kAutomaticFold);
    m_nextTurn.setSingleShot(true);
    connect(&m_nextTurn, &QTimer::timeout, this, &FoldMargin::showSome);
    // The folds of a reading stand for the text it read, not for one changed since.
    connect(&editor, &ScriptEditor::textChanging, this, &FoldMargin::stop);
}

void FoldMargin::show(std::shared_ptr<const ScriptAnalysis> reading)
{
    stop();
    m_reading = std::move(reading);
    m_depths.emplace(m_reading->folds);
    showSome();
}

void FoldMargin::stop()
{
    m_nextTurn.stop();
    m_depths.reset();
    m_reading.reset();
    m_nextLine = 0;
}

void FoldMargin::showSome()
{
    const long lines = m_editor.SendScintilla(Sci::SCI_GETLINECOUNT);
    const long end = std::min(lines, m_nextLine + kLinesPerTurn);
    // Keeping folds in step as levels change lays the window out again at each new fold point,
    // some 30 us a line; while nothing is folded there is nothing to keep in step.
    const bool nothingFolded = m_editor.SendScintilla(Sci::SCI_GETALLLINESVISIBLE);
    if (nothingFolded)
        m_editor.SendScintilla(Sci::SCI_SETAUTOMATICFOLD, Sci::SC_AUTOMATICFOLD_SHOW);
    // Setting a level changes no text, so nothing stops the folds meanwhile.
    for (; m_nextLine < end; ++m_nextLine) {
        const FoldDepths::Line line = m_depths->next();
        const long level = long(Sci::SC_FOLDLEVELBASE + line.depth) | (line.header ? Sci::SC_FOLDLEVELHEADERFLAG : 0);
        const auto at = static_cast<unsigned long>(m_nextLine);
        if (m_editor.SendScintilla(Sci::SCI_GETFOLDLEVEL, at) != level)
            m_editor.SendScintilla(Sci::SCI_SETFOLDLEVEL, at, level);
    }
    if (nothingFolded)
        m_editor.SendScintilla(Sci::SCI_SETAUTOMATICFOLD, kAutomaticFold);
    if (m_nextLine < lines)
        m_nextTurn.start(0);
    else
        stop();
}

void FoldMargin::toggleAtCaret()
{
    const long caretLine = m_editor.SendScintilla(Sci::SCI_LINEFROMPOSITION, m_editor.SendScintilla(Sci::SCI_GETCURRENTPOS));
    const bool heads = m_editor.SendScintilla(Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(caretLine)) & Sci::SC_FOLDLEVELHEADERFLAG;
    const long header = heads ? caretLine : m_editor.SendScintilla(Sci::SCI_GETFOLDPARENT, static_cast<unsigned long>(caretLine));
    if (header < 0)
        return;
    // The caret stays in sight, on the line that stays.
    if (header != caretLine)
        m_editor.SendScintilla(Sci::SCI_GOTOPOS, m_editor.SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(header)));
    m_editor.SendScintilla(Sci::SCI_TOGGLEFOLD, static_cast<unsigned long>(header));
}

// The component's own fold-all first colours the whole text, which takes most of a second in a
// long script; the levels it already holds say all there is to fold. Only the lines outside the
// functions are looked at one by one: each fold is passed over whole.
void FoldMargin::toggleAll()
{
    // Folded when one function, or another fold outside any, stands open; opened otherwise.
    const long lines = m_editor.SendScintilla(Sci::SCI_GETLINECOUNT);
    bool anyOpen = false;
    for (long line = 0; line < lines && !anyOpen;) {
        const auto at = static_cast<unsigned long>(line);
        if (!(m_editor.SendScintilla(Sci::SCI_GETFOLDLEVEL, at) & Sci::SC_FOLDLEVELHEADERFLAG)) {
            ++line;
            continue;
        }
        anyOpen = m_editor.SendScintilla(Sci::SCI_GETFOLDEXPANDED, at);
        line = std::max(m_editor.SendScintilla(Sci::SCI_GETLASTCHILD, at, -1L), line) + 1;
    }
    // The component folds them all in one pass, and lays out and repaints once. It first styles
    // the whole text for lexers that fold as they style, which the lexer here answers with a
    // stretch alone.
    const long caretLine = m_editor.SendScintilla(Sci::SCI_LINEFROMPOSITION, m_editor.SendScintilla(Sci::SCI_GETCURRENTPOS));
    m_editor.SendScintilla(Sci::SCI_FOLDALL, anyOpen ? Sci::SC_FOLDACTION_CONTRACT : Sci::SC_FOLDACTION_EXPAND);
    // The caret stays in sight, at the end of the header of the fold that hid it.
    long header = caretLine;
    while (header > 0 && !m_editor.SendScintilla(Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(header)))
        header = m_editor.SendScintilla(Sci::SCI_GETFOLDPARENT, static_cast<unsigned long>(header));
    if (header != caretLine && header >= 0)
        m_editor.SendScintilla(Sci::SCI_GOTOPOS, m_editor.SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(header)));
}
