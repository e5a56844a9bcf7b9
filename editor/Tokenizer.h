#pragma once

#include "editor/WordList.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// What a run of script text is. The values double as the editor's style numbers; text no token
// claims is Gap.
enum class TokenKind : std::uint8_t {
    Gap,
    Keyword,  // also the operator characters ( ) { } =
    Command,
    Comment,
    Number,
    CharacterName,
};
inline constexpr int kTokenKindCount = 6;

// The three word lists a script is read with.
struct ScriptVocabulary {
    WordList keywords{{}, WordList::Matching::IgnoreCase};
    WordList commands{{}, WordList::Matching::IgnoreCase};
    WordList characterNames{{}, WordList::Matching::ExactCase};

    // The language's keywords, the game's commands and its character names.
    static const ScriptVocabulary& standard();
    // The keywords and commands alone: all a case correction needs to look up.
    static const ScriptVocabulary& caseCorrected();
};

struct Token {
    std::size_t begin;
    std::size_t end;
    TokenKind kind;
    // For keywords and commands, the list's spelling, which the text is corrected to.
    std::string_view spelling;
};

// Splits script bytes into tokens, left to right. Lines end at CR or LF; bytes from 0x80 up,
// NUL included, are gap. A word is a letter or '_' followed by letters, digits and '_'; a
// number is what a string-to-double conversion takes from a digit on ('1.5e3', '3d2', not the
// sign of '-4' nor the '.' of '.75').
class Tokenizer {
public:
    static constexpr char kCommentChar = '#';

    explicit Tokenizer(std::string_view text, const ScriptVocabulary& vocabulary = ScriptVocabulary::standard())
        : m_text(text), m_vocabulary(vocabulary)
    {
    }

    // The next token, skipping gap text; nothing at the end.
    std::optional<Token> next();

private:
    std::string_view m_text;
    const ScriptVocabulary& m_vocabulary;
    std::size_t m_position = 0;
};

// The rules for words and numbers that everything reading a script shares.
// A letter, digit or '_': what a name is made of.
bool isWordByte(char c);
// The end of the name or number that begins at `p`.
std::size_t wordEnd(std::string_view text, std::size_t p);
// What a string-to-double conversion takes from `p` on: digits, an optional '.' and digits, an
// optional exponent ('e' or 'd', a sign, digits).
std::size_t numberEnd(std::string_view text, std::size_t p);

// True when `token` is a keyword or command whose text differs from its list's spelling.
inline bool needsCaseCorrection(std::string_view text, const Token& token)
{
    return !token.spelling.empty() && text.substr(token.begin, token.end - token.begin) != token.spelling;
}

// Rewrites every keyword and command of `text` in its list's spelling. The text keeps its length.
void correctCase(std::string& text, const ScriptVocabulary& vocabulary = ScriptVocabulary::caseCorrected());
