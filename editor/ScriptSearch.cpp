#include "editor/ScriptSearch.h"

#include "editor/ScriptEditor.h"
#include "language/ScriptText.h"
#include "platform/Cp1252.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace script_search {
namespace {

using Sci = QsciScintillaBase;

// The text as the editor would hold it, had it been typed: the code page's characters, '?' for
// the rest, and every line end CR LF.
std::string documentBytes(const QString& text)
{
    return documentFromFile(cp1252::encode(text));
}

bool isContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// `text` with every letter in lower case, each keeping its byte length so that positions carry
// over. The component's own search folds ASCII letters only; the code page's accented ones all
// take two bytes in UTF-8.
std::string foldedCase(std::string_view text)
{
    std::string folded(text);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto lead = static_cast<unsigned char>(folded[i]);
        if (lead >= 'A' && lead <= 'Z') {
            folded[i] = char(lead - 'A' + 'a');
        } else if ((lead & 0xE0) == 0xC0 && i + 1 < folded.size() && isContinuationByte(folded[i + 1])) {
            const auto character = char32_t(((lead & 0x1F) << 6) | (static_cast<unsigned char>(folded[i + 1]) & 0x3F));
            const char32_t lower = QChar::toLower(character);
            if (lower >= 0x80 && lower < 0x800) {
                folded[i] = char(0xC0 | (lower >> 6));
                folded[i + 1] = char(0x80 | (lower & 0x3F));
            }
            ++i;
        }
    }
    return folded;
}

// Whether the character starting at `at` is a letter, a digit or '_'.
bool isWordCharacter(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return (lead >= 'a' && lead <= 'z') || (lead >= 'A' && lead <= 'Z') || (lead >= '0' && lead <= '9') ||
               lead == '_';
    std::size_t length = 1;
    while (at + length < text.size() && isContinuationByte(text[at + length]))
        ++length;
    const QString character = QString::fromUtf8(text.data() + at, qsizetype(length));
    return !character.isEmpty() && character.front().isLetterOrNumber();
}

// Whether a word runs on across `at`, a character boundary.
bool isInsideWord(std::string_view text, std::size_t at)
{
    if (at == 0 || at == text.size())
        return false;
    std::size_t before = at - 1;
    while (before > 0 && isContinuationByte(text[before]))
        --before;
    return isWordCharacter(text, at) && isWordCharacter(text, before);
}

// The places a text is found at in the editor's text, as it stands.
class Matcher {
public:
    Matcher(std::string_view text, std::string pattern, Options options)
        : m_text(text), m_options(options), m_pattern(options.matchCase ? std::move(pattern) : foldedCase(pattern)),
          m_folded(options.matchCase ? std::string() : foldedCase(text))
    {
    }

    std::size_t length() const { return m_pattern.size(); }

    // The start of the first match from `from` on.
    std::optional<std::size_t> next(std::size_t from) const
    {
        if (m_pattern.empty())
            return {};
        for (std::size_t at = searched().find(m_pattern, from); at != std::string_view::npos;
             at = searched().find(m_pattern, at + 1)) {
            if (isWhole(at))
                return at;
        }
        return {};
    }

    // The start of the last match that ends by `end`.
    std::optional<std::size_t> previous(std::size_t end) const
    {
        if (m_pattern.empty() || end < length())
            return {};
        for (std::size_t at = searched().rfind(m_pattern, end - length()); at != std::string_view::npos;
             at = at == 0 ? std::string_view::npos : searched().rfind(m_pattern, at - 1)) {
            if (isWhole(at))
                return at;
        }
        return {};
    }

    bool isMatch(std::size_t start, std::size_t end) const
    {
        return !m_pattern.empty() && end - start == length() && end <= m_text.size() &&
               searched().compare(start, length(), m_pattern) == 0 && isWhole(start);
    }

private:
    std::string_view searched() const { return m_options.matchCase ? m_text : std::string_view(m_folded); }

    bool isWhole(std::size_t start) const
    {
        return !m_options.wholeWord || (!isInsideWord(m_text, start) && !isInsideWord(m_text, start + length()));
    }

    std::string_view m_text;
    Options m_options;
    std::string m_pattern;
    std::string m_folded;
};

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
    const Matcher matcher(document, documentBytes(text), options);
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
    if (!Matcher(editor.documentText(), documentBytes(text), options).isMatch(start, end))
        return false;
    const std::string replacementBytes = documentBytes(replacement);
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
    const Matcher matcher(editor.documentText(), documentBytes(text), options);
    for (std::optional<std::size_t> at = matcher.next(0); at; at = matcher.next(*at + matcher.length()))
        starts.push_back(*at);
    if (starts.empty())
        return 0;

    const std::string replacementBytes = documentBytes(replacement);
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
