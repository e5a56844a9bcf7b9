#include "language/Occurrences.h"

#include "catalogue/Builtins.h"
#include "language/Lexer.h"

namespace {

// Calls `visit(range)` for each name lexeme of `text`, until it returns false.
template <typename Visit>
void forEachName(std::string_view text, Visit visit)
{
    Lexer lexer(text, Quotes::Honoured);
    for (Lexeme lexeme = lexer.next(); lexeme.kind != Lex::End; lexeme = lexer.next()) {
        if (lexeme.kind != Lex::Word)
            continue;
        const std::string_view word = text.substr(lexeme.begin, lexeme.end - lexeme.begin);
        if (!Builtins::standard().isKeyword(word) && !visit(TextRange{lexeme.begin, lexeme.end}))
            return;
    }
}

} // namespace

std::optional<TextRange> nameAtCaret(std::string_view line, std::size_t caret)
{
    std::optional<TextRange> found;
    forEachName(line, [&](const TextRange& name) {
        if (name.begin <= caret && caret <= name.end)
            found = name;
        return name.begin <= caret;
    });
    return found;
}

std::vector<TextRange> nameOccurrences(std::string_view lines, std::string_view name)
{
    std::vector<TextRange> found;
    forEachName(lines, [&](const TextRange& range) {
        if (range.end - range.begin == name.size() && sameName(lines.substr(range.begin, name.size()), name))
            found.push_back(range);
        return true;
    });
    return found;
}
