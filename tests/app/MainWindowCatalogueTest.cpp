#include "catalogue/CommandTable.h"
#include "support/BuilderDriver.h"
#include "support/FakeDesktopServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class MainWindowCatalogue : public ::testing::Test {
protected:
    std::vector<std::string> Entries(QComboBox* list) const
    {
        std::vector<std::string> entries;
        for (int i = 0; i < list->count(); ++i)
            entries.push_back(cp1252::encode(list->itemText(i)));
        return entries;
    }

    std::vector<std::string> Commands() const { return Entries(builder.commandList()); }

    // A command chosen with a parameter picked and a custom value typed, for a change to category
    // `next` to clear: the command comes from another category.
    void LeaveAChosenCommandBehind(int next)
    {
        builder.ChooseCommand(next == 2 ? "ai2_attack" : "chr_teleport");
        builder.ChooseParam(1, "demo2");
        main.control<QLineEdit>("IDC_CUSTOM_EDIT")->setText(QStringLiteral("3"));
        ASSERT_FALSE(builder.Entries(1).empty());
        ASSERT_NE(builder.Hint(), kHintAsShown);
    }

    void ExpectParameterChoiceReset()
    {
        for (int list = 1; list <= 3; ++list)
            EXPECT_EQ(builder.paramList(list)->count(), 0) << "list " << list;
        EXPECT_EQ(builder.Custom(), kFiller);
        EXPECT_EQ(builder.Hint(), kHintAsShown);
    }

    FakeDesktopServices desktop;
    MainWindowUnderTest main;
    BuilderDriver builder{main};
};

TEST_F(MainWindowCatalogue, OffersTheTenCategoriesAfterThePrompt)
{
    const std::vector<std::string> expected = {
        "Select a Command Type", "AI2 Commands",     "Character Commands", "Game Play Commands",
        "World Object Commands", "Trigger Commands", "Message Commands",   "Film Commands",
        "Camera Commands",       "Envaironment Commands", "Play Sounds"};
    EXPECT_EQ(Entries(builder.categoryList()), expected);
    EXPECT_EQ(builder.categoryList()->currentIndex(), 0);
}

class MainWindowCategoryChoice : public MainWindowCatalogue, public ::testing::WithParamInterface<int> {};

TEST_P(MainWindowCategoryChoice, FillsTheCommandListWithTheHeadingFirst)
{
    const int number = GetParam();
    const CommandCategory* category = findCommandCategory(number);
    ASSERT_NE(category, nullptr);
    LeaveAChosenCommandBehind(number);

    builder.ChooseCategory(number);

    std::vector<std::string> expected = {std::string(category->heading)};
    for (const ScriptCommand& command : category->commands)
        expected.emplace_back(command.name);
    EXPECT_EQ(Commands(), expected);
    EXPECT_EQ(builder.commandList()->currentIndex(), 0);
    EXPECT_EQ(cp1252::encode(builder.commandList()->currentText()), category->heading);
    ExpectParameterChoiceReset();
}

INSTANTIATE_TEST_SUITE_P(EveryCategory, MainWindowCategoryChoice, ::testing::Range(1, 11));

TEST_F(MainWindowCatalogue, FilmCommandsGiveEightEntries)
{
    builder.ChooseCategory(7);
    const std::vector<std::string> commands = Commands();
    ASSERT_EQ(commands.size(), 8u);
    EXPECT_EQ(commands[0], "- Select a Film Command ==============================");
    EXPECT_EQ(commands[1], "begin_cutscene");
    EXPECT_EQ(commands[7], "splash_screen");
}

TEST_F(MainWindowCatalogue, PositionsMatchTheCatalogue)
{
    builder.ChooseCategory(2);
    EXPECT_EQ(Commands().at(46), "chr_wait_health");
    builder.ChooseCategory(1);
    EXPECT_EQ(Commands().at(92), "ai2_tripalarm");
    EXPECT_EQ(Commands().size(), 93u);
    builder.ChooseCategory(3);
    EXPECT_EQ(Commands().at(1), "did_kill_griffen");
    builder.ChooseCategory(8);
    EXPECT_EQ(Commands().at(1), "cm_anim both");
    EXPECT_EQ(Commands().at(2), "cm_anim_block both");
}

TEST_F(MainWindowCatalogue, HoldsTwoHundredAndThirtyFiveCommands)
{
    std::size_t total = 0;
    for (int number = 1; number <= kCategoryCount; ++number) {
        builder.ChooseCategory(number);
        total += std::size_t(builder.commandList()->count() - 1);
    }
    EXPECT_EQ(total, 235u);
}

TEST_F(MainWindowCatalogue, EveryChoiceRebuildsTheCommandListFromScratch)
{
    builder.ChooseCategory(1);
    builder.ChoosePosition(24);
    builder.ChooseCategory(6);
    EXPECT_EQ(builder.commandList()->count(), 5);
    EXPECT_EQ(builder.commandList()->currentIndex(), 0);

    // Choosing the same category again starts it over as well.
    builder.ChoosePosition(3);
    ASSERT_FALSE(builder.Hint().empty());
    builder.categoryList()->setCurrentIndex(0);
    builder.ChooseCategory(6);
    EXPECT_EQ(builder.commandList()->count(), 5);
    EXPECT_EQ(builder.commandList()->currentIndex(), 0);
    ExpectParameterChoiceReset();
}

TEST_F(MainWindowCatalogue, ThePromptEmptiesTheListsAndResetsTheBoxes)
{
    LeaveAChosenCommandBehind(0);

    builder.ChooseCategory(0);

    EXPECT_EQ(builder.commandList()->count(), 0);
    EXPECT_EQ(builder.commandList()->currentText(), QString());
    ExpectParameterChoiceReset();
    EXPECT_EQ(builder.categoryList()->currentText(), QStringLiteral("Select a Command Type"));
}

TEST_F(MainWindowCatalogue, NoSelectionBehavesLikeThePrompt)
{
    builder.ChooseCategory(5);
    builder.ChoosePosition(2);
    builder.categoryList()->setCurrentIndex(-1);
    EXPECT_EQ(builder.commandList()->count(), 0);
    ExpectParameterChoiceReset();
}

} // namespace
