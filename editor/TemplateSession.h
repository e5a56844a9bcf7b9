#pragma once

#include "language/Templates.h"

#include <optional>

class ScriptEditor;

// A template put into the script and its fields filled in turn: the current field is selected,
// Tab moves on to the next and past the last one to the template's end, Escape ends it early.
class TemplateSession {
public:
    static constexpr int kFieldIndicator = 11;

    explicit TemplateSession(ScriptEditor& editor);

    // Puts `statement` in place of [from, to), as one edit, and selects its first field.
    void start(long from, long to, const ScriptTemplate& statement, std::string_view indentUnit);
    bool active() const { return m_fields.has_value(); }
    void nextField();
    void end();
    // Ends the session once the caret has left the template.
    void caretMoved();

    void inserted(long position, long length);
    void removed(long position, long length);

private:
    void selectCurrent();
    void markFields(bool on);

    ScriptEditor& m_editor;
    std::optional<TemplateFields> m_fields;
};
