#include "language/ScriptHints.h"
#include "language/Tokenizer.h"

#include "catalogue/CommandTable.h"
#include "catalogue/Builtins.h"
#include "catalogue/WordLists.h"

#include <algorithm>

namespace {

// Where the parameters of the list starting at `open` in `declaration` stand.
std::vector<std::pair<std::size_t, std::size_t>> parameterSpans(std::string_view declaration)
{
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    const std::size_t open = declaration.find('(');
    if (open == std::string_view::npos)
        return spans;
    for (const std::string_view parameter : splitParameters(declaration.substr(open))) {
        const auto begin = std::size_t(parameter.data() - declaration.data());
        spans.emplace_back(begin, begin + parameter.size());
    }
    return spans;
}

std::string joined(const std::vector<std::string_view>& lines)
{
    std::string text;
    for (const std::string_view line : lines) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    return text;
}

std::string variableDeclaration(const VariableDeclaration& variable)
{
    std::string text = variable.role == NameRole::Parameter ? "" : "var ";
    if (!variable.type.empty()) {
        text += variable.type;
        text += ' ';
    }
    text += variable.name;
    return text;
}

} // namespace

std::string Hint::text() const
{
    std::string text = comment;
    const auto line = [&text](std::string_view piece) {
        if (piece.empty())
            return;
        if (!text.empty())
            text += '\n';
        text += piece;
    };
    line(declaration.empty() ? name : declaration);
    if (!returnType.empty())
        line("returns " + returnType);
    line(type);
    line(description);
    return text;
}

Hint hintFor(std::string_view name, std::string_view text, const ScriptOutline& outline,
             const DeclaredNames& siblings, std::int32_t function)
{
    Hint hint;
    if (name.empty())
        return hint;
    if (function >= 0 && std::size_t(function) < outline.functions.size()) {
        const FunctionDeclaration& holder = outline.functions[std::size_t(function)];
        const auto first = outline.variables.begin() + holder.firstVariable;
        const auto last = first + holder.variableCount;
        const auto found =
            std::find_if(first, last, [name](const VariableDeclaration& v) { return sameName(v.name, name); });
        if (found != last) {
            hint.name = found->name;
            hint.kind = NameKind::ScriptVariable;
            hint.declaration = variableDeclaration(*found);
            hint.type = found->type;
            return hint;
        }
    }
    for (const FunctionDeclaration& declared : outline.functions) {
        if (!sameName(declared.name, name))
            continue;
        hint.name = declared.name;
        hint.kind = NameKind::ScriptFunction;
        hint.declaration = headerLine(declared.header);
        hint.returnType = declared.returnType;
        hint.comment = joined(commentLinesAbove(text, lineStartOf(text, declared.headerPlace.offset)));
        hint.parameters = parameterSpans(hint.declaration);
        return hint;
    }
    for (const VariableDeclaration& declared : outline.variables) {
        if (declared.role != NameRole::Global || !sameName(declared.name, name))
            continue;
        hint.name = declared.name;
        hint.kind = NameKind::ScriptVariable;
        hint.declaration = variableDeclaration(declared);
        hint.type = declared.type;
        return hint;
    }
    if (const DeclaredNames::Entry* entry = siblings.find(name)) {
        hint.name = entry->name;
        hint.declaration = entry->declaration;
        hint.comment = entry->comment;
        if (entry->role == NameRole::Function) {
            hint.kind = NameKind::LevelFunction;
            hint.parameters = parameterSpans(hint.declaration);
            // "func int name(...)": the word between `func` and the name, when there is one.
            const std::size_t open = std::min(hint.declaration.find('('), hint.declaration.size());
            const std::string_view head = std::string_view(hint.declaration).substr(0, open);
            const std::size_t nameAt = head.rfind(entry->name);
            const std::string_view before = head.substr(0, nameAt == std::string_view::npos ? 0 : nameAt);
            const std::size_t blank = before.find(' ');
            if (blank != std::string_view::npos && blank + 1 < before.size()) {
                std::string_view type = before.substr(blank + 1);
                while (type.ends_with(' '))
                    type.remove_suffix(1);
                hint.returnType = type;
            }
        } else {
            hint.kind = NameKind::LevelVariable;
            const std::string_view declaration = hint.declaration;
            const std::size_t typeEnd = declaration.rfind(' ');
            if (declaration.starts_with("var ") && typeEnd > 4)
                hint.type = declaration.substr(4, typeEnd - 4);
        }
        return hint;
    }
    const BuiltinName* builtin = Builtins::standard().find(name);
    if (!builtin)
        return hint;
    hint.name = builtin->spelling;
    if (builtin->keyword) {
        hint.kind = NameKind::Keyword;
        return hint;
    }
    if (builtin->function) {
        hint.kind = NameKind::Function;
        hint.declaration = builtin->function->declaration();
        hint.returnType = builtin->function->returnType;
        hint.parameters = parameterSpans(hint.declaration);
    } else if (builtin->variable) {
        hint.kind = NameKind::Variable;
        hint.type = builtin->variable->type;
    } else {
        hint.kind = builtin->builderCommand ? NameKind::BuilderCommand : NameKind::Command;
    }
    if (builtin->builderCommand)
        hint.description = builtin->builderCommand->description;
    return hint;
}

namespace {

// `outlineText` is the text `outline` was read from.
CaretHint hintWith(std::string_view text, std::string_view outlineText, const ScriptOutline& outline,
                   std::size_t caret, const DeclaredNames& siblings)
{
    caret = std::min(caret, text.size());
    CaretHint result;
    const CaretContext context = contextAt(text, caret);
    if (context.place != CaretContext::Place::Code)
        return result;
    const std::int32_t function = functionAt(outline, caret);
    const std::size_t reach = std::min(text.size(), caret + kLineReach);
    std::size_t end = caret;
    while (end < reach && isWordByte(text[end]))
        ++end;
    const std::string_view word = text.substr(context.wordBegin, end - context.wordBegin);
    if (!word.empty() && !(word.front() >= '0' && word.front() <= '9')) {
        result.hint = hintFor(word, outlineText, outline, siblings, function);
        result.nameOffset = context.wordBegin;
        if (!result.hint.empty()) {
            if (context.inCall && context.calleeOffset == context.wordBegin)
                result.argument = -1;
            return result;
        }
    }
    if (context.inCall && context.argument >= 0) {
        result.hint = hintFor(context.callee, outlineText, outline, siblings, function);
        result.nameOffset = context.calleeOffset;
        result.argument = result.hint.empty() ? -1 : context.argument;
    }
    return result;
}

} // namespace

CaretHint hintAt(std::string_view text, const ScriptOutline& outline, std::size_t caret,
                 const DeclaredNames& siblings)
{
    return hintWith(text, text, outline, caret, siblings);
}

CaretHint hintAt(std::string_view text, const ScriptAnalysis& analysis, std::size_t caret,
                 const DeclaredNames& siblings)
{
    return hintWith(text, *analysis.text, analysis.outline, caret, siblings);
}

bool followsCallable(std::string_view lineBeforeTyped, const DeclaredNames& siblings,
                     const std::function<const ScriptOutline&()>& outline)
{
    // No name is longer: only so much of a longer word is looked up.
    constexpr std::size_t kLongestName = 128;
    std::size_t end = lineBeforeTyped.size();
    while (end > 0 && isBlank(lineBeforeTyped[end - 1]))
        --end;
    std::size_t begin = end;
    while (begin > 0 && end - begin < kLongestName && isWordByte(lineBeforeTyped[begin - 1]))
        --begin;
    if (begin == end || isDigitByte(lineBeforeTyped[begin]))
        return false;
    const std::string_view name = lineBeforeTyped.substr(begin, end - begin);

    if (const BuiltinName* builtin = Builtins::standard().find(name))
        return builtin->function || builtin->builderCommand;
    if (const DeclaredNames::Entry* entry = siblings.find(name))
        return entry->role == NameRole::Function;
    const std::vector<FunctionDeclaration>& functions = outline().functions;
    return std::any_of(functions.begin(), functions.end(),
                       [name](const FunctionDeclaration& function) { return sameName(function.name, name); });
}
