#include "editor/TemplateSession.h"

#include "editor/ScriptEditor.h"

namespace {

using Sci = QsciScintillaBase;

} // namespace

TemplateSession::TemplateSession(ScriptEditor& editor) : m_editor(editor)
{
    editor.indicatorDefine(QsciScintilla::BoxIndicator, kFieldIndicator);
    editor.setIndicatorForegroundColor(QColor(0xa0, 0xa0, 0xa0), kFieldIndicator);
}

void TemplateSession::start(long from, long to, const ScriptTemplate& statement, std::string_view indentUnit)
{
    end();
    const std::string_view before = m_editor.bytesAt(m_editor.lineStart(from), from);
    const std::string indentation(before.substr(0, before.find_first_not_of(" \t")));
    const ExpandedTemplate expanded = expandTemplate(statement, "\r\n", indentation, indentUnit);
    {
        const ScriptEditor::EditStep step(m_editor);
        m_editor.replaceBytes(from, to, expanded.text);
    }
    m_fields.emplace(expanded, std::size_t(from));
    markFields(true);
    selectCurrent();
}

void TemplateSession::nextField()
{
    if (!m_fields)
        return;
    if (!m_fields->advance()) {
        end();
        return;
    }
    selectCurrent();
    // The template's end is its last stop.
    if (m_fields->current() == m_fields->fields().back())
        end();
}

void TemplateSession::end()
{
    markFields(false);
    m_fields.reset();
}

void TemplateSession::caretMoved()
{
    if (!m_fields)
        return;
    const auto caret = std::size_t(m_editor.SendScintilla(Sci::SCI_GETCURRENTPOS));
    if (caret < m_fields->fields().front().begin || caret > m_fields->fields().back().end)
        end();
    else
        markFields(true);
}

void TemplateSession::inserted(long position, long length)
{
    if (m_fields)
        m_fields->inserted(std::size_t(position), std::size_t(length));
}

void TemplateSession::removed(long position, long length)
{
    if (m_fields)
        m_fields->removed(std::size_t(position), std::size_t(length));
}

void TemplateSession::selectCurrent()
{
    const TextRange& field = m_fields->current();
    m_editor.SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(field.begin), long(field.end));
}

void TemplateSession::markFields(bool on)
{
    if (!m_fields)
        return;
    const std::size_t from = m_fields->fields().front().begin;
    const std::size_t to = m_fields->fields().back().end;
    m_editor.setIndicator(kFieldIndicator, long(from), long(to - from), false);
    if (!on)
        return;
    for (const TextRange& field : m_fields->fields()) {
        if (field.end > field.begin)
            m_editor.setIndicator(kFieldIndicator, long(field.begin), long(field.end - field.begin), true);
    }
}
