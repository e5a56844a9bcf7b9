#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The statements typed all day, offered by completion as templates with fields to fill in turn.
struct ScriptTemplate {
    std::string_view name;   // what completion matches the typed word against
    std::string_view label;  // what the list shows
    // The text, with each field written `${placeholder}`; a line break goes in as the script's
    // line end followed by the indentation of the line the template goes into, and a tab as one
    // more level of the script's indentation.
    std::string_view pattern;
};

std::span<const ScriptTemplate> scriptTemplates();
const ScriptTemplate* templateNamed(std::string_view name);

// A stretch of text by its offsets: [begin, end).
struct TextRange {
    std::size_t begin = 0;
    std::size_t end = 0;

    friend bool operator==(const TextRange&, const TextRange&) = default;
};

struct ExpandedTemplate {
    std::string text;
    std::vector<TextRange> fields;  // in the order they are filled, offsets into text
};

ExpandedTemplate expandTemplate(const ScriptTemplate& script, std::string_view lineEnd, std::string_view indentation,
                                std::string_view unit);

// The fields of a template being filled, kept in place as the text around and inside them
// changes. What is typed at either end of the current field goes into it; the others move.
// The last stop is where the template ends, a field of its own that holds nothing.
class TemplateFields {
public:
    TemplateFields(std::vector<TextRange> fields, std::size_t end);
    // The fields of `expanded` once its text is put in at `position`.
    TemplateFields(const ExpandedTemplate& expanded, std::size_t position);

    const TextRange& current() const { return m_fields[m_current]; }
    const std::vector<TextRange>& fields() const { return m_fields; }
    // Moves on to the next field; false once the end has been reached.
    bool advance();

    void inserted(std::size_t position, std::size_t length);
    void removed(std::size_t position, std::size_t length);

private:
    std::vector<TextRange> m_fields;
    std::size_t m_current = 0;
};
