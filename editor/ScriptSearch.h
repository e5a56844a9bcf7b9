#pragma once

#include "language/TextSearch.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ScriptEditor;

// Finding and replacing text in the script. The text to find and its replacement are taken as if
// typed: characters outside windows-1252 become '?', and any line end is CR LF. A search reads a
// snapshot of the script's text, anywhere (see BackgroundSearch); what it found is shown in the
// editor as long as the text is still the one searched.
namespace script_search {

using Options = SearchOptions;

enum class Result { Found, FoundAfterWrap, NotFound };

// What a search of the editor's script looks for and in which text: from the selection's end
// going forward, from its start going back.
struct Query {
    std::shared_ptr<const std::string> text;
    std::uint64_t revision = 0;
    std::string pattern;
    Options options;
    bool forward = true;
    std::size_t from = 0;  // an offset into `text`
    // What the editor does not show, the rests of long lines, where nothing is to be found.
    TextMatcher::Ranges unshown;
};
Query query(ScriptEditor& editor, const QString& text, Options options, bool forward);

// Selects the match found for `query` and scrolls it into view; nothing when the text changed
// since.
std::optional<Result> show(ScriptEditor& editor, const Query& query, std::optional<TextMatcher::Found> found);

// Replaces the selection when it is a match of `text`, as one undo step, and leaves the caret
// after the replacement; false otherwise.
bool replaceSelection(ScriptEditor& editor, const QString& text, const QString& replacement, Options options);

// Replaces the matches of `length` bytes found at `starts` in the text `query` searched, as one
// undo step; the number replaced, or nothing when the text changed since.
std::optional<int> replaceAll(ScriptEditor& editor, const Query& query, const std::vector<std::size_t>& starts,
                              std::size_t length, const QString& replacement);

} // namespace script_search
