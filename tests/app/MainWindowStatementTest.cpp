#include "builder/StatementComposer.h"
#include "support/BuilderDriver.h"
#include "support/FakeDesktopServices.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

using Access = ScriptToolDlgTestAccess;

constexpr COLORREF kCommandColour = 0x0000A400;
constexpr COLORREF kCharacterColour = 0x0080FF80;
constexpr COLORREF kGapColour = 0x0000FF00;

class MainWindowStatement : public ::testing::Test {
protected:
    CRichEdiT& Editor() { return Access::Editor(main.dlg); }

    void Press() { main.control<QAbstractButton>(IDC_ADD_STATEMENT)->click(); }

    std::string EditorText()
    {
        CHARRANGE saved;
        Editor().GetSel(saved);
        Editor().SetSel(0, -1);
        const std::string text = Editor().GetSelText();
        Editor().SetSel(saved);
        return text;
    }

    struct Look {
        COLORREF colour;
        bool bold;
        bool operator==(const Look&) const = default;
    };

    // Colour and bold of [start, end), which must share one look.
    Look LookOf(long start, long end)
    {
        CHARRANGE saved;
        Editor().GetSel(saved);
        Editor().SetSel(start, end);
        CHARFORMAT format;
        const std::uint32_t mask = Editor().GetSelectionCharFormat(format);
        Editor().SetSel(saved);
        EXPECT_EQ(mask & (CFM_COLOR | CFM_BOLD), CFM_COLOR | CFM_BOLD) << "mixed looks in " << start << ".." << end;
        return {format.crTextColor, (format.dwEffects & CFE_BOLD) != 0};
    }

    std::string ClipboardText() { return desktop.clipboardText(); }

    std::vector<FakeDesktopServices::MessageBoxCall> Refusals()
    {
        std::vector<FakeDesktopServices::MessageBoxCall> refusals;
        for (const auto& box : desktop.messageBoxes)
            if (box.text == kRefusalText)
                refusals.push_back(box);
        return refusals;
    }

    FakeDesktopServices desktop;
    MainWindowUnderTest main;
    BuilderDriver builder{main};
};

TEST_F(MainWindowStatement, APressAtStartUpIsRefusedAndTouchesNothing)
{
    desktop.setClipboardText("held before");
    Press();
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    const auto& box = desktop.messageBoxes.front();
    EXPECT_EQ(box.text, "The Combination you made is not Allowed or Wrong.");
    EXPECT_EQ(box.caption, "pFFFt...");
    EXPECT_EQ(box.buttons, DesktopServices::Buttons::Ok);
    EXPECT_EQ(box.owner, main.window());
    EXPECT_EQ(ClipboardText(), "held before");
    EXPECT_EQ(EditorText(), "");
}

TEST_F(MainWindowStatement, RefusalsLeaveHintAndStopCountAlone)
{
    builder.ChooseCommand("chr_teleport");
    builder.ChooseParam(1, "Level 00- TCTF Training ==============================");
    const std::string hint = builder.Hint();
    Press();
    EXPECT_EQ(Refusals().size(), 1u);
    EXPECT_EQ(builder.Hint(), hint);
    EXPECT_EQ(Access::StopCount(main.dlg), 1);
    EXPECT_EQ(EditorText(), "");
}

TEST_F(MainWindowStatement, TheCommandHeadingIsRefused)
{
    builder.ChooseCategory(2);
    Press();
    EXPECT_EQ(Refusals().size(), 1u);
}

TEST_F(MainWindowStatement, ALevelHeadingIsRefusedInEveryList)
{
    builder.ChooseCommand("playback");
    builder.ChooseParam(1, "demo1");
    builder.ChooseParam(2, "Level 01- Syndicate Warehouse ==============================");
    Press();
    EXPECT_EQ(Refusals().size(), 1u);

    builder.ChooseCommand("sound_ambient_start");
    builder.ChooseParam(1, "01- Syndicate Warehouse ==============================");
    Press();
    EXPECT_EQ(Refusals().size(), 2u);
    EXPECT_EQ(EditorText(), "");
}

TEST_F(MainWindowStatement, APlaceholderIsRefusedUntilReplaced)
{
    builder.ChooseCommand("trigvolume_count");
    builder.ChooseParam(1, "71");
    builder.ChooseParam(2, "eq 1");
    Press();
    EXPECT_EQ(Refusals().size(), 1u);

    main.dlg.SetDlgItemText(IDC_CUSTOM_EDIT, "3");
    Press();
    EXPECT_EQ(Refusals().size(), 1u);
    EXPECT_EQ(ClipboardText(),
              "\n\tif(trigvolume_count(71) eq 1 3)\n\t{\n\t# TODO: Add what ever you want to happen here if the\n"
              "\t# trigger you selected is =/!= to the number you\n\t# typed in the custom text box\n\t}\n\t");
}

TEST_F(MainWindowStatement, InsertsAtTheCaretColouredAndCanBeRepeated)
{
    Editor().SetWindowText("first line\nsecond");
    Editor().SetSel(11, 11);
    builder.ChooseCommand("ai2_attack");
    builder.ChooseParam(1, "demo1");
    builder.ChooseParam(2, "demo2");

    Press();

    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(ClipboardText(), "ai2_attack demo1 demo2  \n");
    EXPECT_EQ(EditorText(), "first line\rai2_attack demo1 demo2  \rsecond");
    EXPECT_EQ(LookOf(11, 21), (Look{kCommandColour, true}));
    EXPECT_EQ(LookOf(21, 22), (Look{kGapColour, false}));
    EXPECT_EQ(LookOf(22, 27), (Look{kCharacterColour, false}));
    long start = 0, end = 0;
    Editor().GetSel(start, end);
    EXPECT_EQ(start, 36);
    EXPECT_EQ(end, 36);
    EXPECT_EQ(builder.Hint(), "-> 'CTRL+ENTER' = NEW LINE.\r\n\r\n-> 'CTRL+TAB'     = TAB.\r\n\r\n-> EDITING KEY ARE ENABLED.");
    EXPECT_EQ(builder.Param(1).GetWindowText(), "demo1");
    EXPECT_EQ(builder.Param(2).GetWindowText(), "demo2");
    EXPECT_EQ(Access::UseDefaultLayout(main.dlg), 1);

    Press();
    EXPECT_EQ(EditorText(), "first line\rai2_attack demo1 demo2  \rai2_attack demo1 demo2  \rsecond");
}

TEST_F(MainWindowStatement, TheDefaultLayoutKeepsBlanksForEmptyValues)
{
    builder.ChooseCommand("ai2_kill");
    Press();
    EXPECT_EQ(ClipboardText(), "ai2_kill    \n");

    builder.ChooseCommand("cm_anim both");
    builder.ChooseParam(1, "Cam4");
    Press();
    EXPECT_EQ(ClipboardText(), "cm_anim both Cam4   \n");
    EXPECT_EQ(EditorText(), "ai2_kill    \rcm_anim both Cam4   \r");
}

TEST_F(MainWindowStatement, ATemplateReplacesTheSelection)
{
    Editor().SetWindowText("old text");
    Editor().SetSel(0, -1);
    builder.ChooseCommand("chr_has_lsi");
    builder.ChooseParam(1, "demo1");
    Press();
    EXPECT_EQ(EditorText(),
              "\r\tif(chr_has_lsi(demo1))\r\t{\r\t# TODO: Add what ever you want to happen if the\r"
              "\t# character in the '()' braces have an LSI\r\t}\r\t");
    EXPECT_EQ(Access::UseDefaultLayout(main.dlg), 1);
}

TEST_F(MainWindowStatement, CinematicStartBracketsItsPicture)
{
    builder.ChooseCommand("cinematic_start");
    builder.ChooseParam(1, "BOPSface");
    Press();
    const std::string text = ClipboardText();
    EXPECT_TRUE(text.starts_with("\tcinematic_start(BOPSface, "));
    EXPECT_TRUE(text.ends_with("\tcinematic_stop(BOPSface, 15, 15)\n"));
}

TEST_F(MainWindowStatement, TheNinthCinematicStopEarnsTheOnlyRemark)
{
    builder.ChooseCommand("cinematic_stop");
    for (int press = 1; press <= 12; ++press) {
        Press();
        const std::size_t expected = press >= 9 ? 1 : 0;
        EXPECT_EQ(desktop.messageBoxes.size(), expected) << "press " << press;
    }
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes.front().text, "This is a GOOD way to keep a MORON busy all the time.. :P");
    EXPECT_EQ(desktop.messageBoxes.front().caption, "pFFFt...");
    EXPECT_EQ(Access::StopCount(main.dlg), 13);
    EXPECT_EQ(ClipboardText(), "");
    EXPECT_EQ(EditorText(), "");
}

TEST_F(MainWindowStatement, DifficultyInsertsItsOwnBlock)
{
    builder.ChooseCommand("difficulty");
    builder.ChooseParam(1, "ne 0");
    Press();
    EXPECT_EQ(ClipboardText(),
              "\n\tif(difficulty() ne 0)\n\t{\n\t# TODO: Add what ever you want to happen here at this\n"
              "\t# difficulty level\n\t}\n\t");
}

TEST_F(MainWindowStatement, AHeldClipboardStillPastesWhatItHolds)
{
    desktop.setClipboardText("held");
    desktop.clipboardAnswer = DesktopServices::ClipboardWrite::Unavailable;
    builder.ChooseCommand("ai2_kill");
    Press();
    EXPECT_EQ(EditorText(), "held");
    EXPECT_EQ(builder.Hint(), "-> 'CTRL+ENTER' = NEW LINE.\r\n\r\n-> 'CTRL+TAB'     = TAB.\r\n\r\n-> EDITING KEY ARE ENABLED.");
}

TEST_F(MainWindowStatement, AStatementThatCannotBeAllocatedPastesNothing)
{
    desktop.setClipboardText("held");
    desktop.clipboardAnswer = DesktopServices::ClipboardWrite::OutOfMemory;
    builder.ChooseCommand("chr_has_lsi");
    builder.ChooseParam(1, "demo1");
    Press();
    EXPECT_EQ(ClipboardText(), "held");
    EXPECT_EQ(EditorText(), "");
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(Access::UseDefaultLayout(main.dlg), 1);
    EXPECT_EQ(builder.Hint(), "-> 'CTRL+ENTER' = NEW LINE.\r\n\r\n-> 'CTRL+TAB'     = TAB.\r\n\r\n-> EDITING KEY ARE ENABLED.");
}

} // namespace
