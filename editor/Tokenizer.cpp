#include "editor/Tokenizer.h"

#include "editor/WordLists.h"

#include <algorithm>
#include <array>

namespace {

// What a byte can start or continue, looked up rather than tested, since every byte of a script
// passes through here.
enum ByteClass : unsigned char {
    kGap = 0,
    kDigit = 1,
    kLetter = 2,  // A-Z, a-z and '_'
    kOperator = 4,
    kComment = 8,
    kLineEnd = 16,
};

constexpr std::array<unsigned char, 256> kByteClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (int c = '0'; c <= '9'; ++c)
        classes[std::size_t(c)] = kDigit;
    for (int c = 'a'; c <= 'z'; ++c)
        classes[std::size_t(c)] = kLetter;
    for (int c = 'A'; c <= 'Z'; ++c)
        classes[std::size_t(c)] = kLetter;
    classes['_'] = kLetter;
    for (const char c : {'(', ')', '{', '}', '='})
        classes[static_cast<unsigned char>(c)] = kOperator;
    classes[static_cast<unsigned char>(Tokenizer::kCommentChar)] = kComment;
    classes['\r'] = kLineEnd;
    classes['\n'] = kLineEnd;
    return classes;
}();

unsigned char classOf(char c)
{
    return kByteClasses[static_cast<unsigned char>(c)];
}

bool isDigit(char c)
{
    return classOf(c) == kDigit;
}

bool isExponentLetter(char c)
{
    return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

std::size_t skipDigits(std::string_view text, std::size_t p)
{
    while (p < text.size() && isDigit(text[p]))
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

bool isWordByte(char c)
{
    return (classOf(c) & (kLetter | kDigit)) != 0;
}

std::size_t numberEnd(std::string_view text, std::size_t p)
{
    p = skipDigits(text, p);
    if (p < text.size() && text[p] == '.')
        p = skipDigits(text, p + 1);
    if (p < text.size() && isExponentLetter(text[p])) {
        std::size_t digits = p + 1;
        if (digits < text.size() && (text[digits] == '+' || text[digits] == '-'))
            ++digits;
        if (digits < text.size() && isDigit(text[digits]))
            p = skipDigits(text, digits);
    }
    return p;
}

std::size_t wordEnd(std::string_view text, std::size_t p)
{
    while (p < text.size() && isWordByte(text[p]))
        ++p;
    return p;
}

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

std::optional<Token> Tokenizer::next()
{
    const std::string_view text = m_text;
    std::size_t& p = m_position;
    while (p < text.size()) {
        const std::size_t begin = p;
        const unsigned char byteClass = classOf(text[p]);
        if (byteClass == kGap || byteClass == kLineEnd) {
            ++p;
            continue;
        }
        if (byteClass == kComment) {
            p = lineEnd(text, p);
            return Token{begin, p, TokenKind::Comment, {}};
        }
        if (byteClass == kOperator) {
            ++p;
            return Token{begin, p, TokenKind::Keyword, {}};
        }
        if (byteClass == kDigit) {
            p = numberEnd(text, p);
            return Token{begin, p, TokenKind::Number, {}};
        }
        p = wordEnd(text, p);
        const std::string_view word = text.substr(begin, p - begin);
        if (const std::string_view keyword = m_vocabulary.keywords.spellingOf(word); !keyword.empty())
            return Token{begin, p, TokenKind::Keyword, keyword};
        if (const std::string_view command = m_vocabulary.commands.spellingOf(word); !command.empty())
            return Token{begin, p, TokenKind::Command, command};
        if (!m_vocabulary.characterNames.spellingOf(word).empty())
            return Token{begin, p, TokenKind::CharacterName, {}};
    }
    return std::nullopt;
}

void correctCase(std::string& text, const ScriptVocabulary& vocabulary)
{
    Tokenizer tokenizer(text, vocabulary);
    while (const std::optional<Token> token = tokenizer.next()) {
        if (needsCaseCorrection(text, *token))
            std::copy(token->spelling.begin(), token->spelling.end(), text.begin() + std::ptrdiff_t(token->begin));
    }
}
