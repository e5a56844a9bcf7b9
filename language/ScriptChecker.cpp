#include "language/ScriptChecker.h"

#include "catalogue/Builtins.h"
#include "language/Parallel.h"

#include <algorithm>
#include <iterator>
#include <tuple>

namespace {

// Above this many parameters and locals a function's names are looked up in a map rather than
// walked; the shipped scripts' functions hold a handful.
constexpr std::uint32_t kWalkedVariables = 16;

std::string_view structureMessage(StructureFault fault)
{
    switch (fault) {
    case StructureFault::UnclosedParenthesis: return "'(' is never closed";
    case StructureFault::StrayParenthesis: return "')' closes nothing";
    case StructureFault::UnclosedBrace: return "'{' is never closed";
    case StructureFault::StrayBrace: return "'}' closes nothing";
    case StructureFault::ElseWithoutIf: return "'else' without 'if'";
    }
    return {};
}

// Above this many names, the uses are checked in parts at once.
constexpr std::size_t kPartNames = 1 << 18;

class Checker {
public:
    Checker(std::string_view text, const ScriptOutline& outline, const DeclaredNames& siblings)
        : m_text(text), m_outline(outline), m_siblings(siblings)
    {
    }

    std::vector<Finding> run();

private:
    // The parameters and locals of the function last asked about, in a map: a body's names come
    // together in the text, so one map serves all of them in turn. One for each part checked.
    struct FunctionNames {
        std::int32_t function = -1;
        NameMap<bool> names;
    };

    void checkDuplicates();
    void checkLocalDuplicates(std::vector<Finding>& findings) const;
    // The calls and assignments among names [begin, end).
    std::vector<Finding> checkNames(std::size_t begin, std::size_t end) const;
    bool declaredInFunction(std::string_view name, std::int32_t function, FunctionNames& mapped) const;

    static void duplicate(std::vector<Finding>& findings, std::string_view kind, const VariableDeclaration& second,
                          const ScriptPlace& first)
    {
        report(findings, second.place, second.name.size(), Severity::Error,
               std::string(kind) + ' ' + quoted(second.name) + " is declared twice (first on line " +
                   std::to_string(first.line) + ")");
    }
    static void report(std::vector<Finding>& findings, const ScriptPlace& place, std::size_t length,
                       Severity severity, std::string message)
    {
        findings.push_back({place, length, severity, std::move(message)});
    }

    std::string_view m_text;
    const ScriptOutline& m_outline;
    const DeclaredNames& m_siblings;
    const Builtins& m_builtins = Builtins::standard();
    // Each function's and global's first declaration.
    NameMap<ScriptPlace> m_functions;
    NameMap<ScriptPlace> m_globals;
    std::vector<Finding> m_findings;
};

std::vector<Finding> Checker::run()
{
    for (const StructureProblem& problem : m_outline.problems)
        report(m_findings, problem.place, problem.length, Severity::Error, std::string(structureMessage(problem.fault)));
    checkDuplicates();
    // The uses and the locals only look things up: a long script's uses are checked in as many
    // parts as there are cores, and its locals beside them.
    const std::size_t names = m_outline.names.size();
    const std::size_t parts = names < kPartNames ? 1 : coreCount();
    std::vector<std::vector<Finding>> found(parts + 1);
    forEachInParallel(found.size(), [&](std::size_t n) {
        if (n < parts)
            found[n] = checkNames(names * n / parts, names * (n + 1) / parts);
        else
            checkLocalDuplicates(found[n]);
    });
    for (std::vector<Finding>& part : found)
        m_findings.insert(m_findings.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
    std::stable_sort(m_findings.begin(), m_findings.end(),
                     [](const Finding& a, const Finding& b) { return a.place.offset < b.place.offset; });
    return std::move(m_findings);
}

void Checker::checkDuplicates()
{
    // Sized once: a long script declares hundreds of thousands, and each growth rehashes them all.
    m_functions.reserve(m_outline.functions.size());
    for (const FunctionDeclaration& function : m_outline.functions) {
        const auto [first, added] = m_functions.try_emplace(function.name, function.place);
        if (!added) {
            report(m_findings, function.place, function.name.size(), Severity::Error,
                   "function " + quoted(function.name) + " is declared twice (first on line " +
                       std::to_string(first->second.line) + ")");
        }
    }
    for (const VariableDeclaration& variable : m_outline.variables) {
        if (variable.role != NameRole::Global)
            continue;
        const auto [first, added] = m_globals.try_emplace(variable.name, variable.place);
        if (!added)
            duplicate(m_findings, "variable", variable, first->second);
    }
}

// Two locals of one name in the same block; a name declared again in a nested or a following
// block is left alone, as the game's scoping of those is not known.
void Checker::checkLocalDuplicates(std::vector<Finding>& findings) const
{
    struct Local {
        std::uint32_t block;
        std::size_t hash;
        std::uint32_t index;
    };
    std::vector<Local> locals;
    const NameHash hash;
    for (std::size_t i = 0; i < m_outline.variables.size(); ++i) {
        const VariableDeclaration& variable = m_outline.variables[i];
        if (variable.role == NameRole::Local)
            locals.push_back({variable.block, hash(variable.name), std::uint32_t(i)});
    }
    std::sort(locals.begin(), locals.end(), [](const Local& a, const Local& b) {
        return std::tie(a.block, a.hash, a.index) < std::tie(b.block, b.hash, b.index);
    });
    for (std::size_t run = 0; run < locals.size();) {
        std::size_t end = run + 1;
        while (end < locals.size() && locals[end].block == locals[run].block && locals[end].hash == locals[run].hash)
            ++end;
        for (std::size_t i = run + 1; i < end; ++i) {
            const VariableDeclaration& second = m_outline.variables[locals[i].index];
            for (std::size_t j = run; j < i; ++j) {
                const VariableDeclaration& first = m_outline.variables[locals[j].index];
                if (sameName(first.name, second.name)) {
                    duplicate(findings, "variable", second, first.place);
                    break;
                }
            }
        }
        run = end;
    }
}

bool Checker::declaredInFunction(std::string_view name, std::int32_t function, FunctionNames& mapped) const
{
    if (function < 0)
        return false;
    const FunctionDeclaration& declaration = m_outline.functions[std::size_t(function)];
    const auto first = m_outline.variables.begin() + declaration.firstVariable;
    const auto last = first + declaration.variableCount;
    if (declaration.variableCount <= kWalkedVariables)
        return std::any_of(first, last, [name](const VariableDeclaration& v) { return sameName(v.name, name); });
    if (mapped.function != function) {
        mapped.names.clear();
        for (auto variable = first; variable != last; ++variable)
            mapped.names.try_emplace(variable->name, true);
        mapped.function = function;
    }
    return mapped.names.contains(name);
}

std::vector<Finding> Checker::checkNames(std::size_t begin, std::size_t end) const
{
    std::vector<Finding> findings;
    FunctionNames mapped;
    for (std::size_t i = begin; i < end; ++i) {
        const NameUse& use = m_outline.names[i];
        if (use.role != NameRole::Call && use.role != NameRole::Assignment)
            continue;
        const std::string_view name = nameText(m_text, use);
        const bool assignment = use.role == NameRole::Assignment;
        const BuiltinName* builtin = m_builtins.find(name);
        if (builtin && (!assignment || m_builtins.isAssignable(name)))
            continue;
        if (m_functions.contains(name) || m_globals.contains(name) || declaredInFunction(name, use.function, mapped) ||
            m_siblings.contains(name))
            continue;
        const ScriptPlace place{use.offset, int(use.line), int(use.column)};
        // The command word list also holds a few parameter names such as `ai_name`: those are
        // no functions either, so they are simply not defined.
        if (builtin && (builtin->function || builtin->builderCommand || builtin->unlisted))
            report(findings, place, use.length, Severity::Warning, quoted(name) + " is not a variable");
        else
            report(findings, place, use.length, Severity::Warning, quoted(name) + " is not defined here");
    }
    return findings;
}

} // namespace

std::string quoted(std::string_view name)
{
    std::string text = "'";
    text += name;
    text += '\'';
    return text;
}

std::vector<Finding> checkScript(std::string_view text, const ScriptOutline& outline, const DeclaredNames& siblings)
{
    return Checker(text, outline, siblings).run();
}

std::vector<Finding> checkScript(std::string_view text, const DeclaredNames& siblings)
{
    return checkScript(text, readScript(text), siblings);
}

std::optional<TextRange> underlinedRange(std::size_t offset, std::size_t length, std::size_t textLength)
{
    if (textLength == 0)
        return std::nullopt;
    if (offset >= textLength)
        return TextRange{textLength - 1, textLength};
    return TextRange{offset, offset + std::min(std::max<std::size_t>(length, 1), textLength - offset)};
}
