#include "language/DeclaredNames.h"

#include <algorithm>
#include <cstdint>

void DeclaredNames::add(Entry entry)
{
    add(std::make_shared<const Entries>(Entries{std::move(entry)}));
}

void DeclaredNames::add(std::shared_ptr<const Entries> entries)
{
    if (!entries || entries->empty())
        return;
    m_entries.reserve(m_entries.size() + entries->size());
    for (const Entry& entry : *entries)
        m_entries.try_emplace(entry.name, &entry);
    m_held.push_back(std::move(entries));
}

void DeclaredNames::addScript(std::string_view text, const ScriptOutline& outline)
{
    add(std::make_shared<const Entries>(entriesOf(text, outline)));
}

namespace {

// Which of `names` come first by their name, letter case ignored. Sorted by hash rather than
// looked up in a map: a long script declares hundreds of thousands, and a map of them costs a
// node each, scattered in memory.
std::vector<bool> firstOfEachName(const std::vector<std::string_view>& names)
{
    struct Hashed {
        std::size_t hash;
        std::uint32_t index;
    };
    std::vector<Hashed> hashed;
    hashed.reserve(names.size());
    const NameHash hash;
    for (std::size_t i = 0; i < names.size(); ++i)
        hashed.push_back({hash(names[i]), std::uint32_t(i)});
    std::sort(hashed.begin(), hashed.end(),
              [](const Hashed& a, const Hashed& b) { return a.hash != b.hash ? a.hash < b.hash : a.index < b.index; });
    std::vector<bool> first(names.size(), false);
    for (std::size_t run = 0; run < hashed.size();) {
        std::size_t end = run + 1;
        while (end < hashed.size() && hashed[end].hash == hashed[run].hash)
            ++end;
        for (std::size_t i = run; i < end; ++i) {
            const std::string_view name = names[hashed[i].index];
            first[hashed[i].index] = std::none_of(hashed.begin() + std::ptrdiff_t(run), hashed.begin() + std::ptrdiff_t(i),
                                                  [&](const Hashed& earlier) { return sameName(names[earlier.index], name); });
        }
        run = end;
    }
    return first;
}

} // namespace

DeclaredNames::Entries DeclaredNames::entriesOf(std::string_view text, const ScriptOutline& outline)
{
    // The functions first, then the globals, each name once.
    std::vector<std::string_view> names;
    std::vector<const VariableDeclaration*> globals;
    names.reserve(outline.functions.size());
    for (const FunctionDeclaration& function : outline.functions)
        names.push_back(function.name);
    for (const VariableDeclaration& variable : outline.variables) {
        if (variable.role == NameRole::Global) {
            names.push_back(variable.name);
            globals.push_back(&variable);
        }
    }
    const std::vector<bool> first = firstOfEachName(names);

    Entries entries;
    entries.reserve(outline.functions.size() + globals.size());
    std::size_t n = 0;
    for (const FunctionDeclaration& function : outline.functions) {
        if (!first[n++])
            continue;
        std::string comment;
        for (const std::string_view line : commentLinesAbove(text, lineStartOf(text, function.headerPlace.offset))) {
            if (!comment.empty())
                comment += '\n';
            comment += line;
        }
        std::string declaration = headerLine(function.header);
        const std::size_t open = declaration.find('(');
        std::string parameters = open == std::string::npos ? std::string() : declaration.substr(open);
        entries.push_back({std::string(function.name), NameRole::Function, std::move(declaration), std::move(comment),
                           std::move(parameters)});
    }
    for (const VariableDeclaration* variable : globals) {
        if (!first[n++])
            continue;
        std::string declaration = "var ";
        if (!variable->type.empty()) {
            declaration += variable->type;
            declaration += ' ';
        }
        declaration += variable->name;
        entries.push_back({std::string(variable->name), NameRole::Global, std::move(declaration), {},
                           std::string(variable->type)});
    }
    return entries;
}

const DeclaredNames::Entry* DeclaredNames::find(std::string_view name) const
{
    const auto found = m_entries.find(name);
    return found == m_entries.end() ? nullptr : found->second;
}

std::string headerLine(std::string_view header)
{
    std::string line;
    bool gap = false;
    for (const char c : header) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            gap = true;
            continue;
        }
        // No blank inside the parentheses' edges: "name(\r\n\tvoid)" reads "name(void)".
        if (gap && !line.empty() && line.back() != '(' && c != ')')
            line += ' ';
        gap = false;
        line += c;
    }
    return line;
}
