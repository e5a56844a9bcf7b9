#include "ScriptEditorHarness.h"

#include "support/EditorProbe.h"
#include "support/InputEvents.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

using probe::runs;

TEST(Tracking, TypingRecoloursTheWordAsItGrows)
{
    ScriptEditorHarness harness;
    harness.load("x = 1\n");
    harness.caretAt(7);
    harness.typeText(" i");
    EXPECT_EQ(harness.kinds().at(8), kGap);
    harness.typeText("f");
    EXPECT_EQ(harness.kinds().at(8), kKeyword);
    EXPECT_EQ(harness.kinds().at(9), kKeyword);
    harness.typeText("x");
    EXPECT_EQ(harness.kinds(), runs({{2, kGap}, {1, kKeyword}, {1, kGap}, {1, kNumber}, {6, kGap}}));
}

TEST(Tracking, TypedKeywordsAndCommandsAreCorrected)
{
    ScriptEditorHarness harness;
    harness.typeText("FUNC AI2_SPAWN BARABUS ");
    EXPECT_EQ(harness.text(), "func ai2_spawn BARABUS ");
    EXPECT_EQ(harness.kinds(), runs({{4, kKeyword}, {1, kGap}, {9, kCommand}, {9, kGap}}));
}

TEST(Tracking, TypingOverThreeLinesJoinsThemAndRecolours)
{
    ScriptEditorHarness harness;
    harness.load("zero\nif one\ntwo\nthree if\nfour");
    // From "one" up to the last "e" of "three".
    harness.select(9, 23);
    harness.typeText("f");
    EXPECT_EQ(harness.text(), "zero\r\nif fe if\r\nfour");
    EXPECT_EQ(harness.kinds(), runs({{6, kGap}, {2, kKeyword}, {4, kGap}, {2, kKeyword}, {6, kGap}}));
}

TEST(Tracking, PastingThreeLinesCorrectsAndRecoloursThemAll)
{
    ScriptEditorHarness harness;
    harness.load("a\nb\nc");
    QGuiApplication::clipboard()->setText("IF\r\nfunc\nVAR ");
    harness.caretAt(3);
    harness.editor().paste();
    EXPECT_EQ(harness.text(), "a\r\nif\r\nfunc\r\nvar b\r\nc");
    EXPECT_EQ(harness.kinds(), runs({{3, kGap}, {2, kKeyword}, {2, kGap}, {4, kKeyword}, {2, kGap}, {3, kKeyword},
                                     {4, kGap}, {1, kGap}}));
    expectFreshlyFormatted(harness);
}

TEST(Tracking, BackspaceAtALineStartJoinsTheLines)
{
    ScriptEditorHarness harness;
    harness.load("FU\nNC");
    harness.caretAt(4);
    harness.key(Qt::Key_Backspace);
    EXPECT_EQ(harness.text(), "func");
    EXPECT_EQ(harness.kinds(), runs({{4, kKeyword}}));
}

TEST(Tracking, DeleteJoinsLinesToo)
{
    ScriptEditorHarness harness;
    harness.load("VA\nR x");
    harness.caretAt(2);
    harness.key(Qt::Key_Delete);
    EXPECT_EQ(harness.text(), "var x");
    EXPECT_EQ(harness.kinds(), runs({{3, kKeyword}, {2, kGap}}));
}

TEST(Tracking, DeletingPartOfAWordMakesItAWord)
{
    ScriptEditorHarness harness;
    harness.load("IFX = 1");
    EXPECT_EQ(harness.text(), "IFX = 1");
    harness.caretAt(3);
    harness.key(Qt::Key_Backspace);
    EXPECT_EQ(harness.text(), "if = 1");
    EXPECT_EQ(harness.kinds(), runs({{2, kKeyword}, {1, kGap}, {1, kKeyword}, {1, kGap}, {1, kNumber}}));
}

TEST(Tracking, ACommentCharacterColoursTheRestOfItsLineOnly)
{
    ScriptEditorHarness harness;
    harness.load("x if 5\r\nfunc");
    harness.caretAt(1);
    harness.typeText("#");
    EXPECT_EQ(harness.kinds(), runs({{1, kGap}, {6, kComment}, {2, kGap}, {4, kKeyword}}));
    harness.key(Qt::Key_Backspace);
    EXPECT_EQ(harness.kinds(), runs({{2, kGap}, {2, kKeyword}, {1, kGap}, {1, kNumber}, {2, kGap}, {4, kKeyword}}));
}

TEST(Tracking, DeletingTheSelectionAndUndoingIt)
{
    ScriptEditorHarness harness;
    harness.load("if\nelse\nfork");
    harness.select(4, 8);
    harness.editor().deleteSelection();
    EXPECT_EQ(harness.text(), "if\r\n\r\nfork");
    EXPECT_EQ(harness.kinds(), runs({{2, kKeyword}, {4, kGap}, {4, kKeyword}}));
    EXPECT_TRUE(harness.editor().isModified());

    harness.editor().undo();
    EXPECT_EQ(harness.text(), "if\r\nelse\r\nfork");
    expectFreshlyFormatted(harness);
    EXPECT_FALSE(harness.editor().isModified());
}

TEST(Tracking, DeletingTheSelectionJoinsWordsAndPutsThemInCase)
{
    ScriptEditorHarness harness;
    harness.load("FU x NC");
    harness.select(2, 5);
    harness.editor().deleteSelection();
    EXPECT_EQ(harness.text(), "func");
    harness.editor().undo();
    EXPECT_EQ(harness.text(), "FU x NC");

    // With nothing selected there is nothing to delete.
    harness.caretAt(2);
    harness.editor().deleteSelection();
    EXPECT_EQ(harness.text(), "FU x NC");
    EXPECT_FALSE(harness.editor().isUndoAvailable());
}

TEST(Tracking, MovingTextRecoloursWhereItLeftAndWhereItLands)
{
    ScriptEditorHarness harness;
    harness.load("var a\nfork b\nsleep c");
    // "fork" out of the second line, in front of the first.
    harness.select(7, 11);
    harness.editor().cut();
    harness.caretAt(0);
    harness.editor().paste();
    EXPECT_EQ(harness.text(), "forkvar a\r\n b\r\nsleep c");
    EXPECT_EQ(harness.kinds(), runs({{15, kGap}, {5, kKeyword}, {2, kGap}}));

    // And backwards: "FORK" from the front into the middle of the second line.
    harness.load("FORK a\nb x\nsleep c");
    EXPECT_EQ(harness.text(), "fork a\r\nb x\r\nsleep c");
    harness.select(0, 5);
    harness.editor().cut();
    harness.caretAt(5);
    harness.editor().paste();
    EXPECT_EQ(harness.text(), "a\r\nb fork x\r\nsleep c");
    EXPECT_EQ(harness.kinds(), runs({{5, kGap}, {4, kKeyword}, {4, kGap}, {5, kKeyword}, {2, kGap}}));
}

TEST(Tracking, WordsJoinedByACutArePutInCase)
{
    ScriptEditorHarness harness;
    harness.load("FO x RK");
    harness.select(2, 5);
    harness.editor().cut();
    EXPECT_EQ(harness.text(), "fork");

    QGuiApplication::clipboard()->setText("AI2_");
    harness.caretAt(0);
    harness.editor().paste();
    EXPECT_EQ(harness.text(), "AI2_fork");
    harness.select(4, 8);
    harness.typeText("SPAWN");
    EXPECT_EQ(harness.text(), "ai2_spawn");
    EXPECT_EQ(harness.kinds(), runs({{9, kCommand}}));

    harness.editor().undo();
    EXPECT_EQ(harness.text(), "AI2_SPAW");
    expectFreshlyFormatted(harness);
}

TEST(Tracking, ReplacingTheWholeTextCorrectsAndRecoloursAllOfIt)
{
    ScriptEditorHarness harness;
    harness.typeText("x");
    harness.load("FORK x\nSLEEP 5 # wait");
    EXPECT_EQ(harness.text(), "fork x\r\nsleep 5 # wait");
    expectFreshlyFormatted(harness);
    EXPECT_FALSE(harness.editor().isUndoAvailable());
    EXPECT_FALSE(harness.editor().isModified());

    harness.load("IF x\r\nfunc # c\r\n");
    EXPECT_EQ(harness.text(), "if x\r\nfunc # c\r\n");
    expectFreshlyFormatted(harness);
    EXPECT_FALSE(harness.editor().isUndoAvailable());
    EXPECT_EQ(harness.caret(), 0);
}

TEST(Keys, TabReplacesTheSelectionWithOneTab)
{
    ScriptEditorHarness harness;
    harness.load("if abc\nfunc");
    harness.select(3, 10);
    harness.key(Qt::Key_Tab);
    EXPECT_EQ(harness.text(), "if \tnc");
    harness.key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "if \t\tnc");
    expectFreshlyFormatted(harness);
}

TEST(Keys, TabOverWholeLinesDoesNotIndentThem)
{
    ScriptEditorHarness harness;
    harness.load("if\nelse\nfork");
    harness.select(0, 10);
    harness.key(Qt::Key_Tab);
    EXPECT_EQ(harness.text(), "\tfork");
}

TEST(Keys, TabStaysInTheEditor)
{
    ScriptEditorHarness harness({.show = true});
    auto* neighbour = new QLineEdit(harness.window());
    neighbour->show();
    harness.editor().setFocus();
    ASSERT_EQ(QApplication::focusWidget(), &harness.editor());
    harness.key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &harness.editor());
    EXPECT_EQ(harness.text(), "\t");
    harness.key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), &harness.editor());
    EXPECT_EQ(harness.text(), "\t\t");
}

TEST(Keys, EnterAndControlEnterStartANewLine)
{
    ScriptEditorHarness harness;
    harness.typeText("fu");
    harness.key(Qt::Key_Return);
    harness.key(Qt::Key_Enter, Qt::ControlModifier);
    harness.typeText("nc");
    EXPECT_EQ(harness.text(), "fu\r\n\r\nnc");
    EXPECT_EQ(harness.editor().SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, 6ul), 2);

    harness.select(0, 8);
    harness.key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "\r\n");
}

TEST(Keys, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    ScriptEditorHarness harness;
    harness.typeText(QString::fromUtf8("€ř"));
    QGuiApplication::clipboard()->setText(QString::fromUtf8("Ωé"));
    harness.editor().paste();
    QGuiApplication::clipboard()->setText(QString::fromUtf8("Š\u2028"));
    harness.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "\xE2\x82\xAC??\xC3\xA9\xC5\xA0?");
    EXPECT_EQ(harness.editor().script(), "\x80??\xE9\x8A?");
}

TEST(Keys, TextFromAnInputMethodIsPutInTheCodePageAndInCase)
{
    ScriptEditorHarness harness;
    harness.load("x");
    harness.caretAt(1);
    QInputMethodEvent compose;
    compose.setCommitString(QString::fromUtf8(" ΩFUNC é"));
    QApplication::sendEvent(&harness.editor(), &compose);
    EXPECT_EQ(harness.text(), "x ?func \xC3\xA9");
    harness.editor().undo();
    EXPECT_EQ(harness.text(), "x");
}

TEST(Mouse, DroppedTextIsPutInTheCodePageAndInCase)
{
    ScriptEditorHarness harness({.show = true});
    harness.load("");
    harness.drop(QString::fromUtf8("ΩIF x"), QPoint(5, 5));
    EXPECT_EQ(harness.text(), "?if x");
    harness.editor().undo();
    EXPECT_EQ(harness.text(), "");
}

TEST(Keys, CopyingLeavesTheTextAndUndoAlone)
{
    ScriptEditorHarness harness;
    harness.load("func main");
    harness.select(0, 4);
    harness.key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "func");
    harness.editor().copy();
    EXPECT_EQ(harness.text(), "func main");
    EXPECT_FALSE(harness.editor().isUndoAvailable());
    EXPECT_FALSE(harness.editor().isModified());
}

TEST(Undo, OneStepTakesBackAKeystrokeWithItsCaseCorrection)
{
    ScriptEditorHarness harness;
    harness.load("x = 1\n");
    harness.caretAt(7);
    harness.typeText("FUNC");
    EXPECT_EQ(harness.text(), "x = 1\r\nfunc");

    harness.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "x = 1\r\nFUN");
    expectFreshlyFormatted(harness);

    harness.key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "x = 1\r\nfunc");
    expectFreshlyFormatted(harness);

    harness.key(Qt::Key_Z, Qt::ControlModifier);
    harness.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(harness.text(), "x = 1\r\nfunc");

    // Back through all four keystrokes to the loaded text.
    for (int i = 0; i < 4; ++i)
        harness.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "x = 1\r\n");
    EXPECT_FALSE(harness.editor().isUndoAvailable());
    EXPECT_FALSE(harness.editor().isModified());
}

TEST(Undo, ColoursNeverBecomeUndoSteps)
{
    ScriptEditorHarness harness;
    harness.load("if x");
    harness.kinds();
    // Colour the text by hand, as nothing else would.
    ScriptEditor& editor = harness.editor();
    editor.SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, 0ul);
    editor.SendScintilla(QsciScintillaBase::SCI_SETSTYLING, 2ul, long(kComment));
    EXPECT_FALSE(editor.isUndoAvailable());
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(harness.kinds(), runs({{2, kKeyword}, {2, kGap}}));
    EXPECT_FALSE(editor.isUndoAvailable());
}

TEST(Undo, TabIsAStepOfItsOwn)
{
    ScriptEditorHarness harness;
    harness.typeText("if");
    harness.key(Qt::Key_Tab);
    EXPECT_EQ(harness.text(), "if\t");
    harness.editor().undo();
    EXPECT_EQ(harness.text(), "if");
    expectFreshlyFormatted(harness);
}

TEST(Undo, CutAndPasteAreOneStepEachWithTheirCorrection)
{
    ScriptEditorHarness harness;
    harness.load("FUN x C");
    harness.select(3, 6);
    harness.key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "func");
    harness.caretAt(4);
    harness.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "func x ");

    harness.editor().undo();
    EXPECT_EQ(harness.text(), "func");
    harness.editor().undo();
    EXPECT_EQ(harness.text(), "FUN x C");
    EXPECT_FALSE(harness.editor().isModified());
    harness.editor().redo();
    EXPECT_EQ(harness.text(), "func");
}

TEST(Mouse, ARightClickLeavesTheSelectionAlone)
{
    ScriptEditorHarness harness({.show = true});
    harness.load("func main()\r\nif x\r\n");
    harness.select(2, 6);
    QWidget* viewport = harness.editor().viewport();
    const QPoint farRight(viewport->width() - 5, viewport->height() - 5);
    input::MousePress(viewport, Qt::RightButton, farRight);
    EXPECT_EQ(harness.anchor(), 2);
    EXPECT_EQ(harness.caret(), 6);
}

} // namespace
