#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The one reading of a script's bytes into lexemes that colouring and every other reading share:
// one byte classification, one word rule, one number rule. Lines end at CR, LF or CR LF; bytes
// from 0x80 up are punctuation that no rule claims, NUL and the other controls are blanks.

enum class Lex : std::uint8_t { End, Word, Number, String, Comment, LineEnd, Punct };

// A quoted string is the one place where colouring and reading part: the window has always
// coloured the words inside quotes, while a reading must not take them for names.
enum class Quotes : std::uint8_t {
    Ignored,   // '"' is punctuation like any other
    Honoured,  // from '"' to the closing quote, or to the end of its line when left open
};

struct Lexeme {
    Lex kind = Lex::End;
    char punct = 0;
    bool blankBefore = false;  // blanks or tabs separate it from what precedes it on its line
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    std::uint32_t line = 1;
    std::uint32_t lineStart = 0;

    bool is(char c) const { return kind == Lex::Punct && punct == c; }
    std::uint32_t column() const { return begin - lineStart; }
};

class Lexer {
public:
    static constexpr char kCommentChar = '#';

    // Reads from `lineStart`, the start of a line; lines count from 1 there.
    explicit Lexer(std::string_view text, Quotes quotes, std::size_t lineStart = 0)
        : m_text(text), m_quotes(quotes), m_position(lineStart), m_lineStart(lineStart)
    {
    }

    Lexeme next();

private:
    std::string_view m_text;
    Quotes m_quotes;
    std::size_t m_position = 0;
    std::uint32_t m_line = 1;
    std::size_t m_lineStart = 0;
};

// How much of one line the editor reads: colours, corrects, completes and shows. The rest of a
// longer line is kept as it is, but read by the whole-script reading alone, since a keystroke's
// cost must not grow with the length of the line it is typed into.
inline constexpr std::size_t kLineReach = 10000;

// A letter, digit or '_': what a name is made of.
bool isWordByte(char c);
// A letter or '_': what a name starts with.
bool startsWord(char c);
bool isDigitByte(char c);
// A blank or a tab: what separates the words of a statement.
inline bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
// The end of the name that begins at `p`: letters, digits and '_'.
std::size_t wordEnd(std::string_view text, std::size_t p);
// A number starts at a digit, never at '.', '+' or '-', and runs as far as a string-to-double
// conversion takes it: digits, an optional '.' and digits, an optional exponent ('e' or 'd', a
// sign, digits). So `.75` is '.' and the number `75`, and `1.5.3` is `1.5`, '.' and `3`.
std::size_t numberEnd(std::string_view text, std::size_t p);
