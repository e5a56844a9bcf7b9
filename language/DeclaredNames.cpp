#include "language/DeclaredNames.h"

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

DeclaredNames::Entries DeclaredNames::entriesOf(std::string_view text, const ScriptOutline& outline)
{
    Entries entries;
    entries.reserve(outline.functions.size());
    NameMap<bool> seen(outline.functions.size());
    for (const FunctionDeclaration& function : outline.functions) {
        if (!seen.try_emplace(function.name, true).second)
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
    for (const VariableDeclaration& variable : outline.variables) {
        if (variable.role != NameRole::Global || !seen.try_emplace(variable.name, true).second)
            continue;
        std::string declaration = "var ";
        if (!variable.type.empty()) {
            declaration += variable.type;
            declaration += ' ';
        }
        declaration += variable.name;
        entries.push_back({std::string(variable.name), NameRole::Global, std::move(declaration), {},
                           std::string(variable.type)});
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
