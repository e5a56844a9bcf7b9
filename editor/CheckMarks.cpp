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
    clear();
    m_pending = std::move(findings);
    m_next = 0;
    markSome();
}

void CheckMarks::markSome()
{
    if (!m_pending)
        return;
    const long length = m_editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const long current = m_editor.SendScintilla(QsciScintillaBase::SCI_GETINDICATORCURRENT);
    const std::size_t end = std::min(m_pending->size(), m_next + kMarksPerTurn);
    for (; m_next < end; ++m_next) {
        const Finding& finding = (*m_pending)[m_next];
        // The rest of a long line is not shown, and neither are its faults.
        bool inRest = false;
        const long start = m_editor.shownPosition(finding.place.offset, &inRest);
        const std::optional<TextRange> underline = underlinedRange(std::size_t(start), finding.length, std::size_t(length));
        if (inRest || !underline)
            continue;
        m_editor.setIndicator(finding.severity == Severity::Error ? kErrorIndicator : kWarningIndicator,
                              long(underline->begin), long(underline->end - underline->begin), true);
    }
    m_editor.SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, current);
    if (m_next < m_pending->size())
        m_nextTurn.start();
    else
        m_pending.reset();
}
