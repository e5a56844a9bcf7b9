// Any bytes through the reading (whole and in parts), the check, completion and hints, at carets spread over the
// text, both from a reading of the text itself and from one of an earlier revision of it; through
// the editing rules at the same carets; and through the queries on a level made of the text and
// that earlier revision.

#include "FuzzCheck.h"

#include "language/Braces.h"
#include "language/Completion.h"
#include "language/DeclaredNames.h"
#include "language/Indentation.h"
#include "language/LevelQueries.h"
#include "language/Lexer.h"
#include "language/Occurrences.h"
#include "language/ScriptChecker.h"
#include "language/ScriptHints.h"
#include "language/ScriptReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

void checkOutline(std::string_view text, const ScriptOutline& outline)
{
    std::size_t previous = 0;
    for (const NameUse& use : outline.names) {
        FUZZ_CHECK(use.offset + std::size_t(use.length) <= text.size(), "a name past the end");
        FUZZ_CHECK(use.length > 0, "an empty name");
        FUZZ_CHECK(use.offset >= previous, "names out of text order");
        FUZZ_CHECK(use.line >= 1, "a line before the first");
        FUZZ_CHECK(use.function < std::int32_t(outline.functions.size()), "a name in a function that is not there");
        previous = use.offset;
    }
    for (const FunctionDeclaration& function : outline.functions) {
        FUZZ_CHECK(function.firstVariable + std::size_t(function.variableCount) <= outline.variables.size(),
                   "a function's variables past the list");
        FUZZ_CHECK(function.bodyEnd == FunctionDeclaration::kNoBody || function.bodyEnd <= text.size(),
                   "a body past the end");
    }
}

// The folds nest in header order, each within the text's lines.
void checkFolds(std::string_view text, const std::vector<Fold>& folds)
{
    const auto lines = std::uint32_t(std::count(text.begin(), text.end(), '\n') + std::count(text.begin(), text.end(), '\r') + 1);
    std::vector<std::uint32_t> open;
    for (const Fold& fold : folds) {
        FUZZ_CHECK(fold.header < fold.last && fold.last < lines, "a fold of no lines or past the end");
        while (!open.empty() && open.back() < fold.header)
            open.pop_back();
        FUZZ_CHECK(open.empty() || fold.last <= open.back(), "folds that cross");
        open.push_back(fold.last);
    }
}

void checkEditingRules(std::string_view text, std::size_t caret)
{
    const BracePartner partner = bracePartner(text, caret, true);
    FUZZ_CHECK(partner.state != BracePartner::State::Matched || partner.partner < text.size(), "a partner past the end");
    const std::size_t lineStart = lineStartOf(text, caret);
    const std::string_view line = text.substr(lineStart, std::min(text.size(), lineStart + kLineReach) - lineStart);
    if (const std::optional<TextRange> name = nameAtCaret(line, std::min(caret - lineStart, line.size()))) {
        FUZZ_CHECK(name->begin < name->end && name->end <= line.size(), "a name outside its line");
        const std::string_view word = line.substr(name->begin, name->end - name->begin);
        FUZZ_CHECK(!nameOccurrences(line, word).empty(), "a name that does not occur where it is");
    }
    closingBraceIndentation(text.substr(0, caret));
    for (const std::vector<TextEdit>& edits : {toggleLineComments(line), outdentLines(line, "  ")}) {
        for (const TextEdit& edit : edits)
            FUZZ_CHECK(edit.offset + edit.length <= line.size(), "an edit past the lines");
    }
}

void checkFindings(std::string_view text, const std::vector<Finding>& findings)
{
    std::size_t previous = 0;
    for (const Finding& finding : findings) {
        FUZZ_CHECK(finding.place.offset <= text.size(), "a finding past the end");
        FUZZ_CHECK(finding.place.line >= 1, "a finding before the first line");
        FUZZ_CHECK(!finding.message.empty(), "a finding without a message");
        FUZZ_CHECK(finding.place.offset >= previous, "findings out of text order");
        previous = finding.place.offset;
    }
}

void checkAt(std::string_view text, std::size_t caret, const ScriptAnalysis& analysis, const DeclaredNames& siblings)
{
    const Completion completion = completeAt(text, caret, analysis, siblings, "level01");
    FUZZ_CHECK(completion.replaceBegin <= completion.caret, "a completion that replaces backwards");
    FUZZ_CHECK(completion.caret <= text.size(), "a completion past the end");
    for (const Candidate& candidate : completion.candidates)
        FUZZ_CHECK(!candidate.text.empty() || completion.arguments, "an empty name offered");
    const CaretHint hint = hintAt(text, analysis, caret, siblings);
    FUZZ_CHECK(hint.nameOffset <= text.size(), "a hint for a name past the end");
    const CallStatement statement = statementAt(text, caret);
    FUZZ_CHECK(statement.calleeOffset + statement.callee.size() <= text.size(), "a callee past the end");
    for (const CallStatement::Argument& argument : statement.arguments)
        FUZZ_CHECK(argument.offset + argument.text.size() <= text.size(), "an argument past the end");
}

// Every place a level query gives lies in its script's text, in the order promised.
void checkLevelAt(const Level& level, std::size_t caret)
{
    const std::optional<LevelSymbol> symbol = symbolAt(level, 0, caret);
    if (!symbol)
        return;
    FUZZ_CHECK(symbol->offset + symbol->name.size() <= level.script(0).text().size(), "a symbol past the end");
    if (const std::optional<LevelLocation> definition = definitionOf(level, *symbol)) {
        const std::string_view text = level.script(definition->script).text();
        FUZZ_CHECK(definition->place.offset + definition->length <= text.size(), "a definition past the end");
        FUZZ_CHECK(sameName(text.substr(definition->place.offset, definition->length), symbol->name),
                   "a definition of another name");
    }
    std::pair<std::size_t, std::size_t> previous{0, 0};
    for (const LevelReference& reference : referencesOf(level, *symbol)) {
        const LevelLocation& at = reference.location;
        const std::string_view text = level.script(at.script).text();
        FUZZ_CHECK(at.place.offset + at.length <= text.size(), "a reference past the end");
        FUZZ_CHECK(sameName(text.substr(at.place.offset, at.length), symbol->name), "a reference to another name");
        FUZZ_CHECK(std::pair(at.script, at.place.offset) >= previous, "references out of order");
        previous = {at.script, at.place.offset + 1};
    }
    for (const ScriptEdits& script : renameAt(level, 0, caret, "renamed_name").scripts) {
        std::size_t end = 0;
        for (const TextEdit& edit : script.edits) {
            FUZZ_CHECK(edit.offset >= end, "overlapping edits");
            end = edit.offset + edit.length;
            FUZZ_CHECK(end <= level.script(script.script).text().size(), "an edit past the end");
        }
    }
}

std::shared_ptr<const Level> levelOf(std::shared_ptr<const std::string> first, std::shared_ptr<const std::string> second)
{
    std::vector<LevelScript> scripts;
    for (auto& text : {std::move(first), std::move(second)}) {
        LevelScript script;
        script.analysis = analyseScript(text);
        script.findings = std::make_shared<const std::vector<Finding>>();
        script.declarations = std::make_shared<const DeclaredNames::Entries>();
        scripts.push_back(std::move(script));
    }
    return std::make_shared<const Level>(QString(), std::move(scripts));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto text = std::make_shared<const std::string>(reinterpret_cast<const char*>(data), size);
    const std::shared_ptr<const ScriptAnalysis> analysis = analyseScript(text);
    checkOutline(*text, analysis->outline);
    // However a text is cut into parts, read at once they make what one reading does.
    for (std::size_t parts = 2; parts <= 4; ++parts)
        FUZZ_CHECK(readScript(*text, parts) == analysis->outline, "a reading in parts that differs from one whole");

    DeclaredNames siblings;
    siblings.addScript(*text, analysis->outline);
    checkFindings(*text, checkScript(*text, analysis->outline, siblings));

    // Carets at every quarter of the text and at its ends: each costs a completion of every
    // name, so more would leave the fuzzer few inputs a second. Random inputs move them about.
    const std::size_t step = size / 4 + 1;
    for (std::size_t caret = 0; caret <= size; caret += step) {
        checkAt(*text, caret, *analysis, siblings);
        checkEditingRules(*text, caret);
    }
    checkAt(*text, size, *analysis, siblings);
    checkFolds(*text, analysis->folds);

    // The same reading against the text after an edit: the first third cut out.
    const std::string edited = text->substr(size / 3);
    for (std::size_t caret = 0; caret <= edited.size(); caret += step)
        checkAt(edited, caret, *analysis, siblings);

    const std::shared_ptr<const Level> level = levelOf(text, std::make_shared<const std::string>(edited));
    for (std::size_t caret = 0; caret <= size; caret += step)
        checkLevelAt(*level, caret);
    checkLevelAt(*level, size);
    return 0;
}
