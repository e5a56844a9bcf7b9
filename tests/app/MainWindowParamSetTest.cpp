#include "builder/CommandCatalogue.h"
#include "builder/ParamSets.h"
#include "support/BuilderDriver.h"
#include "support/FakeDesktopServices.h"

#include <QString>
#include <gtest/gtest.h>

namespace {

const std::string kFiller(50, '=');
const std::string kCharacterHeading = "Level 00- TCTF Training ==============================";

std::string Upper(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size())).toUpper().toLatin1().toStdString();
}

class MainWindowParamSets : public ::testing::Test {
protected:
    void ExpectResetState()
    {
        for (int list = 1; list <= 3; ++list)
            EXPECT_EQ(builder.Param(list).GetCount(), 0) << "list " << list;
        EXPECT_EQ(builder.Custom(), kFiller);
        EXPECT_EQ(builder.Hint(), Upper(kKeyHelpHint));
    }

    void ExpectNothingSelected()
    {
        for (int list = 1; list <= 3; ++list) {
            EXPECT_EQ(builder.Param(list).GetCurSel(), CB_ERR) << "list " << list;
            EXPECT_EQ(builder.Param(list).GetWindowText(), "") << "list " << list;
        }
    }

    FakeDesktopServices desktop;
    MainWindowUnderTest main;
    BuilderDriver builder{main};
};

TEST_F(MainWindowParamSets, TheHeadingLeavesEverythingReset)
{
    builder.ChooseCommand("chr_teleport");
    builder.ChoosePosition(0);
    ExpectResetState();
}

TEST_F(MainWindowParamSets, Ai2BlindOffersTheCharactersThenZeroAndOne)
{
    builder.ChooseCommand("ai2_blind");
    const auto entries = builder.Entries(1);
    ASSERT_EQ(entries.size(), 891u);
    EXPECT_EQ(entries.front(), kCharacterHeading);
    EXPECT_EQ(entries[1], "demo1");
    EXPECT_EQ(entries[889], "0");
    EXPECT_EQ(entries[890], "1");
    EXPECT_TRUE(builder.Entries(2).empty());
    EXPECT_EQ(builder.Hint(), Upper("turns off the AI's visual sensing system"));
    ExpectNothingSelected();
}

TEST_F(MainWindowParamSets, Ai2AttackOffersTheCharactersTwice)
{
    builder.ChooseCommand("ai2_attack");
    const auto first = builder.Entries(1);
    EXPECT_EQ(first.size(), 889u);
    EXPECT_EQ(first, builder.Entries(2));
    EXPECT_TRUE(builder.Entries(3).empty());
    ExpectNothingSelected();
}

TEST_F(MainWindowParamSets, ChrForceholsterFillsAllThreeLists)
{
    builder.ChooseCommand("chr_forceholster");
    EXPECT_EQ(builder.Entries(1).size(), 889u);
    EXPECT_EQ(builder.Entries(2), (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(builder.Entries(3), (std::vector<std::string>{"0", "1"}));
}

TEST_F(MainWindowParamSets, Ai2FindconnectionsCountsToThirty)
{
    builder.ChooseCommand("ai2_findconnections");
    std::vector<std::string> expected;
    for (int i = 1; i <= 30; ++i)
        expected.push_back(std::to_string(i));
    EXPECT_EQ(builder.Entries(1), expected);
}

TEST_F(MainWindowParamSets, APlaceholderGivesWayToTheFillerOnTheNextCommand)
{
    builder.ChooseCommand("ai2_skill_delaymax");
    EXPECT_EQ(builder.Custom(), "< REPLACE WITH 'INT' THAT REPRESENTS THE TIME OF DELAY >");
    builder.ChooseCommand("ai2_skill_decay");
    EXPECT_EQ(builder.Custom(), kFiller);
}

TEST_F(MainWindowParamSets, TypedCustomTextIsLostOnACommandChange)
{
    builder.ChooseCommand("chr_teleport");
    main.dlg.SetDlgItemText(IDC_CUSTOM_EDIT, "typed by hand");
    builder.ChooseCommand("ai2_kill");
    EXPECT_EQ(builder.Custom(), kFiller);
    main.dlg.SetDlgItemText(IDC_CUSTOM_EDIT, "typed by hand");
    builder.ChooseCommand("trigvolume_count");
    EXPECT_EQ(builder.Custom(), "< REPLACE WITH A NUMBER OF YOUR CHOICE \"INT\" >");
}

TEST_F(MainWindowParamSets, SoundImpulsePlayHasItsOwnLevelTwelveHeading)
{
    builder.ChooseCommand("sound_impulse_play");
    const auto entries = builder.Entries(1);
    ASSERT_EQ(entries.size(), 16u);
    EXPECT_EQ(entries.front(), "Level 01- Syndicate Warehouse ==============================");
    EXPECT_NE(std::find(entries.begin(), entries.end(), "Level 12- TCTF Science Prison =============================="),
              entries.end());
}

TEST_F(MainWindowParamSets, LockKeysOffersElevenKeyGroups)
{
    builder.ChooseCommand("lock_keys");
    const auto entries = builder.Entries(1);
    ASSERT_EQ(entries.size(), 11u);
    EXPECT_EQ(entries.front(), "keys_pause");
    EXPECT_EQ(entries[8], "keys_reload");
    EXPECT_EQ(entries[9], "keys_hypo");
    EXPECT_EQ(entries[10], "keys_walk");
}

TEST_F(MainWindowParamSets, FadeOutShowsPlaceholderAndDescriptionOnly)
{
    builder.ChooseCommand("fade_out");
    for (int list = 1; list <= 3; ++list)
        EXPECT_EQ(builder.Param(list).GetCount(), 0);
    EXPECT_EQ(builder.Custom(), "< REPLACE WITH 'INT' RGB COLOR REFERENCE AND NUMBER OF FRAMES \"INT\" >");
    const CommandParamSet* fadeOut = FindCommandParamSet(8, 12);
    ASSERT_NE(fadeOut, nullptr);
    EXPECT_EQ(builder.Hint(), Upper(fadeOut->description));
    EXPECT_TRUE(builder.Hint().ends_with(". "));
}

TEST_F(MainWindowParamSets, EveryCommandShowsItsSetWithNothingSelected)
{
    for (int number = 1; number <= kCategoryCount; ++number) {
        builder.ChooseCategory(number);
        const auto commands = FindCommandCategory(number)->commands;
        for (std::size_t i = 0; i < commands.size(); ++i) {
            SCOPED_TRACE(std::string(commands[i]));
            builder.ChoosePosition(int(i) + 1);
            const CommandParamSet* paramSet = FindCommandParamSet(number, int(i) + 1);
            ASSERT_NE(paramSet, nullptr);
            const auto lists = paramSet->lists();
            for (int list = 1; list <= 3; ++list) {
                std::vector<std::string> expected;
                FillParamList(lists[list - 1], expected);
                EXPECT_EQ(builder.Entries(list), expected) << "list " << list;
            }
            EXPECT_EQ(builder.Custom(), paramSet->placeholder ? std::string(*paramSet->placeholder) : kFiller);
            EXPECT_EQ(builder.Hint(), Upper(paramSet->description));
            ExpectNothingSelected();
        }
    }
}

TEST_F(MainWindowParamSets, ACategoryChangeClearsWhatACommandFilled)
{
    builder.ChooseCommand("cm_barabus");
    builder.ChooseCategory(3);
    ExpectResetState();
}

} // namespace
