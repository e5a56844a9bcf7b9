#pragma once

#include "catalogue/Builtins.h"
#include "language/Folding.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Reads what a level script declares and calls, in one pass over its text (the editor's UTF-8
// document or the file's bytes; the names are ASCII either way). Positions are byte offsets
// into that text; lines count from 1, columns are bytes from the line's start, from 0, as the
// editor counts its positions. CR LF, CR and LF each end one line.

enum class NameRole : std::uint8_t {
    Function,    // declared by `func`
    Global,      // declared by `var` outside any function
    Local,       // declared by `var` inside a function
    Parameter,   // named in a function's parameter list
    Call,        // the name a statement or `fork` calls, or `name(...)` inside an expression
    Assignment,  // stored into by `name = value`
    Word,        // any other name outside comments and strings: an argument, an operand
};

enum class CallForm : std::uint8_t {
    None,           // not a call
    Bare,           // the name alone: `level_start`
    Words,          // arguments after blanks or tabs: `ai2_spawn Muro`
    Parenthesised,  // `target_set(1095, 30.0)`, `chr_poison (ai_name, 5, 30, 30);`
};

struct ScriptPlace {
    std::size_t offset = 0;
    int line = 0;
    int column = 0;

    friend bool operator==(const ScriptPlace&, const ScriptPlace&) = default;
};

// One name where it occurs. Kept small: a long script holds a great many.
struct NameUse {
    std::uint32_t offset;
    std::uint32_t length;
    std::uint32_t line;
    std::uint32_t column;
    NameRole role;
    CallForm form;           // for a call
    std::int32_t function;   // index into ScriptOutline::functions of the body it is in; -1 outside

    friend bool operator==(const NameUse&, const NameUse&) = default;
};

struct FunctionDeclaration {
    std::string_view name;
    ScriptPlace place;             // of the name
    std::string_view returnType;   // empty when the header leaves it out
    // From `func` to the end of the parameter list, or of the name when there is none; it may
    // run over several lines.
    std::string_view header;
    ScriptPlace headerPlace;       // of `func`
    std::size_t bodyBegin = kNoBody;  // the `{`
    std::size_t bodyEnd = kNoBody;    // just after the `}`; kNoBody while it is not closed
    // The function's parameters and locals: ScriptOutline::variables[firstVariable, + count).
    std::uint32_t firstVariable = 0;
    std::uint32_t variableCount = 0;

    static constexpr std::size_t kNoBody = std::size_t(-1);

    friend bool operator==(const FunctionDeclaration&, const FunctionDeclaration&) = default;
};

struct VariableDeclaration {
    std::string_view name;
    std::string_view type;         // empty when left out
    ScriptPlace place;             // of the name
    NameRole role;                 // Global, Local or Parameter
    std::int32_t function;         // -1 for a global
    std::uint32_t block;           // the `{ }` block it is declared in; 0 outside any

    friend bool operator==(const VariableDeclaration&, const VariableDeclaration&) = default;
};

enum class StructureFault : std::uint8_t {
    UnclosedParenthesis,  // a `(` the statement never closes
    StrayParenthesis,     // a `)` without its `(`
    UnclosedBrace,        // a `{` never closed
    StrayBrace,           // a `}` without its `{`
    ElseWithoutIf,
};

struct StructureProblem {
    StructureFault fault;
    ScriptPlace place;
    std::size_t length;

    friend bool operator==(const StructureProblem&, const StructureProblem&) = default;
};

// A `{ }` block that closes, function bodies included: where its two braces stand.
struct BlockSpan {
    std::uint32_t open;        // offset of the `{`
    std::uint32_t close;       // offset of the `}`
    std::uint32_t headerLine;  // of the `func`, `if` or `else` it is the body of, or of its `{`
    std::uint32_t openLine;
    std::uint32_t closeLine;

    friend bool operator==(const BlockSpan&, const BlockSpan&) = default;
};

// Lines that hold nothing but a comment, one after another; lines counted from 1.
struct CommentLines {
    std::uint32_t first;
    std::uint32_t last;

    friend bool operator==(const CommentLines&, const CommentLines&) = default;
};

struct ScriptOutline {
    std::vector<NameUse> names;                 // in text order
    std::vector<FunctionDeclaration> functions; // in text order
    std::vector<VariableDeclaration> variables; // globals, parameters and locals, in text order
    std::vector<StructureProblem> problems;     // in the order they were found
    std::vector<BlockSpan> blocks;              // in the order they close, inner before outer
    std::vector<CommentLines> comments;         // in text order

    friend bool operator==(const ScriptOutline&, const ScriptOutline&) = default;
};

ScriptOutline readScript(std::string_view text);
// The same, read in up to `parts` parts at once: a long script is read in as many parts as the
// machine has cores.
ScriptOutline readScript(std::string_view text, std::size_t parts);

// The functions and globals of a script, the functions first, each in text order with what
// completion ranks it by. A long script declares a great many, and completion weighs them all
// at every key, so they are gathered once per reading, their names lowered end to end.
struct FileNames {
    struct Entry {
        std::string_view name;
        std::string_view detail;  // a function's parameter list, a global's type; may be empty
        std::uint32_t lowered;    // where the name, lowered, starts in `lowered`
        std::uint32_t uses;       // how often the script names it
        NameRole role;            // Function or Global
    };
    std::vector<Entry> entries;
    std::string lowered;
};

// The functions and globals `outline` declares, counted in `uses`.
FileNames fileNamesOf(const ScriptOutline& outline, const NameMap<std::uint32_t>& uses);

// One reading of one revision of a script, kept with the text it was read from, so that the
// features can go on using it while the text in the editor moves on.
struct ScriptAnalysis {
    std::shared_ptr<const std::string> text;
    ScriptOutline outline;  // its names and declarations view *text
    // How often each name occurs outside comments and strings, declarations included, whatever
    // its letter case: what ranks completion's candidates.
    NameMap<std::uint32_t> uses;
    FileNames fileNames;
    std::vector<Fold> folds;  // see foldsOf
    std::string indentUnit;   // see indentUnitOf
};

std::shared_ptr<const ScriptAnalysis> analyseScript(std::shared_ptr<const std::string> text);
// The two halves of analyseScript, for a caller that does more with the outline meanwhile: the
// reading of the text, and then the counts and file names, which need only the outline.
std::shared_ptr<ScriptAnalysis> readAnalysis(std::shared_ptr<const std::string> text);
void countNames(ScriptAnalysis& analysis);

// What the caret is in. A call's arguments are separated by blanks or tabs in the word form
// (`= 1`, `eq 0` and `ne 0` count as one argument, as the builder writes them) and by commas in
// the parenthesised form.
struct CaretContext {
    // Unread: further along a long line than kLineReach, where nothing is offered.
    enum class Place : std::uint8_t { Code, Comment, String, Unread };
    Place place = Place::Code;

    // The letters, digits and '_' just before the caret: what completion completes.
    std::string_view word;
    std::size_t wordBegin = 0;

    // The innermost call whose name or arguments hold the caret, if any.
    bool inCall = false;
    std::string_view callee;
    std::size_t calleeOffset = 0;
    CallForm form = CallForm::None;
    int argument = -1;              // 0-based; -1 while the caret is on the called name
    std::size_t argumentBegin = 0;  // where the argument the caret is in starts
    std::string_view argumentText;  // from argumentBegin to the caret
};

CaretContext contextAt(std::string_view text, std::size_t caret);

// The call a statement makes, with its arguments as written: what the builder reads back.
struct CallStatement {
    std::string_view callee;
    std::size_t calleeOffset = 0;
    CallForm form = CallForm::None;
    struct Argument {
        std::string_view text;
        std::size_t offset;
    };
    std::vector<Argument> arguments;
};

// The call of the statement the caret is in or just after, on the caret's line; an empty callee
// when that statement calls nothing (an `if`, a declaration, a comment) or the caret is further
// along its line than kLineReach.
CallStatement statementAt(std::string_view text, std::size_t caret);

// The name's text.
inline std::string_view nameText(std::string_view text, const NameUse& use)
{
    return text.substr(use.offset, use.length);
}

// The comment lines just above line `lineStart` (the offset where that line starts), top to
// bottom, each from its `#` on. Blank lines end them.
std::vector<std::string_view> commentLinesAbove(std::string_view text, std::size_t lineStart);

// The offset where the line holding `offset` starts.
std::size_t lineStartOf(std::string_view text, std::size_t offset);

// The function whose body holds `offset` (an index into outline.functions), or -1.
std::int32_t functionAt(const ScriptOutline& outline, std::size_t offset);
