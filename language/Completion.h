#pragma once

#include "language/DeclaredNames.h"
#include "language/ScriptReader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a completion candidate or a hinted name is.
enum class NameKind : std::uint8_t {
    Keyword,
    Function,        // of the game's function table
    Variable,        // of the game's variable table
    BuilderCommand,  // a command of the builder that the function table lacks
    Command,         // a word of the editor's command list that no table holds
    CharacterName,
    ScriptFunction,  // declared by the script
    ScriptVariable,  // a global, parameter or local of the script
    LevelFunction,   // declared by another file of the level's folder
    LevelVariable,
    ListEntry,       // an entry of a builder command's parameter list
    LevelHeading,    // heads a level's entries in a parameter list; shown, never inserted
    Template,        // a statement with fields to fill; its insertText names it (see templateNamed)
};

// A short word for the kind, for the list to show beside the name.
std::string_view kindLabel(NameKind kind);

struct Candidate {
    std::string text;        // what the list shows
    std::string insertText;  // what choosing it inserts, in its list's spelling; empty for a heading
    NameKind kind;
    std::string detail;      // a function's parameter list, a variable's type

    bool insertable() const { return kind != NameKind::LevelHeading; }
};

struct Completion {
    // Choosing a candidate replaces the text from replaceBegin to the caret.
    std::size_t replaceBegin = 0;
    std::size_t caret = 0;
    // The candidates come from the parameter list of `command` (a builder command), in groups
    // each headed by a LevelHeading candidate, rather than from the names the script may use.
    bool arguments = false;
    std::string_view command;
    std::vector<Candidate> candidates;
};

// The candidates for what is typed at `caret`. For a name: keywords, the game's functions and
// variables, builder commands, command words, character names and the names declared by the
// script and by `siblings` (the folder's other files), prefix matches before inner matches, and
// after them the templates whose name starts with the word.
// For an argument of a builder command: the entries of that command's list for the position,
// with the group of the level `levelHint` names (see levelFromHint) first. Inside a comment or a
// string there are none.
Completion completeAt(std::string_view text, const ScriptOutline& outline, std::size_t caret,
                      const DeclaredNames& siblings = {}, std::string_view levelHint = {});
Completion completeAt(std::string_view text, std::size_t caret, const DeclaredNames& siblings = {},
                      std::string_view levelHint = {});
// The same from a reading of an earlier revision of `text`: the declarations come from it, and
// only the text around the caret is read again.
Completion completeAt(std::string_view text, std::size_t caret, const ScriptAnalysis& analysis,
                      const DeclaredNames& siblings = {}, std::string_view levelHint = {});

// What the list shows beside a candidate's name: its kind, and its parameters or type after that;
// nothing beside a heading.
std::string candidateDetail(const Candidate& candidate);

// The row of the insertable candidate `rows` on from row `from` (back when `rows` is negative),
// passing over headings to the entry beyond them; at either end, the nearest entry short of it.
// Nothing when no candidate is insertable.
std::optional<std::size_t> insertableRow(const std::vector<Candidate>& candidates, std::size_t from, int rows);

// Whether choosing `chosen` of `candidates` would finish `typed`, the name being typed: it makes
// it longer, no other candidate is `typed` itself, and it is no template.
bool finishesTypedName(const std::vector<Candidate>& candidates, const Candidate& chosen, std::string_view typed);

// Whether the list of names opens by itself as the key just typed ends `lineBeforeCaret` (its line
// up to the caret): at a name's second letter, once; after that the name only narrows the list.
bool opensNameList(std::string_view lineBeforeCaret);

// Whether a builder command stands on `lineBeforeCaret` (its line up to the caret), not far
// back, so that a blank, `(` or `,` typed there may start one of its arguments.
bool followsBuilderCommand(std::string_view lineBeforeCaret);

// The level (0 to 14) a folder or file name names: by number after the word "level"
// ("level01", "Level_3", "LEVEL 14_final") or by a word of one level's name alone
// ("Warehouse", "cargo"); nothing when it names none or several.
std::optional<int> levelFromHint(std::string_view hint);

// The level number of a level heading of a parameter list, whichever form it takes.
std::optional<int> levelOfHeading(std::string_view heading);
