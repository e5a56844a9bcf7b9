#include "editor/ScriptSearch.h"

#include "editor/ScriptEditor.h"

namespace script_search {
namespace {

using Sci = QsciScintillaBase;

} // namespace

Query query(ScriptEditor& editor, const QString& text, Options options, bool forward)
{
    const long from = editor.SendScintilla(forward ? Sci::SCI_GETSELECTIONEND : Sci::SCI_GETSELECTIONSTART);
    return {.text = editor.snapshot(),
            .revision = editor.revision(),
            .pattern = typedText(text),
            .options = options,
            .forward = forward,
            .from = editor.scriptOffset(from),
            .unshown = editor.unshownRanges()};
}

std::optional<Result> show(ScriptEditor& editor, const Query& query, std::optional<TextMatcher::Found> found)
{
    if (editor.revision() != query.revision)
        return std::nullopt;
    if (!found)
        return Result::NotFound;
    const long start = editor.shownPosition(found->start);
    const long end = start + long(query.pattern.size());
    editor.SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(start), end);
    // The whole match comes into view where the line is long, its start first.
    editor.SendScintilla(Sci::SCI_SCROLLRANGE, static_cast<unsigned long>(end), start);
    return found->wrapped ? Result::FoundAfterWrap : Result::Found;
}

bool replaceSelection(ScriptEditor& editor, const QString& text, const QString& replacement, Options options)
{
    const long start = editor.SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const long end = editor.SendScintilla(Sci::SCI_GETSELECTIONEND);
    if (!matchesAt(editor.documentText(), std::size_t(start), std::size_t(end), typedText(text), options))
        return false;
    const std::string replacementBytes = typedText(replacement);
    const ScriptEditor::EditStep step(editor);
    editor.replaceBytes(start, end, replacementBytes);
    const long caret = start + long(replacementBytes.size());
    editor.SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(caret), caret);
    return true;
}

std::optional<int> replaceAll(ScriptEditor& editor, const Query& query, const std::vector<std::size_t>& starts,
                              std::size_t length, const QString& replacement)
{
    if (editor.revision() != query.revision)
        return std::nullopt;
    // Every match was found before anything changes, so that what a replacement puts in, or how
    // it ends a word next to the following match, never decides what else is replaced.
    if (starts.empty())
        return 0;
    std::vector<long> shown;
    for (const std::size_t start : starts)
        shown.push_back(editor.shownPosition(start));
    const std::string replacementBytes = typedText(replacement);
    const ScriptEditor::EditStep step(editor);
    // Front to back, each match as far on as the replacements before it moved it.
    long shift = 0;
    for (const long start : shown) {
        editor.replaceBytes(start + shift, start + shift + long(length), replacementBytes);
        shift += long(replacementBytes.size()) - long(length);
    }
    return int(starts.size());
}

} // namespace script_search
