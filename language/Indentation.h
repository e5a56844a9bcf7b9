#pragma once

#include "language/TextEdit.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How lines are indented as they are typed, and how selected lines are indented, outdented and
// commented out. Each takes whole lines of the editor's text; TextEdits are offsets into them.

// What one more level of indentation adds in a script: a tab where its indented lines mostly
// start with a tab (as the game's scripts do) and where nothing is indented yet, otherwise as
// many blanks as its blank-indented lines most often step in by. Reads the first lines only.
std::string indentUnitOf(std::string_view text);

// The indentation a line break at the end of `lineBeforeCaret` (its line up to the caret) starts
// the new line with: that line's own, and one `unit` more after it opens a `{` block.
std::string indentationAfterBreak(std::string_view lineBeforeCaret, std::string_view unit);

// The indentation for the line of a `}` typed where only blanks precede it on its line: that of
// the line holding the `{` it closes. `before` is the text up to that `}`, from the start of a
// line; nothing when the `{` is not in it.
std::optional<std::string> closingBraceIndentation(std::string_view before);
// The edit that gives a `}` typed at the end of `before` (text from the start of a line) that
// indentation, in place of the blanks before it on its line; nothing when anything else precedes
// it there, when the `{` is not in `before`, or when the line is indented so already.
std::optional<TextEdit> closingBraceAlignment(std::string_view before);

// One `unit` more at the start of each line that holds anything.
std::vector<TextEdit> indentLines(std::string_view lines, std::string_view unit);
// One `unit` less at the start of each line: a tab, or up to a unit's width of blanks (a tab's
// being four) and a tab after them.
std::vector<TextEdit> outdentLines(std::string_view lines, std::string_view unit);
// A `#` before the first character of each line that holds anything; or, when each such line is
// a comment already, the first `#` of each taken away.
std::vector<TextEdit> toggleLineComments(std::string_view lines);
