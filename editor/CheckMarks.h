#pragma once

#include "language/ScriptChecker.h"

#include <vector>

class ScriptEditor;

// Underlines what the script check found with wavy lines: errors red, warnings amber. The marks
// move with the text until the next check replaces them.
namespace check_marks {

// Scintilla's container indicators start at 8; QScintilla hands out its own from the top down.
inline constexpr int kErrorIndicator = 8;
inline constexpr int kWarningIndicator = 9;

// Replaces the underlines with those of `findings`, whose places are offsets into the editor's text.
void show(ScriptEditor& editor, const std::vector<Finding>& findings);
void clear(ScriptEditor& editor);

} // namespace check_marks
