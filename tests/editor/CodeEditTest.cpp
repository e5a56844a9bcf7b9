#include "ScriptEditorHarness.h"

#include "support/EditorProbe.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using probe::runs;

// Replaces every `found` (any letter case) by `replacement` the way a replace-all does it: one
// target after another, all inside one edit step.
int replaceByTarget(ScriptEditor& editor, std::string_view found, std::string_view replacement, bool wholeWords)
{
    ScriptEditor::EditStep step(editor);
    editor.SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, wholeWords ? QsciScintillaBase::SCFIND_WHOLEWORD : 0);
    int count = 0;
    long from = 0;
    for (;;) {
        editor.SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, static_cast<unsigned long>(from),
                             editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
        if (editor.SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, uintptr_t(found.size()),
                                 std::string(found).c_str()) < 0)
            return count;
        editor.SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, uintptr_t(replacement.size()),
                             std::string(replacement).c_str());
        from = editor.SendScintilla(QsciScintillaBase::SCI_GETTARGETEND);
        ++count;
    }
}

// The same through the component's find and replace calls.
int replaceByFind(ScriptEditor& editor, const QString& found, const QString& replacement, bool wholeWords)
{
    ScriptEditor::EditStep step(editor);
    int count = 0;
    if (editor.findFirst(found, false, false, wholeWords, false, true, 0, 0, false)) {
        do {
            editor.replace(replacement);
            ++count;
        } while (editor.findNext());
    }
    return count;
}

TEST(CodeEdits, AReplaceAllIsOneUndoStepWithItsCaseCorrection)
{
    ScriptEditorHarness harness;
    harness.load("x = 1\nif x\nfunc(x)");
    EXPECT_EQ(replaceByTarget(harness.editor(), "x", "VAR y", true), 3);
    EXPECT_EQ(harness.text(), "var y = 1\r\nif var y\r\nfunc(var y)");
    expectFreshlyFormatted(harness);
    EXPECT_TRUE(harness.editor().isModified());

    harness.editor().undo();
    EXPECT_EQ(harness.text(), "x = 1\r\nif x\r\nfunc(x)");
    EXPECT_FALSE(harness.editor().isUndoAvailable());
    EXPECT_FALSE(harness.editor().isModified());

    harness.editor().redo();
    EXPECT_EQ(harness.text(), "var y = 1\r\nif var y\r\nfunc(var y)");
}

TEST(CodeEdits, FindAndReplaceCallsAreCorrectedToo)
{
    ScriptEditorHarness harness;
    harness.load("if a\r\n# if b\r\nelse IF c");
    EXPECT_EQ(replaceByFind(harness.editor(), "if", "FORK", true), 3);
    EXPECT_EQ(harness.text(), "fork a\r\n# FORK b\r\nelse fork c");
    expectFreshlyFormatted(harness);
    harness.editor().undo();
    EXPECT_EQ(harness.text(), "if a\r\n# if b\r\nelse if c");

    // A found match replaced as the selection.
    {
        ScriptEditor::EditStep step(harness.editor());
        int line = 0;
        int index = 0;
        while (harness.editor().findFirst("a", false, false, false, false, true, line, index, false)) {
            harness.editor().replaceSelectedText("ELSE");
            harness.editor().getCursorPosition(&line, &index);
        }
    }
    EXPECT_EQ(harness.text(), "if else\r\n# if b\r\nelse if c");
    harness.editor().undo();
    EXPECT_EQ(harness.text(), "if a\r\n# if b\r\nelse if c");
}

TEST(CodeEdits, RemovingPartOfAWordCorrectsTheWordItLeaves)
{
    ScriptEditorHarness harness;
    harness.load("FU1NC x\r\nSLE1EP");
    EXPECT_EQ(replaceByTarget(harness.editor(), "1", "", false), 2);
    EXPECT_EQ(harness.text(), "func x\r\nsleep");
    EXPECT_EQ(harness.kinds(), runs({{4, kKeyword}, {4, kGap}, {5, kKeyword}}));
}

TEST(CodeEdits, AReplacementSpanningLinesIsCorrectedOnEachOfThem)
{
    ScriptEditorHarness harness;
    harness.load("a b\r\nc");
    EXPECT_EQ(replaceByTarget(harness.editor(), "b", "IF\r\nFUNC\r\nSLEEP", true), 1);
    EXPECT_EQ(harness.text(), "a if\r\nfunc\r\nsleep\r\nc");
    expectFreshlyFormatted(harness);
}

TEST(CodeEdits, NestedStepsAreOneStep)
{
    ScriptEditorHarness harness;
    harness.load("a\r\nb");
    {
        ScriptEditor::EditStep outer(harness.editor());
        replaceByTarget(harness.editor(), "a", "FUNC", true);
        replaceByFind(harness.editor(), "b", "ELSE", true);
        harness.editor().SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 0ul, "SLEEP ");
    }
    EXPECT_EQ(harness.text(), "sleep func\r\nelse");
    harness.editor().undo();
    EXPECT_EQ(harness.text(), "a\r\nb");
    EXPECT_FALSE(harness.editor().isUndoAvailable());
}

TEST(CodeEdits, AStepWithoutEditsLeavesNothingToUndo)
{
    ScriptEditorHarness harness;
    harness.load("if x");
    { ScriptEditor::EditStep step(harness.editor()); }
    EXPECT_EQ(replaceByTarget(harness.editor(), "y", "FUNC", true), 0);
    EXPECT_FALSE(harness.editor().isUndoAvailable());
    EXPECT_FALSE(harness.editor().isModified());
}

TEST(CodeEdits, TheSelectionStaysWhereTheCorrectionLeavesIt)
{
    ScriptEditorHarness harness;
    harness.load("x\r\ny");
    harness.select(0, 1);
    {
        ScriptEditor::EditStep step(harness.editor());
        harness.editor().replaceSelectedText(QStringLiteral("FUN"));
        harness.editor().SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 3ul, "C");
        harness.select(7, 6);
    }
    EXPECT_EQ(harness.text(), "func\r\ny");
    EXPECT_EQ(harness.anchor(), 7);
    EXPECT_EQ(harness.caret(), 6);
}

} // namespace
