#include "platform/MultiLineEdit.h"
#include "platform/Wnd.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

constexpr int kBoxId = 7;

struct BoundBox {
    explicit BoundBox(bool upperCase) : box(new MultiLineEdit(upperCase, &parent))
    {
        box->setProperty(CWnd::kControlIdProperty, kBoxId);
        wnd.SubclassDlgItem(kBoxId, &parent);
    }

    QWidget parent;
    MultiLineEdit* box;
    CWnd wnd;
};

TEST(MultiLineEdit, ShowsCarriageReturnLineFeedAsLineBreaks)
{
    BoundBox bound(false);
    bound.wnd.SetWindowText("-> 'Ctrl+Enter' = new line.\r\n\r\n-> Editing key are enabled.");

    EXPECT_EQ(bound.box->document()->blockCount(), 3);
    EXPECT_EQ(bound.box->document()->findBlockByNumber(2).text(), QStringLiteral("-> Editing key are enabled."));
    EXPECT_EQ(bound.wnd.GetWindowText(), "-> 'Ctrl+Enter' = new line.\r\n\r\n-> Editing key are enabled.");
}

TEST(MultiLineEdit, UpperCaseBoxShowsEveryTextInCapitals)
{
    BoundBox bound(true);
    bound.wnd.SetWindowText("-> 'Ctrl+TAB'     = TAB.\r\nchr_teleport caf\xE9");

    EXPECT_EQ(bound.wnd.GetWindowText(), "-> 'CTRL+TAB'     = TAB.\r\nCHR_TELEPORT CAF\xC9");
}

// A capital the 8-bit code page cannot hold, or one that is two letters, leaves the letter as it
// is, so that the text keeps its length and its bytes.
TEST(MultiLineEdit, UpperCaseKeepsLettersWithoutASingleByteCapital)
{
    BoundBox bound(true);
    bound.wnd.SetWindowText("\xB5 \xDF \xFF");

    EXPECT_EQ(bound.wnd.GetWindowText(), "\xB5 \xDF \x9F");
}

TEST(MultiLineEdit, OrdinaryBoxKeepsTheLetterCase)
{
    BoundBox bound(false);
    bound.wnd.SetWindowText("Mixed Case");
    EXPECT_EQ(bound.wnd.GetWindowText(), "Mixed Case");
}

TEST(MultiLineEdit, KeepsANoBreakSpace)
{
    BoundBox bound(false);
    bound.wnd.SetWindowText("a\xA0" "b");
    EXPECT_EQ(bound.wnd.GetWindowText(), "a\xA0" "b");
}

} // namespace
