#include "ScriptEditorHarness.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace {

const Look kGrey{RGB(128, 128, 128), false};

// Gives [from, to) a look no pass would give, without the editor hearing of it.
void discolour(ObservedEditor& editor, long from, long to)
{
    const std::uint32_t mask = editor.SetEventMask(0);
    CHARRANGE saved;
    editor.GetSel(saved);
    editor.SetSel(from, to);
    CHARFORMAT grey;
    grey.dwMask = CFM_COLOR | CFM_BOLD;
    grey.crTextColor = kGrey.colour;
    editor.SetSelectionCharFormat(grey);
    editor.SetSel(saved);
    editor.SetEventMask(mask);
}

void expectFreshlyFormatted(ScriptEditorHarness& harness)
{
    const auto [text, looks] = ScriptEditorHarness::formattedAfresh(harness.text());
    EXPECT_EQ(harness.text(), text);
    EXPECT_EQ(harness.looks(), looks);
}

// Cuts `taken` and pastes it at `at` while the editor hears of neither change, selects
// `selected` (or leaves the caret after the paste), discolours everything, and only then
// delivers the two before-change notifications and the one change notification.
void MoveUnannounced(ObservedEditor& editor, CHARRANGE taken, long at, std::optional<CHARRANGE> selected = {})
{
    editor.SetEventMask(0);
    editor.SetSel(taken);
    editor.Cut();
    editor.SetSel(at, at);
    editor.Paste();
    if (selected)
        editor.SetSel(*selected);
    editor.SetEventMask(ENM_CHANGE | ENM_SELCHANGE | ENM_PROTECTED);
    discolour(editor, 0, editor.GetTextLength());

    editor.OnProtected({EditRequest::Cut, taken});
    editor.OnProtected({EditRequest::Paste, {static_cast<std::int32_t>(at), static_cast<std::int32_t>(at)}});
    editor.OnChange();
}

TEST(Tracking, TypingRecolourTheWordAsItGrows)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetWindowText("x = 1\n");
    editor.SetSel(5, 5);
    harness.typeText(" i");
    EXPECT_EQ(harness.looks().at(6), kGap);
    harness.typeText("f");
    EXPECT_EQ(harness.looks().at(6), kKeyword);
    EXPECT_EQ(harness.looks().at(7), kKeyword);
    harness.typeText("x");
    EXPECT_EQ(harness.looks(), runs({{2, kGap}, {1, kKeyword}, {1, kGap}, {1, kNumber}, {4, kGap}, {1, kGap}}));
}

TEST(Tracking, TypedKeywordsAndCommandsAreCorrected)
{
    ScriptEditorHarness harness;
    harness.typeText("FUNC AI2_SPAWN BARABUS ");
    EXPECT_EQ(harness.text(), "func ai2_spawn BARABUS ");
    EXPECT_EQ(harness.looks(), runs({{4, kKeyword}, {1, kGap}, {9, kCommand}, {9, kGap}}));
}

TEST(Tracking, TypingOverThreeLinesRecoloursFromTheirFirstLineToTheCaretsLine)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetWindowText("zero\nif one\ntwo\nthree if\nfour");
    discolour(editor, 0, editor.GetTextLength());
    editor.SetSel(8, 20);
    harness.typeText("f");
    EXPECT_EQ(harness.text(), "zero\rif fe if\rfour");
    EXPECT_EQ(harness.looks(), runs({{5, kGrey}, {2, kKeyword}, {4, kGap}, {2, kKeyword}, {5, kGrey}}));
}

TEST(Tracking, PastingThreeLinesRecoloursThemAll)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetWindowText("a\nb\nc");
    discolour(editor, 0, editor.GetTextLength());
    QGuiApplication::clipboard()->setText("if\r\nfunc\nvar ");
    editor.SetSel(2, 2);
    editor.Paste();
    EXPECT_EQ(harness.text(), "a\rif\rfunc\rvar b\rc");
    EXPECT_EQ(harness.looks(), runs({{2, kGrey}, {2, kKeyword}, {1, kGap}, {4, kKeyword}, {1, kGap}, {3, kKeyword},
                                     {2, kGap}, {2, kGrey}}));
}

TEST(Tracking, BackspaceAtALineStartRecoloursTheJoinedLine)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetWindowText("fu\nnc");
    editor.SetSel(3, 3);
    QTest::keyClick(harness.widget(), Qt::Key_Backspace);
    EXPECT_EQ(harness.text(), "func");
    EXPECT_EQ(harness.looks(), runs({{4, kKeyword}}));
}

TEST(Tracking, DeleteJoinsLinesToo)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetWindowText("VA\nR x");
    editor.SetSel(2, 2);
    QTest::keyClick(harness.widget(), Qt::Key_Delete);
    EXPECT_EQ(harness.text(), "var x");
    EXPECT_EQ(harness.looks(), runs({{3, kKeyword}, {2, kGap}}));
}

TEST(Tracking, ContextMenuDeleteAndUndoRecolourEverything)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetWindowText("if\nelse\nfork");
    discolour(editor, 0, editor.GetTextLength());
    editor.SetSel(3, 7);
    editor.Clear();
    EXPECT_EQ(harness.text(), "if\r\rfork");
    EXPECT_EQ(harness.looks(), runs({{2, kKeyword}, {2, kGap}, {4, kKeyword}}));

    discolour(editor, 0, editor.GetTextLength());
    EXPECT_TRUE(editor.Undo());
    EXPECT_EQ(harness.text(), "if\relse\rfork");
    expectFreshlyFormatted(harness);
}

TEST(Tracking, CutThenPasteWithoutANotificationBetweenIsAMove)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetWindowText("var a\nfork b\nsleep c");
    // "fork" out of the second line, in front of the first, and left selected.
    MoveUnannounced(editor, {6, 10}, 0, CHARRANGE{0, 4});

    EXPECT_EQ(harness.text(), "forkvar a\r b\rsleep c");
    // The moved text's line and the line it left; the rest stays as it was.
    EXPECT_EQ(harness.looks(), runs({{9, kGap}, {1, kGrey}, {2, kGap}, {8, kGrey}}));
    CHARRANGE selection;
    editor.GetSel(selection);
    EXPECT_EQ(selection.cpMin, 0);
    EXPECT_EQ(selection.cpMax, 4);
}

TEST(Tracking, MoveBackwardsRecoloursWhereTheTextLeft)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetWindowText("fork a\nb x\nsleep c");
    MoveUnannounced(editor, {0, 5}, 4, CHARRANGE{4, 9});

    EXPECT_EQ(harness.text(), "a\rb fork x\rsleep c");
    EXPECT_EQ(harness.looks(), runs({{1, kGap}, {1, kGrey}, {2, kGap}, {4, kKeyword}, {2, kGap}, {8, kGrey}}));
}

TEST(Tracking, CutThenPasteWithNothingSelectedIsAPaste)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetWindowText("fork a\nb\nsleep c");
    MoveUnannounced(editor, {0, 4}, 4);

    // As a paste it recolours from where the cut began to the caret's line.
    EXPECT_EQ(harness.text(), " a\rbfork\rsleep c");
    EXPECT_EQ(harness.looks(), runs({{8, kGap}, {8, kGrey}}));
}

TEST(Tracking, ReplacingTheWholeTextRecoloursAllOfIt)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetWindowText("FORK x\nSLEEP 5 # wait");
    EXPECT_EQ(harness.text(), "fork x\rsleep 5 # wait");
    expectFreshlyFormatted(harness);
    EXPECT_FALSE(editor.CanUndo());
}

TEST(Tracking, StreamedInTextIsRecolouredWhole)
{
    ScriptEditorHarness harness;
    struct Source {
        std::string bytes;
        std::size_t at = 0;
    } source{"IF x\r\nfunc # c\r\n"};
    EDITSTREAM stream;
    stream.dwCookie = reinterpret_cast<std::uintptr_t>(&source);
    stream.pfnCallback = [](std::uintptr_t cookie, std::uint8_t* buffer, long room, long* moved) -> std::uint32_t {
        auto* from = reinterpret_cast<Source*>(cookie);
        const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(room), from->bytes.size() - from->at);
        std::copy_n(from->bytes.data() + from->at, count, buffer);
        from->at += count;
        *moved = static_cast<long>(count);
        return 0;
    };
    harness.editor().StreamIn(SF_TEXT, stream);
    EXPECT_EQ(harness.text(), "if x\rfunc # c\r");
    expectFreshlyFormatted(harness);
    EXPECT_FALSE(harness.editor().CanUndo());
}

TEST(Keys, TabReplacesTheSelectionWithOneTab)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetWindowText("if abc\nfunc");
    editor.SetSel(3, 9);
    QTest::keyClick(harness.widget(), Qt::Key_Tab);
    EXPECT_EQ(harness.text(), "if \tnc");
    QTest::keyClick(harness.widget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "if \t\tnc");
    expectFreshlyFormatted(harness);
}

TEST(Keys, TabStaysInTheEditor)
{
    ScriptEditorHarness harness({.show = true});
    auto* neighbour = new QLineEdit(harness.widget()->parentWidget());
    neighbour->show();
    harness.widget()->setFocus();
    QTest::keyClick(harness.widget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), harness.widget());
    EXPECT_EQ(harness.text(), "\t");
    EXPECT_EQ(harness.editor().OnGetDlgCode(), 0x87u);
}

TEST(Keys, EnterAndControlEnterStartANewLine)
{
    ScriptEditorHarness harness;
    harness.typeText("fu");
    QTest::keyClick(harness.widget(), Qt::Key_Return);
    QTest::keyClick(harness.widget(), Qt::Key_Enter, Qt::ControlModifier);
    harness.typeText("nc");
    EXPECT_EQ(harness.text(), "fu\r\rnc");
    EXPECT_EQ(harness.editor().LineFromChar(5), 2);
}

TEST(Keys, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    ScriptEditorHarness harness;
    harness.typeText(QString::fromUtf8("€ř"));
    QGuiApplication::clipboard()->setText(QString::fromUtf8("Ωé"));
    harness.editor().Paste();
    EXPECT_EQ(harness.text(), "\x80?\?\xE9");
}

TEST(Undo, OneStepTakesBackAnEditWithItsCaseCorrection)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetWindowText("x = 1\n");
    editor.SetSel(6, 6);
    harness.typeText("FUNC");
    EXPECT_EQ(harness.text(), "x = 1\rfunc");

    // Each keystroke is a step; the last one takes its correction with it.
    QTest::keyClick(harness.widget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "x = 1\rFUN");
    expectFreshlyFormatted(harness);

    QTest::keyClick(harness.widget(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "x = 1\rfunc");
    expectFreshlyFormatted(harness);

    QTest::keyClick(harness.widget(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(harness.widget(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(harness.text(), "x = 1\rfunc");
}

TEST(Undo, ColoursNeverBecomeUndoSteps)
{
    ScriptEditorHarness harness;
    ObservedEditor& editor = harness.editor();
    editor.SetWindowText("if x");
    EXPECT_FALSE(editor.CanUndo());
    editor.FormatAll();
    discolour(editor, 0, 2);
    EXPECT_FALSE(editor.CanUndo());
}

TEST(Undo, TabIsAStepOfItsOwn)
{
    ScriptEditorHarness harness;
    harness.typeText("if");
    QTest::keyClick(harness.widget(), Qt::Key_Tab);
    EXPECT_EQ(harness.text(), "if\t");
    EXPECT_TRUE(harness.editor().Undo());
    EXPECT_EQ(harness.text(), "if");
    expectFreshlyFormatted(harness);
}

} // namespace
