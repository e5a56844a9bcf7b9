#pragma once

#include "language/Templates.h"

#include <optional>
#include <string_view>
#include <vector>

// The name the caret is on, in or just after it, as the language reads names: outside comments
// and strings, and no keyword. `line` is the caret's line; `caret` an offset into it.
std::optional<TextRange> nameAtCaret(std::string_view line, std::size_t caret);

// Where `name` occurs as a name in `lines` (whole lines), letter case aside.
std::vector<TextRange> nameOccurrences(std::string_view lines, std::string_view name);
