#include "builder/CommandCatalogue.h"
#include "builder/ParamSets.h"
#include "builder/ReferenceDatabase.h"
#include "SoundSlices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Entries = std::vector<std::string>;
using Names = std::set<std::string_view>;

constexpr std::string_view kHeadingTail = " ==============================";

std::vector<const CommandParamSet*> AllSets()
{
    std::vector<const CommandParamSet*> sets;
    for (int category = 1; category <= kCategoryCount; ++category) {
        for (int position = 1; const CommandParamSet* set = FindCommandParamSet(category, position);
             ++position)
            sets.push_back(set);
    }
    return sets;
}

const CommandParamSet& SetOf(std::string_view command)
{
    for (const CommandParamSet* set : AllSets()) {
        if (set->command == command)
            return *set;
    }
    ADD_FAILURE() << "no parameter set for " << command;
    static const CommandParamSet kMissing{};
    return kMissing;
}

Entries Fill(std::span<const ParamSource> sources)
{
    Entries list;
    FillParamList(sources, list);
    return list;
}

Entries Range(std::uint16_t first, std::uint16_t last)
{
    Entries list;
    AddStringRange(list, first, last);
    return list;
}

Entries Concat(Entries head, const Entries& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

const Entries kZeroOne = {"0", "1"};
const Entries kTenths = {"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1"};

bool IsSoundsHeading(std::string_view text)
{
    return text.ends_with(kHeadingTail) && text.size() > kHeadingTail.size();
}

// Sounds lists alternate a heading literal of their own and one slice of the sound section.
bool IsCompositeSoundsList(std::span<const ParamSource> list)
{
    if (list.size() < 2 || list.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < list.size(); i += 2) {
        const auto* heading = std::get_if<std::string_view>(&list[i]);
        if (!heading || !IsSoundsHeading(*heading)
            || !std::holds_alternative<StringRange>(list[i + 1]))
            return false;
    }
    return true;
}

int IdentifierCount(std::span<const ParamSource> list)
{
    int count = 0;
    for (const ParamSource& source : list) {
        if (const auto* range = std::get_if<StringRange>(&source))
            count += range->last - range->first + 1;
    }
    return count;
}

Entries Headings(std::span<const ParamSource> list)
{
    Entries headings;
    for (std::size_t i = 0; i < list.size(); i += 2)
        headings.emplace_back(std::get<std::string_view>(list[i]));
    return headings;
}

Names CommandsWhere(bool (*predicate)(const CommandParamSet&))
{
    Names names;
    for (const CommandParamSet* set : AllSets()) {
        if (predicate(*set))
            names.insert(set->command);
    }
    return names;
}

TEST(ParamSetLookup, EveryCatalogueCommandHasItsSetUnderItsKey)
{
    int total = 0;
    for (int category = 1; category <= kCategoryCount; ++category) {
        const CommandCategory* catalogue = FindCommandCategory(category);
        ASSERT_NE(catalogue, nullptr);
        const int count = static_cast<int>(catalogue->commands.size());
        for (int position = 1; position <= count; ++position) {
            const CommandParamSet* set = FindCommandParamSet(category, position);
            ASSERT_NE(set, nullptr) << category << "/" << position;
            EXPECT_EQ(set->command, catalogue->commands[position - 1])
                << category << "/" << position;
        }
        EXPECT_EQ(FindCommandParamSet(category, count + 1), nullptr) << category;
        total += count;
    }
    EXPECT_EQ(total, 235);
    EXPECT_EQ(AllSets().size(), 235u);
}

TEST(ParamSetLookup, KeysOutsideTheCatalogueHaveNoSet)
{
    for (int category = 1; category <= kCategoryCount; ++category)
        EXPECT_EQ(FindCommandParamSet(category, 0), nullptr) << category;
    EXPECT_EQ(FindCommandParamSet(1, -1), nullptr);
    EXPECT_EQ(FindCommandParamSet(1, 93), nullptr);
    EXPECT_EQ(FindCommandParamSet(10, 10), nullptr);
    EXPECT_EQ(FindCommandParamSet(0, 1), nullptr);
    EXPECT_EQ(FindCommandParamSet(11, 1), nullptr);
    EXPECT_EQ(FindCommandParamSet(-1, 1), nullptr);
}

TEST(ParamSetTable, ShapesMatchTheirCounts)
{
    std::map<std::string, int> shapes;
    for (const CommandParamSet* set : AllSets()) {
        std::string shape;
        for (std::span<const ParamSource> list : set->lists())
            shape += list.empty() ? '-' : 'x';
        ++shapes[shape];
    }
    const std::map<std::string, int> expected = {
        {"---", 45}, {"x--", 114}, {"-x-", 2}, {"xx-", 67}, {"xxx", 7}};
    EXPECT_EQ(shapes, expected);
}

TEST(ParamSetTable, OnlyTheSkillFileCommandsLeaveAGapBeforeTheirList)
{
    const Names gaps = CommandsWhere([](const CommandParamSet& set) {
        return (set.list1.empty() && !set.list2.empty())
               || (set.list2.empty() && !set.list3.empty());
    });
    EXPECT_EQ(gaps, (Names{"ai2_skill_revert", "ai2_skill_save"}));
}

TEST(ParamSetTable, SixteenCommandsShowAPlaceholder)
{
    const Names withPlaceholder =
        CommandsWhere([](const CommandParamSet& set) { return set.placeholder.has_value(); });
    const Names expected = {"ai2_skill_delaymax", "ai2_skill_delaymin", "chr_givepowerup",
                            "chr_poison", "chr_wait_health", "slowmo", "obj_shade", "trig_speed",
                            "trigvolume_count", "dmsg", "cm_barabus", "cm_interpolate",
                            "cm_interpolate_block", "fade_in", "fade_out", "env_shade"};
    EXPECT_EQ(withPlaceholder, expected);
}

TEST(ParamSetTable, PlaceholdersAreTheFourteenDistinctPromptTexts)
{
    const std::span<const std::string_view> texts = PlaceholderTexts();
    const Names distinct(texts.begin(), texts.end());
    EXPECT_EQ(texts.size(), 14u);
    EXPECT_EQ(distinct.size(), 14u);
    for (std::string_view text : texts) {
        EXPECT_TRUE(text.starts_with("<")) << text;
        EXPECT_TRUE(text.ends_with(">")) << text;
    }

    Names used;
    for (const CommandParamSet* set : AllSets()) {
        if (set->placeholder) {
            EXPECT_TRUE(distinct.contains(*set->placeholder)) << set->command;
            used.insert(*set->placeholder);
        }
    }
    EXPECT_EQ(used, distinct);

    EXPECT_EQ(SetOf("ai2_skill_delaymax").placeholder,
              "< REPLACE WITH 'INT' THAT REPRESENTS THE TIME OF DELAY >");
    EXPECT_EQ(SetOf("slowmo").placeholder,
              "< REPLACE WITH 'INT' REPRESINTING THE TIME IN MILLISECONDS >");
    EXPECT_EQ(SetOf("chr_poison").placeholder,
              "< DAMAGE'INT' > , < INTERVAL'INT' > , < INIT_INTERV'INT' >");
    EXPECT_EQ(SetOf("env_shade").placeholder, "< REPLACE WITH \"FLOAT\" RGB COLOR REFERENCE >");
    EXPECT_EQ(SetOf("cm_interpolate").placeholder, SetOf("cm_interpolate_block").placeholder);
}

TEST(ParamSetTable, DescriptionMarksMatchTheirCounts)
{
    int notSure = 0;
    int unknown = 0;
    int unknownCommand = 0;
    for (const CommandParamSet* set : AllSets()) {
        EXPECT_FALSE(set->description.empty()) << set->command;
        notSure += set->description.ends_with(" - NOT SURE");
        unknown += set->description.find(" - UNKNOWN") != std::string_view::npos;
        unknownCommand += set->description.find(" - UNKNOWN COMMAND") != std::string_view::npos;
    }
    EXPECT_EQ(notSure, 45);
    EXPECT_EQ(unknown, 24);
    EXPECT_EQ(unknownCommand, 3);
}

TEST(ParamSetTable, OnlyTheKnownGroupsShareADescription)
{
    std::map<std::string_view, Names> byDescription;
    for (const CommandParamSet* set : AllSets())
        byDescription[set->description].insert(set->command);

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

TEST(ParamSetTable, DescriptionsKeepTheirExactText)
{
    EXPECT_EQ(SetOf("chr_delete").description, "deletes a character\t");
    EXPECT_TRUE(SetOf("fade_out").description.ends_with("reference u already gave '0 0 0'. "));
    EXPECT_EQ(SetOf("chr_wait_health").description,
              "waits until a character's health falls below a value then contiune to the next "
              "line in the script");
    EXPECT_EQ(SetOf("target_set").description,
              "Sets the target to the specified flag in the compase");
    EXPECT_EQ(SetOf("end_cutscene").description, "Finishs a Cutscene after starting one");
    EXPECT_EQ(SetOf("chr_shadow").description, "turns of[f] the shadow for this character");
    EXPECT_EQ(SetOf("ai2_chump").description, "creates a chump - UNKNOWN COMMAND");
}

TEST(ParamSetTable, EveryLiteralIsOneTheBuilderOffers)
{
    Names allowed = {"0", "1", "barabus", "none", "high", "medium", "low", "walk", "run",
                     "run_noaim", "creep", "force", "Syndicate", "Konoko", "tctf", "start",
                     "norotation", "= 0", "= 1", "hurt", "silent", "autosave", "compass", "health",
                     "left", "right", "keys_hypo", "keys_walk", "all", "entry", "inside", "exit",
                     "on", "off", "fromhere", "interp", "pause", "eq 0", "ne 0", "eq 1", "ne 1",
                     "ammo", "cell", "shield", "invis", "hypo"};
    const Entries tenthsAndCounts = {"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8",
                                     "0.9", "2",   "3",   "4",   "5",   "6",   "7",   "8",
                                     "9",   "10",  "11",  "12",  "13",  "14",  "15",  "16",
                                     "17",  "18",  "19",  "20",  "21",  "22",  "23",  "24",
                                     "25",  "26",  "27",  "28",  "29",  "30"};
    allowed.insert(tenthsAndCounts.begin(), tenthsAndCounts.end());

    for (const CommandParamSet* set : AllSets()) {
        for (std::span<const ParamSource> list : set->lists()) {
            const bool sounds = IsCompositeSoundsList(list);
            for (std::size_t i = 0; i < list.size(); ++i) {
                const auto* literal = std::get_if<std::string_view>(&list[i]);
                if (!literal || (sounds && i % 2 == 0))
                    continue;
                EXPECT_TRUE(allowed.contains(*literal)) << set->command << ": " << *literal;
            }
        }
    }
}

TEST(ParamSetTable, LiteralListsRecurAsOftenAsTheTablesShow)
{
    Entries counts;
    for (int count = 1; count <= 30; ++count)
        counts.push_back(std::to_string(count));
    const std::map<Entries, int> expected = {
        {kZeroOne, 71},
        {kTenths, 13},
        {{"= 0", "= 1"}, 7},
        {{"eq 0", "ne 0", "eq 1", "ne 1"}, 3},
        {{"ammo", "cell", "shield", "invis", "hypo"}, 2},
        {{"norotation"}, 2},
        {{"eq 0", "ne 0"}, 2},
        {{"eq 1", "ne 1"}, 2},
        {counts, 1},
        {{"barabus"}, 1},
        {{"none"}, 1},
        {{"high", "medium", "low"}, 1},
        {{"walk", "run", "run_noaim", "creep"}, 1},
        {{"force"}, 1},
        {{"Syndicate", "Konoko", "tctf"}, 1},
        {{"start"}, 1},
        {{"hurt"}, 1},
        {{"silent"}, 1},
        {{"autosave"}, 1},
        {{"compass", "health"}, 1},
        {{"left", "right"}, 1},
        {{"all", "entry", "inside", "exit"}, 1},
        {{"on", "off"}, 1},
        {{"fromhere", "interp"}, 1},
        {{"pause"}, 1},
    };

    std::map<Entries, int> literalLists;
    for (const CommandParamSet* set : AllSets()) {
        for (std::span<const ParamSource> list : set->lists()) {
            const bool literalsOnly =
                !list.empty() && std::ranges::all_of(list, [](const ParamSource& source) {
                    return std::holds_alternative<std::string_view>(source);
                });
            if (literalsOnly)
                ++literalLists[Fill(list)];
        }
    }
    EXPECT_EQ(literalLists, expected);
}

// Which commands offer each slice, and in which list.
const std::map<std::pair<int, int>, Names> kRangeUsers = {
    {{102, 183}, {"env_anim:1", "env_shade:1"}},
    {{185, 325}, {"env_setanim:1"}},
    {{1881, 2187}, {"trigvolume_enable:1", "trigvolume_reset:1"}},
    {{2301, 2365}, {"trigvolume_corpse:1", "trigvolume_count:1", "trigvolume_kill:1"}},
    {{2369, 2497},
     {"trig_activate:1", "trig_deactivate:1", "trig_hide:1", "trig_reset:1", "trig_show:1",
      "trig_speed:1"}},
    {{2499, 2696},
     {"door_close:1", "door_jam:1", "door_lock:1", "door_open:1", "door_unjam:1", "door_unlock:1"}},
    {{2698, 2819}, {"console_activate:1", "console_deactivate:1", "console_reset:1"}},
    {{2831, 2898}, {"text_console:1"}},
    {{2900, 3055}, {"env_show:1"}},
    {{3057, 3156},
     {"obj_create:1", "obj_force_draw:1", "obj_hide:1", "obj_kill:1", "obj_shade:1", "obj_show:1"}},
    {{3324, 3400}, {"objective_set:1"}},
    {{3402, 3410}, {"turret_activate:1", "turret_deactivate:1", "turret_reset:1"}},
    {{3412, 3699},
     {"ai2_movetoflag:2", "chr_facetoflag:2", "chr_lock_active:2", "chr_teleport:2",
      "powerup_spawn:2", "weapon_spawn:2", "target_set:1"}},
    {{3701, 3922}, {"ai2_dopath:2"}},
    {{3924, 4246}, {"playback:2"}},
    {{4248, 4256}, {"lock_keys:1"}},
    {{4258, 4323}, {"save_game:1"}},
    {{4325, 4353}, {"splash_screen:1"}},
    {{4355, 4414}, {"cinematic_start:1"}},
    {{4416, 4432}, {"chr_envanim_block:2"}},
    {{4434, 4458}, {"chr_wait_animtype:2"}},
    {{4460, 4470}, {"chr_animate_block:2"}},
    {{4472, 4473}, {"chr_wait_animstate:2"}},
    {{4475, 4476}, {"chr_talk:2"}},
    {{4478, 4481}, {"chr_wait_animation:2"}},
    {{4483, 4504}, {"ai2_doalarm:2"}},
    {{4506, 4518}, {"ai2_tripalarm:1"}},
    {{4520, 4640}, {"chr_envanim:2", "chr_envanim_stop:1"}},
    {{4642, 4910}, {"chr_animate:2"}},
    {{4912, 4926}, {"ai2_skill_select:2", "chr_giveweapon:2", "weapon_spawn:1"}},
    {{4928, 4964}, {"chr_create:1"}},
    {{4966, 5094}, {"cm_interpolate_block:1"}},
    {{5096, 5422}, {"cm_interpolate:1"}},
    {{5424, 5517}, {"cm_anim both:1"}},
    {{5519, 5553}, {"cm_anim_block both:1"}},
};

const std::set<std::pair<int, int>> kSoundSliceSet = [] {
    std::set<std::pair<int, int>> slices;
    for (const SoundSlice& slice : kSoundSlices)
        slices.emplace(slice.first, slice.last);
    return slices;
}();

TEST(ParamSetTable, EveryRangeIsOfferedExactlyWhereItBelongs)
{
    std::map<std::pair<int, int>, Names> users;
    std::set<std::string> names;  // keeps the "command:list" texts alive for the views above
    int charactersInListOne = 0;
    Names charactersInListTwo;
    std::map<std::string_view, std::set<std::pair<int, int>>> soundSlicesByCommand;

    for (const CommandParamSet* set : AllSets()) {
        const auto lists = set->lists();
        for (std::size_t index = 0; index < lists.size(); ++index) {
            const bool sounds = IsCompositeSoundsList(lists[index]);
            for (const ParamSource& source : lists[index]) {
                const auto* range = std::get_if<StringRange>(&source);
                if (!range)
                    continue;
                ASSERT_LE(range->first, range->last) << set->command;
                const std::pair<int, int> key{range->first, range->last};
                if (sounds) {
                    EXPECT_TRUE(kSoundSliceSet.contains(key)) << set->command << " " << key.first;
                    soundSlicesByCommand[set->command].insert(key);
                } else if (key == std::pair{337, 1225}) {
                    if (index == 0)
                        ++charactersInListOne;
                    else
                        charactersInListTwo.insert(set->command);
                } else {
                    const auto user =
                        names.insert(std::string(set->command) + ":" + std::to_string(index + 1));
                    users[key].insert(*user.first);
                }
            }
        }
    }

    EXPECT_EQ(users, kRangeUsers);
    EXPECT_EQ(charactersInListOne, 73);
    EXPECT_EQ(charactersInListTwo,
              (Names{"ai2_attack", "ai2_lookatchar", "ai2_makeaware", "ai2_tripalarm"}));

    std::set<std::pair<int, int>> soundSlicesOfDistinctLists;
    int soundSliceCount = 0;
    for (std::string_view command :
         {"sound_ambient_start", "sound_dialog_play", "sound_impulse_play", "sound_music_start"}) {
        soundSliceCount += static_cast<int>(soundSlicesByCommand[command].size());
        soundSlicesOfDistinctLists.insert(soundSlicesByCommand[command].begin(),
                                          soundSlicesByCommand[command].end());
    }
    EXPECT_EQ(soundSliceCount, 49);
    EXPECT_EQ(soundSlicesOfDistinctLists, kSoundSliceSet);
}

TEST(ParamSetTable, CommandsOfOneSoundKindShareOneList)
{
    const auto firstList = [](std::string_view command) { return SetOf(command).list1.data(); };
    EXPECT_EQ(firstList("sound_ambient_stop"), firstList("sound_ambient_start"));
    EXPECT_EQ(firstList("sound_ambient_volume"), firstList("sound_ambient_start"));
    EXPECT_EQ(firstList("sound_music_stop"), firstList("sound_music_start"));
    EXPECT_EQ(firstList("sound_music_volume"), firstList("sound_music_start"));
}

TEST(SoundsLists, AmbientHeadingsLackTheWordLevel)
{
    const std::span<const ParamSource> ambient = SetOf("sound_ambient_start").list1;
    ASSERT_TRUE(IsCompositeSoundsList(ambient));
    const Entries headings = Headings(ambient);
    EXPECT_EQ(headings.size(), 14u);
    EXPECT_EQ(headings.front(), "01- Syndicate Warehouse ==============================");
    EXPECT_EQ(headings.back(), "14- Mountain Compound ==============================");
    for (const std::string& heading : headings)
        EXPECT_FALSE(heading.starts_with("Level")) << heading;
    EXPECT_EQ(IdentifierCount(ambient), 103);
    EXPECT_EQ(Fill(ambient).size(), 117u);
}

TEST(SoundsLists, DialogueOffersFourHundredAndEighteenLines)
{
    const std::span<const ParamSource> dialogue = SetOf("sound_dialog_play").list1;
    ASSERT_TRUE(IsCompositeSoundsList(dialogue));
    const Entries headings = Headings(dialogue);
    EXPECT_EQ(headings.size(), 14u);
    EXPECT_EQ(headings[11], "Level 12- TCTF Science Prison #112 ==============================");
    EXPECT_EQ(IdentifierCount(dialogue), 418);
    EXPECT_EQ(Fill(dialogue).size(), 432u);
}

TEST(SoundsLists, ImpulseOffersSixteenEntriesForSevenLevels)
{
    const Entries expected = {
        "Level 01- Syndicate Warehouse ==============================",
        "kon_land_con",
        "Level 03- Bio-Research Lab. ==============================",
        "glass_big",
        "konoko_gruesome_death",
        "Level 08- Atmosphere Conversion Cent. (Int.) ==============================",
        "konoko_gruesome_death",
        "Level 09- Regional State Building ==============================",
        "glass_big",
        "Level 10- Rooftops ==============================",
        "kon_roll",
        "Level 11- Dr.Hasegawa's Lab. ==============================",
        "konoko_gruesome_death",
        "konoko_wakeup",
        "Level 12- TCTF Science Prison ==============================",
        "konoko_gruesome_death",
    };
    EXPECT_EQ(Fill(SetOf("sound_impulse_play").list1), expected);
}

TEST(SoundsLists, MusicSkipsItsThreeIdentifiersWithoutText)
{
    const std::span<const ParamSource> music = SetOf("sound_music_start").list1;
    ASSERT_TRUE(IsCompositeSoundsList(music));
    EXPECT_EQ(Headings(music).size(), 14u);
    EXPECT_EQ(IdentifierCount(music), 73);

    const Entries entries = Fill(music);
    EXPECT_EQ(entries.size(), 84u);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const std::string& entry) { return IsSoundsHeading(entry); }),
              14);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), std::string()), 0);
    EXPECT_EQ(std::adjacent_find(entries.begin(), entries.end()), entries.end());
}

TEST(SoundsLists, AmbientStartsWithWarehouseAndRepeatsTheAlarmLoopOnLevelTwo)
{
    const Entries entries = Fill(SetOf("sound_ambient_volume").list1);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front(), "01- Syndicate Warehouse ==============================");
    const auto levelTwo = std::find(entries.begin(), entries.end(),
                                    "02- Manufacturing Plant ==============================");
    ASSERT_GE(std::distance(levelTwo, entries.end()), 5);
    EXPECT_EQ(Entries(levelTwo + 1, levelTwo + 4), Range(1729, 1731));
    EXPECT_EQ(levelTwo[1], "alarm_loop");
    EXPECT_EQ(levelTwo[3], "alarm_loop");
    EXPECT_EQ(levelTwo[4], "03- Bio-Research Lab. ==============================");
}

TEST(SoundsLists, DialogBlockOffersOnlyPause)
{
    const CommandParamSet& set = SetOf("sound_dialog_play_block");
    EXPECT_EQ(Fill(set.list1), Entries{"pause"});
    EXPECT_TRUE(set.list2.empty());
    EXPECT_TRUE(set.list3.empty());
}

TEST(ParamListFill, BlindAppendsZeroAndOneAfterTheCharacters)
{
    const CommandParamSet& set = SetOf("ai2_blind");
    const Entries entries = Fill(set.list1);
    ASSERT_EQ(entries.size(), 891u);
    EXPECT_EQ(entries[0], "Level 00- TCTF Training ==============================");
    EXPECT_EQ(entries[1], "demo1");
    EXPECT_EQ(entries, Concat(Range(337, 1225), kZeroOne));
    EXPECT_TRUE(set.list2.empty());
    EXPECT_TRUE(set.list3.empty());
}

TEST(ParamListFill, AttackOffersTheCharactersTwice)
{
    const CommandParamSet& set = SetOf("ai2_attack");
    const Entries characters = Range(337, 1225);
    ASSERT_EQ(characters.size(), 889u);
    EXPECT_EQ(Fill(set.list1), characters);
    EXPECT_EQ(Fill(set.list2), characters);
    EXPECT_TRUE(set.list3.empty());
}

TEST(ParamListFill, ForceHolsterFillsAllThreeLists)
{
    const CommandParamSet& set = SetOf("chr_forceholster");
    EXPECT_EQ(Fill(set.list1), Range(337, 1225));
    EXPECT_EQ(Fill(set.list2), kZeroOne);
    EXPECT_EQ(Fill(set.list3), kZeroOne);
}

TEST(ParamListFill, FindConnectionsCountsOneToThirty)
{
    Entries expected;
    for (int count = 1; count <= 30; ++count)
        expected.push_back(std::to_string(count));
    EXPECT_EQ(Fill(SetOf("ai2_findconnections").list1), expected);
}

TEST(ParamListFill, SkillRevertAndSaveFillOnlyTheSecondList)
{
    for (std::string_view command : {"ai2_skill_revert", "ai2_skill_save"}) {
        const CommandParamSet& set = SetOf(command);
        EXPECT_TRUE(set.list1.empty()) << command;
        EXPECT_EQ(Fill(set.list2), kZeroOne) << command;
        EXPECT_TRUE(set.list3.empty()) << command;
    }
}

TEST(ParamListFill, TripAlarmOffersAlarmsThenCharacters)
{
    const CommandParamSet& set = SetOf("ai2_tripalarm");
    const Entries alarms = Fill(set.list1);
    EXPECT_EQ(alarms.size(), 13u);
    EXPECT_EQ(alarms, Range(4506, 4518));
    EXPECT_EQ(Fill(set.list2).size(), 889u);
}

TEST(ParamListFill, TargetSetOffersFlagsAndTenths)
{
    const CommandParamSet& set = SetOf("target_set");
    const Entries flags = Fill(set.list1);
    EXPECT_EQ(flags.size(), 288u);
    EXPECT_EQ(flags, Range(3412, 3699));
    EXPECT_EQ(Fill(set.list2), kTenths);
}

TEST(ParamListFill, LockKeysAddsHypoAndWalkAfterTheKeyGroups)
{
    const Entries entries = Fill(SetOf("lock_keys").list1);
    ASSERT_EQ(entries.size(), 11u);
    EXPECT_EQ(entries.front(), "keys_pause");
    EXPECT_EQ(entries[8], "keys_reload");
    EXPECT_EQ(entries, Concat(Range(4248, 4256), {"keys_hypo", "keys_walk"}));
}

TEST(ParamListFill, TriggerVolumeEnableFillsAllThreeLists)
{
    const CommandParamSet& set = SetOf("trigvolume_enable");
    EXPECT_EQ(Fill(set.list1), Range(1881, 2187));
    EXPECT_EQ(Fill(set.list1).size(), 307u);
    EXPECT_EQ(Fill(set.list2), kZeroOne);
    EXPECT_EQ(Fill(set.list3), (Entries{"all", "entry", "inside", "exit"}));
}

TEST(ParamListFill, BarabusCameraFillsThreeListsAndAPlaceholder)
{
    const CommandParamSet& set = SetOf("cm_barabus");
    EXPECT_EQ(Fill(set.list1).size(), 889u);
    EXPECT_EQ(Fill(set.list2), kTenths);
    EXPECT_EQ(Fill(set.list3), kTenths);
    EXPECT_EQ(set.placeholder,
              "< REPLACE WITH 'INT' REPRESENTING THE TIME YOU WANT THE CAMERA TO THE FUNCTION IN "
              "MILLISECONDS >");
}

TEST(ParamListFill, FadeOutOffersOnlyAPlaceholderAndADescription)
{
    const CommandParamSet& set = SetOf("fade_out");
    for (std::span<const ParamSource> list : set.lists())
        EXPECT_TRUE(list.empty());
    EXPECT_EQ(set.placeholder,
              "< REPLACE WITH 'INT' RGB COLOR REFERENCE AND NUMBER OF FRAMES \"INT\" >");
    EXPECT_TRUE(set.description.starts_with("fades the screen out ie. 'fade_out 0 0 0 180' "));
    EXPECT_TRUE(set.description.ends_with(". "));
    EXPECT_FALSE(set.description.ends_with(".  "));
}

TEST(ParamListFill, FillingAppendsToWhatTheListHolds)
{
    Entries list = {"kept"};
    FillParamList({}, list);
    EXPECT_EQ(list, Entries{"kept"});
    FillParamList(SetOf("ai2_allpassive").list1, list);
    EXPECT_EQ(list, (Entries{"kept", "0", "1"}));
}

} // namespace
