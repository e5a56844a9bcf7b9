#include "language/LevelQueries.h"

#include "catalogue/Builtins.h"
#include "language/Lexer.h"
#include "language/ScriptChecker.h"

#include <QFileInfo>

#include <algorithm>
#include <functional>

namespace {

const ScriptOutline& outlineIn(const Level& level, std::size_t script)
{
    return level.script(script).analysis->outline;
}

// "b.bsl, line 3": where a declaration stands, for a refusal to point at.
std::string whereIs(const Level& level, std::size_t script, const ScriptPlace& place)
{
    std::string where = QFileInfo(level.script(script).path).fileName().toStdString();
    if (!where.empty())
        where += ", ";
    return where + "line " + std::to_string(place.line);
}

// The index of the element of `items` (in text order) whose name stands at `offset`, or -1.
template <typename Declaration>
std::int32_t declarationAt(const std::vector<Declaration>& items, std::size_t offset)
{
    const auto found = std::lower_bound(items.begin(), items.end(), offset,
                                        [](const Declaration& item, std::size_t at) { return item.place.offset < at; });
    return found != items.end() && found->place.offset == offset ? std::int32_t(found - items.begin()) : -1;
}

// The parameter or local of `function` called `name`: its index into outline.variables, or -1.
std::int32_t variableOf(const ScriptOutline& outline, std::int32_t function, std::string_view name)
{
    if (function < 0)
        return -1;
    const FunctionDeclaration& holder = outline.functions[std::size_t(function)];
    for (std::uint32_t i = holder.firstVariable; i < holder.firstVariable + holder.variableCount; ++i) {
        if (sameName(outline.variables[i].name, name))
            return std::int32_t(i);
    }
    return -1;
}

// Finds the function or global `name` declared by `script`; fills `symbol` when there is one.
bool findFileDeclaration(const Level& level, std::size_t script, std::string_view name, LevelSymbol& symbol)
{
    const ScriptOutline& outline = outlineIn(level, script);
    for (std::size_t i = 0; i < outline.functions.size(); ++i) {
        if (sameName(outline.functions[i].name, name)) {
            symbol.kind = SymbolKind::Function;
            symbol.declaringScript = script;
            symbol.function = std::int32_t(i);
            return true;
        }
    }
    for (std::size_t i = 0; i < outline.variables.size(); ++i) {
        const VariableDeclaration& variable = outline.variables[i];
        if (variable.role == NameRole::Global && sameName(variable.name, name)) {
            symbol.kind = SymbolKind::Global;
            symbol.declaringScript = script;
            symbol.variable = std::int32_t(i);
            return true;
        }
    }
    return false;
}

LevelSymbol resolve(const Level& level, std::size_t script, const NameUse& use)
{
    const ScriptOutline& outline = outlineIn(level, script);
    LevelSymbol symbol;
    symbol.name = nameText(level.script(script).text(), use);
    symbol.script = script;
    symbol.offset = use.offset;
    symbol.declaringScript = script;
    switch (use.role) {
    case NameRole::Function:
        symbol.kind = SymbolKind::Function;
        symbol.function = declarationAt(outline.functions, use.offset);
        return symbol;
    case NameRole::Global:
    case NameRole::Local:
    case NameRole::Parameter:
        symbol.kind = use.role == NameRole::Global  ? SymbolKind::Global
                      : use.role == NameRole::Local ? SymbolKind::Local
                                                    : SymbolKind::Parameter;
        symbol.variable = declarationAt(outline.variables, use.offset);
        symbol.function = use.role == NameRole::Global ? -1 : use.function;
        return symbol;
    default:
        break;
    }
    if (const std::int32_t variable = variableOf(outline, use.function, symbol.name); variable >= 0) {
        symbol.kind = outline.variables[std::size_t(variable)].role == NameRole::Parameter ? SymbolKind::Parameter
                                                                                           : SymbolKind::Local;
        symbol.function = use.function;
        symbol.variable = variable;
        return symbol;
    }
    if (findFileDeclaration(level, script, symbol.name, symbol))
        return symbol;
    for (std::size_t other = 0; other < level.size(); ++other) {
        if (other != script && findFileDeclaration(level, other, symbol.name, symbol))
            return symbol;
    }
    symbol.builtin = Builtins::standard().find(symbol.name);
    symbol.kind = !symbol.builtin ? SymbolKind::Unknown
                  : symbol.builtin->keyword ? SymbolKind::Keyword
                                            : SymbolKind::Builtin;
    return symbol;
}

// The line holding a place, without its line end.
std::string_view lineOf(std::string_view text, const ScriptPlace& place)
{
    const std::size_t begin = place.offset - std::size_t(place.column);
    std::size_t end = place.offset;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
        ++end;
    return text.substr(begin, end - begin);
}

// Each name use that refers to a declared `symbol`, with the script it is in, in level order and
// then text order.
void forEachReference(const Level& level, const LevelSymbol& symbol,
                      const std::function<void(std::size_t, const NameUse&)>& visit)
{
    if (!symbol.declared())
        return;
    const std::string_view name = symbol.name;
    if (symbol.kind == SymbolKind::Parameter || symbol.kind == SymbolKind::Local) {
        const ScriptOutline& outline = outlineIn(level, symbol.declaringScript);
        const std::string_view text = level.script(symbol.declaringScript).text();
        // A function's names lie between its header and the next function's.
        const std::size_t begin = outline.functions[std::size_t(symbol.function)].headerPlace.offset;
        const std::size_t end = std::size_t(symbol.function) + 1 < outline.functions.size()
                                    ? outline.functions[std::size_t(symbol.function) + 1].headerPlace.offset
                                    : text.size();
        auto use = std::lower_bound(outline.names.begin(), outline.names.end(), begin,
                                    [](const NameUse& u, std::size_t at) { return u.offset < at; });
        for (; use != outline.names.end() && use->offset < end; ++use) {
            if (use->function == symbol.function && sameName(nameText(text, *use), name))
                visit(symbol.declaringScript, *use);
        }
        return;
    }
    for (std::size_t script = 0; script < level.size(); ++script) {
        const ScriptOutline& outline = outlineIn(level, script);
        const std::string_view text = level.script(script).text();
        std::vector<bool> hides(outline.functions.size());
        for (const VariableDeclaration& variable : outline.variables) {
            if (variable.function >= 0 && sameName(variable.name, name))
                hides[std::size_t(variable.function)] = true;
        }
        for (const NameUse& use : outline.names) {
            if (use.length != name.size() || !sameName(nameText(text, use), name))
                continue;
            if (use.function >= 0 && hides[std::size_t(use.function)])
                continue;
            visit(script, use);
        }
    }
}

bool isDeclaration(const NameUse& use)
{
    return use.role == NameRole::Function || use.role == NameRole::Global || use.role == NameRole::Local ||
           use.role == NameRole::Parameter;
}

std::string_view kindWord(NameRole role)
{
    switch (role) {
    case NameRole::Function: return "function";
    case NameRole::Parameter: return "parameter";
    case NameRole::Local: return "local variable";
    default: return "global variable";
    }
}

// Why `newName` cannot replace the name of `symbol`, or nothing when it can. Only asked when the
// two differ in more than letter case.
std::string clashOf(const Level& level, const LevelSymbol& symbol, std::string_view newName)
{
    if (symbol.kind == SymbolKind::Function || symbol.kind == SymbolKind::Global) {
        for (std::size_t script = 0; script < level.size(); ++script) {
            const ScriptOutline& outline = outlineIn(level, script);
            for (const FunctionDeclaration& function : outline.functions) {
                if (sameName(function.name, newName))
                    return quoted(newName) + " is already declared: function " + quoted(function.name) + " in " +
                           whereIs(level, script, function.place) + ".";
            }
            for (const VariableDeclaration& variable : outline.variables) {
                if (variable.role == NameRole::Global && sameName(variable.name, newName))
                    return quoted(newName) + " is already declared: global variable " + quoted(variable.name) +
                           " in " + whereIs(level, script, variable.place) + ".";
            }
        }
        std::string clash;
        forEachReference(level, symbol, [&](std::size_t script, const NameUse& use) {
            if (!clash.empty() || use.function < 0)
                return;
            const ScriptOutline& outline = outlineIn(level, script);
            const std::int32_t hiding = variableOf(outline, use.function, newName);
            if (hiding < 0)
                return;
            const VariableDeclaration& variable = outline.variables[std::size_t(hiding)];
            const FunctionDeclaration& function = outline.functions[std::size_t(use.function)];
            clash = "Function " + quoted(function.name) + " (" + whereIs(level, script, function.place) + ") uses " +
                    quoted(symbol.name) + " and has a " + std::string(kindWord(variable.role)) + " " +
                    quoted(variable.name) + ", which would hide it.";
        });
        return clash;
    }

    const ScriptOutline& outline = outlineIn(level, symbol.declaringScript);
    const FunctionDeclaration& function = outline.functions[std::size_t(symbol.function)];
    if (const std::int32_t other = variableOf(outline, symbol.function, newName); other >= 0) {
        const VariableDeclaration& variable = outline.variables[std::size_t(other)];
        return quoted(newName) + " is already declared: " + std::string(kindWord(variable.role)) + " " +
               quoted(variable.name) + " of function " + quoted(function.name) + ".";
    }
    const std::string_view text = level.script(symbol.declaringScript).text();
    for (const NameUse& use : outline.names) {
        if (use.function == symbol.function && sameName(nameText(text, use), newName))
            return "Function " + quoted(function.name) + " uses " + quoted(nameText(text, use)) + " on line " +
                   std::to_string(use.line) + ", which the new name would hide.";
    }
    return {};
}

std::string refusalFor(const LevelSymbol& symbol)
{
    switch (symbol.kind) {
    case SymbolKind::Builtin:
        return quoted(symbol.name) + " is built into the game and cannot be renamed.";
    case SymbolKind::Keyword:
        return quoted(symbol.name) + " is a keyword and cannot be renamed.";
    case SymbolKind::Unknown:
        return quoted(symbol.name) + " is not declared in this level, so there is nothing to rename.";
    default:
        return {};
    }
}

std::string refusalOfName(std::string_view newName)
{
    if (newName.empty())
        return "The new name is empty.";
    if (!isName(newName))
        return quoted(newName) + " is not a name: a name holds letters, digits and '_' and does not start with a digit.";
    const BuiltinName* builtin = Builtins::standard().find(newName);
    if (builtin && builtin->keyword)
        return quoted(newName) + " is a keyword.";
    if (builtin)
        return quoted(newName) + " is built into the game.";
    return {};
}

// Places in one script's text, met in text order: lines counted as the reader counts them.
class LineCounter {
public:
    explicit LineCounter(std::string_view text) : m_text(text) {}

    ScriptPlace placeOf(std::size_t offset)
    {
        for (; m_position < offset; ++m_position) {
            const char c = m_text[m_position];
            if (c == '\n' || (c == '\r' && (m_position + 1 >= m_text.size() || m_text[m_position + 1] != '\n'))) {
                ++m_line;
                m_lineStart = m_position + 1;
            }
        }
        return {offset, m_line, int(offset - m_lineStart)};
    }

private:
    std::string_view m_text;
    std::size_t m_position = 0;
    std::size_t m_lineStart = 0;
    int m_line = 1;
};

} // namespace

bool isName(std::string_view text)
{
    return !text.empty() && startsWord(text.front()) && std::all_of(text.begin(), text.end(), isWordByte);
}

std::optional<LevelSymbol> symbolAt(const Level& level, std::size_t script, std::size_t offset)
{
    if (script >= level.size())
        return std::nullopt;
    const std::string_view text = level.script(script).text();
    const ScriptOutline& outline = outlineIn(level, script);
    offset = std::min(offset, text.size());
    // The reading keeps no name from comments or strings, and no keyword.
    const auto after = std::upper_bound(outline.names.begin(), outline.names.end(), offset,
                                        [](std::size_t at, const NameUse& use) { return at < use.offset; });
    if (after != outline.names.begin() && offset <= (after - 1)->offset + (after - 1)->length)
        return resolve(level, script, *(after - 1));

    // A keyword is worth telling apart, since renaming one is refused for a reason of its own.
    const CaretContext context = contextAt(text, offset);
    if (context.place != CaretContext::Place::Code)
        return std::nullopt;
    const std::string_view word = text.substr(context.wordBegin, wordEnd(text, offset) - context.wordBegin);
    const BuiltinName* builtin = word.empty() ? nullptr : Builtins::standard().find(word);
    if (!builtin || !builtin->keyword)
        return std::nullopt;
    LevelSymbol symbol;
    symbol.name = word;
    symbol.script = script;
    symbol.offset = context.wordBegin;
    symbol.declaringScript = script;
    symbol.kind = SymbolKind::Keyword;
    symbol.builtin = builtin;
    return symbol;
}

std::optional<LevelLocation> definitionOf(const Level& level, const LevelSymbol& symbol)
{
    if (!symbol.declared())
        return std::nullopt;
    const ScriptOutline& outline = outlineIn(level, symbol.declaringScript);
    LevelLocation location;
    location.script = symbol.declaringScript;
    location.path = level.script(symbol.declaringScript).path;
    if (symbol.kind == SymbolKind::Function) {
        const FunctionDeclaration& function = outline.functions[std::size_t(symbol.function)];
        location.place = function.place;
        location.length = function.name.size();
    } else {
        const VariableDeclaration& variable = outline.variables[std::size_t(symbol.variable)];
        location.place = variable.place;
        location.length = variable.name.size();
    }
    return location;
}

std::vector<LevelReference> referencesOf(const Level& level, const LevelSymbol& symbol)
{
    std::vector<LevelReference> references;
    forEachReference(level, symbol, [&](std::size_t script, const NameUse& use) {
        const LevelScript& holder = level.script(script);
        const ScriptPlace place{use.offset, int(use.line), int(use.column)};
        // Many references on one long line share the search for its end.
        std::string_view line;
        if (!references.empty() && references.back().location.script == script &&
            references.back().location.place.line == place.line)
            line = references.back().lineText;
        else
            line = lineOf(holder.text(), place);
        references.push_back({{script, holder.path, place, use.length}, line, isDeclaration(use)});
    });
    return references;
}

RenameTarget renameTargetAt(const Level& level, std::size_t script, std::size_t offset)
{
    RenameTarget target;
    target.symbol = symbolAt(level, script, offset);
    if (!target.symbol) {
        target.refusal = "There is no name here to rename.";
        return target;
    }
    target.refusal = refusalFor(*target.symbol);
    if (!target.refusal.empty())
        target.symbol.reset();
    return target;
}

LevelEdits renameAt(const Level& level, std::size_t script, std::size_t offset, std::string_view newName)
{
    LevelEdits result;
    RenameTarget target = renameTargetAt(level, script, offset);
    if (!target.symbol) {
        result.refusal = std::move(target.refusal);
        return result;
    }
    const LevelSymbol& symbol = *target.symbol;
    if (!sameName(symbol.name, newName)) {
        result.refusal = refusalOfName(newName);
        if (result.refused())
            return result;
        result.refusal = clashOf(level, symbol, newName);
        if (result.refused())
            return result;
    }
    forEachReference(level, symbol, [&](std::size_t holder, const NameUse& use) {
        if (nameText(level.script(holder).text(), use) == newName)
            return;
        if (result.scripts.empty() || result.scripts.back().script != holder)
            result.scripts.push_back({holder, level.script(holder).path, {}});
        result.scripts.back().edits.push_back({use.offset, use.length, std::string(newName)});
    });
    return result;
}

std::vector<TextMatch> findInLevel(const Level& level, std::string_view pattern, SearchOptions options)
{
    std::vector<TextMatch> matches;
    for (std::size_t script = 0; script < level.size(); ++script) {
        const LevelScript& holder = level.script(script);
        const std::string_view text = holder.text();
        const TextMatcher matcher(text, std::string(pattern), options);
        LineCounter lines(text);
        for (const std::size_t start : matcher.every()) {
            const ScriptPlace place = lines.placeOf(start);
            matches.push_back({{script, holder.path, place, matcher.length()}, lineOf(text, place)});
        }
    }
    return matches;
}

LevelEdits replaceInLevel(const Level& level, std::string_view pattern, std::string_view replacement,
                          SearchOptions options)
{
    LevelEdits result;
    for (std::size_t script = 0; script < level.size(); ++script) {
        const LevelScript& holder = level.script(script);
        const TextMatcher matcher(holder.text(), std::string(pattern), options);
        ScriptEdits edits{script, holder.path, {}};
        for (const std::size_t start : matcher.every())
            edits.edits.push_back({start, matcher.length(), std::string(replacement)});
        if (!edits.edits.empty())
            result.scripts.push_back(std::move(edits));
    }
    return result;
}

std::vector<OutlineItem> outlineOf(const ScriptAnalysis& analysis)
{
    const ScriptOutline& outline = analysis.outline;
    std::vector<OutlineItem> items;
    const auto addFunction = [&](const FunctionDeclaration& function) {
        const std::string header = headerLine(function.header);
        const std::size_t open = header.find('(');
        std::size_t end = function.bodyEnd;
        if (end == FunctionDeclaration::kNoBody)
            end = function.headerPlace.offset + function.header.size();
        items.push_back({function.name, NameRole::Function, function.place, function.headerPlace.offset, end,
                         open == std::string::npos ? std::string() : header.substr(open)});
    };
    const auto addGlobal = [&](const VariableDeclaration& variable) {
        items.push_back({variable.name, NameRole::Global, variable.place, variable.place.offset,
                         variable.place.offset + variable.name.size(), std::string(variable.type)});
    };
    // Both lists are in text order: merged, they stay so.
    auto function = outline.functions.begin();
    for (const VariableDeclaration& variable : outline.variables) {
        if (variable.role != NameRole::Global)
            continue;
        for (; function != outline.functions.end() && function->place.offset < variable.place.offset; ++function)
            addFunction(*function);
        addGlobal(variable);
    }
    for (; function != outline.functions.end(); ++function)
        addFunction(*function);
    return items;
}

std::vector<LevelSymbolItem> levelSymbols(const Level& level, std::string_view query)
{
    std::string wanted(query);
    std::transform(wanted.begin(), wanted.end(), wanted.begin(), lowered);
    std::vector<LevelSymbolItem> symbols;
    std::string name;
    for (std::size_t script = 0; script < level.size(); ++script) {
        for (OutlineItem& item : outlineOf(*level.script(script).analysis)) {
            name.assign(item.name);
            std::transform(name.begin(), name.end(), name.begin(), lowered);
            if (name.find(wanted) != std::string::npos)
                symbols.push_back({script, level.script(script).path, std::move(item)});
        }
    }
    return symbols;
}
