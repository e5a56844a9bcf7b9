#pragma once

#include "catalogue/WordList.h"
#include "language/Lexer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    std::size_t lineStart = 0;  // where the token's line starts
};

// The colours of a script: its lexemes, read with quotes ignored, as keywords (the five operator
// characters ( ) { } = included), commands, character names, numbers and comments. Everything
// else is gap.
class Tokenizer {
public:
    static constexpr char kCommentChar = Lexer::kCommentChar;

    explicit Tokenizer(std::string_view text, const ScriptVocabulary& vocabulary = ScriptVocabulary::standard())
        : m_text(text), m_lexer(text, Quotes::Ignored), m_vocabulary(vocabulary)
    {
    }

    // The next token, skipping gap text; nothing at the end.
    std::optional<Token> next();

private:
    std::string_view m_text;
    Lexer m_lexer;
    const ScriptVocabulary& m_vocabulary;
};

// True when `token` is a keyword or command whose text differs from its list's spelling.
inline bool needsCaseCorrection(std::string_view text, const Token& token)
{
    return !token.spelling.empty() && text.substr(token.begin, token.end - token.begin) != token.spelling;
}

// The keywords and commands of `text` whose text differs from their list's spelling.
std::vector<Token> caseCorrections(std::string_view text);

// The editor's style of each byte of `text`: the TokenKind of the token it is in, Gap outside
// tokens, and `markStyle` over each mark that stands for the rest of a long line (see LineCuts).
// A token never spans lines, so whole lines are styled as the whole text would style them.
std::string textStyles(std::string_view text, char markStyle);

// Rewrites every keyword and command of `text` in its list's spelling, as far along each line as
// kLineReach. The text keeps its length.
void correctCase(std::string& text, const ScriptVocabulary& vocabulary = ScriptVocabulary::caseCorrected());
