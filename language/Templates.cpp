#include "language/Templates.h"

#include "catalogue/Builtins.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<ScriptTemplate, 5> kTemplates = {{
    {"func", "func", "func void ${name}(void)\n{\n\t${body}\n}"},
    {"if", "if", "if (${condition}) {\n\t${body}\n}"},
    {"ifelse", "if \xE2\x80\xA6 else", "if (${condition}) {\n\t${body}\n} else {\n\t${body}\n}"},
    {"fork", "fork", "fork ${name}"},
    {"var", "var", "var ${int} ${name} = ${value};"},
}};

} // namespace

std::span<const ScriptTemplate> scriptTemplates()
{
    return kTemplates;
}

const ScriptTemplate* templateNamed(std::string_view name)
{
    const auto found = std::find_if(kTemplates.begin(), kTemplates.end(),
                                    [name](const ScriptTemplate& t) { return sameName(t.name, name); });
    return found == kTemplates.end() ? nullptr : &*found;
}

ExpandedTemplate expandTemplate(const ScriptTemplate& script, std::string_view lineEnd, std::string_view indentation,
                                std::string_view unit)
{
    ExpandedTemplate expanded;
    const std::string_view pattern = script.pattern;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        switch (pattern[at]) {
        case '\n':
            expanded.text.append(lineEnd).append(indentation);
            break;
        case '\t':
            expanded.text.append(unit);
            break;
        case '$': {
            const std::size_t close = pattern.find('}', at);
            const std::string_view placeholder = pattern.substr(at + 2, close - at - 2);
            const std::size_t begin = expanded.text.size();
            expanded.text.append(placeholder);
            expanded.fields.push_back({begin, expanded.text.size()});
            at = close;
            break;
        }
        default:
            expanded.text += pattern[at];
            break;
        }
    }
    return expanded;
}

TemplateFields::TemplateFields(std::vector<TextRange> fields, std::size_t end) : m_fields(std::move(fields))
{
    m_fields.push_back({end, end});
}

TemplateFields::TemplateFields(const ExpandedTemplate& expanded, std::size_t position)
{
    for (const TextRange& field : expanded.fields)
        m_fields.push_back({position + field.begin, position + field.end});
    m_fields.push_back({position + expanded.text.size(), position + expanded.text.size()});
}

bool TemplateFields::advance()
{
    if (m_current + 1 >= m_fields.size())
        return false;
    ++m_current;
    return true;
}

void TemplateFields::inserted(std::size_t position, std::size_t length)
{
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        TextRange& field = m_fields[i];
        const bool grows = i == m_current ? field.begin <= position && position <= field.end
                                          : field.begin < position && position < field.end;
        if (grows) {
            field.end += length;
        } else if (field.begin >= position) {
            field.begin += length;
            field.end += length;
        }
    }
}

void TemplateFields::removed(std::size_t position, std::size_t length)
{
    const auto after = [&](std::size_t offset) {
        return offset <= position ? offset : offset >= position + length ? offset - length : position;
    };
    for (TextRange& field : m_fields)
        field = {after(field.begin), after(field.end)};
}
