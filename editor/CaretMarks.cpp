#include "editor/CaretMarks.h"

#include "editor/CheckMarks.h"
#include "editor/ScriptEditor.h"
#include "language/Braces.h"
#include "language/Occurrences.h"

#include <utility>

namespace {

using Sci = QsciScintillaBase;

constexpr int kRestMilliseconds = 400;
// How far from a bracket its partner is looked for: blocks are far shorter, and a caret beside a
// bracket in a long script must not read all of it.
constexpr long kBraceReach = 128 * 1024;
const QColor kOccurrenceColour(0x80, 0x80, 0x80);
const QColor kBraceColour(0x60, 0x60, 0xff);

bool isBrace(char c)
{
    return c == '(' || c == ')' || c == '{' || c == '}';
}

} // namespace

CaretMarks::CaretMarks(ScriptEditor& editor) : QObject(&editor), m_editor(editor)
{
    // Boxes behind the text leave each token's colour as readable as on black.
    for (const auto& [indicator, colour] : {std::pair{kOccurrenceIndicator, kOccurrenceColour},
                                            {kBraceIndicator, kBraceColour},
                                            {kUnmatchedBraceIndicator, CheckMarks::kErrorColour}}) {
        editor.indicatorDefine(QsciScintilla::StraightBoxIndicator, indicator);
        editor.setIndicatorForegroundColor(colour, indicator);
        editor.setIndicatorDrawUnder(true, indicator);
        editor.SendScintilla(Sci::SCI_INDICSETALPHA, indicator, 90L);
        editor.SendScintilla(Sci::SCI_INDICSETOUTLINEALPHA, indicator, 200L);
    }

    m_rest.setSingleShot(true);
    m_rest.setInterval(kRestMilliseconds);
    connect(&m_rest, &QTimer::timeout, this, &CaretMarks::lightOccurrences);
    // The marks' own changes count as changes of content too: only edits, caret moves and
    // scrolling make the marks go again, or they would keep lighting themselves.
    connect(&editor, &ScriptEditor::textChanging, this, [this] { m_edited = true; });
    connect(&editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        const bool moved = (updated & Sci::SC_UPDATE_SELECTION) || std::exchange(m_edited, false);
        if (moved)
            showBraces();
        if (moved || (updated & (Sci::SC_UPDATE_V_SCROLL | Sci::SC_UPDATE_H_SCROLL)))
            m_rest.start();
    });
}

std::optional<CaretMarks::Braces> CaretMarks::bracesAtCaret() const
{
    const long caret = m_editor.SendScintilla(Sci::SCI_GETCURRENTPOS);
    const long length = m_editor.SendScintilla(Sci::SCI_GETLENGTH);
    const auto charAt = [this](long at) { return char(m_editor.SendScintilla(Sci::SCI_GETCHARAT, static_cast<unsigned long>(at))); };
    long brace = -1;
    if (caret > 0 && isBrace(charAt(caret - 1)))
        brace = caret - 1;
    else if (caret < length && isBrace(charAt(caret)))
        brace = caret;
    if (brace < 0)
        return std::nullopt;

    const long from = m_editor.lineStart(std::max(0L, brace - kBraceReach));
    const long to = std::min(length, brace + kBraceReach);
    const BracePartner found = bracePartner(m_editor.bytesAt(from, to), std::size_t(brace - from), from == 0 && to == length);
    if (found.state == BracePartner::State::None)
        return std::nullopt;
    const long partner = found.state == BracePartner::State::Matched ? from + long(found.partner) : -1;
    return Braces{brace, partner, brace < caret};
}

void CaretMarks::showBraces()
{
    const long length = m_editor.SendScintilla(Sci::SCI_GETLENGTH);
    // Cleared throughout, since edits may have moved the braces lit last: a few runs cost little.
    m_editor.setIndicator(kBraceIndicator, 0, length, false);
    m_editor.setIndicator(kUnmatchedBraceIndicator, 0, length, false);
    const std::optional<Braces> braces = bracesAtCaret();
    if (!braces)
        return;
    if (braces->partner < 0) {
        m_editor.setIndicator(kUnmatchedBraceIndicator, braces->brace, 1, true);
    } else {
        m_editor.setIndicator(kBraceIndicator, braces->brace, 1, true);
        m_editor.setIndicator(kBraceIndicator, braces->partner, 1, true);
    }
}

void CaretMarks::jumpToPartner()
{
    const std::optional<Braces> braces = bracesAtCaret();
    if (braces && braces->partner >= 0)
        m_editor.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(braces->partner + (braces->beforeCaret ? 1 : 0)));
}

void CaretMarks::lightOccurrences()
{
    m_editor.setIndicator(kOccurrenceIndicator, 0, m_editor.SendScintilla(Sci::SCI_GETLENGTH), false);
    const auto send = [this](unsigned int message, long wParam = 0) {
        return m_editor.SendScintilla(message, static_cast<unsigned long>(wParam));
    };
    const long caret = send(Sci::SCI_GETCURRENTPOS);
    const long caretLine = send(Sci::SCI_LINEFROMPOSITION, caret);
    const long caretLineStart = send(Sci::SCI_POSITIONFROMLINE, caretLine);
    const std::string_view line = m_editor.bytesAt(caretLineStart, send(Sci::SCI_GETLINEENDPOSITION, caretLine));
    const std::optional<TextRange> name = nameAtCaret(line, std::size_t(caret - caretLineStart));
    if (!name)
        return;

    const long top = send(Sci::SCI_GETFIRSTVISIBLELINE);
    const long first = send(Sci::SCI_DOCLINEFROMVISIBLE, top);
    const long last = send(Sci::SCI_DOCLINEFROMVISIBLE, top + send(Sci::SCI_LINESONSCREEN));
    const long from = send(Sci::SCI_POSITIONFROMLINE, first);
    const long to = send(Sci::SCI_GETLINEENDPOSITION, last);
    const std::string word(line.substr(name->begin, name->end - name->begin));
    const std::vector<TextRange> uses = nameOccurrences(m_editor.bytesAt(from, to), word);
    // A name used once has no other uses to show.
    if (uses.size() < 2)
        return;
    for (const TextRange& use : uses)
        m_editor.setIndicator(kOccurrenceIndicator, from + long(use.begin), long(use.end - use.begin), true);
}
