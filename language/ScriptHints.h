#pragma once

#include "language/Completion.h"
#include "language/DeclaredNames.h"
#include "language/ScriptReader.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What the editor tells about a name: its declaration, return type, a builder command's
// description, a script function's own header and the comment lines above it.
struct Hint {
    std::string name;            // as its list or declaration spells it; empty when unknown
    NameKind kind = NameKind::Command;
    // "ai2_attack([ai_name:string | script_id:int], [target_name:string | target_script_id:int])"
    // as the game's table gives it, a script's `func` header on one line, "var int counter".
    std::string declaration;
    std::string returnType;      // of a function, when known: void, int, bool
    std::string type;            // of a variable
    std::string description;     // a builder command's
    std::string comment;         // the comment lines above a script function, joined by '\n'
    // Where each parameter stands in `declaration`: [begin, end) byte offsets, for a call tip
    // to mark the argument being typed.
    std::vector<std::pair<std::size_t, std::size_t>> parameters;

    bool empty() const { return name.empty(); }
    // The hint as a tooltip shows it: the comment, the declaration (or the name), "returns ..."
    // or "type", and the description, one per line.
    std::string text() const;
};

// The hint for `name`, looked up the way the script would resolve it: the parameters and locals
// of `function` (an index into outline.functions, -1 for none), the script's functions and
// globals, the folder's other files, then the built-in names.
Hint hintFor(std::string_view name, std::string_view text, const ScriptOutline& outline,
             const DeclaredNames& siblings = {}, std::int32_t function = -1);

struct CaretHint {
    Hint hint;
    std::size_t nameOffset = 0;  // where the hinted name stands in the text
    // When the caret is in the arguments of the hinted call, which one (0-based); else -1.
    int argument = -1;
};

// The hint for the name under the caret or just before it; off a name, for the call whose
// arguments hold the caret (as after typing `(` or a blank behind a function's name). Nothing
// inside comments and strings.
CaretHint hintAt(std::string_view text, const ScriptOutline& outline, std::size_t caret,
                 const DeclaredNames& siblings = {});
// The same from a reading of an earlier revision of `text`.
CaretHint hintAt(std::string_view text, const ScriptAnalysis& analysis, std::size_t caret,
                 const DeclaredNames& siblings = {});

// Whether `lineBeforeTyped`, the line up to a blank or `(` just typed, ends with the name of a
// function or builder command, blanks aside: of the game, of the folder's other files or of the
// script. Typing after one shows its hint. The script's outline may cost a reading: `outline` is
// asked for it only when neither of the others knows the name.
bool followsCallable(std::string_view lineBeforeTyped, const DeclaredNames& siblings,
                     const std::function<const ScriptOutline&()>& outline);
