#include "catalogue/CommandTable.h"
#include "support/BuilderDriver.h"
#include "support/FakeDesktopServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

const std::string kCharacterHeading = "Level 00- TCTF Training ==============================";

// The descriptions are plain ASCII.
std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& ch : upper)
        ch = char(std::toupper(static_cast<unsigned char>(ch)));
    return upper;
}

class MainWindowParamSets : public ::testing::Test {
protected:
    void ExpectResetState()
    {
        for (int list = 1; list <= 3; ++list)
            EXPECT_EQ(builder.paramList(list)->count(), 0) << "list " << list;
        EXPECT_EQ(builder.Custom(), kFiller);
        EXPECT_EQ(builder.Hint(), Upper(kKeyHelpHint));
    }

    void ExpectNothingSelected()
    {
        for (int list = 1; list <= 3; ++list) {
            EXPECT_EQ(builder.paramList(list)->currentIndex(), -1) << "list " << list;
            EXPECT_EQ(builder.paramList(list)->currentText(), QString()) << "list " << list;
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
    auto* custom = main.control<QLineEdit>("IDC_CUSTOM_EDIT");
    builder.ChooseCommand("chr_teleport");
    custom->setText(QStringLiteral("typed by hand"));
    builder.ChooseCommand("ai2_kill");
    EXPECT_EQ(builder.Custom(), kFiller);
    custom->setText(QStringLiteral("typed by hand"));
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
        EXPECT_EQ(builder.paramList(list)->count(), 0);
    EXPECT_EQ(builder.Custom(), "< REPLACE WITH 'INT' RGB COLOR REFERENCE AND NUMBER OF FRAMES \"INT\" >");
    const ScriptCommand* fadeOut = findCommand("fade_out");
    ASSERT_NE(fadeOut, nullptr);
    EXPECT_EQ(builder.Hint(), Upper(fadeOut->description));
    EXPECT_TRUE(builder.Hint().ends_with(". "));
}

TEST_F(MainWindowParamSets, EveryCommandShowsItsSetWithNothingSelected)
{
    int commands = 0;
    for (int number = 1; number <= kCategoryCount; ++number) {
        builder.ChooseCategory(number);
        for (int position = 1; position < builder.commandList()->count(); ++position) {
            const std::string name = cp1252::encode(builder.commandList()->itemText(position));
            SCOPED_TRACE(name);
            builder.ChoosePosition(position);
            ++commands;
            const ScriptCommand* command = findCommand(name);
            ASSERT_NE(command, nullptr);
            const auto lists = command->parameterLists();
            for (int list = 1; list <= 3; ++list) {
                std::vector<std::string> expected;
                fillParameterList(lists[std::size_t(list - 1)], expected);
                EXPECT_EQ(builder.Entries(list), expected) << "list " << list;
            }
            EXPECT_EQ(builder.Custom(), command->placeholder ? std::string(*command->placeholder) : kFiller);
            EXPECT_EQ(builder.Hint(), Upper(command->description));
            ExpectNothingSelected();
        }
    }
    EXPECT_EQ(commands, 235);
}

TEST_F(MainWindowParamSets, ACategoryChangeClearsWhatACommandFilled)
{
    builder.ChooseCommand("cm_barabus");
    builder.ChooseParam(1, builder.Entries(1).at(1));
    builder.ChooseCategory(3);
    ExpectResetState();
}

} // namespace
