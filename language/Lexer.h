#pragma once

#include <array>
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

    // Reads from `lineStart`, the start of a line, which is line `line`.
    explicit Lexer(std::string_view text, Quotes quotes, std::size_t lineStart = 0, std::uint32_t line = 1)
        : m_text(text), m_quotes(quotes), m_position(lineStart), m_line(line), m_lineStart(lineStart)
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

namespace lexer_bytes {

// Looked up rather than tested, and inline, since every byte of a script passes through here.
enum ByteClass : unsigned char { kPunct, kBlank, kLetter, kDigit, kLineEnd, kComment, kQuote };

inline constexpr std::array<unsigned char, 256> kByteClasses = [] {
    std::array<unsigned char, 256> classes{};
    classes.fill(kPunct);
    for (int c = 0; c < 0x20; ++c)
        classes[std::size_t(c)] = kBlank;
    classes[' '] = kBlank;
    classes[0x7F] = kBlank;
    for (int c = '0'; c <= '9'; ++c)
        classes[std::size_t(c)] = kDigit;
    for (int c = 'a'; c <= 'z'; ++c)
        classes[std::size_t(c)] = kLetter;
    for (int c = 'A'; c <= 'Z'; ++c)
        classes[std::size_t(c)] = kLetter;
    classes['_'] = kLetter;
    classes['\r'] = kLineEnd;
    classes['\n'] = kLineEnd;
    classes[static_cast<unsigned char>(Lexer::kCommentChar)] = kComment;
    classes['"'] = kQuote;
    return classes;
}();

inline unsigned char classOf(char c)
{
    return kByteClasses[static_cast<unsigned char>(c)];
}

} // namespace lexer_bytes

// A letter, digit or '_': what a name is made of.
inline bool isWordByte(char c)
{
    const unsigned char byteClass = lexer_bytes::classOf(c);
    return byteClass == lexer_bytes::kLetter || byteClass == lexer_bytes::kDigit;
}
// A letter or '_': what a name starts with.
inline bool startsWord(char c)
{
    return lexer_bytes::classOf(c) == lexer_bytes::kLetter;
}
inline bool isDigitByte(char c)
{
    return lexer_bytes::classOf(c) == lexer_bytes::kDigit;
}
// A blank or a tab: what separates the words of a statement.
inline bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
// The end of the name that begins at `p`: letters, digits and '_'.
inline std::size_t wordEnd(std::string_view text, std::size_t p)
{
    while (p < text.size() && isWordByte(text[p]))
        ++p;
    return p;
}
// A number starts at a digit, never at '.', '+' or '-', and runs as far as a string-to-double
// conversion takes it: digits, an optional '.' and digits, an optional exponent ('e' or 'd', a
// sign, digits). So `.75` is '.' and the number `75`, and `1.5.3` is `1.5`, '.' and `3`.
std::size_t numberEnd(std::string_view text, std::size_t p);
