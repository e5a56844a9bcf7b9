#include "editor/ScriptLexer.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <array>
#include <string>

namespace {

struct KindStyle {
    const char* description;
    TokenLook look;
};

// Indexed by TokenKind.
const std::array<KindStyle, kTokenKindCount> kKindStyles = {{
    {"Text", {script_colours::kGapGreen, false}},
    {"Keyword", {script_colours::kKeywordBlue, true}},
    {"Command", {script_colours::kCommandGreen, true}},
    {"Comment", {script_colours::kCommentYellow, false}},
    {"Number", {script_colours::kNumberAzure, false}},
    {"Character name", {script_colours::kCharacterLightGreen, false}},
}};

const QColor kCutPaper(0xa0, 0xa0, 0xa0);

// A few milliseconds of colouring.
constexpr int kColouredAtOnce = 128 * 1024;

const KindStyle* styleOf(int style)
{
    return style >= 0 && style < kTokenKindCount ? &kKindStyles[std::size_t(style)] : nullptr;
}

} // namespace

TokenLook lookOf(TokenKind kind)
{
    return kKindStyles[std::size_t(kind)].look;
}

ScriptLexer::ScriptLexer(const QFont& font, QObject* parent) : QsciLexerCustom(parent), m_font(font)
{
}

const char* ScriptLexer::language() const
{
    return "Level script";
}

QString ScriptLexer::description(int style) const
{
    if (style == kCutStyle)
        return QStringLiteral("Cut of a long line");
    const KindStyle* kind = styleOf(style);
    return kind ? QString::fromLatin1(kind->description) : QString();
}

QColor ScriptLexer::defaultColor(int style) const
{
    // The mark shows as a box in this colour.
    if (style == kCutStyle)
        return kCutPaper;
    const KindStyle* kind = styleOf(style);
    return kind ? kind->look.colour : script_colours::kGapGreen;
}

QColor ScriptLexer::defaultPaper(int) const
{
    return script_colours::kBackground;
}

QFont ScriptLexer::defaultFont(int style) const
{
    QFont font = m_font;
    const KindStyle* kind = styleOf(style);
    font.setBold(kind && kind->look.bold);
    return font;
}

void ScriptLexer::styleText(int start, int end)
{
    QsciScintilla* view = editor();
    if (!view || start >= end)
        return;
    // After a jump far into a long script the component asks for everything up to what it shows,
    // megabytes at once: a call colours a stretch of it, and the component asks again for the
    // rest as it paints and idles, so that no call holds the window long.
    end = std::min(end, start + kColouredAtOnce);
    // A token never spans lines, but one may span the end asked for: colour to a line's end.
    const long lastLine = view->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end - 1));
    end = int(view->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(lastLine + 1)));
    if (end < 0)
        end = int(view->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    const auto* bytes = reinterpret_cast<const char*>(view->SendScintilla(
        QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), long(end - start)));
    // A view of the editor's own buffer: nothing is copied, and nothing edits it meanwhile.
    const std::string_view text(bytes, std::size_t(end - start));
    const std::string styles = textStyles(text, char(kCutStyle));
    startStyling(start);
    view->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, uintptr_t(text.size()), styles.data());
}
