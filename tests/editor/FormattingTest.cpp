#include "ScriptEditorHarness.h"

#include "editor/WordLists.h"

#include <gtest/gtest.h>

namespace {

// Colours `text` as loaded whole and returns the harness for inspection.
struct Formatted {
    explicit Formatted(const std::string& text, ScriptEditorHarness::Options options = {})
        : harness(options)
    {
        harness.editor().SetWindowText(text);
    }
    std::string text() { return harness.text(); }
    std::vector<Look> looks() { return harness.looks(); }

    ScriptEditorHarness harness;
};

TEST(Formatting, KeywordsAndCommandsTakeTheirListsLetterCase)
{
    Formatted typed("FUNC AI2_SPAWN ai2_debug_showsettingids");
    EXPECT_EQ(typed.text(), "func ai2_spawn ai2_debug_showsettingIDs");
    EXPECT_EQ(typed.looks(), runs({{4, kKeyword}, {1, kGap}, {9, kCommand}, {1, kGap}, {24, kCommand}}));
}

TEST(Formatting, CharacterNamesMatchWithTheirCaseAndAreNeverRewritten)
{
    Formatted names("Barabus barabus BARABUS");
    EXPECT_EQ(names.text(), "Barabus barabus BARABUS");
    EXPECT_EQ(names.looks(), runs({{7, kCharacter}, {1, kGap}, {7, kCharacter}, {8, kGap}}));
}

TEST(Formatting, OperatorsTakeTheKeywordStyle)
{
    Formatted assignment("x = 5;");
    EXPECT_EQ(assignment.looks(), runs({{2, kGap}, {1, kKeyword}, {1, kGap}, {1, kNumber}, {1, kGap}}));

    Formatted call("if(a){}");
    EXPECT_EQ(call.looks(), runs({{2, kKeyword}, {1, kKeyword}, {1, kGap}, {3, kKeyword}}));
}

TEST(Formatting, StatementWithCommentIsCorrectedAndColoured)
{
    Formatted statement("VAR INT count = 10; # counter");
    EXPECT_EQ(statement.text(), "var int count = 10; # counter");
    EXPECT_EQ(statement.looks(), runs({{3, kKeyword}, {1, kGap}, {3, kKeyword}, {7, kGap}, {1, kKeyword},
                                       {1, kGap}, {2, kNumber}, {2, kGap}, {9, kComment}}));
}

TEST(Formatting, NumbersTakeWhatStringToDoubleTakes)
{
    EXPECT_EQ(Formatted("12abc").looks(), runs({{2, kNumber}, {3, kGap}}));
    EXPECT_EQ(Formatted("1.5.3").looks(), runs({{3, kNumber}, {1, kGap}, {1, kNumber}}));
    EXPECT_EQ(Formatted("3d2 1.5e3 2E-7").looks(),
              runs({{3, kNumber}, {1, kGap}, {5, kNumber}, {1, kGap}, {4, kNumber}}));
    EXPECT_EQ(Formatted("12e 4e+").looks(), runs({{2, kNumber}, {2, kGap}, {1, kNumber}, {2, kGap}}));
    EXPECT_EQ(Formatted("-4 .5 +6").looks(),
              runs({{1, kGap}, {1, kNumber}, {2, kGap}, {1, kNumber}, {2, kGap}, {1, kNumber}}));
    EXPECT_EQ(Formatted("7.;").looks(), runs({{2, kNumber}, {1, kGap}}));
}

TEST(Formatting, DigitsInsideAWordStartNoNumber)
{
    EXPECT_EQ(Formatted("ai2_spawn").looks(), runs({{9, kCommand}}));
    EXPECT_EQ(Formatted("_9lives").looks(), runs({{7, kGap}}));
}

TEST(Formatting, CommentRunsToTheEndOfItsLineOnly)
{
    Formatted note("# note\nfunc");
    EXPECT_EQ(note.looks(), runs({{6, kComment}, {1, kGap}, {4, kKeyword}}));

    Formatted glued("x#y");
    EXPECT_EQ(glued.looks(), runs({{1, kGap}, {2, kComment}}));

    Formatted quoted("\"a#b\"");
    EXPECT_EQ(quoted.looks(), runs({{2, kGap}, {3, kComment}}));
}

TEST(Formatting, QuotesAreGapText)
{
    Formatted quoted("\"func\"");
    EXPECT_EQ(quoted.looks(), runs({{1, kGap}, {4, kKeyword}, {1, kGap}}));
}

TEST(Formatting, BytesFromTheUpperHalfEndAWordAndAreGap)
{
    Formatted accented("func\xE9if caf\xE9");
    EXPECT_EQ(accented.text(), "func\xE9if caf\xE9");
    EXPECT_EQ(accented.looks(), runs({{4, kKeyword}, {1, kGap}, {2, kKeyword}, {5, kGap}}));
}

TEST(Formatting, ZeroByteIsGapAndTheScanGoesOn)
{
    Formatted withNul(std::string("func\0if 5", 9));
    EXPECT_EQ(withNul.text(), std::string("func\0if 5", 9));
    EXPECT_EQ(withNul.looks(), runs({{4, kKeyword}, {1, kGap}, {2, kKeyword}, {1, kGap}, {1, kNumber}}));
}

TEST(Formatting, NoCommentsBeforeTheCommentCharacterIsSet)
{
    Formatted plain("x # if", {.commentChar = '\x01'});
    EXPECT_EQ(plain.looks(), runs({{4, kGap}, {2, kKeyword}}));
}

TEST(Formatting, ParagraphEndsBetweenTokensAreGap)
{
    Formatted lines("func\n\nif");
    EXPECT_EQ(lines.looks(), runs({{4, kKeyword}, {2, kGap}, {2, kKeyword}}));
}

TEST(Formatting, APassOverCorrectColoursWritesNothing)
{
    Formatted script("func main()\n{\n\tchr_teleport Barabus 12 # go\n}\n");
    ObservedEditor& editor = script.harness.editor();
    const int textChanges = editor.textChanges;
    editor.styleChanges = 0;
    editor.FormatAll();
    editor.FormatLines(0, 5);
    EXPECT_EQ(editor.styleChanges, 0);
    EXPECT_EQ(editor.textChanges, textChanges);
}

TEST(Formatting, CaseIsCorrectedOnlyWhereItDiffers)
{
    Formatted script("func FUNC");
    EXPECT_EQ(script.text(), "func func");
    ObservedEditor& editor = script.harness.editor();
    editor.textChanges = 0;
    editor.FormatAll();
    EXPECT_EQ(editor.textChanges, 0);
}

TEST(Formatting, EmptyRangesAreLeftAlone)
{
    Formatted script("\n\nfunc");
    ObservedEditor& editor = script.harness.editor();
    editor.styleChanges = 0;
    editor.FormatLines(0, 0);
    editor.FormatRange(3, 3);
    editor.FormatRange(5, 2);
    EXPECT_EQ(editor.styleChanges, 0);
}

TEST(Formatting, FormatLinesCoversWholeLines)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetEventMask(0);
    editor.SetWindowText("if x\nfunc y\nvar z");
    editor.SetSel(0, -1);
    CHARFORMAT grey;
    grey.dwMask = CFM_COLOR | CFM_BOLD;
    grey.crTextColor = RGB(128, 128, 128);
    editor.SetSelectionCharFormat(grey);
    editor.FormatLines(7, 8);
    const Look greyLook{RGB(128, 128, 128), false};
    EXPECT_EQ(harness.looks(), runs({{5, greyLook}, {4, kKeyword}, {2, kGap}, {6, greyLook}}));
}

TEST(WordLookup, FindsTheBlankBeforeTheFirstMatchingEntry)
{
    CRichEdiT editor;
    editor.AddKeywords(" if Else if ");
    EXPECT_EQ(editor.FindKeyword("IF"), 0);
    EXPECT_EQ(editor.FindKeyword("else"), 3);
    EXPECT_EQ(editor.FindKeyword("els"), -1);
    editor.AddCharacterNames(" Barabus barabus ");
    EXPECT_EQ(editor.FindCharacterName("barabus"), 8);
    EXPECT_EQ(editor.FindCharacterName("BARABUS"), -1);
}

TEST(WordLookup, ListsNeedTheirFramingBlanks)
{
    CRichEdiT editor;
    editor.AddCommands("first  second last");
    EXPECT_EQ(editor.FindCommand("first"), -1);
    EXPECT_EQ(editor.FindCommand("second"), 6);
    EXPECT_EQ(editor.FindCommand("last"), -1);
    EXPECT_EQ(editor.FindCommand(""), 5);
    editor.AddCommands(" more ");
    EXPECT_EQ(editor.FindCommand("last"), 13);
    EXPECT_EQ(editor.FindCommand("more"), 18);
}

TEST(WordLookup, ArgumentsThatAreNoSingleWordAreSearchedPlainly)
{
    CRichEdiT editor;
    editor.AddKeywords(" for and or ne ");
    EXPECT_EQ(editor.FindKeyword("AND OR"), 4);
    EXPECT_EQ(editor.FindKeyword("or  ne"), -1);
}

TEST(WordLookup, EmptyListsFindNothing)
{
    const CRichEdiT editor;
    EXPECT_EQ(editor.FindKeyword("if"), -1);
    EXPECT_EQ(editor.FindCommand("if"), -1);
    EXPECT_EQ(editor.FindCharacterName("if"), -1);
}

TEST(WordLists, AreInstalledAsTheEditorHasAlwaysHadThem)
{
    EXPECT_EQ(kKeywordList.size(), 117u);
    EXPECT_EQ(kCommandList.size(), 3729u);
    EXPECT_NE(kCommandList.find("chr_freeze  ai2_passive"), std::string_view::npos);
    const std::string_view names = CharacterNameList();
    EXPECT_EQ(names.size(), 9836u);
    EXPECT_TRUE(names.starts_with(" A1_intro01 A1_intro02 B1_s_green01 new_dummy1 "));
    EXPECT_TRUE(names.ends_with(" end_guard_1 end_guard_2 Final_Thug_10 "));

    CRichEdiT editor;
    editor.AddCommands(kCommandList);
    editor.AddCharacterNames(CharacterNameList());
    // A repeated entry answers its first occurrence, as a plain search does.
    EXPECT_EQ(editor.FindCommand("ai2_showintersections"),
              static_cast<int>(kCommandList.find(" ai2_showintersections ")));
    EXPECT_EQ(editor.FindCommand("sound_music_volume"), static_cast<int>(kCommandList.find(" sound_music_volume ")));
    EXPECT_GE(editor.FindCharacterName("Griffin"), 0);
    EXPECT_GE(editor.FindCharacterName("griffin"), 0);
    EXPECT_EQ(editor.FindCommand("ai2_idle"), -1);
}

} // namespace
