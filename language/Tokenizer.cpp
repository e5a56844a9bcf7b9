#include "language/Tokenizer.h"

#include "catalogue/WordLists.h"

#include <algorithm>

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

void correctCase(std::string& text, const ScriptVocabulary& vocabulary)
{
    Tokenizer tokenizer(text, vocabulary);
    while (const std::optional<Token> token = tokenizer.next()) {
        // The editor corrects no further along a line than its reach, and neither does a load.
        if (needsCaseCorrection(text, *token) && token->end - token->lineStart <= kLineReach)
            std::copy(token->spelling.begin(), token->spelling.end(), text.begin() + std::ptrdiff_t(token->begin));
    }
}
