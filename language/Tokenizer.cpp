#include "language/Tokenizer.h"

#include "catalogue/WordLists.h"
#include "language/LineCuts.h"

#include <algorithm>
#include <future>

const ScriptVocabulary& ScriptVocabulary::standard()
{
    static const ScriptVocabulary vocabulary{
        {kKeywordList, WordList::Matching::IgnoreCase},
        {kCommandList, WordList::Matching::IgnoreCase},
        {CharacterNameList(), WordList::Matching::ExactCase},
    };
    return vocabulary;
}

const ScriptVocabulary& ScriptVocabulary::caseCorrected()
{
    static const ScriptVocabulary vocabulary{
        {kKeywordList, WordList::Matching::IgnoreCase},
        {kCommandList, WordList::Matching::IgnoreCase},
        {{}, WordList::Matching::ExactCase},
    };
    return vocabulary;
}

namespace {

bool isOperator(char c)
{
    return c == '(' || c == ')' || c == '{' || c == '}' || c == '=';
}

} // namespace

std::optional<Token> Tokenizer::next()
{
    for (;;) {
        const Lexeme lexeme = m_lexer.next();
        const std::size_t begin = lexeme.begin;
        const std::size_t end = lexeme.end;
        switch (lexeme.kind) {
        case Lex::End:
            return std::nullopt;
        case Lex::Comment:
            return Token{begin, end, TokenKind::Comment, {}, lexeme.lineStart};
        case Lex::Number:
            return Token{begin, end, TokenKind::Number, {}, lexeme.lineStart};
        case Lex::Punct:
            if (isOperator(lexeme.punct))
                return Token{begin, end, TokenKind::Keyword, {}, lexeme.lineStart};
            break;
        case Lex::Word: {
            const std::string_view word = m_text.substr(begin, end - begin);
            if (const std::string_view keyword = m_vocabulary.keywords.spellingOf(word); !keyword.empty())
                return Token{begin, end, TokenKind::Keyword, keyword, lexeme.lineStart};
            if (const std::string_view command = m_vocabulary.commands.spellingOf(word); !command.empty())
                return Token{begin, end, TokenKind::Command, command, lexeme.lineStart};
            if (!m_vocabulary.characterNames.spellingOf(word).empty())
                return Token{begin, end, TokenKind::CharacterName, {}, lexeme.lineStart};
            break;
        }
        case Lex::String:
        case Lex::LineEnd:
            break;
        }
    }
}

std::vector<Token> caseCorrections(std::string_view text)
{
    std::vector<Token> corrections;
    Tokenizer tokenizer(text, ScriptVocabulary::caseCorrected());
    while (const std::optional<Token> token = tokenizer.next()) {
        if (needsCaseCorrection(text, *token))
            corrections.push_back(*token);
    }
    return corrections;
}

std::string textStyles(std::string_view text, char markStyle)
{
    std::string styles(text.size(), char(TokenKind::Gap));
    Tokenizer tokenizer(text);
    while (const std::optional<Token> token = tokenizer.next())
        styles.replace(token->begin, token->end - token->begin, token->end - token->begin, char(token->kind));
    for (std::size_t p = 0; p < text.size(); ++p) {
        if (static_cast<unsigned char>(text[p]) >= 0xF0 && LineCuts::isMarkAt(text, p))
            styles.replace(p, LineCuts::kMarkBytes, LineCuts::kMarkBytes, markStyle);
    }
    return styles;
}

namespace {

// Above this size a text is corrected in two halves at once.
constexpr std::size_t kHalvedBytes = 4 << 20;

void correctPart(std::string& text, std::size_t begin, std::size_t end, const ScriptVocabulary& vocabulary)
{
    const std::string_view part = std::string_view(text).substr(begin, end - begin);
    Tokenizer tokenizer(part, vocabulary);
    while (const std::optional<Token> token = tokenizer.next()) {
        // The editor corrects no further along a line than its reach, and neither does a load.
        if (needsCaseCorrection(part, *token) && token->end - token->lineStart <= kLineReach)
            std::copy(token->spelling.begin(), token->spelling.end(), text.begin() + std::ptrdiff_t(begin + token->begin));
    }
}

} // namespace

void correctCase(std::string& text, const ScriptVocabulary& vocabulary)
{
    // A token never spans lines, so halves that meet at a line's start are corrected apart, each
    // writing only its own bytes.
    std::size_t half = text.size();
    if (text.size() > kHalvedBytes) {
        const std::size_t lineEnd = text.find_first_of("\r\n", text.size() / 2);
        if (lineEnd != std::string::npos)
            half = lineEnd + 1;
    }
    std::future<void> second;
    if (half < text.size())
        second = std::async(std::launch::async | std::launch::deferred,
                            [&text, half, &vocabulary] { correctPart(text, half, text.size(), vocabulary); });
    correctPart(text, 0, half, vocabulary);
    if (second.valid())
        second.get();
}
