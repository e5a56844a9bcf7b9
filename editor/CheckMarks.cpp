#include "editor/CheckMarks.h"

#include "editor/ScriptEditor.h"

#include <QColor>

#include <algorithm>

namespace check_marks {

namespace {

const QColor kErrorColour(0xe0, 0x10, 0x10);
const QColor kWarningColour(0xe0, 0xa0, 0x00);

// Defined through QScintilla, so that it hands these numbers to no one else.
void define(ScriptEditor& editor)
{
    for (const auto& [indicator, colour] : {std::pair{kErrorIndicator, kErrorColour}, {kWarningIndicator, kWarningColour}}) {
        editor.indicatorDefine(QsciScintilla::SquiggleIndicator, indicator);
        editor.setIndicatorForegroundColor(colour, indicator);
        editor.setIndicatorDrawUnder(true, indicator);
    }
}

void clearIndicator(ScriptEditor& editor, int indicator, long length)
{
    editor.SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, indicator);
    editor.SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0UL, length);
}

} // namespace

void clear(ScriptEditor& editor)
{
    const long length = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const long current = editor.SendScintilla(QsciScintillaBase::SCI_GETINDICATORCURRENT);
    clearIndicator(editor, kErrorIndicator, length);
    clearIndicator(editor, kWarningIndicator, length);
    editor.SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, current);
}

void show(ScriptEditor& editor, const std::vector<Finding>& findings)
{
    define(editor);
    clear(editor);
    const long length = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const long current = editor.SendScintilla(QsciScintillaBase::SCI_GETINDICATORCURRENT);
    for (const Finding& finding : findings) {
        // A fault with no width, or at the end of the text, still shows one character.
        long start = std::min(long(finding.place.offset), length);
        const long end = std::min(start + long(std::max<std::size_t>(finding.length, 1)), length);
        if (end <= start)
            start = end - 1;
        if (start < 0)
            continue;
        editor.SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT,
                             finding.severity == Severity::Error ? kErrorIndicator : kWarningIndicator);
        editor.SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(start), end - start);
    }
    editor.SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, current);
}

} // namespace check_marks
