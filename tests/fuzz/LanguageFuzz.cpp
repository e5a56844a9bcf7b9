// Any bytes through the reading, the check, completion and hints, at carets spread over the
// text, both from a reading of the text itself and from one of an earlier revision of it.

#include "FuzzCheck.h"

#include "language/Completion.h"
#include "language/DeclaredNames.h"
#include "language/ScriptChecker.h"
#include "language/ScriptHints.h"
#include "language/ScriptReader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto text = std::make_shared<const std::string>(reinterpret_cast<const char*>(data), size);
    const std::shared_ptr<const ScriptAnalysis> analysis = analyseScript(text);
    checkOutline(*text, analysis->outline);

    DeclaredNames siblings;
    siblings.addScript(*text, analysis->outline);
    checkFindings(*text, checkScript(*text, analysis->outline, siblings));

    // Carets at every quarter of the text and at its ends: each costs a completion of every
    // name, so more would leave the fuzzer few inputs a second. Random inputs move them about.
    const std::size_t step = size / 4 + 1;
    for (std::size_t caret = 0; caret <= size; caret += step)
        checkAt(*text, caret, *analysis, siblings);
    checkAt(*text, size, *analysis, siblings);

    // The same reading against the text after an edit: the first third cut out.
    const std::string edited = text->substr(size / 3);
    for (std::size_t caret = 0; caret <= edited.size(); caret += step)
        checkAt(edited, caret, *analysis, siblings);
    return 0;
}
