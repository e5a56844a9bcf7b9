#include "builder/StatementComposer.h"
#include "editor/ScriptLexer.h"
#include "support/BuilderDriver.h"
#include "support/EditorProbe.h"
#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class MainWindowStatement : public ::testing::Test {
protected:
    MainWindowStatement() { QGuiApplication::clipboard()->clear(); }

    void Press() { input::LeftClick(main.control("IDC_ADD_STATEMENT"), {5, 5}); }

    // UTF-8 with CR LF line ends: a pasted statement's LF line ends become the editor's.
    std::string EditorText() const { return main.editorText(); }

    // The look of every byte in [start, end), which must share one look.
    TokenLook LookOf(std::size_t start, std::size_t end)
    {
        const std::vector<TokenLook> looks = probe::looks(*main.editor());
        EXPECT_LE(end, looks.size());
        if (end > looks.size() || start >= end)
            return {};
        for (std::size_t p = start + 1; p < end; ++p)
            EXPECT_EQ(looks[p], looks[start]) << "mixed looks in " << start << ".." << end << " at " << p;
        return looks[start];
    }

    std::string ClipboardText() const { return cp1252::encode(QGuiApplication::clipboard()->text()); }

    void HoldInTheClipboard(const char* text) { QGuiApplication::clipboard()->setText(QString::fromLatin1(text)); }

    std::size_t Refusals() const
    {
        return std::size_t(std::count_if(desktop.messageBoxes.begin(), desktop.messageBoxes.end(),
                                         [](const auto& box) { return box.text == kRefusalText; }));
    }

    FakeDesktopServices desktop;
    MainWindowUnderTest main;
    BuilderDriver builder{main};
};

TEST_F(MainWindowStatement, APressAtStartUpIsRefusedAndTouchesNothing)
{
    HoldInTheClipboard("held before");
    Press();
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    const auto& box = desktop.messageBoxes.front();
    EXPECT_EQ(box.text, "The Combination you made is not Allowed or Wrong.");
    EXPECT_EQ(box.caption, "pFFFt...");
    EXPECT_EQ(box.buttons, DesktopServices::Buttons::Ok);
    EXPECT_EQ(box.owner, &main.window);
    EXPECT_EQ(ClipboardText(), "held before");
    EXPECT_EQ(EditorText(), "");
    EXPECT_FALSE(main.editor()->isModified());
}

TEST_F(MainWindowStatement, RefusalsLeaveTheHintAndTheStopCountAlone)
{
    builder.ChooseCommand("chr_teleport");
    builder.ChooseParam(1, "Level 00- TCTF Training ==============================");
    const std::string hint = builder.Hint();
    Press();
    Press();
    EXPECT_EQ(Refusals(), 2u);
    EXPECT_EQ(builder.Hint(), hint);
    EXPECT_EQ(EditorText(), "");

    // The remark still waits for the ninth stop.
    builder.ChooseCommand("cinematic_stop");
    for (int press = 1; press <= 8; ++press)
        Press();
    EXPECT_EQ(desktop.messageBoxes.size(), 2u);
    Press();
    EXPECT_EQ(desktop.messageBoxes.size(), 3u);
}

TEST_F(MainWindowStatement, TheCommandHeadingIsRefused)
{
    builder.ChooseCategory(2);
    Press();
    EXPECT_EQ(Refusals(), 1u);
    EXPECT_EQ(EditorText(), "");
}

TEST_F(MainWindowStatement, ALevelHeadingIsRefusedInEveryList)
{
    builder.ChooseCommand("playback");
    builder.ChooseParam(1, "demo1");
    builder.ChooseParam(2, "Level 01- Syndicate Warehouse ==============================");
    Press();
    EXPECT_EQ(Refusals(), 1u);

    builder.ChooseCommand("sound_ambient_start");
    builder.ChooseParam(1, "01- Syndicate Warehouse ==============================");
    Press();
    EXPECT_EQ(Refusals(), 2u);
    EXPECT_EQ(EditorText(), "");
}

TEST_F(MainWindowStatement, APlaceholderIsRefusedUntilReplaced)
{
    builder.ChooseCommand("trigvolume_count");
    builder.ChooseParam(1, "71");
    builder.ChooseParam(2, "eq 1");
    Press();
    EXPECT_EQ(Refusals(), 1u);

    main.control<QLineEdit>("IDC_CUSTOM_EDIT")->setText(QStringLiteral("3"));
    Press();
    EXPECT_EQ(Refusals(), 1u);
    EXPECT_EQ(ClipboardText(),
              "\n\tif(trigvolume_count(71) eq 1 3)\n\t{\n\t# TODO: Add what ever you want to happen here if the\n"
              "\t# trigger you selected is =/!= to the number you\n\t# typed in the custom text box\n\t}\n\t");
}

TEST_F(MainWindowStatement, InsertsAtTheCaretColouredAndCanBeRepeated)
{
    main.setEditorText("first line\r\nsecond", 12, 12);
    builder.ChooseCommand("ai2_attack");
    builder.ChooseParam(1, "demo1");
    builder.ChooseParam(2, "demo2");

    Press();

    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(ClipboardText(), "ai2_attack demo1 demo2  \n");
    EXPECT_EQ(EditorText(), "first line\r\nai2_attack demo1 demo2  \r\nsecond");
    EXPECT_EQ(LookOf(12, 22), lookOf(TokenKind::Command));
    EXPECT_EQ(LookOf(12, 22), (TokenLook{script_colours::kCommandGreen, true}));
    EXPECT_EQ(LookOf(22, 23), (TokenLook{script_colours::kGapGreen, false}));
    EXPECT_EQ(LookOf(23, 28), (TokenLook{script_colours::kCharacterLightGreen, false}));
    EXPECT_EQ(main.editorSelection(), (std::pair<long, long>{38, 38}));
    EXPECT_EQ(builder.Hint(), kHintAsShown);
    EXPECT_EQ(builder.paramList(1)->currentText(), QStringLiteral("demo1"));
    EXPECT_EQ(builder.paramList(2)->currentText(), QStringLiteral("demo2"));
    EXPECT_TRUE(main.editor()->isModified());

    Press();
    EXPECT_EQ(EditorText(), "first line\r\nai2_attack demo1 demo2  \r\nai2_attack demo1 demo2  \r\nsecond");
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
    EXPECT_EQ(EditorText(), "ai2_kill    \r\ncm_anim both Cam4   \r\n");
}

TEST_F(MainWindowStatement, ATemplateReplacesTheSelection)
{
    main.setEditorText("old text", 0, 8);
    builder.ChooseCommand("chr_has_lsi");
    builder.ChooseParam(1, "demo1");
    Press();
    EXPECT_EQ(EditorText(),
              "\r\n\tif(chr_has_lsi(demo1))\r\n\t{\r\n\t# TODO: Add what ever you want to happen if the\r\n"
              "\t# character in the '()' braces have an LSI\r\n\t}\r\n\t");
}

TEST_F(MainWindowStatement, CinematicStartBracketsItsPicture)
{
    builder.ChooseCommand("cinematic_start");
    builder.ChooseParam(1, "BOPSface");
    Press();
    const std::string text = ClipboardText();
    EXPECT_TRUE(text.starts_with("\tcinematic_start(BOPSface, ")) << text;
    EXPECT_TRUE(text.ends_with("\tcinematic_stop(BOPSface, 15, 15)\n")) << text;
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
    EXPECT_EQ(desktop.messageBoxes.front().owner, &main.window);
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
    HoldInTheClipboard("held");
    desktop.clipboardAnswer = DesktopServices::ClipboardWrite::Unavailable;
    builder.ChooseCommand("ai2_kill");
    Press();
    EXPECT_EQ(EditorText(), "held");
    EXPECT_EQ(ClipboardText(), "held");
    EXPECT_EQ(builder.Hint(), kHintAsShown);
}

TEST_F(MainWindowStatement, AStatementThatCannotBeAllocatedPastesNothing)
{
    HoldInTheClipboard("held");
    desktop.clipboardAnswer = DesktopServices::ClipboardWrite::OutOfMemory;
    builder.ChooseCommand("chr_has_lsi");
    builder.ChooseParam(1, "demo1");
    Press();
    EXPECT_EQ(ClipboardText(), "held");
    EXPECT_EQ(EditorText(), "");
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(builder.Hint(), kHintAsShown);
}

} // namespace
