#include "ScriptEditorHarness.h"

#include "editor/ScriptLexer.h"
#include "support/EditorProbe.h"

#include <gtest/gtest.h>

namespace {

using probe::runs;

// A script loaded whole, for inspection.
struct Loaded {
    explicit Loaded(std::string_view fileBytes) { harness.load(fileBytes); }
    std::string text() { return harness.text(); }
    std::vector<TokenKind> kinds() { return harness.kinds(); }

    ScriptEditorHarness harness;
};

TEST(Formatting, KeywordsAndCommandsTakeTheirListsLetterCase)
{
    Loaded typed("FUNC AI2_SPAWN ai2_debug_showsettingids");
    EXPECT_EQ(typed.text(), "func ai2_spawn ai2_debug_showsettingIDs");
    EXPECT_EQ(typed.kinds(), runs({{4, kKeyword}, {1, kGap}, {9, kCommand}, {1, kGap}, {24, kCommand}}));
}

TEST(Formatting, CaseIsCorrectedWordByWord)
{
    EXPECT_EQ(Loaded("func FUNC Func\r\nIF x iF").text(), "func func func\r\nif x if");
}

TEST(Formatting, CharacterNamesMatchWithTheirCaseAndAreNeverRewritten)
{
    Loaded names("Barabus barabus BARABUS");
    EXPECT_EQ(names.text(), "Barabus barabus BARABUS");
    EXPECT_EQ(names.kinds(), runs({{7, kCharacter}, {1, kGap}, {7, kCharacter}, {8, kGap}}));
}

TEST(Formatting, OperatorsTakeTheKeywordStyle)
{
    EXPECT_EQ(Loaded("x = 5;").kinds(), runs({{2, kGap}, {1, kKeyword}, {1, kGap}, {1, kNumber}, {1, kGap}}));
    EXPECT_EQ(Loaded("if(a){}").kinds(), runs({{2, kKeyword}, {1, kKeyword}, {1, kGap}, {3, kKeyword}}));
}

TEST(Formatting, StatementWithCommentIsCorrectedAndColoured)
{
    Loaded statement("VAR INT count = 10; # counter");
    EXPECT_EQ(statement.text(), "var int count = 10; # counter");
    EXPECT_EQ(statement.kinds(), runs({{3, kKeyword}, {1, kGap}, {3, kKeyword}, {7, kGap}, {1, kKeyword}, {1, kGap},
                                       {2, kNumber}, {2, kGap}, {9, kComment}}));
}

TEST(Formatting, NumbersTakeWhatStringToDoubleTakes)
{
    EXPECT_EQ(Loaded("12abc").kinds(), runs({{2, kNumber}, {3, kGap}}));
    EXPECT_EQ(Loaded("1.5.3").kinds(), runs({{3, kNumber}, {1, kGap}, {1, kNumber}}));
    EXPECT_EQ(Loaded("3d2 1.5e3 2E-7").kinds(), runs({{3, kNumber}, {1, kGap}, {5, kNumber}, {1, kGap}, {4, kNumber}}));
    EXPECT_EQ(Loaded("12e 4e+").kinds(), runs({{2, kNumber}, {2, kGap}, {1, kNumber}, {2, kGap}}));
    EXPECT_EQ(Loaded("-4 .5 +6").kinds(),
              runs({{1, kGap}, {1, kNumber}, {2, kGap}, {1, kNumber}, {2, kGap}, {1, kNumber}}));
    EXPECT_EQ(Loaded("7.;").kinds(), runs({{2, kNumber}, {1, kGap}}));
}

TEST(Formatting, DigitsInsideAWordStartNoNumber)
{
    EXPECT_EQ(Loaded("ai2_spawn").kinds(), runs({{9, kCommand}}));
    EXPECT_EQ(Loaded("_9lives").kinds(), runs({{7, kGap}}));
}

TEST(Formatting, CommentRunsToTheEndOfItsLineOnly)
{
    EXPECT_EQ(Loaded("# note\nfunc").kinds(), runs({{6, kComment}, {2, kGap}, {4, kKeyword}}));
    EXPECT_EQ(Loaded("# note\rfunc").kinds(), runs({{6, kComment}, {2, kGap}, {4, kKeyword}}));
    EXPECT_EQ(Loaded("x#y").kinds(), runs({{1, kGap}, {2, kComment}}));
    EXPECT_EQ(Loaded("\"a#b\"").kinds(), runs({{2, kGap}, {3, kComment}}));
    EXPECT_EQ(Loaded("# IF FUNC").text(), "# IF FUNC");
}

TEST(Formatting, QuotesAreGapText)
{
    EXPECT_EQ(Loaded("\"func\"").kinds(), runs({{1, kGap}, {4, kKeyword}, {1, kGap}}));
}

TEST(Formatting, BytesFromTheUpperHalfEndAWordAndAreGap)
{
    // Each of these code-page characters takes two bytes in the editor.
    Loaded accented("func\xE9IF caf\xE9");
    EXPECT_EQ(accented.text(), "func\xC3\xA9if caf\xC3\xA9");
    EXPECT_EQ(accented.kinds(), runs({{4, kKeyword}, {2, kGap}, {2, kKeyword}, {6, kGap}}));
    EXPECT_EQ(accented.harness.editor().script(), "func\xE9if caf\xE9");
}

TEST(Formatting, ZeroByteIsGapAndTheScanGoesOn)
{
    Loaded withNul(std::string("func\0IF 5", 9));
    EXPECT_EQ(withNul.text(), std::string("func\0if 5", 9));
    EXPECT_EQ(withNul.kinds(), runs({{4, kKeyword}, {1, kGap}, {2, kKeyword}, {1, kGap}, {1, kNumber}}));
}

TEST(Formatting, LineEndsBetweenTokensAreGap)
{
    EXPECT_EQ(Loaded("func\n\nif").kinds(), runs({{4, kKeyword}, {4, kGap}, {2, kKeyword}}));
}

TEST(Formatting, EachKindShowsInItsColourAndWeight)
{
    Loaded all("if x 5 # c\r\nai2_spawn Barabus");
    const TokenLook gap{QColor(0, 255, 0), false};
    const TokenLook keyword{QColor(0, 0, 255), true};
    const TokenLook command{QColor(0, 164, 0), true};
    const TokenLook comment{QColor(255, 255, 0), false};
    const TokenLook number{QColor(0, 164, 255), false};
    const TokenLook character{QColor(128, 255, 128), false};
    const std::vector<TokenLook> expected = {
        keyword, keyword, gap, gap, gap, number, gap, comment, comment, comment, gap, gap,
        command, command, command, command, command, command, command, command, command, gap,
        character, character, character, character, character, character, character,
    };
    EXPECT_EQ(probe::looks(all.harness.editor()), expected);

    ScriptEditor& editor = all.harness.editor();
    for (int style = 0; style < kTokenKindCount; ++style)
        EXPECT_EQ(editor.lexer()->paper(style), QColor(0, 0, 0)) << "style " << style;
}

} // namespace
