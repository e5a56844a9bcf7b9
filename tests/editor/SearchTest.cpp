#include "ScriptEditorHarness.h"

#include "editor/ScriptSearch.h"
#include "language/Lexer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using script_search::Options;
using script_search::Result;

constexpr Options kAnyCase{};
constexpr Options kMatchCase{.matchCase = true};
constexpr Options kWholeWord{.wholeWord = true};

Result find(ScriptEditor& editor, const QString& text, Options options, bool forward)
{
    return findInEditor(editor, text, options, forward);
}

class ScriptSearch : public ::testing::Test {
protected:
    ScriptEditor& editor() { return harness.editor(); }

    std::pair<long, long> selection()
    {
        return {editor().SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART),
                editor().SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND)};
    }

    // The selection start after each of `times` searches from where the selection is.
    std::vector<long> startsFound(const QString& text, Options options, bool forward, int times)
    {
        std::vector<long> starts;
        for (int i = 0; i < times; ++i) {
            EXPECT_NE(find(editor(), text, options, forward), Result::NotFound);
            starts.push_back(selection().first);
        }
        return starts;
    }

    int replaceAll(const char* text, const char* replacement, Options options = kAnyCase)
    {
        return replaceAllInEditor(editor(), QString::fromUtf8(text), QString::fromUtf8(replacement), options);
    }

    ScriptEditorHarness harness;
};

TEST_F(ScriptSearch, FindsForwardFromTheSelectionInAnyLetterCaseAndWrapsFromTheEnd)
{
    harness.load("if a\r\nb IF\r\nIf");
    harness.caretAt(0);
    EXPECT_EQ(find(editor(), "if", kAnyCase, true), Result::Found);
    EXPECT_EQ(selection(), std::pair(0L, 2L));  // at the start of a line
    EXPECT_EQ(find(editor(), "if", kAnyCase, true), Result::Found);
    EXPECT_EQ(selection(), std::pair(8L, 10L));  // at the end of a line
    EXPECT_EQ(find(editor(), "if", kAnyCase, true), Result::Found);
    EXPECT_EQ(selection(), std::pair(12L, 14L));  // at the end of the text
    EXPECT_EQ(find(editor(), "if", kAnyCase, true), Result::FoundAfterWrap);
    EXPECT_EQ(selection(), std::pair(0L, 2L));
}

TEST_F(ScriptSearch, FindsBackwardBeforeTheSelectionAndWrapsFromTheStart)
{
    harness.load("if a\r\nb IF\r\nIf");
    harness.select(8, 10);
    EXPECT_EQ(find(editor(), "if", kAnyCase, false), Result::Found);
    EXPECT_EQ(selection(), std::pair(0L, 2L));
    EXPECT_EQ(find(editor(), "if", kAnyCase, false), Result::FoundAfterWrap);
    EXPECT_EQ(selection(), std::pair(12L, 14L));
    EXPECT_EQ(find(editor(), "if", kAnyCase, false), Result::Found);
    EXPECT_EQ(selection(), std::pair(8L, 10L));
}

TEST_F(ScriptSearch, RepeatedSearchesVisitEveryMatchOnceARound)
{
    harness.load("sleep 1\r\nfork x\r\n\tsleep 2 # sleep\r\nsleep");
    harness.caretAt(0);
    EXPECT_EQ(startsFound("sleep", kAnyCase, true, 5), (std::vector<long>{0, 18, 28, 35, 0}));
    EXPECT_EQ(startsFound("sleep", kAnyCase, false, 5), (std::vector<long>{35, 28, 18, 0, 35}));
    // A lone match is found again after going round.
    harness.caretAt(0);
    EXPECT_EQ(find(editor(), "fork", kAnyCase, true), Result::Found);
    EXPECT_EQ(find(editor(), "fork", kAnyCase, true), Result::FoundAfterWrap);
    EXPECT_EQ(selection(), std::pair(9L, 13L));
}

TEST_F(ScriptSearch, MatchCaseSkipsOtherLetterCases)
{
    harness.load("# Griffin griffin GRIFFIN griffin");
    harness.caretAt(0);
    EXPECT_EQ(startsFound("griffin", kMatchCase, true, 3), (std::vector<long>{10, 26, 10}));
    EXPECT_EQ(startsFound("griffin", kAnyCase, true, 4), (std::vector<long>{18, 26, 2, 10}));
}

TEST_F(ScriptSearch, WholeWordSkipsMatchesInsideLongerWords)
{
    harness.load("ai2_spawnall x\r\nai2_spawn A\r\nmy_ai2_spawn\r\n# AI2_SPAWN");
    harness.caretAt(0);
    EXPECT_EQ(startsFound("ai2_spawn", kWholeWord, true, 3), (std::vector<long>{16, 45, 16}));
    EXPECT_EQ(startsFound("ai2_spawn", kAnyCase, true, 4), (std::vector<long>{32, 45, 0, 16}));
    EXPECT_EQ(startsFound("ai2_spawn", {.matchCase = true, .wholeWord = true}, true, 2),
              (std::vector<long>{16, 16}));
}

TEST_F(ScriptSearch, NotFoundLeavesTheSelection)
{
    harness.load("func main()");
    harness.select(5, 9);
    EXPECT_EQ(find(editor(), "sleep", kAnyCase, true), Result::NotFound);
    EXPECT_EQ(find(editor(), "FUNC", kMatchCase, false), Result::NotFound);
    EXPECT_EQ(find(editor(), "mai", kWholeWord, true), Result::NotFound);
    EXPECT_EQ(find(editor(), "", kAnyCase, true), Result::NotFound);
    EXPECT_EQ(selection(), std::pair(5L, 9L));
}

TEST_F(ScriptSearch, FindsCodePageCharactersInTheEditorsText)
{
    // The file holds windows-1252 bytes: 0x80 is the euro sign, 0x93 and 0x94 the curved quotes,
    // 0xE9 an e with acute; the editor holds them as UTF-8.
    harness.load("dmsg \x93" "5 \x80\x94 # caf\xE9 CAF\xC9");
    harness.caretAt(0);
    EXPECT_EQ(find(editor(), QStringLiteral("\u20AC\u201D"), kAnyCase, true), Result::Found);
    EXPECT_EQ(selection(), std::pair(10L, 16L));
    EXPECT_EQ(find(editor(), QStringLiteral("\u201C"), kAnyCase, false), Result::Found);
    EXPECT_EQ(selection(), std::pair(5L, 8L));
    EXPECT_EQ(startsFound(QStringLiteral("caf\u00E9"), kAnyCase, true, 2), (std::vector<long>{19, 25}));
    EXPECT_EQ(startsFound(QStringLiteral("CAF\u00C9"), kMatchCase, true, 2), (std::vector<long>{25, 25}));
}

TEST_F(ScriptSearch, IgnoresTheCaseOfTheCodePagesLetters)
{
    // 0xC0-0xDE and 0x8A, 0x8C, 0x8E, 0x9F are the upper-case letters of the others.
    harness.load("# \xC0\xC9\xDE\x8A\x8C\x8E\x9F \xE0\xE9\xFE\x9A\x9C\x9E\xFF \xF7 \xD7");
    harness.caretAt(0);
    const QString lower = QStringLiteral("\u00E0\u00E9\u00FE\u0161\u0153\u017E\u00FF");
    EXPECT_EQ(startsFound(lower, kAnyCase, true, 3), (std::vector<long>{2, 17, 2}));
    EXPECT_EQ(startsFound(lower.toUpper(), {.matchCase = false, .wholeWord = true}, true, 2),
              (std::vector<long>{17, 2}));
    EXPECT_EQ(startsFound(lower, kMatchCase, true, 2), (std::vector<long>{17, 17}));
    // The division and multiplication signs sit among the letters but are not a pair.
    EXPECT_EQ(find(editor(), QStringLiteral("\u00F7"), kAnyCase, true), Result::Found);
    EXPECT_EQ(startsFound(QStringLiteral("\u00D7"), kAnyCase, true, 2), (std::vector<long>{35, 35}));
}

TEST_F(ScriptSearch, TextOutsideTheCodePageIsSoughtAsTypingItWouldPutIt)
{
    // Typing a character the code page lacks puts '?', and a line end is CR LF, whatever the kind.
    harness.load("a ? b\r\nc");
    harness.caretAt(0);
    EXPECT_EQ(find(editor(), QStringLiteral("\u0159"), kAnyCase, true), Result::Found);
    EXPECT_EQ(selection(), std::pair(2L, 3L));
    EXPECT_EQ(find(editor(), QStringLiteral("b\nc"), kAnyCase, true), Result::Found);
    EXPECT_EQ(selection(), std::pair(4L, 8L));
}

// What the editor does not show, the rest of a long line, is never found; and what was found in a
// text that changed since is not shown.
TEST_F(ScriptSearch, FindsOnlyWhatTheEditorShowsOfTheTextItSearched)
{
    harness.load(std::string(kLineReach, ' ') + "sleep\r\nsleep");
    harness.caretAt(0);
    EXPECT_EQ(find(editor(), "sleep", kAnyCase, true), Result::Found);
    EXPECT_EQ(selection().first, long(harness.text().rfind("sleep")));
    EXPECT_EQ(replaceAll("sleep", "fork"), 1);

    const script_search::Query query = script_search::query(editor(), "fork", kAnyCase, true);
    harness.typeText("x");
    EXPECT_EQ(script_search::show(editor(), query, TextMatcher::Found{0, false}), std::nullopt);
    EXPECT_EQ(script_search::replaceAll(editor(), query, {0}, 4, "y"), std::nullopt);
}

TEST_F(ScriptSearch, TheMatchFoundIsScrolledIntoView)
{
    ScriptEditorHarness shown({.show = true});
    std::string script;
    for (int line = 0; line < 400; ++line)
        script += line == 300 ? std::string(300, ' ') + "chr_teleport Barabus\r\n" : "sleep 1\r\n";
    shown.load(script);
    shown.caretAt(0);
    ScriptEditor& view = shown.editor();
    ASSERT_EQ(find(view, "barabus", kAnyCase, true), Result::Found);
    const long first = view.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long shownLines = view.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    EXPECT_LE(first, 300);
    EXPECT_GT(first + shownLines, 300);
    // Scrolled sideways as far as the match, which starts 313 characters in.
    EXPECT_GT(view.SendScintilla(QsciScintillaBase::SCI_GETXOFFSET), 0);
}

TEST_F(ScriptSearch, ReplaceSelectionReplacesOnlyAMatchAndPutsTheCaretAfterIt)
{
    harness.load("sleep 1\r\nsleepy 2");
    harness.select(0, 5);
    EXPECT_FALSE(script_search::replaceSelection(editor(), "Sleep", "fork", kMatchCase)) << "another letter case";
    harness.select(9, 14);
    EXPECT_FALSE(script_search::replaceSelection(editor(), "sleep", "fork", kWholeWord)) << "inside a word";
    harness.select(0, 4);
    EXPECT_FALSE(script_search::replaceSelection(editor(), "sleep", "fork", kAnyCase)) << "less than a match";
    harness.caretAt(0);
    EXPECT_FALSE(script_search::replaceSelection(editor(), "sleep", "fork", kAnyCase)) << "no selection";
    EXPECT_EQ(harness.text(), "sleep 1\r\nsleepy 2");
    EXPECT_FALSE(editor().isUndoAvailable());

    harness.select(14, 9);
    EXPECT_TRUE(script_search::replaceSelection(editor(), "SLEEP", "FORK", kAnyCase));
    EXPECT_EQ(harness.text(), "sleep 1\r\nFORKy 2");  // not a word of the lists
    EXPECT_EQ(selection(), std::pair(13L, 13L));
    harness.select(0, 5);
    EXPECT_TRUE(script_search::replaceSelection(editor(), "sleep", "FORK", kWholeWord));
    EXPECT_EQ(harness.text(), "fork 1\r\nFORKy 2");
    EXPECT_EQ(selection(), std::pair(4L, 4L));
    expectFreshlyFormatted(harness);

    harness.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "sleep 1\r\nFORKy 2");
}

TEST_F(ScriptSearch, ReplaceAllIsOneUndoStep)
{
    const std::string script = "func void a(string x)\r\n{\r\n\tsleep X\r\n\tchr_teleport x 12 # x\r\n}\r\n";
    harness.load(script);
    harness.select(3, 7);
    EXPECT_EQ(replaceAll("x", "Barabus", kWholeWord), 4);
    const std::string replaced =
        "func void a(string Barabus)\r\n{\r\n\tsleep Barabus\r\n\tchr_teleport Barabus 12 # Barabus\r\n}\r\n";
    EXPECT_EQ(harness.text(), replaced);
    EXPECT_TRUE(editor().isModified());

    harness.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), script);
    EXPECT_FALSE(editor().isUndoAvailable());
    EXPECT_FALSE(editor().isModified());
    harness.key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), replaced);
    expectFreshlyFormatted(harness);
}

TEST_F(ScriptSearch, ReplaceAllCorrectsTheCaseOfWhatItCreatesAndColoursIt)
{
    harness.load("xx main()\r\n{\r\n\tIF (a) { xx }\r\n\tchr_xx B\r\n}");
    EXPECT_EQ(replaceAll("xx", "FUNC"), 3);
    EXPECT_EQ(harness.text(), "func main()\r\n{\r\n\tif (a) { func }\r\n\tchr_FUNC B\r\n}");
    EXPECT_EQ(replaceAll("_func", "_TELEPORT"), 1);
    EXPECT_EQ(replaceAll("B", "\r\nBARABUS", kMatchCase), 1);
    EXPECT_EQ(harness.text(), "func main()\r\n{\r\n\tif (a) { func }\r\n\tchr_teleport \r\nBARABUS\r\n}");
    expectFreshlyFormatted(harness);

    // A word the replacement only completes, next to text it leaves alone, is corrected too.
    harness.load("SLE x EP");
    EXPECT_EQ(replaceAll(" x ", ""), 1);
    EXPECT_EQ(harness.text(), "sleep");
    expectFreshlyFormatted(harness);
}

TEST_F(ScriptSearch, ReplaceAllCountsEveryMatchOnceWhateverTheReplacementHolds)
{
    harness.load("a banana");
    EXPECT_EQ(replaceAll("a", "aa"), 4);
    EXPECT_EQ(harness.text(), "aa baanaanaa");
    EXPECT_EQ(replaceAll("aa", "a"), 4);
    EXPECT_EQ(harness.text(), "a banana");
    EXPECT_EQ(replaceAll("A", "", kAnyCase), 4);
    EXPECT_EQ(harness.text(), " bnn");
    EXPECT_EQ(replaceAll("n", ""), 2);
    EXPECT_EQ(replaceAll("b", ""), 1);
    EXPECT_EQ(harness.text(), " ");
    EXPECT_EQ(replaceAll(" ", ""), 1);
    EXPECT_EQ(harness.text(), "");
    EXPECT_EQ(replaceAll(" ", "x"), 0);
}

TEST_F(ScriptSearch, ReplaceAllTakesMatchesAtTheVeryStartAndEnd)
{
    harness.load("fork\r\nsleep fork\r\nfork");
    EXPECT_EQ(replaceAll("fork", "Sleep", kWholeWord), 3);
    EXPECT_EQ(harness.text(), "sleep\r\nsleep sleep\r\nsleep");
    EXPECT_EQ(replaceAll("sleep\r\n", "#"), 2);
    EXPECT_EQ(harness.text(), "#sleep #sleep");
    expectFreshlyFormatted(harness);
}

TEST_F(ScriptSearch, ReplaceAllDecidesWholeWordsOnTheTextAsItWas)
{
    // Replacing the first 'a-' by 'a' joins it to the second, which was a whole word before.
    harness.load("a-a- b");
    EXPECT_EQ(replaceAll("a-", "a", kWholeWord), 2);
    EXPECT_EQ(harness.text(), "aa b");
}

TEST_F(ScriptSearch, ReplaceAllPutsLineEndsAsCrLf)
{
    harness.load("a;b;c");
    EXPECT_EQ(replaceAll(";", "\n"), 2);
    EXPECT_EQ(harness.text(), "a\r\nb\r\nc");
    EXPECT_EQ(replaceAll("\r", " \r"), 2);
    EXPECT_EQ(harness.text(), "a \r\nb \r\nc");
    EXPECT_EQ(replaceAll(" \n", ""), 2);
    EXPECT_EQ(harness.text(), "abc");
}

TEST_F(ScriptSearch, NothingToReplaceLeavesNoUndoStep)
{
    harness.load("sleep 1");
    EXPECT_EQ(replaceAll("fork", "x"), 0);
    EXPECT_EQ(replaceAll("", "x"), 0);
    EXPECT_EQ(replaceAll("slee", "x", kWholeWord), 0);
    EXPECT_EQ(harness.text(), "sleep 1");
    EXPECT_FALSE(editor().isUndoAvailable());
    EXPECT_FALSE(editor().isModified());
}

} // namespace
