#pragma once

#include <QString>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// Whether [start, end) of `text` is a match of `pattern`, found as TextMatcher finds it; only
// that stretch is folded.
bool matchesAt(std::string_view text, std::size_t start, std::size_t end, std::string_view pattern,
               SearchOptions options);

// The places a pattern is found at in a text. The text stays the caller's: the matcher views
// it, with a folded copy when the case is ignored. `folded`, when given, is that copy, made once
// for several searches of the same text.
class TextMatcher {
public:
    TextMatcher(std::string_view text, std::string pattern, SearchOptions options,
                std::shared_ptr<const std::string> folded = {});

    std::size_t length() const { return m_pattern.size(); }

    // The start of the first match from `from` on.
    std::optional<std::size_t> next(std::size_t from) const;
    // The start of the last match that ends by `end`.
    std::optional<std::size_t> previous(std::size_t end) const;

    // Stretches of the text whose matches do not count: [begin, end) of each, in order.
    using Ranges = std::vector<std::pair<std::size_t, std::size_t>>;

    // The match after `from` going forward, or the last one that ends by `from` going back, round
    // the end of the text once.
    struct Found {
        std::size_t start = 0;
        bool wrapped = false;
    };
    std::optional<Found> around(std::size_t from, bool forward, const Ranges& skipped = {}) const;
    // Every match, each found after the one before it ends.
    std::vector<std::size_t> every(const Ranges& skipped = {}) const;

private:
    bool overlaps(std::size_t start, const Ranges& skipped) const;
    std::optional<std::size_t> nextOutside(std::size_t from, const Ranges& skipped) const;
    std::optional<std::size_t> previousOutside(std::size_t end, const Ranges& skipped) const;

    std::string_view searched() const { return m_options.matchCase ? m_text : std::string_view(*m_folded); }
    bool isWhole(std::size_t start) const;

    std::string_view m_text;
    SearchOptions m_options;
    std::string m_pattern;
    std::shared_ptr<const std::string> m_folded;
};
