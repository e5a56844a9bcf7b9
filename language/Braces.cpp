#include "language/Braces.h"

#include "language/Lexer.h"

#include <vector>

BracePartner bracePartner(std::string_view text, std::size_t at, bool wholeText)
{
    if (at >= text.size())
        return {};
    const char brace = text[at];
    const bool opens = brace == '(' || brace == '{';
    const char open = brace == ')' ? '(' : brace == '}' ? '{' : brace;
    const char close = open == '(' ? ')' : '}';
    if (open != '(' && open != '{')
        return {};

    // Lexed from the start, so that a bracket in a comment or a string is known for one.
    std::vector<std::size_t> opened;
    std::size_t depthOfBrace = 0;
    bool found = false;
    Lexer lexer(text, Quotes::Honoured);
    for (Lexeme lexeme = lexer.next(); lexeme.kind != Lex::End; lexeme = lexer.next()) {
        if (!found && lexeme.begin > at)
            return {};  // it is in a comment or a string
        if (lexeme.is(open)) {
            if (lexeme.begin == at) {
                found = true;
                depthOfBrace = opened.size();
            }
            opened.push_back(lexeme.begin);
        } else if (lexeme.is(close)) {
            const bool here = lexeme.begin == at;
            if (here && opened.empty())
                return {wholeText ? BracePartner::State::Unmatched : BracePartner::State::None, 0};
            if (here)
                return {BracePartner::State::Matched, opened.back()};
            if (opened.empty())
                continue;
            opened.pop_back();
            if (found && opened.size() == depthOfBrace)
                return {BracePartner::State::Matched, lexeme.begin};
        }
    }
    if (!found || !opens)
        return {};
    return {wholeText ? BracePartner::State::Unmatched : BracePartner::State::None, 0};
}
