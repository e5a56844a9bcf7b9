#include "builder/CommandCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <set>
#include <string>
#include <string_view>

namespace {

struct ExpectedCategory {
    std::string_view label;
    std::string_view heading;
    std::size_t commandCount;
    std::string_view firstCommand;
    std::string_view lastCommand;
};

constexpr std::array<ExpectedCategory, 10> kExpected = {{
    {"AI2 Commands", "- Select a AI2 Command ==============================", 92, "ai2_active",
     "ai2_tripalarm"},
    {"Character Commands", "- Select a Character Command ==============================", 47,
     "chr_animate", "chr_weapon_immune"},
    {"Game Play Commands", "- Select a Game Play Command ==============================", 19,
     "did_kill_griffen", "win"},
    {"World Object Commands", "- Select a World Object Command ==============================",
     24, "console_activate", "weapon_spawn"},
    {"Trigger Commands", "- Select a Trigger Command ==============================", 13,
     "trig_activate", "trigvolume_trigger"},
    {"Message Commands", "- Select a Message Command ==============================", 4, "dmsg",
     "message_remove"},
    {"Film Commands", "- Select a Film Command ==============================", 7,
     "begin_cutscene", "splash_screen"},
    {"Camera Commands", "- Select a Camera Command ==============================", 12,
     "cm_anim both", "fade_out"},
    {"Envaironment Commands", "- Select an Envaironment Command ==============================",
     8, "env_anim", "env_texswap"},
    {"Play Sounds", "- Select a Sound Command ==============================", 9,
     "sound_ambient_start", "sound_music_volume"},
}};

// The command list is sorted by the control without regard to case; this is the order it needs.
bool LessIgnoringCase(std::string_view a, std::string_view b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x))
               < std::tolower(static_cast<unsigned char>(y));
    });
}

std::string_view CommandAt(int category, std::size_t position)
{
    return FindCommandCategory(category)->commands[position - 1];
}

}  // namespace

TEST(CommandCatalogue, CategoriesHaveTheirLabelsHeadingsAndCommandCounts)
{
    const auto categories = CommandCategories();
    ASSERT_EQ(categories.size(), static_cast<std::size_t>(kCategoryCount));
    std::size_t total = 0;
    for (std::size_t i = 0; i < kExpected.size(); ++i) {
        SCOPED_TRACE(kExpected[i].label);
        const CommandCategory& category = categories[i];
        EXPECT_EQ(category.label, kExpected[i].label);
        EXPECT_EQ(category.heading, kExpected[i].heading);
        ASSERT_EQ(category.commands.size(), kExpected[i].commandCount);
        EXPECT_EQ(category.commands.front(), kExpected[i].firstCommand);
        EXPECT_EQ(category.commands.back(), kExpected[i].lastCommand);
        total += category.commands.size();
    }
    EXPECT_EQ(total, 235u);
}

TEST(CommandCatalogue, CommandsSitAtTheirListPositions)
{
    EXPECT_EQ(CommandAt(2, 46), "chr_wait_health");
    EXPECT_EQ(CommandAt(1, 92), "ai2_tripalarm");
    EXPECT_EQ(CommandAt(3, 1), "did_kill_griffen");
    EXPECT_EQ(CommandAt(1, 15), "ai2_debug_showsettingIDs");
    EXPECT_EQ(CommandAt(2, 37), "chr_teleport");
    EXPECT_EQ(CommandAt(4, 10), "lock_keys");
    EXPECT_EQ(CommandAt(8, 2), "cm_anim_block both");
    EXPECT_EQ(CommandAt(9, 4), "env_setanim");
    EXPECT_EQ(CommandAt(10, 5), "sound_dialog_play_block");
}

// Positions are the command key, so a sorted command list must keep the listed order.
TEST(CommandCatalogue, ListsAreAscendingIgnoringCaseWithTheHeadingFirst)
{
    for (const CommandCategory& category : CommandCategories()) {
        SCOPED_TRACE(category.label);
        ASSERT_FALSE(category.commands.empty());
        EXPECT_TRUE(LessIgnoringCase(category.heading, category.commands.front()));
        EXPECT_TRUE(std::adjacent_find(category.commands.begin(), category.commands.end(),
                                       [](std::string_view a, std::string_view b) {
                                           return !LessIgnoringCase(a, b);
                                       })
                    == category.commands.end());
    }
}

TEST(CommandCatalogue, CommandNamesAreDistinctAndNeverAHeading)
{
    std::set<std::string_view> names;
    std::set<std::string_view> headings;
    for (const CommandCategory& category : CommandCategories()) {
        headings.insert(category.heading);
        names.insert(category.commands.begin(), category.commands.end());
    }
    EXPECT_EQ(names.size(), 235u);
    EXPECT_EQ(headings.size(), 10u);
    for (std::string_view heading : headings) {
        EXPECT_FALSE(names.contains(heading)) << heading;
        EXPECT_TRUE(heading.starts_with("- Select a")) << heading;
        EXPECT_TRUE(heading.ends_with(" ==============================")) << heading;
    }
}

TEST(CommandCatalogue, FindCommandCategoryAcceptsOnlyOneToTen)
{
    EXPECT_EQ(FindCommandCategory(0), nullptr);
    EXPECT_EQ(FindCommandCategory(11), nullptr);
    EXPECT_EQ(FindCommandCategory(-1), nullptr);
    ASSERT_NE(FindCommandCategory(1), nullptr);
    EXPECT_EQ(FindCommandCategory(1), &CommandCategories().front());
    EXPECT_EQ(FindCommandCategory(10), &CommandCategories().back());
    EXPECT_EQ(FindCommandCategory(7)->label, "Film Commands");
}

TEST(CommandCatalogue, RestingTextsOfTheBoxes)
{
    EXPECT_EQ(kCategoryPrompt, "Select a Command Type");
    EXPECT_EQ(kKeyHelpHint, "-> 'Ctrl+Enter' = new line.\r\n\r\n-> 'Ctrl+TAB'     = TAB.\r\n\r\n"
                            "-> Editing key are enabled.");
    EXPECT_EQ(kCustomValueFiller, std::string(50, '='));
}
