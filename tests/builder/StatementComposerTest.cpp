#include "catalogue/CommandTable.h"
#include "builder/StatementComposer.h"

#include <gtest/gtest.h>

namespace {

StatementChoice makeChoice(std::string command, std::string p1 = {}, std::string p2 = {}, std::string p3 = {},
                           std::string custom = {})
{
    return {std::move(command), std::move(p1), std::move(p2), std::move(p3), std::move(custom)};
}

std::string compose(const StatementChoice& choice)
{
    if (const StatementTemplate* statementTemplate = findStatementTemplate(choice.command))
        return composeFromTemplate(*statementTemplate, choice);
    return composeDefault(choice);
}

TEST(StatementRefusal, EverythingEmptyIsRefused)
{
    EXPECT_TRUE(isRefusedCombination(makeChoice("")));
    EXPECT_FALSE(isRefusedCombination(makeChoice("", "demo1")));
}

TEST(StatementRefusal, CustomValueAloneDoesNotCount)
{
    EXPECT_TRUE(isRefusedCombination(makeChoice("", "", "", "", "42")));
}

TEST(StatementRefusal, EveryCommandHeadingIsRefusedButNoCommand)
{
    for (const CommandCategory& category : commandCategories()) {
        EXPECT_TRUE(isRefusedCombination(makeChoice(std::string(category.heading)))) << category.heading;
        for (const ScriptCommand& command : category.commands)
            EXPECT_FALSE(isRefusedCombination(makeChoice(std::string(command.name)))) << command.name;
    }
}

TEST(StatementRefusal, LevelHeadingInAnyListIsRefused)
{
    const std::string standard = "Level 03- Bio-Research Lab. ==============================";
    const std::string misspelt = "Level 14- Moutain Compound ==============================";
    const std::string shortForm = "01- Syndicate Warehouse ==============================";
    const std::string soundHeading = "Level 12- TCTF Science Prison #112 ==============================";
    for (const std::string& heading : {standard, misspelt, shortForm, soundHeading}) {
        EXPECT_TRUE(isRefusedCombination(makeChoice("ai2_attack", heading))) << heading;
        EXPECT_TRUE(isRefusedCombination(makeChoice("ai2_attack", "demo1", heading))) << heading;
        EXPECT_TRUE(isRefusedCombination(makeChoice("playback", "demo1", "film", heading))) << heading;
    }
}

TEST(StatementRefusal, EveryPlaceholderIsRefusedButTypedTextIsNot)
{
    for (std::string_view placeholder : placeholderTexts()) {
        const std::string text(placeholder);
        EXPECT_TRUE(isRefusedCombination(makeChoice("dmsg", "", "", "", text))) << text;
        EXPECT_FALSE(isRefusedCombination(makeChoice("dmsg", "", "", "", text + " "))) << text;
        EXPECT_FALSE(isRefusedCombination(makeChoice("dmsg", "", "", "", "say " + text))) << text;
    }
    const std::string countPrompt = "< REPLACE WITH A NUMBER OF YOUR CHOICE \"INT\" >";
    EXPECT_TRUE(isRefusedCombination(makeChoice("trigvolume_count", "71", "eq 1", "", countPrompt)));
    EXPECT_FALSE(isRefusedCombination(makeChoice("trigvolume_count", "71", "eq 1", "", "3")));
    EXPECT_FALSE(isRefusedCombination(makeChoice("dmsg", "", "", "", "< replace with the message you want to be displayed >")));
}

TEST(DefaultLayout, EmptyValuesKeepTheirBlanks)
{
    EXPECT_EQ(compose(makeChoice("ai2_kill")), "ai2_kill    \n");
    EXPECT_EQ(compose(makeChoice("ai2_attack", "demo1", "demo2")), "ai2_attack demo1 demo2  \n");
    EXPECT_EQ(compose(makeChoice("cm_anim both", "Cam4")), "cm_anim both Cam4   \n");
    EXPECT_EQ(compose(makeChoice("fade_out", "", "", "", "0 0 0 180")), "fade_out    0 0 0 180\n");
}

TEST(DefaultLayout, PercentSignsInValuesAreTakenLiterally)
{
    EXPECT_EQ(compose(makeChoice("dmsg", "", "", "", "100%s done %d")), "dmsg    100%s done %d\n");
}

TEST(StatementTemplates, ChrHasEmptyWeapon)
{
    EXPECT_EQ(compose(makeChoice("chr_has_empty_weapon", "demo1", "eq 1")),
              "\n\tvar int empty_weapon = chr_has_empty_weapon(demo1);\n\tif(empty_weapon eq 1)\n\t{\n"
              "\t# TODO: Add what ever you want to happen here when the\n"
              "\t# character have/dont have ammo in his weapon\n\t}\n\t");
}

TEST(StatementTemplates, ChrHasLsi)
{
    EXPECT_EQ(compose(makeChoice("chr_has_lsi", "demo1")),
              "\n\tif(chr_has_lsi(demo1))\n\t{\n\t# TODO: Add what ever you want to happen if the\n"
              "\t# character in the '()' braces have an LSI\n\t}\n\t");
}

TEST(StatementTemplates, ChrIsPlayer)
{
    EXPECT_EQ(compose(makeChoice("chr_is_player", "demo1", "ne 0")),
              "\n\tvar bool is_that_me = chr_is_player(demo1);\n\tif(is_that_me ne 0)\n\t{\n"
              "\t# TODO: Add what ever you want to happen if the\n\t# charater you selected is/isnt you.\n\t}\n\t");
}

TEST(StatementTemplates, CinematicStartRepeatsItsPicture)
{
    EXPECT_EQ(compose(makeChoice("cinematic_start", "BOPSface")),
              "\tcinematic_start(BOPSface, 180, 180, 15, 15, 15, true)\n"
              "\t# TODO: Add what ever you want to happen here before\n\t# the stop_cinematic(...) command\n"
              "\tcinematic_stop(BOPSface, 15, 15)\n");
}

TEST(StatementTemplates, DidKillGriffenAndDifficulty)
{
    EXPECT_EQ(compose(makeChoice("did_kill_griffen", "eq 0", "eq 1")),
              "\n\tif(did_kill_griffen() eq 0)\n\t{\n\t# TODO: Add what ever you want to happen here if Griffen is\n"
              "\t# dead/notdead before the end of the block of statment\n\t}\n\t");
    EXPECT_EQ(compose(makeChoice("difficulty", "ne 0")),
              "\n\tif(difficulty() ne 0)\n\t{\n\t# TODO: Add what ever you want to happen here at this\n"
              "\t# difficulty level\n\t}\n\t");
}

TEST(StatementTemplates, TrigvolumeCountTakesTheCustomValue)
{
    EXPECT_EQ(compose(makeChoice("trigvolume_count", "71", "eq 1", "", "3")),
              "\n\tif(trigvolume_count(71) eq 1 3)\n\t{\n\t# TODO: Add what ever you want to happen here if the\n"
              "\t# trigger you selected is =/!= to the number you\n\t# typed in the custom text box\n\t}\n\t");
}

TEST(StatementTemplates, OnlyTheListedCommandsHaveOne)
{
    int count = 0;
    for (const CommandCategory& category : commandCategories())
        for (const ScriptCommand& command : category.commands)
            count += findStatementTemplate(command.name) != nullptr;
    EXPECT_EQ(count, 7);
    EXPECT_EQ(findStatementTemplate(kStopCommand), nullptr);
    EXPECT_EQ(findStatementTemplate("CHR_HAS_LSI"), nullptr);
}

} // namespace
