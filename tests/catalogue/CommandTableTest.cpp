#include "catalogue/CommandTable.h"
#include "CommandRows.h"

#include "catalogue/LevelHeadings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace {

using Names = std::set<std::string_view>;


// The command list sorts its entries without regard to case, so the table must already be in
// that order for a row to show where the table puts it.
bool lessIgnoringCase(std::string_view a, std::string_view b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

Names commandsWhere(bool (*predicate)(const ScriptCommand&))
{
    Names names;
    for (const ScriptCommand* command : allCommands()) {
        if (predicate(*command))
            names.insert(command->name);
    }
    return names;
}

TEST(CommandCategories, TenCategoriesHoldTheirCommandCounts)
{
    const std::array<std::size_t, 10> expected = {92, 47, 19, 24, 13, 4, 7, 12, 8, 9};
    const auto categories = commandCategories();
    ASSERT_EQ(categories.size(), static_cast<std::size_t>(kCategoryCount));
    std::size_t total = 0;
    for (std::size_t i = 0; i < categories.size(); ++i) {
        EXPECT_EQ(categories[i].commands.size(), expected[i]) << categories[i].label;
        total += categories[i].commands.size();
    }
    EXPECT_EQ(total, 235u);
    EXPECT_EQ(allCommands().size(), 235u);
}

TEST(CommandCategories, LabelsAndHeadingsAreDistinctAndWellFormed)
{
    Names labels;
    Names headings;
    for (const CommandCategory& category : commandCategories()) {
        EXPECT_FALSE(category.label.empty());
        EXPECT_NE(category.label, kCategoryPrompt);
        EXPECT_TRUE(category.heading.starts_with("- Select a")) << category.heading;
        EXPECT_TRUE(category.heading.ends_with(std::string(" Command") + std::string(kHeadingRuler))) << category.heading;
        labels.insert(category.label);
        headings.insert(category.heading);
    }
    EXPECT_EQ(labels.size(), 10u);
    EXPECT_EQ(headings.size(), 10u);
}

TEST(CommandCategories, FindCommandCategoryAcceptsOnlyOneToTen)
{
    EXPECT_EQ(findCommandCategory(0), nullptr);
    EXPECT_EQ(findCommandCategory(11), nullptr);
    EXPECT_EQ(findCommandCategory(-1), nullptr);
    ASSERT_NE(findCommandCategory(1), nullptr);
    EXPECT_EQ(findCommandCategory(1), &commandCategories().front());
    EXPECT_EQ(findCommandCategory(10), &commandCategories().back());
    EXPECT_EQ(findCommandCategory(7)->label, "Film Commands");
}

TEST(CommandCategories, CommandsAreAscendingIgnoringCaseBelowTheirHeading)
{
    for (const CommandCategory& category : commandCategories()) {
        SCOPED_TRACE(category.label);
        ASSERT_FALSE(category.commands.empty());
        EXPECT_TRUE(lessIgnoringCase(category.heading, category.commands.front().name));
        const auto unordered = std::adjacent_find(
            category.commands.begin(), category.commands.end(),
            [](const ScriptCommand& a, const ScriptCommand& b) { return !lessIgnoringCase(a.name, b.name); });
        EXPECT_TRUE(unordered == category.commands.end()) << unordered->name;
    }
}

TEST(CommandCategories, RestingTextsOfTheBoxes)
{
    EXPECT_EQ(kCategoryPrompt, "Select a Command Type");
    EXPECT_EQ(kKeyHelpHint, "-> 'Ctrl+Enter' = new line.\r\n\r\n-> 'Ctrl+TAB'     = TAB.\r\n\r\n"
                            "-> Editing key are enabled.");
    EXPECT_EQ(kCustomValueFiller, std::string(50, '='));
}

TEST(CommandLookup, FindsEveryCommandAsItsOwnRow)
{
    Names names;
    for (const ScriptCommand* command : allCommands()) {
        EXPECT_FALSE(command->name.empty());
        EXPECT_TRUE(names.insert(command->name).second) << "named twice: " << command->name;
        EXPECT_EQ(findCommand(command->name), command) << command->name;
    }
    EXPECT_EQ(names.size(), 235u);
}

TEST(CommandLookup, FindsNothingButAnExactName)
{
    for (const CommandCategory& category : commandCategories()) {
        EXPECT_EQ(findCommand(category.heading), nullptr) << category.heading;
        EXPECT_EQ(findCommand(category.label), nullptr) << category.label;
    }
    for (std::string_view text : {std::string_view(), kCategoryPrompt, kCustomValueFiller, kKeyHelpHint}) {
        EXPECT_EQ(findCommand(text), nullptr) << text;
    }
    // Near misses of real names: case, blanks, a prefix, and the blank inside a camera command.
    for (std::string_view text : {"CHR_HAS_LSI", "ai2_kill ", " ai2_kill", "cm_anim", "cm_anim both ",
                                  "cm_anim_both", "ai2_debug_showsettingids", "sound_music"}) {
        EXPECT_EQ(findCommand(text), nullptr) << '"' << text << '"';
    }
    ASSERT_NE(findCommand("cm_anim both"), nullptr);
    EXPECT_EQ(findCommand("ai2_debug_showsettingIDs")->name, "ai2_debug_showsettingIDs");
}

TEST(CommandRows, ShapesMatchTheirCounts)
{
    std::map<std::string, int> shapes;
    for (const ScriptCommand* command : allCommands()) {
        std::string shape;
        for (std::span<const ParamSource> list : command->parameterLists())
            shape += list.empty() ? '-' : 'x';
        ++shapes[shape];
    }
    const std::map<std::string, int> expected = {{"---", 45}, {"x--", 114}, {"-x-", 2}, {"xx-", 67}, {"xxx", 7}};
    EXPECT_EQ(shapes, expected);
}

TEST(CommandRows, OnlyTheSkillFileCommandsLeaveAGapBeforeTheirList)
{
    const Names gaps = commandsWhere([](const ScriptCommand& command) {
        return (command.list1.empty() && !command.list2.empty()) || (command.list2.empty() && !command.list3.empty());
    });
    EXPECT_EQ(gaps, (Names{"ai2_skill_revert", "ai2_skill_save"}));
}

// Sixteen commands show a prompt, drawn from fourteen texts: the two delay commands share one,
// as do the two interpolation commands.
TEST(CommandRows, PlaceholdersAreFourteenDistinctPromptsForSixteenCommands)
{
    const std::span<const std::string_view> texts = placeholderTexts();
    const Names distinct(texts.begin(), texts.end());
    EXPECT_EQ(texts.size(), 14u);
    EXPECT_EQ(distinct.size(), 14u);
    for (std::string_view text : texts) {
        EXPECT_TRUE(text.starts_with("< ")) << text;
        EXPECT_TRUE(text.ends_with(" >")) << text;
        EXPECT_NE(text, kCustomValueFiller);
    }

    std::map<std::string_view, Names> commandsByPrompt;
    for (const ScriptCommand* command : allCommands()) {
        if (command->placeholder) {
            EXPECT_TRUE(distinct.contains(*command->placeholder)) << command->name;
            commandsByPrompt[*command->placeholder].insert(command->name);
        }
    }
    EXPECT_EQ(commandsByPrompt.size(), 14u);
    EXPECT_EQ(commandsWhere([](const ScriptCommand& command) { return command.placeholder.has_value(); }).size(),
              16u);
    EXPECT_EQ(commandNamed("ai2_skill_delaymax").placeholder, commandNamed("ai2_skill_delaymin").placeholder);
    EXPECT_EQ(commandNamed("cm_interpolate").placeholder, commandNamed("cm_interpolate_block").placeholder);
    EXPECT_EQ(commandNamed("trigvolume_count").placeholder, "< REPLACE WITH A NUMBER OF YOUR CHOICE \"INT\" >");
}

TEST(CommandRows, DescriptionMarksMatchTheirCounts)
{
    int notSure = 0;
    int unknown = 0;
    int unknownCommand = 0;
    for (const ScriptCommand* command : allCommands()) {
        EXPECT_FALSE(command->description.empty()) << command->name;
        notSure += command->description.ends_with(" - NOT SURE");
        unknown += command->description.find(" - UNKNOWN") != std::string_view::npos;
        unknownCommand += command->description.find(" - UNKNOWN COMMAND") != std::string_view::npos;
    }
    EXPECT_EQ(notSure, 45);
    EXPECT_EQ(unknown, 24);
    EXPECT_EQ(unknownCommand, 3);
}

TEST(CommandRows, OnlyTheKnownGroupsShareADescription)
{
    std::map<std::string_view, Names> byDescription;
    for (const ScriptCommand* command : allCommands())
        byDescription[command->description].insert(command->name);

    std::map<std::string_view, Names> shared;
    for (const auto& [description, commands] : byDescription) {
        if (commands.size() > 1)
            shared.emplace(description, commands);
    }
    const std::map<std::string_view, Names> expected = {
        {"stops an AI from thinking for itself", {"ai2_passive", "chr_freeze", "chr_neutral"}},
        {"initiates a camera animation", {"cm_anim both", "cm_anim_block both"}},
        {"initiates a camera interpolation", {"cm_interpolate", "cm_interpolate_block"}},
    };
    EXPECT_EQ(shared, expected);
}

// Stray tabs, trailing blanks and misspellings are part of what the description box shows.
TEST(CommandRows, DescriptionsKeepTheirExactText)
{
    EXPECT_EQ(commandNamed("chr_delete").description, "deletes a character\t");
    EXPECT_EQ(commandNamed("chr_wait_health").description,
              "waits until a character's health falls below a value then contiune to the next line in the script");
    EXPECT_EQ(commandNamed("target_set").description, "Sets the target to the specified flag in the compase");
    EXPECT_EQ(commandNamed("end_cutscene").description, "Finishs a Cutscene after starting one");
    EXPECT_EQ(commandNamed("chr_shadow").description, "turns of[f] the shadow for this character");
    EXPECT_EQ(commandNamed("ai2_chump").description, "creates a chump - UNKNOWN COMMAND");

    const ScriptCommand& fadeOut = commandNamed("fade_out");
    for (std::span<const ParamSource> list : fadeOut.parameterLists())
        EXPECT_TRUE(list.empty());
    EXPECT_EQ(fadeOut.placeholder, "< REPLACE WITH 'INT' RGB COLOR REFERENCE AND NUMBER OF FRAMES \"INT\" >");
    EXPECT_TRUE(fadeOut.description.starts_with("fades the screen out ie. 'fade_out 0 0 0 180' "));
    EXPECT_TRUE(fadeOut.description.ends_with("reference u already gave '0 0 0'. "));
    EXPECT_FALSE(fadeOut.description.ends_with(".  "));
}

} // namespace
