#include "language/Indentation.h"

#include "language/Lexer.h"

#include <algorithm>
#include <array>

namespace {

// Enough lines to tell how a script indents, and few enough to read at every reading.
constexpr std::size_t kSampledLines = 2000;
constexpr std::size_t kWidestBlankStep = 8;

// Calls `visit(begin, end)` for each line of `lines`, its line end left out.
template <typename Visit>
void forEachLine(std::string_view lines, Visit visit)
{
    std::size_t begin = 0;
    while (begin <= lines.size()) {
        std::size_t end = begin;
        while (end < lines.size() && lines[end] != '\r' && lines[end] != '\n')
            ++end;
        if (!visit(begin, end))
            return;
        if (end == lines.size())
            return;
        begin = end + (lines[end] == '\r' && end + 1 < lines.size() && lines[end + 1] == '\n' ? 2 : 1);
    }
}

std::size_t indentationEnd(std::string_view line)
{
    std::size_t end = 0;
    while (end < line.size() && isBlank(line[end]))
        ++end;
    return end;
}

} // namespace

std::string indentUnitOf(std::string_view text)
{
    std::size_t tabbed = 0;
    std::size_t blanked = 0;
    std::array<std::size_t, kWidestBlankStep + 1> steps{};
    std::size_t previous = 0;
    bool previousBlanks = true;
    std::size_t lines = 0;
    forEachLine(text, [&](std::size_t begin, std::size_t end) {
        const std::string_view line = text.substr(begin, end - begin);
        const std::size_t indentation = indentationEnd(line);
        if (indentation < line.size()) {
            const bool blanks = line.substr(0, indentation).find('\t') == std::string_view::npos;
            if (indentation > 0)
                ++(blanks ? blanked : tabbed);
            if (blanks && previousBlanks && indentation > previous && indentation - previous <= kWidestBlankStep)
                ++steps[indentation - previous];
            previous = indentation;
            previousBlanks = blanks;
        }
        return ++lines < kSampledLines;
    });
    if (tabbed >= blanked)
        return "\t";
    const auto most = std::max_element(steps.begin() + 1, steps.end());
    return std::string(*most == 0 ? 4 : std::size_t(most - steps.begin()), ' ');
}

std::string indentationAfterBreak(std::string_view lineBeforeCaret, std::string_view unit)
{
    std::string indentation(lineBeforeCaret.substr(0, indentationEnd(lineBeforeCaret)));
    int open = 0;
    Lexer lexer(lineBeforeCaret, Quotes::Honoured);
    for (Lexeme lexeme = lexer.next(); lexeme.kind != Lex::End; lexeme = lexer.next()) {
        if (lexeme.is('{'))
            ++open;
        else if (lexeme.is('}') && open > 0)
            --open;
    }
    if (open > 0)
        indentation += unit;
    return indentation;
}

std::optional<std::string> closingBraceIndentation(std::string_view before)
{
    // The lines are read from the last up, each from its start, so that comments and strings
    // are told apart as the language reads them.
    int closes = 0;
    std::size_t end = before.size();
    for (;;) {
        std::size_t begin = end;
        while (begin > 0 && before[begin - 1] != '\r' && before[begin - 1] != '\n')
            --begin;
        const std::string_view line = before.substr(begin, end - begin);
        std::vector<bool> braces;  // true for `{`
        Lexer lexer(line, Quotes::Honoured);
        for (Lexeme lexeme = lexer.next(); lexeme.kind != Lex::End; lexeme = lexer.next()) {
            if (lexeme.is('{') || lexeme.is('}'))
                braces.push_back(lexeme.is('{'));
        }
        for (auto brace = braces.rbegin(); brace != braces.rend(); ++brace) {
            if (!*brace)
                ++closes;
            else if (closes-- == 0)
                return std::string(line.substr(0, indentationEnd(line)));
        }
        if (begin == 0)
            return std::nullopt;
        end = begin - 1;
        if (end > 0 && before[end] == '\n' && before[end - 1] == '\r')
            --end;
    }
}

std::optional<TextEdit> closingBraceAlignment(std::string_view before)
{
    const std::size_t lineStart = before.find_last_of("\r\n") + 1;
    const std::string_view blanks = before.substr(lineStart);
    if (indentationEnd(blanks) < blanks.size())
        return std::nullopt;
    std::optional<std::string> indentation = closingBraceIndentation(before);
    if (!indentation || *indentation == blanks)
        return std::nullopt;
    return TextEdit{lineStart, blanks.size(), std::move(*indentation)};
}

std::vector<TextEdit> indentLines(std::string_view lines, std::string_view unit)
{
    std::vector<TextEdit> edits;
    forEachLine(lines, [&](std::size_t begin, std::size_t end) {
        if (end > begin)
            edits.push_back({begin, 0, std::string(unit)});
        return true;
    });
    return edits;
}

std::vector<TextEdit> outdentLines(std::string_view lines, std::string_view unit)
{
    // A tab stands as wide as four blanks, as the reading counts indentation.
    const std::size_t width = unit == "\t" ? 4 : std::max<std::size_t>(1, unit.size());
    std::vector<TextEdit> edits;
    forEachLine(lines, [&](std::size_t begin, std::size_t end) {
        std::size_t taken = 0;
        if (begin < end && lines[begin] == '\t') {
            taken = 1;
        } else {
            while (taken < width && begin + taken < end && lines[begin + taken] == ' ')
                ++taken;
            // Blanks short of a unit before a tab: the tab goes with them.
            if (taken < width && begin + taken < end && lines[begin + taken] == '\t')
                ++taken;
        }
        if (taken > 0)
            edits.push_back({begin, taken, {}});
        return true;
    });
    return edits;
}

std::vector<TextEdit> toggleLineComments(std::string_view lines)
{
    std::vector<std::size_t> starts;  // of what each line that holds anything holds
    bool allComments = true;
    forEachLine(lines, [&](std::size_t begin, std::size_t end) {
        const std::size_t first = begin + indentationEnd(lines.substr(begin, end - begin));
        if (first < end) {
            starts.push_back(first);
            allComments = allComments && lines[first] == Lexer::kCommentChar;
        }
        return true;
    });
    std::vector<TextEdit> edits;
    for (const std::size_t start : starts)
        edits.push_back(allComments ? TextEdit{start, 1, {}} : TextEdit{start, 0, std::string(1, Lexer::kCommentChar)});
    return edits;
}
