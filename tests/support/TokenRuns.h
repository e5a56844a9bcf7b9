#pragma once

#include "language/Tokenizer.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string_view>
#include <utility>
#include <vector>

inline constexpr TokenKind kGap = TokenKind::Gap;
inline constexpr TokenKind kKeyword = TokenKind::Keyword;
inline constexpr TokenKind kCommand = TokenKind::Command;
inline constexpr TokenKind kComment = TokenKind::Comment;
inline constexpr TokenKind kNumber = TokenKind::Number;
inline constexpr TokenKind kCharacter = TokenKind::CharacterName;

inline void PrintTo(TokenKind kind, std::ostream* out)
{
    static constexpr const char* kNames[] = {"Gap", "Keyword", "Command", "Comment", "Number", "CharacterName"};
    *out << kNames[int(kind)];
}

namespace probe {

// Kinds given as runs: {count, kind}, ...
inline std::vector<TokenKind> runs(std::initializer_list<std::pair<int, TokenKind>> parts)
{
    std::vector<TokenKind> result;
    for (const auto& [count, kind] : parts)
        result.insert(result.end(), std::size_t(count), kind);
    return result;
}

// The token kind of each byte of `text`, as a fresh colouring gives it.
inline std::vector<TokenKind> kindsOf(std::string_view text)
{
    std::vector<TokenKind> kinds(text.size(), kGap);
    Tokenizer tokenizer(text);
    while (const std::optional<Token> token = tokenizer.next())
        std::fill(kinds.begin() + std::ptrdiff_t(token->begin), kinds.begin() + std::ptrdiff_t(token->end), token->kind);
    return kinds;
}

} // namespace probe
