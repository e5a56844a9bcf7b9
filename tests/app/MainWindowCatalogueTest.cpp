#include "app/Resource.h"
#include "builder/CommandCatalogue.h"
#include "platform/DropDownList.h"
#include "support/FakeDesktopServices.h"
#include "support/ScriptToolDlgTestAccess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Access = ScriptToolDlgTestAccess;

const std::string kFiller(50, '=');
const std::string kHintAsShown =
    "-> 'CTRL+ENTER' = NEW LINE.\r\n\r\n-> 'CTRL+TAB'     = TAB.\r\n\r\n-> EDITING KEY ARE ENABLED.";

class MainWindowCatalogue : public ::testing::Test {
protected:
    // As the user picks an entry of the command-type list.
    void ChooseCategory(int position) { main.control<DropDownList>(IDC_CATEGORY_COMBO)->setCurrentIndex(position); }

    std::vector<std::string> Entries(CComboBox& combo)
    {
        std::vector<std::string> entries;
        for (int i = 0; i < combo.GetCount(); ++i)
            entries.push_back(combo.GetLBText(i));
        return entries;
    }

    // What a chosen command leaves behind, for a category change to clear.
    void LeaveAChosenCommandBehind()
    {
        Access::Param1(main.dlg).AddStrings({"demo1", "demo2"});
        Access::Param1(main.dlg).SetCurSel(1);
        Access::Param2(main.dlg).AddString("eq 1");
        Access::Param3(main.dlg).AddString("Cam4");
        main.dlg.SetDlgItemText(IDC_CUSTOM_EDIT, "3");
        main.dlg.SetDlgItemText(IDC_HINT_EDIT, "teleports a character to a flag");
    }

    FakeDesktopServices desktop;
    MainWindowUnderTest main;
};

TEST_F(MainWindowCatalogue, OffersTheTenCategoriesAfterThePrompt)
{
    const std::vector<std::string> expected = {
        "Select a Command Type", "AI2 Commands",     "Character Commands", "Game Play Commands",
        "World Object Commands", "Trigger Commands", "Message Commands",   "Film Commands",
        "Camera Commands",       "Envaironment Commands", "Play Sounds"};
    EXPECT_EQ(Entries(Access::Category(main.dlg)), expected);
    EXPECT_EQ(Access::Category(main.dlg).GetCurSel(), 0);
}

class MainWindowCategoryChoice : public MainWindowCatalogue, public ::testing::WithParamInterface<int> {};

TEST_P(MainWindowCategoryChoice, FillsTheCommandListWithTheHeadingFirst)
{
    const int number = GetParam();
    const CommandCategory* category = FindCommandCategory(number);
    ASSERT_NE(category, nullptr);
    LeaveAChosenCommandBehind();

    ChooseCategory(number);

    std::vector<std::string> expected = {std::string(category->heading)};
    for (const std::string_view command : category->commands)
        expected.emplace_back(command);
    EXPECT_EQ(Entries(Access::Command(main.dlg)), expected);
    EXPECT_EQ(Access::Command(main.dlg).GetCurSel(), 0);
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_COMMAND_COMBO), std::string(category->heading));
    EXPECT_EQ(Access::CommandType(main.dlg), number);
    EXPECT_EQ(Access::Param1(main.dlg).GetCount(), 0);
    EXPECT_EQ(Access::Param2(main.dlg).GetCount(), 0);
    EXPECT_EQ(Access::Param3(main.dlg).GetCount(), 0);
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_CUSTOM_EDIT), kFiller);
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_HINT_EDIT), kHintAsShown);
}

INSTANTIATE_TEST_SUITE_P(EveryCategory, MainWindowCategoryChoice, ::testing::Range(1, 11));

TEST_F(MainWindowCatalogue, FilmCommandsGiveEightEntries)
{
    ChooseCategory(7);
    CComboBox& commands = Access::Command(main.dlg);
    ASSERT_EQ(commands.GetCount(), 8);
    EXPECT_EQ(commands.GetLBText(0), "- Select a Film Command ==============================");
    EXPECT_EQ(commands.GetLBText(1), "begin_cutscene");
    EXPECT_EQ(commands.GetLBText(7), "splash_screen");
}

TEST_F(MainWindowCatalogue, PositionsMatchTheCatalogue)
{
    ChooseCategory(2);
    EXPECT_EQ(Access::Command(main.dlg).GetLBText(46), "chr_wait_health");
    ChooseCategory(1);
    EXPECT_EQ(Access::Command(main.dlg).GetLBText(92), "ai2_tripalarm");
    EXPECT_EQ(Access::Command(main.dlg).GetCount(), 93);
    ChooseCategory(3);
    EXPECT_EQ(Access::Command(main.dlg).GetLBText(1), "did_kill_griffen");
    ChooseCategory(8);
    EXPECT_EQ(Access::Command(main.dlg).GetLBText(1), "cm_anim both");
    EXPECT_EQ(Access::Command(main.dlg).GetLBText(2), "cm_anim_block both");
}

TEST_F(MainWindowCatalogue, EveryChoiceRebuildsTheCommandListFromScratch)
{
    ChooseCategory(1);
    Access::Command(main.dlg).SetCurSel(24);
    ChooseCategory(6);
    EXPECT_EQ(Access::Command(main.dlg).GetCount(), 5);
    EXPECT_EQ(Access::Command(main.dlg).GetCurSel(), 0);
    EXPECT_EQ(Access::CommandType(main.dlg), 6);
}

TEST_F(MainWindowCatalogue, ThePromptEmptiesTheListsResetsTheBoxesAndKeepsTheCategory)
{
    ChooseCategory(4);
    LeaveAChosenCommandBehind();

    ChooseCategory(0);

    EXPECT_EQ(Access::Command(main.dlg).GetCount(), 0);
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_COMMAND_COMBO), "");
    EXPECT_EQ(Access::Param1(main.dlg).GetCount(), 0);
    EXPECT_EQ(Access::Param2(main.dlg).GetCount(), 0);
    EXPECT_EQ(Access::Param3(main.dlg).GetCount(), 0);
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_CUSTOM_EDIT), kFiller);
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_HINT_EDIT), kHintAsShown);
    EXPECT_EQ(Access::CommandType(main.dlg), 4);
}

TEST_F(MainWindowCatalogue, NoSelectionBehavesLikeThePrompt)
{
    ChooseCategory(5);
    Access::Category(main.dlg).SetCurSel(-1);
    Access::OnSelchangeCategoryCombo(main.dlg);
    EXPECT_EQ(Access::Command(main.dlg).GetCount(), 0);
    EXPECT_EQ(Access::CommandType(main.dlg), 5);
}

} // namespace
