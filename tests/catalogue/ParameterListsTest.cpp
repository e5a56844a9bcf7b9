#include "catalogue/CommandTable.h"
#include "catalogue/LevelHeadings.h"
#include "catalogue/ReferenceDatabase.h"
#include "CommandRows.h"
#include "SoundSlices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::string>;
using Names = std::set<std::string_view>;
using Slice = std::pair<int, int>;


Entries fill(std::span<const ParamSource> sources)
{
    Entries list;
    fillParameterList(sources, list);
    return list;
}

Entries range(std::uint16_t first, std::uint16_t last)
{
    Entries list;
    addStringRange(list, first, last);
    return list;
}

Entries concat(Entries head, const Entries& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

Entries counts(int highest)
{
    Entries list;
    for (int count = 1; count <= highest; ++count)
        list.push_back(std::to_string(count));
    return list;
}

const Entries kZeroOne = {"0", "1"};
const Entries kTenths = {"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1"};

bool isSoundsHeading(std::string_view text)
{
    return text.ends_with(kHeadingRuler) && text.size() > kHeadingRuler.size();
}

// Sounds lists alternate a heading literal of their own and one slice of the sound section.
bool isCompositeSoundsList(std::span<const ParamSource> list)
{
    if (list.size() < 2 || list.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < list.size(); i += 2) {
        const auto* heading = std::get_if<std::string_view>(&list[i]);
        if (!heading || !isSoundsHeading(*heading) || !std::holds_alternative<StringRange>(list[i + 1]))
            return false;
    }
    return true;
}

bool isLiteralsOnly(std::span<const ParamSource> list)
{
    return !list.empty() && std::ranges::all_of(list, [](const ParamSource& source) {
        return std::holds_alternative<std::string_view>(source);
    });
}

int identifierCount(std::span<const ParamSource> list)
{
    int count = 0;
    for (const ParamSource& source : list) {
        if (const auto* slice = std::get_if<StringRange>(&source))
            count += slice->last - slice->first + 1;
    }
    return count;
}

Entries headings(std::span<const ParamSource> list)
{
    Entries result;
    for (std::size_t i = 0; i < list.size(); i += 2)
        result.emplace_back(std::get<std::string_view>(list[i]));
    return result;
}

// Literals are whole values the user picks: nothing to trim, nothing a list refuses, nothing the
// database already offers beside them.
TEST(ParameterLiterals, AreCleanValuesDistinctWithinTheirList)
{
    for (const ScriptCommand* command : allCommands()) {
        for (std::span<const ParamSource> list : command->parameterLists()) {
            if (isCompositeSoundsList(list))
                continue;
            Entries fromDatabase;
            Names literals;
            for (const ParamSource& source : list) {
                if (const auto* slice = std::get_if<StringRange>(&source)) {
                    addStringRange(fromDatabase, slice->first, slice->last);
                    continue;
                }
                const std::string_view literal = std::get<std::string_view>(source);
                SCOPED_TRACE(testing::Message() << command->name << ": \"" << literal << '"');
                ASSERT_FALSE(literal.empty());
                EXPECT_NE(literal.front(), ' ');
                EXPECT_NE(literal.back(), ' ');
                EXPECT_FALSE(isLevelHeading(literal));
                EXPECT_TRUE(literals.insert(literal).second);
                EXPECT_EQ(std::ranges::count(fromDatabase, literal), 0);
            }
        }
    }
}

TEST(ParameterLiterals, LiteralListsRecurAsOftenAsExpected)
{
    std::map<Entries, int> literalLists;
    int total = 0;
    for (const ScriptCommand* command : allCommands()) {
        for (std::span<const ParamSource> list : command->parameterLists()) {
            if (isLiteralsOnly(list)) {
                ++literalLists[fill(list)];
                ++total;
            }
        }
    }
    EXPECT_EQ(total, 119);
    EXPECT_EQ(literalLists.size(), 25u);
    EXPECT_EQ(literalLists[kZeroOne], 71);
    EXPECT_EQ(literalLists[kTenths], 13);
    EXPECT_EQ(literalLists[counts(30)], 1);
}

TEST(ParameterRanges, LieInsideTheDatabaseAndNeverOverlap)
{
    std::set<Slice> slices;
    for (const ScriptCommand* command : allCommands()) {
        for (std::span<const ParamSource> list : command->parameterLists()) {
            for (const ParamSource& source : list) {
                const auto* slice = std::get_if<StringRange>(&source);
                if (!slice)
                    continue;
                SCOPED_TRACE(testing::Message() << command->name << " " << slice->first << " to " << slice->last);
                std::string text;
                EXPECT_LE(slice->first, slice->last);
                EXPECT_TRUE(loadStringById(slice->first, text));
                // A section marker opens each part of the database; none may be offered.
                for (const std::string& entry : range(slice->first, slice->last))
                    EXPECT_FALSE(entry.starts_with(kHeadingRuler)) << entry;
                slices.emplace(slice->first, slice->last);
            }
        }
    }
    for (auto it = slices.begin(); it != slices.end() && std::next(it) != slices.end(); ++it)
        EXPECT_LT(it->second, std::next(it)->first) << it->first << " overlaps " << std::next(it)->first;
    EXPECT_EQ(slices.size(), 36u + kSoundSlices.size());
}

TEST(ParameterRanges, CharactersAreOfferedByTheirCounts)
{
    const StringRange characters{337, 1225};
    int inListOne = 0;
    Names inListTwo;
    for (const ScriptCommand* command : allCommands()) {
        const auto lists = command->parameterLists();
        for (std::size_t index = 0; index < lists.size(); ++index) {
            if (std::ranges::find(lists[index], ParamSource(characters)) == lists[index].end())
                continue;
            if (index == 0)
                ++inListOne;
            else
                inListTwo.insert(command->name);
        }
    }
    EXPECT_EQ(inListOne, 73);
    EXPECT_EQ(inListTwo, (Names{"ai2_attack", "ai2_lookatchar", "ai2_makeaware", "ai2_tripalarm"}));
}

TEST(SoundsLists, FourListsCoverEverySoundSliceOnce)
{
    std::set<Slice> expected;
    for (const SoundSlice& slice : kSoundSlices)
        expected.emplace(slice.first, slice.last);

    std::set<const ParamSource*> distinctLists;
    std::multiset<Slice> offered;
    for (const ScriptCommand* command : allCommands()) {
        for (std::span<const ParamSource> list : command->parameterLists()) {
            if (!isCompositeSoundsList(list) || !distinctLists.insert(list.data()).second)
                continue;
            for (std::size_t i = 1; i < list.size(); i += 2) {
                const StringRange slice = std::get<StringRange>(list[i]);
                offered.emplace(slice.first, slice.last);
            }
            for (const std::string& heading : headings(list))
                EXPECT_TRUE(isLevelHeading(heading)) << command->name << ": " << heading;
        }
    }
    EXPECT_EQ(distinctLists.size(), 4u);
    EXPECT_EQ(offered.size(), kSoundSlices.size());
    EXPECT_EQ(std::set<Slice>(offered.begin(), offered.end()), expected);
}

TEST(SoundsLists, CommandsOfOneSoundKindShareOneList)
{
    const auto firstList = [](std::string_view command) { return commandNamed(command).list1.data(); };
    EXPECT_EQ(firstList("sound_ambient_stop"), firstList("sound_ambient_start"));
    EXPECT_EQ(firstList("sound_ambient_volume"), firstList("sound_ambient_start"));
    EXPECT_EQ(firstList("sound_music_stop"), firstList("sound_music_start"));
    EXPECT_EQ(firstList("sound_music_volume"), firstList("sound_music_start"));
}

TEST(SoundsLists, AmbientHeadingsLackTheWordLevel)
{
    const std::span<const ParamSource> ambient = commandNamed("sound_ambient_start").list1;
    ASSERT_TRUE(isCompositeSoundsList(ambient));
    const Entries levels = headings(ambient);
    EXPECT_EQ(levels.size(), 14u);
    EXPECT_EQ(levels.front(), "01- Syndicate Warehouse ==============================");
    EXPECT_EQ(levels.back(), "14- Mountain Compound ==============================");
    for (const std::string& heading : levels)
        EXPECT_FALSE(heading.starts_with("Level")) << heading;
    EXPECT_EQ(identifierCount(ambient), 103);
    EXPECT_EQ(fill(ambient).size(), 117u);
}

TEST(SoundsLists, AmbientStartsWithWarehouseAndRepeatsTheAlarmLoopOnLevelTwo)
{
    const Entries entries = fill(commandNamed("sound_ambient_volume").list1);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front(), "01- Syndicate Warehouse ==============================");
    const auto levelTwo = std::find(entries.begin(), entries.end(), "02- Manufacturing Plant ==============================");
    ASSERT_GE(std::distance(levelTwo, entries.end()), 5);
    EXPECT_EQ(Entries(levelTwo + 1, levelTwo + 4), range(1729, 1731));
    EXPECT_EQ(levelTwo[1], "alarm_loop");
    EXPECT_EQ(levelTwo[3], "alarm_loop");
    EXPECT_EQ(levelTwo[4], "03- Bio-Research Lab. ==============================");
}

TEST(SoundsLists, DialogueOffersFourHundredAndEighteenLines)
{
    const std::span<const ParamSource> dialogue = commandNamed("sound_dialog_play").list1;
    ASSERT_TRUE(isCompositeSoundsList(dialogue));
    const Entries levels = headings(dialogue);
    EXPECT_EQ(levels.size(), 14u);
    EXPECT_EQ(levels[11], "Level 12- TCTF Science Prison #112 ==============================");
    EXPECT_EQ(identifierCount(dialogue), 418);
    EXPECT_EQ(fill(dialogue).size(), 432u);

    const ScriptCommand& block = commandNamed("sound_dialog_play_block");
    EXPECT_EQ(fill(block.list1), Entries{"pause"});
    EXPECT_TRUE(block.list2.empty());
    EXPECT_TRUE(block.list3.empty());
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
    EXPECT_EQ(fill(commandNamed("sound_impulse_play").list1), expected);
}

TEST(SoundsLists, MusicSkipsItsThreeIdentifiersWithoutText)
{
    const std::span<const ParamSource> music = commandNamed("sound_music_start").list1;
    ASSERT_TRUE(isCompositeSoundsList(music));
    EXPECT_EQ(headings(music).size(), 14u);
    EXPECT_EQ(identifierCount(music), 73);

    const Entries entries = fill(music);
    EXPECT_EQ(entries.size(), 84u);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](const std::string& entry) { return isSoundsHeading(entry); }),
              14);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), std::string()), 0);
    EXPECT_EQ(std::adjacent_find(entries.begin(), entries.end()), entries.end());
}

TEST(ParameterListFill, AppendsToWhatTheListHolds)
{
    Entries list = {"kept"};
    fillParameterList({}, list);
    EXPECT_EQ(list, Entries{"kept"});
    fillParameterList(commandNamed("ai2_allpassive").list1, list);
    EXPECT_EQ(list, (Entries{"kept", "0", "1"}));
}

TEST(ParameterListFill, LiteralsFollowTheRangeTheyExtend)
{
    const Entries blind = fill(commandNamed("ai2_blind").list1);
    ASSERT_EQ(blind.size(), 891u);
    EXPECT_EQ(blind[0], "Level 00- TCTF Training ==============================");
    EXPECT_EQ(blind[1], "demo1");
    EXPECT_EQ(blind, concat(range(337, 1225), kZeroOne));

    const Entries keys = fill(commandNamed("lock_keys").list1);
    ASSERT_EQ(keys.size(), 11u);
    EXPECT_EQ(keys.front(), "keys_pause");
    EXPECT_EQ(keys[8], "keys_reload");
    EXPECT_EQ(keys, concat(range(4248, 4256), {"keys_hypo", "keys_walk"}));
}

TEST(ParameterListFill, CommandsWithTwoLists)
{
    const ScriptCommand& attack = commandNamed("ai2_attack");
    const Entries characters = range(337, 1225);
    ASSERT_EQ(characters.size(), 889u);
    EXPECT_EQ(fill(attack.list1), characters);
    EXPECT_EQ(fill(attack.list2), characters);
    EXPECT_TRUE(attack.list3.empty());

    const ScriptCommand& tripAlarm = commandNamed("ai2_tripalarm");
    EXPECT_EQ(fill(tripAlarm.list1), range(4506, 4518));
    EXPECT_EQ(fill(tripAlarm.list1).size(), 13u);
    EXPECT_EQ(fill(tripAlarm.list2), characters);

    const ScriptCommand& targetSet = commandNamed("target_set");
    EXPECT_EQ(fill(targetSet.list1), range(3412, 3699));
    EXPECT_EQ(fill(targetSet.list1).size(), 288u);
    EXPECT_EQ(fill(targetSet.list2), kTenths);

    for (std::string_view name : {"ai2_skill_revert", "ai2_skill_save"}) {
        const ScriptCommand& command = commandNamed(name);
        EXPECT_TRUE(command.list1.empty()) << name;
        EXPECT_EQ(fill(command.list2), kZeroOne) << name;
        EXPECT_TRUE(command.list3.empty()) << name;
    }
}

TEST(ParameterListFill, CommandsWithThreeLists)
{
    const ScriptCommand& holster = commandNamed("chr_forceholster");
    EXPECT_EQ(fill(holster.list1), range(337, 1225));
    EXPECT_EQ(fill(holster.list2), kZeroOne);
    EXPECT_EQ(fill(holster.list3), kZeroOne);

    const ScriptCommand& volume = commandNamed("trigvolume_enable");
    EXPECT_EQ(fill(volume.list1), range(1881, 2187));
    EXPECT_EQ(fill(volume.list1).size(), 307u);
    EXPECT_EQ(fill(volume.list2), kZeroOne);
    EXPECT_EQ(fill(volume.list3), (Entries{"all", "entry", "inside", "exit"}));

    const ScriptCommand& barabus = commandNamed("cm_barabus");
    EXPECT_EQ(fill(barabus.list1).size(), 889u);
    EXPECT_EQ(fill(barabus.list2), kTenths);
    EXPECT_EQ(fill(barabus.list3), kTenths);
    EXPECT_TRUE(barabus.placeholder.has_value());
}

TEST(ParameterListFill, FindConnectionsCountsOneToThirty)
{
    EXPECT_EQ(fill(commandNamed("ai2_findconnections").list1), counts(30));
}

} // namespace
