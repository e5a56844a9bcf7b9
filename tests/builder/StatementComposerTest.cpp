#include "builder/CommandCatalogue.h"
#include "builder/ParamSets.h"
#include "builder/StatementComposer.h"

#include <gtest/gtest.h>

namespace {

StatementChoice Choice(std::string command, std::string p1 = {}, std::string p2 = {}, std::string p3 = {},
                       std::string custom = {})
{
    return {std::move(command), std::move(p1), std::move(p2), std::move(p3), std::move(custom)};
}

std::string Compose(const StatementChoice& choice)
{
    if (const StatementTemplate* statementTemplate = FindStatementTemplate(choice.command))
        return ComposeFromTemplate(*statementTemplate, choice);
    return ComposeDefault(choice);
}

TEST(StatementRefusal, EverythingEmptyIsRefused)
{
    EXPECT_TRUE(IsRefusedCombination(Choice("")));
    EXPECT_FALSE(IsRefusedCombination(Choice("", "demo1")));
}

TEST(StatementRefusal, CustomValueAloneDoesNotCount)
{
    EXPECT_TRUE(IsRefusedCombination(Choice("", "", "", "", "42")));
}

TEST(StatementRefusal, EveryCommandHeadingIsRefused)
{
    for (const CommandCategory& category : CommandCategories())
        EXPECT_TRUE(IsRefusedCombination(Choice(std::string(category.heading)))) << category.heading;
}

TEST(StatementRefusal, LevelHeadingInAnyListIsRefused)
{
    const std::string standard = "Level 03- Bio-Research Lab. ==============================";
    const std::string misspelt = "Level 14- Moutain Compound ==============================";
    const std::string shortForm = "01- Syndicate Warehouse ==============================";
    const std::string soundHeading = "Level 12- TCTF Science Prison #112 ==============================";
    for (const std::string& heading : {standard, misspelt, shortForm, soundHeading}) {
        EXPECT_TRUE(IsRefusedCombination(Choice("ai2_attack", heading))) << heading;
        EXPECT_TRUE(IsRefusedCombination(Choice("ai2_attack", "demo1", heading))) << heading;
        EXPECT_TRUE(IsRefusedCombination(Choice("playback", "demo1", "film", heading))) << heading;
    }
}

TEST(StatementRefusal, EveryPlaceholderIsRefusedButTypedTextIsNot)
{
    for (std::string_view placeholder : PlaceholderTexts()) {
        const std::string text(placeholder);
        EXPECT_TRUE(IsRefusedCombination(Choice("dmsg", "", "", "", text))) << text;
        EXPECT_FALSE(IsRefusedCombination(Choice("dmsg", "", "", "", text + " "))) << text;
        EXPECT_FALSE(IsRefusedCombination(Choice("dmsg", "", "", "", "say " + text))) << text;
    }
    const std::string countPrompt = "< REPLACE WITH A NUMBER OF YOUR CHOICE \"INT\" >";
    EXPECT_TRUE(IsRefusedCombination(Choice("trigvolume_count", "71", "eq 1", "", countPrompt)));
    EXPECT_FALSE(IsRefusedCombination(Choice("trigvolume_count", "71", "eq 1", "", "3")));
    EXPECT_FALSE(IsRefusedCombination(Choice("dmsg", "", "", "", "< replace with the message you want to be displayed >")));
}

TEST(DefaultLayout, EmptyValuesKeepTheirBlanks)
{
    EXPECT_EQ(Compose(Choice("ai2_kill")), "ai2_kill    \n");
    EXPECT_EQ(Compose(Choice("ai2_attack", "demo1", "demo2")), "ai2_attack demo1 demo2  \n");
    EXPECT_EQ(Compose(Choice("cm_anim both", "Cam4")), "cm_anim both Cam4   \n");
    EXPECT_EQ(Compose(Choice("fade_out", "", "", "", "0 0 0 180")), "fade_out    0 0 0 180\n");
}

TEST(DefaultLayout, PercentSignsInValuesAreTakenLiterally)
{
    EXPECT_EQ(Compose(Choice("dmsg", "", "", "", "100%s done %d")), "dmsg    100%s done %d\n");
}

TEST(StatementTemplates, ChrHasEmptyWeapon)
{
    EXPECT_EQ(Compose(Choice("chr_has_empty_weapon", "demo1", "eq 1")),
              "\n\tvar int empty_weapon = chr_has_empty_weapon(demo1);\n\tif(empty_weapon eq 1)\n\t{\n"
              "\t# TODO: Add what ever you want to happen here when the\n"
              "\t# character have/dont have ammo in his weapon\n\t}\n\t");
}

TEST(StatementTemplates, ChrHasLsi)
{
    EXPECT_EQ(Compose(Choice("chr_has_lsi", "demo1")),
              "\n\tif(chr_has_lsi(demo1))\n\t{\n\t# TODO: Add what ever you want to happen if the\n"
              "\t# character in the '()' braces have an LSI\n\t}\n\t");
}

TEST(StatementTemplates, ChrIsPlayer)
{
    EXPECT_EQ(Compose(Choice("chr_is_player", "demo1", "ne 0")),
              "\n\tvar bool is_that_me = chr_is_player(demo1);\n\tif(is_that_me ne 0)\n\t{\n"
              "\t# TODO: Add what ever you want to happen if the\n\t# charater you selected is/isnt you.\n\t}\n\t");
}

TEST(StatementTemplates, CinematicStartRepeatsItsPicture)
{
    EXPECT_EQ(Compose(Choice("cinematic_start", "BOPSface")),
              "\tcinematic_start(BOPSface, 180, 180, 15, 15, 15, true)\n"
              "\t# TODO: Add what ever you want to happen here before\n\t# the stop_cinematic(...) command\n"
              "\tcinematic_stop(BOPSface, 15, 15)\n");
}

TEST(StatementTemplates, DidKillGriffenAndDifficulty)
{
    EXPECT_EQ(Compose(Choice("did_kill_griffen", "eq 0", "eq 1")),
              "\n\tif(did_kill_griffen() eq 0)\n\t{\n\t# TODO: Add what ever you want to happen here if Griffen is\n"
              "\t# dead/notdead before the end of the block of statment\n\t}\n\t");
    EXPECT_EQ(Compose(Choice("difficulty", "ne 0")),
              "\n\tif(difficulty() ne 0)\n\t{\n\t# TODO: Add what ever you want to happen here at this\n"
              "\t# difficulty level\n\t}\n\t");
}

TEST(StatementTemplates, TrigvolumeCountTakesTheCustomValue)
{
    EXPECT_EQ(Compose(Choice("trigvolume_count", "71", "eq 1", "", "3")),
              "\n\tif(trigvolume_count(71) eq 1 3)\n\t{\n\t# TODO: Add what ever you want to happen here if the\n"
              "\t# trigger you selected is =/!= to the number you\n\t# typed in the custom text box\n\t}\n\t");
}

TEST(StatementTemplates, OnlyTheListedCommandsHaveOne)
{
    int count = 0;
    for (const CommandCategory& category : CommandCategories())
        for (std::string_view command : category.commands)
            count += FindStatementTemplate(command) != nullptr;
    EXPECT_EQ(count, 7);
    EXPECT_EQ(FindStatementTemplate(kStopCommand), nullptr);
    EXPECT_EQ(FindStatementTemplate("CHR_HAS_LSI"), nullptr);
}

} // namespace
