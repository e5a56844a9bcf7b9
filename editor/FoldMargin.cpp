#include "editor/FoldMargin.h"

#include "editor/ScriptEditor.h"
#include "language/ScriptReader.h"

#include <algorithm>
#include <vector>

namespace {

using Sci = QsciScintillaBase;

// A turn costs at most a few milliseconds when every line's level changes.
constexpr long kLinesPerTurn = 2048;
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
    // Lines an edit reaches, or a fold that goes away, come back into view.
    editor.SendScintilla(Sci::SCI_SETAUTOMATICFOLD, Sci::SC_AUTOMATICFOLD_SHOW | Sci::SC_AUTOMATICFOLD_CHANGE);
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
    // Setting a level changes no text, so nothing stops the folds meanwhile.
    for (; m_nextLine < end; ++m_nextLine) {
        const FoldDepths::Line line = m_depths->next();
        const long level = long(Sci::SC_FOLDLEVELBASE + line.depth) | (line.header ? Sci::SC_FOLDLEVELHEADERFLAG : 0);
        const auto at = static_cast<unsigned long>(m_nextLine);
        if (m_editor.SendScintilla(Sci::SCI_GETFOLDLEVEL, at) != level)
            m_editor.SendScintilla(Sci::SCI_SETFOLDLEVEL, at, level);
    }
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
    const long lines = m_editor.SendScintilla(Sci::SCI_GETLINECOUNT);
    struct Outer {
        long header;
        long last;
    };
    std::vector<Outer> outer;
    bool anyOpen = false;
    for (long line = 0; line < lines;) {
        const auto at = static_cast<unsigned long>(line);
        if (!(m_editor.SendScintilla(Sci::SCI_GETFOLDLEVEL, at) & Sci::SC_FOLDLEVELHEADERFLAG)) {
            ++line;
            continue;
        }
        const long last = m_editor.SendScintilla(Sci::SCI_GETLASTCHILD, at, -1L);
        outer.push_back({line, last});
        anyOpen = anyOpen || m_editor.SendScintilla(Sci::SCI_GETFOLDEXPANDED, at);
        line = std::max(last, line) + 1;
    }

    if (!anyOpen) {
        m_editor.SendScintilla(Sci::SCI_SHOWLINES, 0UL, lines - 1);
        for (long header = m_editor.SendScintilla(Sci::SCI_CONTRACTEDFOLDNEXT, 0UL); header >= 0;
             header = m_editor.SendScintilla(Sci::SCI_CONTRACTEDFOLDNEXT, static_cast<unsigned long>(header + 1)))
            m_editor.SendScintilla(Sci::SCI_SETFOLDEXPANDED, static_cast<unsigned long>(header), 1L);
        return;
    }
    const long caret = m_editor.SendScintilla(Sci::SCI_GETCURRENTPOS);
    const long caretLine = m_editor.SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret));
    for (const Outer& fold : outer) {
        m_editor.SendScintilla(Sci::SCI_SETFOLDEXPANDED, static_cast<unsigned long>(fold.header), 0L);
        if (fold.last > fold.header)
            m_editor.SendScintilla(Sci::SCI_HIDELINES, static_cast<unsigned long>(fold.header + 1), fold.last);
        if (caretLine > fold.header && caretLine <= fold.last)
            m_editor.SendScintilla(Sci::SCI_GOTOPOS, m_editor.SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(fold.header)));
    }
}
