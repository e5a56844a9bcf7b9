// Any bytes through the tokenizer and the case correction.

#include "FuzzCheck.h"

#include "language/Tokenizer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool isAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char lowered(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowered(a[i]) != lowered(b[i]))
            return false;
    }
    return true;
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Characters that always make a token of their own or start a comment, wherever they stand
// outside a comment.
bool alwaysTokenized(char c)
{
    return c == '(' || c == ')' || c == '{' || c == '}' || c == '=' || c == Tokenizer::kCommentChar;
}

std::vector<Token> tokensOf(std::string_view text)
{
    std::vector<Token> tokens;
    Tokenizer tokenizer(text);
    while (const std::optional<Token> token = tokenizer.next()) {
        tokens.push_back(*token);
        // A tokenizer that stops advancing would loop here for ever; the bound turns that into a
        // failure.
        FUZZ_CHECK(tokens.size() <= text.size(), "more tokens than bytes");
    }
    return tokens;
}

void checkTokens(std::string_view text, const std::vector<Token>& tokens)
{
    std::size_t previousEnd = 0;
    for (const Token& token : tokens) {
        FUZZ_CHECK(token.begin >= previousEnd, "tokens out of order or overlapping");
        FUZZ_CHECK(token.begin < token.end, "empty token");
        FUZZ_CHECK(token.end <= text.size(), "token past the end of the text");
        FUZZ_CHECK(std::uint8_t(token.kind) < kTokenKindCount && token.kind != TokenKind::Gap, "token kind");
        const std::string_view spelled = text.substr(token.begin, token.end - token.begin);
        for (std::size_t p = previousEnd; p < token.begin; ++p)
            FUZZ_CHECK(!alwaysTokenized(text[p]), "an operator or '#' left out of every token");
        switch (token.kind) {
        case TokenKind::Comment:
            FUZZ_CHECK(spelled.front() == Tokenizer::kCommentChar, "comment without '#'");
            FUZZ_CHECK(spelled.find_first_of("\r\n") == std::string_view::npos, "comment across a line end");
            FUZZ_CHECK(token.end == text.size() || isLineEnd(text[token.end]), "comment stops before the line end");
            break;
        case TokenKind::Number:
            FUZZ_CHECK(spelled.front() >= '0' && spelled.front() <= '9', "number not starting with a digit");
            break;
        case TokenKind::Keyword:
        case TokenKind::Command:
            // Keywords without a spelling are the operator characters.
            if (token.spelling.empty())
                FUZZ_CHECK(spelled.size() == 1 && alwaysTokenized(spelled.front()), "unspelled keyword");
            else
                FUZZ_CHECK(equalIgnoringCase(spelled, token.spelling), "spelling differs beyond letter case");
            break;
        default:
            FUZZ_CHECK(token.spelling.empty(), "spelling on a token that is never corrected");
            break;
        }
        previousEnd = token.end;
    }
    for (std::size_t p = previousEnd; p < text.size(); ++p)
        FUZZ_CHECK(!alwaysTokenized(text[p]), "an operator or '#' left out of every token");
}

// The editor styles and corrects from the start of a line, so tokenizing from any line start
// must give the same tokens as tokenizing the whole text, from that line on.
void checkRestartAtLine(std::string_view text, const std::vector<Token>& tokens)
{
    std::size_t lineStart = text.find_first_of("\r\n", text.size() / 2);
    if (lineStart == std::string_view::npos)
        return;
    ++lineStart;
    const std::vector<Token> tail = tokensOf(text.substr(lineStart));
    std::size_t first = 0;
    while (first < tokens.size() && tokens[first].begin < lineStart) {
        FUZZ_CHECK(tokens[first].end <= lineStart, "token across a line end");
        ++first;
    }
    FUZZ_CHECK(tokens.size() - first == tail.size(), "a restart at a line start finds other tokens");
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const Token& whole = tokens[first + i];
        FUZZ_CHECK(whole.begin == tail[i].begin + lineStart && whole.end == tail[i].end + lineStart
                       && whole.kind == tail[i].kind && whole.spelling == tail[i].spelling,
                   "a restart at a line start finds other tokens");
    }
}

void checkCaseCorrection(std::string_view text)
{
    std::string corrected(text);
    correctCase(corrected);
    FUZZ_CHECK(corrected.size() == text.size(), "case correction changed the length");
    for (std::size_t p = 0; p < text.size(); ++p) {
        if (corrected[p] != text[p]) {
            FUZZ_CHECK(isAsciiLetter(text[p]) && isAsciiLetter(corrected[p])
                           && lowered(text[p]) == lowered(corrected[p]),
                       "case correction changed more than the case of a letter");
        }
    }
    // Corrected text needs no further correction, and correcting it again changes nothing.
    Tokenizer tokenizer(corrected);
    while (const std::optional<Token> token = tokenizer.next())
        FUZZ_CHECK(!needsCaseCorrection(corrected, *token), "a word left uncorrected");
    std::string again = corrected;
    correctCase(again);
    FUZZ_CHECK(again == corrected, "a second case correction changed the text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<Token> tokens = tokensOf(text);
    checkTokens(text, tokens);
    checkRestartAtLine(text, tokens);
    checkCaseCorrection(text);
    return 0;
}
