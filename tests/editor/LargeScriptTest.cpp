#include "ScriptEditorHarness.h"
#include "support/EditorProbe.h"

#include <QAccessible>
#include <QApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <string>

namespace {

// The kinds of [from, to) as the editor colours them, without colouring the rest.
std::vector<TokenKind> kindsBetween(ScriptEditor& editor, long from, long to)
{
    probe::colour(editor, from, to);
    std::vector<TokenKind> kinds;
    for (long p = from; p < to; ++p)
        kinds.push_back(TokenKind(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(p))));
    return kinds;
}

// Accessibility as it runs while a screen reader listens.
struct ActiveAccessibility {
    ActiveAccessibility() { QAccessible::setActive(true); }
    ~ActiveAccessibility() { QAccessible::setActive(false); }
    ActiveAccessibility(const ActiveAccessibility&) = delete;
    ActiveAccessibility& operator=(const ActiveAccessibility&) = delete;
};

TEST(LargeScript, AKeystrokeInTheMiddleCorrectsItsLineAndLeavesTheRest)
{
    const std::string block = "func main()\r\n{\r\n\tchr_teleport Barabus 12 # go\r\n}\r\n";
    std::string file;
    while (file.size() < 8u * 1024 * 1024)
        file += block;

    ScriptEditorHarness harness;
    harness.load(file);
    ScriptEditor& editor = harness.editor();
    ASSERT_EQ(editor.documentText().size(), file.size());

    // A screen reader reads the text as it asks for it, a line here and there; the keystrokes
    // below are told to it as they come.
    const ActiveAccessibility accessibility;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&editor);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
    ASSERT_NE(accessible->textInterface(), nullptr);
    int start = 0;
    int end = 0;
    EXPECT_EQ(accessible->textInterface()->textAtOffset(accessible->textInterface()->characterCount() - 2,
                                                        QAccessible::LineBoundary, &start, &end),
              QStringLiteral("}\r\n"));

    // The start of a "func" line near the middle.
    const auto middle = long(file.size() / 2 / block.size() * block.size());
    const auto at = std::size_t(middle);
    harness.caretAt(middle + 4);
    harness.typeText("X");
    harness.caretAt(middle);
    harness.typeText("IF ");
    // "funcX" back to "func".
    harness.caretAt(middle + 7);
    harness.key(Qt::Key_Delete);

    const std::string_view text = editor.documentText();
    ASSERT_EQ(text.size(), file.size() + 3);
    EXPECT_EQ(text.substr(at, block.size() + 3), "if " + block);
    EXPECT_TRUE(text.substr(0, at) == std::string_view(file).substr(0, at));
    EXPECT_TRUE(text.substr(at + 3) == std::string_view(file).substr(at));
    EXPECT_EQ(kindsBetween(editor, middle, middle + 14), kindsAfresh(text.substr(at, 14)));

    // Each keystroke is a step of its own.
    editor.undo();
    EXPECT_EQ(editor.documentText().substr(at, 8), "if funcX");
    editor.undo();
    EXPECT_EQ(editor.documentText().substr(at, 7), "IFfuncX");
    for (int i = 0; i < 3; ++i)
        editor.undo();
    EXPECT_FALSE(editor.isModified());
    EXPECT_TRUE(editor.documentText() == file);
}

// After a jump to the end of a long script the editor colours a stretch at a time, as it paints
// and idles: the lines in view come out coloured all the same, and sooner than the whole text.
TEST(LargeScript, AFarJumpIsColouredAStretchAtATimeUpToTheLinesInView)
{
    const std::string block = "func main()\r\n{\r\n\tchr_teleport Barabus 12 # go\r\n}\r\n";
    std::string file;
    while (file.size() < 4u * 1024 * 1024)
        file += block;

    ScriptEditorHarness harness({.show = true});
    harness.load(file);
    ScriptEditor& editor = harness.editor();
    const long length = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(length));
    const long shown = editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                            static_cast<unsigned long>(editor.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE)));
    const auto styled = [&] { return editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED); };
    editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, length);
    EXPECT_LT(styled(), shown);

    QDeadlineTimer deadline(20000);
    while (styled() < length && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_GE(styled(), shown);
    const auto lastBlock = std::size_t(length) - block.size();
    std::vector<TokenKind> kinds;
    for (auto p = long(lastBlock); p < length; ++p)
        kinds.push_back(TokenKind(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(p))));
    EXPECT_EQ(kinds, kindsAfresh(std::string_view(file).substr(lastBlock)));
}

} // namespace
