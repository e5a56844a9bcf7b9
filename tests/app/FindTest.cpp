#include "app/FindDialog.h"
#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"
#include "support/MainWindowHarness.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using Selection = std::pair<long, long>;

const QString kWrappedAtTheEnd = QStringLiteral("Passed the end of the script; found from the start.");
const QString kWrappedAtTheStart = QStringLiteral("Passed the start of the script; found from the end.");

// Typed characters, each a key press that carries it.
void Type(QWidget* target, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &release);
    }
}

// The window that has the keyboard, as a click on it would make it.
class FindWindow : public ::testing::Test {
protected:
    FindWindow() { MakeActive(&main.window); }
    ~FindWindow() override { QToolTip::hideText(); }

    template <class Widget = QWidget>
    Widget* Find(const char* name) const
    {
        auto* found = main.window.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    FindDialog* Box() const { return Find<FindDialog>("FindDialog"); }
    QLineEdit* FindText() const { return Find<QLineEdit>("FindText"); }
    QLineEdit* ReplaceText() const { return Find<QLineEdit>("ReplaceText"); }
    QString Notice() const { return Find<QLabel>("Notice")->text(); }
    void Click(const char* button) const
    {
        Find<QPushButton>(button)->click();
        Settle();
    }

    // A key pressed where the main window's keyboard focus is: in the editor.
    void KeyInEditor(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        MakeActive(&main.window);
        main.editor()->setFocus();
        input::Key(main.editor(), key, modifiers);
        Settle();
    }

    void KeyInBox(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        input::Key(FindText(), key, modifiers);
        Settle();
    }

    // Searches run on a worker: what they find shows once the window hears back.
    void Settle() const
    {
        QElapsedTimer clock;
        clock.start();
        while (Box()->isSearching() && clock.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        EXPECT_FALSE(Box()->isSearching());
    }

    // Opens the find window with Ctrl+F and types `text` to find.
    void OpenToFind(const QString& text)
    {
        KeyInEditor(Qt::Key_F, Qt::ControlModifier);
        ASSERT_TRUE(Box()->isVisible());
        FindText()->clear();
        Type(FindText(), text);
    }

    FakeDesktopServices desktop;
    MainWindowUnderTest main;
};

TEST_F(FindWindow, CtrlFOpensItBesideAWindowThatStaysUsable)
{
    main.setEditorText("sleep 1\r\nfork x", 0, 0);
    EXPECT_FALSE(Box()->isVisible());
    KeyInEditor(Qt::Key_F, Qt::ControlModifier);

    ASSERT_TRUE(Box()->isVisible());
    EXPECT_FALSE(Box()->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Box()->focusWidget(), FindText());
    for (const char* name : {"FindText", "MatchCase", "WholeWord", "FindNext", "FindPrevious", "Close"})
        EXPECT_TRUE(Find(name)->isVisible()) << name;
    for (const char* name : {"ReplaceText", "Replace", "ReplaceAll"})
        EXPECT_FALSE(Find(name)->isVisible()) << name;
    EXPECT_EQ(main.editorText(), "sleep 1\r\nfork x") << "the shortcut typed into the editor";

    // The script goes on taking keys and clicks while the box is open.
    MakeActive(&main.window);
    main.editor()->setFocus();
    Type(main.editor(), QStringLiteral("if "));
    EXPECT_EQ(main.editorText(), "if sleep 1\r\nfork x");
    EXPECT_TRUE(Box()->isVisible());
}

TEST_F(FindWindow, CtrlHOpensItWithTheReplaceControls)
{
    KeyInEditor(Qt::Key_H, Qt::ControlModifier);
    ASSERT_TRUE(Box()->isVisible());
    for (const char* name : {"FindText", "ReplaceText", "Replace", "ReplaceAll", "FindNext"})
        EXPECT_TRUE(Find(name)->isVisible()) << name;
    EXPECT_EQ(main.editorText(), "");

    KeyInEditor(Qt::Key_F, Qt::ControlModifier);
    EXPECT_FALSE(ReplaceText()->isVisible());
    EXPECT_FALSE(Find("ReplaceAll")->isVisible());
}

TEST_F(FindWindow, TheSelectionWithinALineBecomesTheTextToFind)
{
    main.setEditorText("chr_teleport Barabus\r\nsleep 1", 13, 20);
    KeyInEditor(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(FindText()->text(), QStringLiteral("Barabus"));
    EXPECT_TRUE(FindText()->hasSelectedText()) << "typing replaces it";

    main.select(0, 3);
    KeyInEditor(Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(FindText()->text(), QStringLiteral("chr"));

    // Without a selection, or across lines, the last text stays.
    main.select(5, 5);
    KeyInEditor(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(FindText()->text(), QStringLiteral("chr"));
    main.select(13, 25);
    KeyInEditor(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(FindText()->text(), QStringLiteral("chr"));
}

TEST_F(FindWindow, EscapeClosesItAndNeverTheMainWindow)
{
    KeyInEditor(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(Box()->isVisible());
    input::Key(FindText(), Qt::Key_Escape);
    EXPECT_FALSE(Box()->isVisible());
    EXPECT_TRUE(main.window.isVisible());

    KeyInEditor(Qt::Key_Escape);
    EXPECT_TRUE(main.window.isVisible());

    KeyInEditor(Qt::Key_H, Qt::ControlModifier);
    Find<QCheckBox>("MatchCase")->setFocus();
    input::Key(Find("MatchCase"), Qt::Key_Escape);
    EXPECT_FALSE(Box()->isVisible());
    EXPECT_TRUE(main.window.isVisible());

    KeyInEditor(Qt::Key_F, Qt::ControlModifier);
    Click("Close");
    EXPECT_FALSE(Box()->isVisible());
    EXPECT_TRUE(main.window.isVisible());
}

TEST_F(FindWindow, FindNextAndPreviousSelectTheMatchAndSayWhenTheyWrap)
{
    main.setEditorText("if a\r\nb IF\r\n", 0, 0);
    OpenToFind(QStringLiteral("if"));
    Click("FindNext");
    EXPECT_EQ(main.editorSelection(), Selection(0, 2));
    EXPECT_EQ(Notice(), QString());
    Click("FindNext");
    EXPECT_EQ(main.editorSelection(), Selection(8, 10));
    Click("FindNext");
    EXPECT_EQ(main.editorSelection(), Selection(0, 2));
    EXPECT_EQ(Notice(), kWrappedAtTheEnd);
    Click("FindPrevious");
    EXPECT_EQ(main.editorSelection(), Selection(8, 10));
    EXPECT_EQ(Notice(), kWrappedAtTheStart);
    Click("FindPrevious");
    EXPECT_EQ(main.editorSelection(), Selection(0, 2));
    EXPECT_EQ(Notice(), QString());

    // Enter in the box is Find Next, and so is F3 there.
    KeyInBox(Qt::Key_Return);
    EXPECT_EQ(main.editorSelection(), Selection(8, 10));
    KeyInBox(Qt::Key_F3);
    EXPECT_EQ(main.editorSelection(), Selection(0, 2));
    KeyInBox(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(main.editorSelection(), Selection(8, 10));
    EXPECT_TRUE(Box()->isVisible());
}

TEST_F(FindWindow, NotFoundSaysSoAndLeavesTheSelection)
{
    main.setEditorText("func main()", 5, 9);
    OpenToFind(QStringLiteral("sleep"));
    Click("FindNext");
    EXPECT_EQ(Notice(), QStringLiteral("\"sleep\" was not found."));
    EXPECT_EQ(main.editorSelection(), Selection(5, 9));
    Click("FindPrevious");
    EXPECT_EQ(main.editorSelection(), Selection(5, 9));
    // Typing a new text to find clears the notice.
    Type(FindText(), QStringLiteral("y"));
    EXPECT_EQ(Notice(), QString());
}

TEST_F(FindWindow, MatchCaseAndWholeWordNarrowTheSearch)
{
    main.setEditorText("ai2_spawnall A\r\n# AI2_SPAWN\r\nai2_spawn B", 0, 0);
    OpenToFind(QStringLiteral("ai2_spawn"));
    Click("FindNext");
    EXPECT_EQ(main.editorSelection(), Selection(0, 9));

    Find<QCheckBox>("WholeWord")->click();
    Click("FindNext");
    EXPECT_EQ(main.editorSelection(), Selection(18, 27));
    Find<QCheckBox>("MatchCase")->click();
    Click("FindNext");
    EXPECT_EQ(main.editorSelection(), Selection(29, 38));
    Click("FindNext");
    EXPECT_EQ(main.editorSelection(), Selection(29, 38));
    EXPECT_EQ(Notice(), kWrappedAtTheEnd);
}

TEST_F(FindWindow, CodePageCharactersAreFound)
{
    main.setEditorText("dmsg \xE2\x80\x9C" "5 \xE2\x82\xAC\xE2\x80\x9D", 0, 0);
    OpenToFind(QStringLiteral("\u20AC\u201D"));
    Click("FindNext");
    EXPECT_EQ(main.editorSelection(), Selection(10, 16));
}

TEST_F(FindWindow, F3AndShiftF3SearchFromTheMainWindow)
{
    main.setEditorText("sleep 1\r\nfork x\r\nsleep 2\r\n# sleep", 0, 0);
    OpenToFind(QStringLiteral("sleep"));
    input::Key(FindText(), Qt::Key_Escape);
    ASSERT_FALSE(Box()->isVisible());

    KeyInEditor(Qt::Key_F3);
    EXPECT_EQ(main.editorSelection(), Selection(0, 5));
    KeyInEditor(Qt::Key_F3);
    EXPECT_EQ(main.editorSelection(), Selection(17, 22));
    KeyInEditor(Qt::Key_F3);
    EXPECT_EQ(main.editorSelection(), Selection(28, 33));
    KeyInEditor(Qt::Key_F3);
    EXPECT_EQ(main.editorSelection(), Selection(0, 5));
    // With the box closed, the wrap is told at the caret.
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), kWrappedAtTheEnd);
    KeyInEditor(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(main.editorSelection(), Selection(28, 33));
    KeyInEditor(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(main.editorSelection(), Selection(17, 22));
    EXPECT_FALSE(Box()->isVisible());
    EXPECT_EQ(main.editorText(), "sleep 1\r\nfork x\r\nsleep 2\r\n# sleep");
}

TEST_F(FindWindow, F3WithNothingToFindOpensTheBox)
{
    main.setEditorText("sleep 1", 0, 0);
    KeyInEditor(Qt::Key_F3);
    EXPECT_TRUE(Box()->isVisible());
    EXPECT_EQ(main.editorSelection(), Selection(0, 0));
}

TEST_F(FindWindow, ReplaceReplacesTheSelectedMatchAndFindsTheNext)
{
    main.setEditorText("x = 1\r\nfunc(x)\r\nxx x", 0, 0);
    KeyInEditor(Qt::Key_H, Qt::ControlModifier);
    Type(FindText(), QStringLiteral("x"));
    Type(ReplaceText(), QStringLiteral("SLEEP"));
    Find<QCheckBox>("WholeWord")->click();

    // A selection that is not a match is left alone; the first match is selected instead.
    Click("Replace");
    EXPECT_EQ(main.editorText(), "x = 1\r\nfunc(x)\r\nxx x");
    EXPECT_EQ(main.editorSelection(), Selection(0, 1));
    Click("Replace");
    EXPECT_EQ(main.editorText(), "sleep = 1\r\nfunc(x)\r\nxx x");
    EXPECT_EQ(main.editorSelection(), Selection(16, 17));
    Click("Replace");
    Click("Replace");
    EXPECT_EQ(main.editorText(), "sleep = 1\r\nfunc(sleep)\r\nxx sleep");
    EXPECT_EQ(Notice(), QStringLiteral("\"x\" was not found."));

    KeyInEditor(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(main.editorText(), "sleep = 1\r\nfunc(sleep)\r\nxx x");
}

TEST_F(FindWindow, ReplaceAllCountsAndIsUndoneByOneCtrlZ)
{
    const std::string script = "xx main()\r\n{\r\n\tchr_teleport xx 12 # xx\r\n}\r\nxx";
    main.setEditorText(script, 0, 0);
    KeyInEditor(Qt::Key_H, Qt::ControlModifier);
    Type(FindText(), QStringLiteral("XX"));
    Type(ReplaceText(), QStringLiteral("FUNC"));
    Click("ReplaceAll");
    const std::string replaced = "func main()\r\n{\r\n\tchr_teleport func 12 # FUNC\r\n}\r\nfunc";
    EXPECT_EQ(main.editorText(), replaced);
    EXPECT_EQ(Notice(), QStringLiteral("Replaced 4 occurrences."));
    Click("ReplaceAll");
    EXPECT_EQ(Notice(), QStringLiteral("\"XX\" was not found."));

    KeyInEditor(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(main.editorText(), script);
    KeyInEditor(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(main.editorText(), replaced);

    FindText()->setText(QStringLiteral("main"));
    Click("ReplaceAll");
    EXPECT_EQ(Notice(), QStringLiteral("Replaced 1 occurrence."));
}

} // namespace
