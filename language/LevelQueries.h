#pragma once

#include "catalogue/Builtins.h"
#include "language/Level.h"
#include "language/TextEdit.h"
#include "language/TextSearch.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a level's scripts say about a name, read from the level's one analysis of each script:
// where a name is declared, where it is used, how to rename it, and plain text found across the
// level. Pure functions of a Level snapshot, so any thread may ask while the level moves on.
// Offsets, lines and columns are those of ScriptReader: bytes into the script's text as the
// snapshot holds it, lines from 1, columns in bytes from 0. Results that view a script's text
// (a name, a line's text) stay valid as long as the caller holds the Level.

enum class SymbolKind : std::uint8_t {
    Function,   // declared by `func` in some script of the level
    Global,     // declared by `var` outside any function in some script of the level
    Parameter,  // of the function the name stands in
    Local,      // declared by `var` in the function the name stands in
    Builtin,    // the game's functions and variables, the editor's command words, the builder's commands
    Keyword,
    Unknown,    // declared nowhere the level or the game knows of
};

// A name at a place, and what it stands for there, resolved the way the game does with letter
// case ignored: a parameter or local of the enclosing function, else a function or global of the
// level (the script's own first, then the others in level order), else a built-in.
struct LevelSymbol {
    std::string_view name;       // as written at the place asked about
    std::size_t script = 0;      // where it was asked about
    std::size_t offset = 0;      // where the name starts there
    SymbolKind kind = SymbolKind::Unknown;

    // For a declared name: the script that declares it, and the declaration there.
    std::size_t declaringScript = 0;
    // Function: its index into that script's outline.functions. Parameter and Local: the
    // function they belong to. Otherwise -1.
    std::int32_t function = -1;
    // Global, Parameter and Local: the index into that script's outline.variables; otherwise -1.
    std::int32_t variable = -1;
    const BuiltinName* builtin = nullptr;  // for Builtin and Keyword

    bool declared() const
    {
        return kind == SymbolKind::Function || kind == SymbolKind::Global || kind == SymbolKind::Parameter ||
               kind == SymbolKind::Local;
    }
};

// The name under `offset` in script `script`, or just before it (a caret at a name's end); nothing
// off a name, and nothing inside a comment or a string. A number is no name.
std::optional<LevelSymbol> symbolAt(const Level& level, std::size_t script, std::size_t offset);

// A stretch of one script of the level.
struct LevelLocation {
    std::size_t script = 0;
    QString path;
    ScriptPlace place;
    std::size_t length = 0;
};

// Where a declared symbol is declared: its name in the declaration. Nothing for a built-in, a
// keyword or an unknown name; the caller shows the built-in's hint instead.
std::optional<LevelLocation> definitionOf(const Level& level, const LevelSymbol& symbol);

struct LevelReference {
    LevelLocation location;
    std::string_view lineText;  // the line holding it, without its line end
    bool declaration = false;   // the name in a declaration rather than a use
};

// Every use of a declared symbol across the level, its declarations included, in level order and
// then text order; never inside comments, strings or longer names. For a function or global: each
// name of that spelling (case ignored) in every script, but inside a function that has a parameter
// or local of the same name, which hides it there. For a parameter or local: the uses inside its
// function. Nothing for a symbol that is not declared.
std::vector<LevelReference> referencesOf(const Level& level, const LevelSymbol& symbol);

// Changes to one script's text, against the text of the Level it was made from.
struct ScriptEdits {
    std::size_t script = 0;
    QString path;
    std::vector<TextEdit> edits;  // in text order, never overlapping
};

// Edits across a level, or the reason there are none, in words for the user.
struct LevelEdits {
    std::string refusal;             // empty unless refused
    std::vector<ScriptEdits> scripts;  // only the scripts that change, in level order

    bool refused() const { return !refusal.empty(); }
};

// What a rename at `offset` in `script` would rename: the function, global, parameter or local
// named there, or, when there is none, the reason in words for the user.
struct RenameTarget {
    std::optional<LevelSymbol> symbol;
    std::string refusal;  // empty when there is a symbol
};
RenameTarget renameTargetAt(const Level& level, std::size_t script, std::size_t offset);

// Renames the function, global, parameter or local named at `offset` in `script` to `newName`,
// its declaration and every reference (see referencesOf). Refused when no such name stands there,
// when `newName` is not a name (letters, digits and '_', not starting with a digit), is a keyword
// or a built-in, or is already declared where it would clash: for a function or global, another
// function or global of the level, or a parameter or local of a function that uses the name; for
// a parameter or local, another of its function, or any name its function uses. A change of
// letter case alone is always allowed, and a reference already spelt as `newName` is left alone.
LevelEdits renameAt(const Level& level, std::size_t script, std::size_t offset, std::string_view newName);

struct TextMatch {
    LevelLocation location;
    std::string_view lineText;
};

// Every match of `pattern` (a document text: see typedText) in every script of the level, in
// level order and then text order, as the editor's find matches it; comments and strings
// included, since this is text, not language.
std::vector<TextMatch> findInLevel(const Level& level, std::string_view pattern, SearchOptions options);

// Replaces every match findInLevel finds, each script's matches found before any is replaced.
LevelEdits replaceInLevel(const Level& level, std::string_view pattern, std::string_view replacement,
                          SearchOptions options);

// A function or global in a script's outline.
struct OutlineItem {
    std::string_view name;
    NameRole role;  // Function or Global
    ScriptPlace place;  // of the name
    // The whole declaration: a function from `func` to the end of its body (or of its header, while
    // it has no body), a global's name.
    std::size_t begin = 0;
    std::size_t end = 0;
    // A function's parameter list on one line ("(string ai_name)", empty when left out), a
    // global's type.
    std::string detail;
};

// A script's functions and globals, in text order.
std::vector<OutlineItem> outlineOf(const ScriptAnalysis& analysis);

struct LevelSymbolItem {
    std::size_t script = 0;
    QString path;
    OutlineItem item;
};

// The level's functions and globals whose name holds `query`, letter case ignored, in level order
// and then text order; every one for an empty query.
std::vector<LevelSymbolItem> levelSymbols(const Level& level, std::string_view query);

// Whether `text` can name a function or variable: letters, digits and '_', not starting with a
// digit.
bool isName(std::string_view text);
