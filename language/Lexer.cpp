#include "language/Lexer.h"

using namespace lexer_bytes;

namespace {

bool isExponentLetter(char c)
{
    return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

std::size_t skipDigits(std::string_view text, std::size_t p)
{
    while (p < text.size() && classOf(text[p]) == kDigit)
        ++p;
    return p;
}

std::size_t lineEnd(std::string_view text, std::size_t p)
{
    while (p < text.size() && classOf(text[p]) != kLineEnd)
        ++p;
    return p;
}

} // namespace

std::size_t numberEnd(std::string_view text, std::size_t p)
{
    p = skipDigits(text, p);
    if (p < text.size() && text[p] == '.')
        p = skipDigits(text, p + 1);
    if (p < text.size() && isExponentLetter(text[p])) {
        std::size_t digits = p + 1;
        if (digits < text.size() && (text[digits] == '+' || text[digits] == '-'))
            ++digits;
        if (digits < text.size() && classOf(text[digits]) == kDigit)
            p = skipDigits(text, digits);
    }
    return p;
}

Lexeme Lexer::next()
{
    const std::string_view text = m_text;
    std::size_t p = m_position;
    const std::size_t start = p;
    while (p < text.size() && classOf(text[p]) == kBlank)
        ++p;
    Lexeme lexeme;
    lexeme.blankBefore = p > start;
    lexeme.begin = std::uint32_t(p);
    lexeme.line = m_line;
    lexeme.lineStart = std::uint32_t(m_lineStart);
    if (p >= text.size()) {
        lexeme.end = lexeme.begin;
        m_position = p;
        return lexeme;
    }
    switch (classOf(text[p])) {
    case kLineEnd:
        lexeme.kind = Lex::LineEnd;
        p += text[p] == '\r' && p + 1 < text.size() && text[p + 1] == '\n' ? 2 : 1;
        ++m_line;
        m_lineStart = p;
        break;
    case kComment:
        lexeme.kind = Lex::Comment;
        p = lineEnd(text, p);
        break;
    case kQuote:
        if (m_quotes == Quotes::Honoured) {
            lexeme.kind = Lex::String;
            ++p;
            while (p < text.size() && text[p] != '"' && classOf(text[p]) != kLineEnd)
                ++p;
            if (p < text.size() && text[p] == '"')
                ++p;
            break;
        }
        [[fallthrough]];
    case kPunct:
    default:
        lexeme.kind = Lex::Punct;
        lexeme.punct = text[p];
        ++p;
        break;
    case kLetter:
        lexeme.kind = Lex::Word;
        p = wordEnd(text, p);
        break;
    case kDigit:
        lexeme.kind = Lex::Number;
        p = numberEnd(text, p);
        break;
    }
    lexeme.end = std::uint32_t(p);
    m_position = p;
    return lexeme;
}
