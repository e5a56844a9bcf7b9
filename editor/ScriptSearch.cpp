#include "editor/ScriptSearch.h"

#include "editor/ScriptEditor.h"
#include "language/TextSearch.h"

#include <optional>
#include <string>
#include <vector>

namespace script_search {
namespace {

using Sci = QsciScintillaBase;

std::size_t selectionStart(ScriptEditor& editor)
{
    return std::size_t(editor.SendScintilla(Sci::SCI_GETSELECTIONSTART));
}

std::size_t selectionEnd(ScriptEditor& editor)
{
    return std::size_t(editor.SendScintilla(Sci::SCI_GETSELECTIONEND));
}

void replaceRange(ScriptEditor& editor, std::size_t start, std::size_t end, const std::string& replacement)
{
    editor.SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(start), long(end));
    editor.SendScintilla(Sci::SCI_REPLACETARGET, uintptr_t(replacement.size()), replacement.data());
}

} // namespace

Result find(ScriptEditor& editor, const QString& text, Options options, bool forward)
{
    const std::string_view document = editor.documentText();
    const TextMatcher matcher(document, typedText(text), options);
    Result result = Result::Found;
    std::optional<std::size_t> found =
        forward ? matcher.next(selectionEnd(editor)) : matcher.previous(selectionStart(editor));
    if (!found) {
        result = Result::FoundAfterWrap;
        found = forward ? matcher.next(0) : matcher.previous(document.size());
    }
    if (!found)
        return Result::NotFound;
    const auto start = long(*found);
    const auto end = long(*found + matcher.length());
    editor.SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(start), end);
    // The whole match comes into view where the line is long, its start first.
    editor.SendScintilla(Sci::SCI_SCROLLRANGE, static_cast<unsigned long>(end), start);
    return result;
}

bool replaceSelection(ScriptEditor& editor, const QString& text, const QString& replacement, Options options)
{
    const std::size_t start = selectionStart(editor);
    const std::size_t end = selectionEnd(editor);
    if (!TextMatcher(editor.documentText(), typedText(text), options).isMatch(start, end))
        return false;
    const std::string replacementBytes = typedText(replacement);
    const ScriptEditor::EditStep step(editor);
    replaceRange(editor, start, end, replacementBytes);
    const auto caret = long(start + replacementBytes.size());
    editor.SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(caret), caret);
    return true;
}

int replaceAll(ScriptEditor& editor, const QString& text, const QString& replacement, Options options)
{
    // Every match is found before anything changes, so that what a replacement puts in, or how
    // it ends a word next to the following match, never decides what else is replaced.
    std::vector<std::size_t> starts;
    const TextMatcher matcher(editor.documentText(), typedText(text), options);
    for (std::optional<std::size_t> at = matcher.next(0); at; at = matcher.next(*at + matcher.length()))
        starts.push_back(*at);
    if (starts.empty())
        return 0;

    const std::string replacementBytes = typedText(replacement);
    const ScriptEditor::EditStep step(editor);
    // Front to back, each match as far on as the replacements before it moved it.
    long shift = 0;
    for (const std::size_t start : starts) {
        const auto at = std::size_t(long(start) + shift);
        replaceRange(editor, at, at + matcher.length(), replacementBytes);
        shift += long(replacementBytes.size()) - long(matcher.length());
    }
    return int(starts.size());
}

} // namespace script_search
