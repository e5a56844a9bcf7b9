#pragma once

#include "language/TextSearch.h"

#include <QString>

class ScriptEditor;

// Finding and replacing text in the script. The text to find and its replacement are taken as if
// typed: characters outside windows-1252 become '?', and any line end is CR LF.
namespace script_search {

using Options = SearchOptions;

enum class Result { Found, FoundAfterWrap, NotFound };

// Selects the next match after the selection, or the previous one before it, going round the
// end of the script once.
Result find(ScriptEditor& editor, const QString& text, Options options, bool forward);

// Replaces the selection when it is a match of `text`, as one undo step, and leaves the caret
// after the replacement; false otherwise.
bool replaceSelection(ScriptEditor& editor, const QString& text, const QString& replacement, Options options);

// Replaces every match the script held before the first replacement, as one undo step; the
// number replaced.
int replaceAll(ScriptEditor& editor, const QString& text, const QString& replacement, Options options);

} // namespace script_search
