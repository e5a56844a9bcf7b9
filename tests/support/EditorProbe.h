#pragma once

#include "editor/ScriptEditor.h"
#include "editor/ScriptLexer.h"
#include "language/Tokenizer.h"
#include "support/TokenRuns.h"

#include <string>
#include <vector>

// Reads back what the script editor holds: its text and how each byte of it shows.
namespace probe {

// The text as the editor holds it (UTF-8, CR LF line ends).
inline std::string text(const ScriptEditor& editor)
{
    return std::string(editor.documentText());
}

// Colours [from, to) of the text, to its end when `to` is -1, from `from` afresh. The editor
// colours a stretch at a time and leaves the rest to its idle time: here it is asked until done.
inline void colour(ScriptEditor& editor, long from = 0, long to = -1)
{
    const long end = to < 0 ? editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH) : to;
    editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, static_cast<unsigned long>(from), end);
    for (long styled = editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED); styled < end;) {
        editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, static_cast<unsigned long>(styled), end);
        const long further = editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
        if (further <= styled)
            break;
        styled = further;
    }
}

// The token kind each byte is coloured as, after the whole text was coloured.
inline std::vector<TokenKind> kinds(ScriptEditor& editor)
{
    colour(editor);
    const long length = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    std::vector<TokenKind> result;
    result.reserve(std::size_t(length));
    for (long p = 0; p < length; ++p)
        result.push_back(TokenKind(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(p))));
    return result;
}

// How each byte shows: the colour and boldness its style is drawn with.
inline std::vector<TokenLook> looks(ScriptEditor& editor)
{
    std::vector<TokenLook> result;
    for (const TokenKind kind : kinds(editor)) {
        const int style = int(kind);
        result.push_back({editor.lexer()->color(style), editor.lexer()->font(style).bold()});
    }
    return result;
}

} // namespace probe
