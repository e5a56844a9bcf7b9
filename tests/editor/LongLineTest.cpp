#include "ScriptEditorHarness.h"

#include "editor/ScriptLexer.h"
#include "language/Lexer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr auto kReach = long(kLineReach);

int styleAt(ScriptEditor& editor, long position)
{
    return int(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(position)));
}

void colourAll(ScriptEditor& editor)
{
    editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
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

TEST(LongLines, AreColouredAndCorrectedUpToTheirReachAndCutThere)
{
    ScriptEditorHarness harness;
    const std::string line = keywordLine(3 * kLineReach);
    harness.load(line + "\r\nFUNC");
    ScriptEditor& editor = harness.editor();
    colourAll(editor);

    const std::string text = harness.text();
    ASSERT_EQ(text.size(), line.size() + 6);
    EXPECT_EQ(text.substr(0, 10), "func func ");
    EXPECT_EQ(styleAt(editor, 0), int(TokenKind::Keyword));
    EXPECT_EQ(styleAt(editor, kReach - 5), int(TokenKind::Keyword));
    EXPECT_EQ(styleAt(editor, kReach), ScriptLexer::kCutStyle);
    EXPECT_EQ(styleAt(editor, kReach + 1), ScriptLexer::kUnreadStyle);
    EXPECT_EQ(styleAt(editor, long(line.size()) - 1), ScriptLexer::kUnreadStyle);
    // The next line is read as any other.
    EXPECT_EQ(text.substr(line.size() + 2), "func");
    EXPECT_EQ(styleAt(editor, long(line.size()) + 2), int(TokenKind::Keyword));
    EXPECT_FALSE(editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETVISIBLE, ScriptLexer::kUnreadStyle));

    // The unread rest is kept as it was, and saved so.
    EXPECT_EQ(editor.script().substr(2 * kLineReach, 10), line.substr(2 * kLineReach, 10));
}

TEST(LongLines, TypingPastTheReachChangesNothingButTheKeyTyped)
{
    ScriptEditorHarness harness;
    harness.load(std::string(2 * kLineReach, ' ') + "x");
    ScriptEditor& editor = harness.editor();
    harness.caretAt(kReach + 100);
    harness.typeText(QStringLiteral("IF "));
    colourAll(editor);
    EXPECT_EQ(harness.text().substr(kReach + 100, 3), "IF ");
    EXPECT_EQ(styleAt(editor, kReach + 100), ScriptLexer::kUnreadStyle);

    harness.caretAt(10);
    harness.typeText(QStringLiteral("IF "));
    colourAll(editor);
    EXPECT_EQ(harness.text().substr(10, 3), "if ");
    EXPECT_EQ(styleAt(editor, 10), int(TokenKind::Keyword));
    // The cut moved along with the text.
    EXPECT_EQ(styleAt(editor, kReach), ScriptLexer::kCutStyle);
    EXPECT_EQ(styleAt(editor, kReach - 1), int(TokenKind::Gap));
}

TEST(LongLines, ALineThatGrowsPastItsReachIsCutAndOneThatShrinksIsReadWhole)
{
    ScriptEditorHarness harness;
    harness.load(keywordLine(kLineReach - 10));
    ScriptEditor& editor = harness.editor();
    colourAll(editor);
    ASSERT_EQ(styleAt(editor, kReach - 12), int(TokenKind::Keyword));

    harness.caretAt(0);
    harness.typeText(QStringLiteral("aaaaaaaaaaaaaaaaaaaa"));
    colourAll(editor);
    EXPECT_EQ(styleAt(editor, kReach), ScriptLexer::kCutStyle);

    harness.select(0, 20);
    harness.key(Qt::Key_Delete);
    colourAll(editor);
    EXPECT_EQ(styleAt(editor, kReach - 12), int(TokenKind::Keyword));
    expectFreshlyFormatted(harness);
}

TEST(LongLines, EnterSplitsALongLineIntoLinesReadAnew)
{
    ScriptEditorHarness harness;
    const std::string line = keywordLine(kLineReach + 500);
    harness.load(line);
    ScriptEditor& editor = harness.editor();
    colourAll(editor);
    ASSERT_EQ(styleAt(editor, kReach), ScriptLexer::kCutStyle);

    harness.caretAt(kReach - 100);
    harness.key(Qt::Key_Return);
    colourAll(editor);
    expectFreshlyFormatted(harness);
    EXPECT_EQ(harness.text().size(), line.size() + 2);
}

// The unread rest is hidden from view, not from editing: what is selected goes, whatever part
// of a long line it holds.
TEST(LongLines, TheirUnreadRestIsDeletedCutAndTypedOverWithTheRest)
{
    ScriptEditorHarness harness;
    const std::string line = keywordLine(3 * kLineReach);
    harness.load("x\r\n" + line + "\r\ny");
    ScriptEditor& editor = harness.editor();
    colourAll(editor);
    const long lineStart = 3;
    const long lineEnd = lineStart + long(line.size());

    harness.select(lineStart + kReach + 10, lineEnd);
    harness.key(Qt::Key_Delete);
    EXPECT_EQ(harness.text().size(), std::size_t(3 + kReach + 10 + 3));

    harness.load("x\r\n" + line + "\r\ny");
    colourAll(editor);
    harness.select(0, long(harness.text().size()));
    harness.typeText(QStringLiteral("z"));
    EXPECT_EQ(harness.text().size(), 1u);

    harness.load(line);
    colourAll(editor);
    harness.caretAt(long(line.size()));
    harness.key(Qt::Key_Backspace);
    EXPECT_EQ(harness.text().size(), line.size() - 1);
    harness.caretAt(kReach + 100);
    harness.key(Qt::Key_Delete);
    EXPECT_EQ(harness.text().size(), line.size() - 2);
    // What an edit made editable is hidden again once it is done.
    colourAll(editor);
    EXPECT_EQ(styleAt(editor, kReach + 99), ScriptLexer::kUnreadStyle);
    harness.select(5, long(harness.text().size()) - 5);
    editor.cut();
    EXPECT_EQ(harness.text().size(), 10u);
}

} // namespace
