#pragma once

#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Plain text search in a script's document text (UTF-8, as the editor holds it): the one matcher
// behind the editor's find and replace and the search across a level, so that both find the
// same places. It knows nothing of the language: a match in a comment is a match.

struct SearchOptions {
    bool matchCase = false;
    bool wholeWord = false;
};

// The text as the editor would hold it, had it been typed: the code page's characters, '?' for
// the rest, and every line end CR LF. What is searched for and what replaces it are taken so.
std::string typedText(const QString& text);

// `text` with every letter in lower case, each keeping its byte length so that positions carry
// over. The code page's accented letters all take two bytes in UTF-8 and fold as well.
std::string foldedCase(std::string_view text);

// Whether the character starting at `at` is a letter, a digit or '_'.
bool isWordCharacter(std::string_view text, std::size_t at);

// Whether a word runs on across `at`, a character boundary.
bool isInsideWord(std::string_view text, std::size_t at);

// The places a pattern is found at in a text. Both stay the caller's: the matcher views them,
// with a folded copy of the text when the case is ignored.
class TextMatcher {
public:
    TextMatcher(std::string_view text, std::string pattern, SearchOptions options);

    std::size_t length() const { return m_pattern.size(); }

    // The start of the first match from `from` on.
    std::optional<std::size_t> next(std::size_t from) const;
    // The start of the last match that ends by `end`.
    std::optional<std::size_t> previous(std::size_t end) const;
    bool isMatch(std::size_t start, std::size_t end) const;

private:
    std::string_view searched() const { return m_options.matchCase ? m_text : std::string_view(m_folded); }
    bool isWhole(std::size_t start) const;

    std::string_view m_text;
    SearchOptions m_options;
    std::string m_pattern;
    std::string m_folded;
};
