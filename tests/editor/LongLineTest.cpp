#include "ScriptEditorHarness.h"
#include "support/EditorProbe.h"

#include "editor/ScriptLexer.h"
#include "language/LineCuts.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr auto kReach = long(kLineReach);
constexpr auto kMark = long(LineCuts::kMarkBytes);

int styleAt(ScriptEditor& editor, long position)
{
    return int(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(position)));
}

void colourAll(ScriptEditor& editor)
{
    probe::colour(editor);
}

std::string scriptText(ScriptEditor& editor)
{
    return *editor.snapshot();
}

// "func " over and over, so that every word is a keyword, to a line of `bytes`.
std::string keywordLine(std::size_t bytes)
{
    std::string line;
    while (line.size() < bytes)
        line += "FUNC ";
    line.resize(bytes);
    return line;
}

TEST(LongLines, AreHeldCutAtTheirReachAndSavedWhole)
{
    ScriptEditorHarness harness;
    const std::string line = keywordLine(3 * kLineReach);
    const std::string file = line + "\r\nFUNC";
    harness.load(file);
    ScriptEditor& editor = harness.editor();
    colourAll(editor);

    const std::string shown = harness.text();
    ASSERT_EQ(shown.size(), std::size_t(kReach + kMark + 6));
    EXPECT_EQ(shown.substr(0, 10), "func func ");
    EXPECT_TRUE(LineCuts::isMarkAt(shown, kLineReach));
    EXPECT_EQ(styleAt(editor, 0), int(TokenKind::Keyword));
    EXPECT_EQ(styleAt(editor, kReach - 5), int(TokenKind::Keyword));
    EXPECT_EQ(styleAt(editor, kReach), ScriptLexer::kCutStyle);
    // The next line is read as any other.
    EXPECT_EQ(shown.substr(kReach + kMark + 2), "func");
    EXPECT_EQ(styleAt(editor, kReach + kMark + 2), int(TokenKind::Keyword));
    EXPECT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT), 2);

    // The rest is kept as it was: saved so, and read so by the check; only what is shown is
    // case-corrected.
    const std::string saved = editor.script();
    EXPECT_EQ(saved.substr(kLineReach, 2 * kLineReach), line.substr(kLineReach));
    EXPECT_EQ(saved.substr(line.size()), "\r\nfunc");
    EXPECT_EQ(scriptText(editor), saved);
    EXPECT_FALSE(editor.isModified());
}

TEST(LongLines, MapPositionsBetweenTheScriptAndTheEditor)
{
    ScriptEditorHarness harness;
    harness.load("a\r\n" + std::string(kLineReach + 500, 'x') + "\r\nb");
    ScriptEditor& editor = harness.editor();
    const long mark = 3 + kReach;
    EXPECT_EQ(editor.shownPosition(2), 2);
    EXPECT_EQ(editor.shownPosition(std::size_t(mark - 1)), mark - 1);
    bool inRest = false;
    EXPECT_EQ(editor.shownPosition(std::size_t(mark + 20), &inRest), mark);
    EXPECT_TRUE(inRest);
    const std::size_t b = scriptText(editor).rfind('b');
    EXPECT_EQ(editor.shownPosition(b, &inRest), long(harness.text().rfind('b')));
    EXPECT_FALSE(inRest);
    EXPECT_EQ(editor.scriptOffset(long(harness.text().rfind('b'))), b);
}

TEST(LongLines, TypingInFrontOfTheCutGrowsTheLineUntilItIsCutAgain)
{
    ScriptEditorHarness harness;
    const std::string line = std::string(2 * kLineReach, ' ') + "x";
    harness.load(line);
    ScriptEditor& editor = harness.editor();
    harness.caretAt(10);
    harness.typeText(QStringLiteral("IF "));
    colourAll(editor);
    EXPECT_EQ(harness.text().substr(10, 3), "if ");
    EXPECT_EQ(styleAt(editor, 10), int(TokenKind::Keyword));
    EXPECT_EQ(styleAt(editor, kReach + 3), ScriptLexer::kCutStyle);
    EXPECT_EQ(scriptText(editor), line.substr(0, 10) + "if " + line.substr(10));

    // A line that outgrows what the editor holds is cut at its reach again.
    const std::string more(std::size_t(kReach), 'y');
    {
        ScriptEditor::EditStep step(editor);
        editor.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 20UL, more.c_str());
    }
    EXPECT_LE(harness.text().size(), LineCuts::kLongestShownLine);
    EXPECT_TRUE(LineCuts::isMarkAt(harness.text(), kLineReach));
    const std::string expected = line.substr(0, 10) + "if " + line.substr(10, 7) + more + line.substr(17);
    EXPECT_EQ(scriptText(editor), expected);

    // Typing at the line's end, behind the mark, goes behind the rest.
    harness.caretAt(long(harness.text().size()));
    harness.typeText(QStringLiteral("z"));
    EXPECT_EQ(scriptText(editor), expected + "z");
}

TEST(LongLines, DeleteAndBackspaceAtTheMarkTakeOneCharacterOfTheRest)
{
    ScriptEditorHarness harness;
    const std::string line = std::string(kLineReach, 'a') + "b\xC3\xA9" "cd" + std::string(kLineReach, 'e') + "\xE2\x82\xAC";
    harness.load(std::string(kLineReach, 'a') + "b\xE9" "cd" + std::string(kLineReach, 'e') + "\x80");
    ScriptEditor& editor = harness.editor();
    ASSERT_EQ(scriptText(editor), line);

    harness.caretAt(kReach);
    harness.key(Qt::Key_Delete);
    harness.key(Qt::Key_Delete);
    EXPECT_EQ(scriptText(editor), std::string(kLineReach, 'a') + "cd" + std::string(kLineReach, 'e') + "\xE2\x82\xAC");
    EXPECT_EQ(harness.caret(), kReach);

    harness.caretAt(kReach + kMark);
    harness.key(Qt::Key_Backspace);
    EXPECT_EQ(scriptText(editor), std::string(kLineReach, 'a') + "cd" + std::string(kLineReach, 'e'));
    EXPECT_EQ(harness.caret(), kReach + kMark);

    // Each key is its own undo step.
    editor.undo();
    editor.undo();
    editor.undo();
    EXPECT_EQ(scriptText(editor), line);
    EXPECT_FALSE(editor.isModified());
}

TEST(LongLines, WhatIsSelectedGoesWithTheWholeRestAndComesBackOnUndo)
{
    ScriptEditorHarness harness;
    const std::string text = "x\r\n" + keywordLine(3 * kLineReach) + "\r\ny";
    harness.load(text);
    ScriptEditor& editor = harness.editor();
    const std::string original = scriptText(editor);

    harness.select(3 + kReach - 10, 3 + kReach + kMark);
    harness.key(Qt::Key_Delete);
    EXPECT_EQ(scriptText(editor), original.substr(0, 3 + kReach - 10) + "\r\ny");
    editor.undo();
    EXPECT_EQ(scriptText(editor), original);

    harness.select(0, long(harness.text().size()));
    harness.typeText(QStringLiteral("z"));
    EXPECT_EQ(scriptText(editor), "z");
    editor.undo();
    EXPECT_EQ(scriptText(editor), original);
    editor.redo();
    EXPECT_EQ(scriptText(editor), "z");
}

TEST(LongLines, CopyGivesTheWholeLineAndPasteCutsItInOneStep)
{
    ScriptEditorHarness harness;
    const std::string line = std::string(3 * kLineReach, 'q');
    harness.load("a " + line + " b");
    ScriptEditor& editor = harness.editor();
    harness.select(0, long(harness.text().size()));
    editor.copy();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "a " + line + " b");

    harness.load("one\r\ntwo");
    harness.caretAt(3);
    editor.paste();
    EXPECT_EQ(scriptText(editor), "one" + std::string("a ") + line + " b\r\ntwo");
    EXPECT_LE(harness.text().size(), LineCuts::kLongestShownLine);
    EXPECT_EQ(harness.caret(), long(harness.text().find("\r\n")));
    editor.undo();
    EXPECT_EQ(scriptText(editor), "one\r\ntwo");
}

TEST(LongLines, EnterSplitsALongLineAndTheRestStaysWithItsSecondPart)
{
    ScriptEditorHarness harness;
    const std::string line = keywordLine(kLineReach + 500);
    harness.load(line);
    ScriptEditor& editor = harness.editor();
    const std::string original = scriptText(editor);
    harness.caretAt(kReach - 100);
    harness.key(Qt::Key_Return);
    EXPECT_EQ(scriptText(editor), original.substr(0, kLineReach - 100) + "\r\n" + original.substr(kLineReach - 100));
    colourAll(editor);
    EXPECT_EQ(styleAt(editor, kReach + 2), ScriptLexer::kCutStyle);
}

} // namespace
