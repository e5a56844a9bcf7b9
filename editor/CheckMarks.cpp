#include "editor/CheckMarks.h"

#include "editor/ScriptEditor.h"

#include <QColor>

#include <algorithm>

namespace {


void clearIndicator(ScriptEditor& editor, int indicator, long length)
{
    editor.SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, indicator);
    editor.SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0UL, length);
}

} // namespace

CheckMarks::CheckMarks(ScriptEditor& editor) : QObject(&editor), m_editor(editor)
{
    // Defined through QScintilla, so that it hands these numbers to no one else.
    for (const auto& [indicator, colour] : {std::pair{kErrorIndicator, kErrorColour}, {kWarningIndicator, kWarningColour}}) {
        editor.indicatorDefine(QsciScintilla::SquiggleIndicator, indicator);
        editor.setIndicatorForegroundColor(colour, indicator);
        editor.setIndicatorDrawUnder(true, indicator);
    }
    m_nextTurn.setSingleShot(true);
    m_nextTurn.setInterval(0);
    connect(&m_nextTurn, &QTimer::timeout, this, &CheckMarks::markSome);
    connect(&editor, &ScriptEditor::textChanging, this, [this] { m_pending.reset(); });
}

void CheckMarks::clear()
{
    m_pending.reset();
    const long length = m_editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const long current = m_editor.SendScintilla(QsciScintillaBase::SCI_GETINDICATORCURRENT);
    clearIndicator(m_editor, kErrorIndicator, length);
    clearIndicator(m_editor, kWarningIndicator, length);
    m_editor.SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, current);
}

void CheckMarks::show(std::shared_ptr<const std::vector<Finding>> findings)
{
    // The old marks go a stretch at a time with the new ones: clearing a long script's at once
    // takes long, and until its turn comes an old mark stands where its fault stood.
    m_pending = std::move(findings);
    m_next = 0;
    m_clearedTo = 0;
    markSome();
}

void CheckMarks::markSome()
{
    if (!m_pending)
        return;
    const long length = m_editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const long current = m_editor.SendScintilla(QsciScintillaBase::SCI_GETINDICATORCURRENT);
    struct Mark {
        int indicator;
        long start;
        long stop;
    };
    std::vector<Mark> marks;
    const std::size_t end = std::min(m_pending->size(), m_next + kMarksPerTurn);
    long clearTo = end < m_pending->size() ? m_editor.shownPosition((*m_pending)[end].place.offset) : length;
    for (; m_next < end; ++m_next) {
        const Finding& finding = (*m_pending)[m_next];
        // The rest of a long line is not shown, and neither are its faults.
        bool inRest = false;
        long start = m_editor.shownPosition(finding.place.offset, &inRest);
        if (inRest)
            continue;
        // A fault with no width, or at the end of the text, still shows one character.
        start = std::min(start, length);
        const long stop = std::min(start + long(std::max<std::size_t>(finding.length, 1)), length);
        if (stop <= start)
            start = stop - 1;
        if (start < 0)
            continue;
        marks.push_back({finding.severity == Severity::Error ? kErrorIndicator : kWarningIndicator, start, stop});
        // What is cleared next turn must not take this turn's marks with it.
        clearTo = std::max(clearTo, stop);
    }
    clearTo = std::min(std::max(clearTo, m_clearedTo), length);
    for (const int indicator : {kErrorIndicator, kWarningIndicator}) {
        m_editor.SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, indicator);
        m_editor.SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, static_cast<unsigned long>(m_clearedTo),
                               clearTo - m_clearedTo);
    }
    m_clearedTo = clearTo;
    for (const Mark& mark : marks) {
        m_editor.SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, mark.indicator);
        m_editor.SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(mark.start),
                               mark.stop - mark.start);
    }
    m_editor.SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, current);
    if (m_next < m_pending->size())
        m_nextTurn.start();
    else
        m_pending.reset();
}
