#include "editor/CheckMarks.h"

#include "editor/ScriptEditor.h"

#include <algorithm>

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
    m_editor.setIndicator(kErrorIndicator, 0, length, false);
    m_editor.setIndicator(kWarningIndicator, 0, length, false);
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
        TextRange range;
    };
    std::vector<Mark> marks;
    const std::size_t end = std::min(m_pending->size(), m_next + kMarksPerTurn);
    long clearTo = end < m_pending->size() ? m_editor.shownPosition((*m_pending)[end].place.offset) : length;
    for (; m_next < end; ++m_next) {
        const Finding& finding = (*m_pending)[m_next];
        // The rest of a long line is not shown, and neither are its faults.
        bool inRest = false;
        const long start = m_editor.shownPosition(finding.place.offset, &inRest);
        const std::optional<TextRange> underline = underlinedRange(std::size_t(start), finding.length, std::size_t(length));
        if (inRest || !underline)
            continue;
        marks.push_back({finding.severity == Severity::Error ? kErrorIndicator : kWarningIndicator, *underline});
        // What is cleared next turn must not take this turn's marks with it.
        clearTo = std::max(clearTo, long(underline->end));
    }
    clearTo = std::min(std::max(clearTo, m_clearedTo), length);
    for (const int indicator : {kErrorIndicator, kWarningIndicator})
        m_editor.setIndicator(indicator, m_clearedTo, clearTo - m_clearedTo, false);
    m_clearedTo = clearTo;
    for (const Mark& mark : marks)
        m_editor.setIndicator(mark.indicator, long(mark.range.begin), long(mark.range.end - mark.range.begin), true);
    m_editor.SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, current);
    if (m_next < m_pending->size())
        m_nextTurn.start();
    else
        m_pending.reset();
}
