#include "catalogue/LevelHeadings.h"
#include "catalogue/ReferenceDatabase.h"
#include "SoundSlices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::uint16_t kHighestId = std::numeric_limits<std::uint16_t>::max();

std::string markerText(std::string_view name, std::string_view ending = kHeadingRuler)
{
    std::string text(kHeadingRuler);
    text += name;
    text += ending;
    return text;
}

bool isSectionMarker(std::string_view text)
{
    return text.starts_with(kHeadingRuler);
}

std::vector<std::string> loadRange(std::uint16_t first, std::uint16_t last)
{
    std::vector<std::string> list;
    addStringRange(list, first, last);
    return list;
}

struct IdSpan {
    std::uint16_t first;
    std::uint16_t last;
};

constexpr std::array<IdSpan, 9> kIdsWithoutText = {{
    {326, 336}, {1226, 1226}, {1443, 1443}, {1447, 1449}, {1492, 1492},
    {2286, 2299}, {2332, 2354}, {2364, 2364}, {3093, 3109},
}};

bool isListedWithoutText(std::uint16_t id)
{
    return std::any_of(kIdsWithoutText.begin(), kIdsWithoutText.end(),
                       [id](const IdSpan& span) { return id >= span.first && id <= span.last; });
}

struct SectionMarker {
    std::uint16_t id;
    std::string text;
};

std::vector<SectionMarker> expectedSectionMarkers()
{
    const std::vector<std::pair<std::uint16_t, std::string_view>> names = {
        {184, "env_setanim"},         {2300, "trigvolume_*****"},   {2498, "door_******"},
        {2697, "console_*******"},    {2820, "turret_*******"},     {2830, "text_console"},
        {2899, "env_show"},           {3056, "obj_create"},         {3157, "env_setanim"},
        {3323, "objective_set"},      {3401, "turret_deactivate"},  {3411, "flags"},
        {3700, "paths"},              {3923, "playback"},           {4247, "lock_keys"},
        {4257, "Game Saves"},         {4324, "splash_screen"},      {4354, "Cinematics"},
        {4415, "chr_envanim_block"},  {4433, "chr_wait_animtype"},  {4459, "chr_animate_block"},
        {4471, "chr_wait_animstate"}, {4474, "chr_talk"},           {4477, "chr_wait_animation"},
        {4482, "ai2_doalarm"},        {4519, "chr_envanim"},        {4641, "chr_animate"},
        {4911, "WEAPONS"},            {4927, "chr_create"},         {4965, "cm_interpolate_block"},
        {5095, "cm_interpolate"},     {5423, "cm_anim both"},       {5518, "cm_anim_block"},
        {5554, "env_anim"},
    };
    std::vector<SectionMarker> markers;
    for (const auto& [id, name] : names)
        markers.push_back({id, markerText(name)});
    // The two markers that break the pattern, as stored.
    markers.push_back({2368, markerText("-trig_******", "")});
    markers.push_back({4505, markerText("ai2_tripalarm", " ==============================---")});
    std::sort(markers.begin(), markers.end(),
              [](const SectionMarker& a, const SectionMarker& b) { return a.id < b.id; });
    return markers;
}

// A slice that the command table loads, with what the database must hold there.
struct LoadedRange {
    std::uint16_t first;
    std::uint16_t last;
    int identifiers;
    int levelHeadings;
    int identifiersWithoutText;
    std::uint16_t markerBefore;  // 0: the identifier before the range is no section marker
};

constexpr std::array<LoadedRange, 36> kLoadedRanges = {{
    {102, 183, 82, 12, 0, 0},        {185, 325, 141, 9, 0, 184},
    {337, 1225, 889, 15, 0, 0},      {1881, 2187, 307, 13, 0, 0},
    {2301, 2365, 65, 8, 24, 2300},   {2369, 2497, 129, 9, 0, 2368},
    {2499, 2696, 198, 14, 0, 2498},  {2698, 2819, 122, 12, 0, 2697},
    {2831, 2898, 68, 12, 0, 2830},   {2900, 3055, 156, 13, 0, 2899},
    {3057, 3156, 100, 11, 17, 3056}, {3324, 3400, 77, 14, 0, 3323},
    {3402, 3410, 9, 3, 0, 3401},     {3412, 3699, 288, 13, 0, 3411},
    {3701, 3922, 222, 14, 0, 3700},  {3924, 4246, 323, 14, 0, 3923},
    {4248, 4256, 9, 0, 0, 4247},     {4258, 4323, 66, 14, 0, 4257},
    {4325, 4353, 29, 14, 0, 4324},   {4355, 4414, 60, 0, 0, 4354},
    {4416, 4432, 17, 5, 0, 4415},    {4434, 4458, 25, 2, 0, 4433},
    {4460, 4470, 11, 4, 0, 4459},    {4472, 4473, 2, 1, 0, 4471},
    {4475, 4476, 2, 1, 0, 4474},     {4478, 4481, 4, 1, 0, 4477},
    {4483, 4504, 22, 9, 0, 4482},    {4506, 4518, 13, 3, 0, 4505},
    {4520, 4640, 121, 13, 0, 4519},  {4642, 4910, 269, 14, 0, 4641},
    {4912, 4926, 15, 0, 0, 4911},    {4928, 4964, 37, 9, 0, 4927},
    {4966, 5094, 129, 14, 0, 4965},  {5096, 5422, 327, 14, 0, 5095},
    {5424, 5517, 94, 14, 0, 5423},   {5519, 5553, 35, 7, 0, 5518},
}};


}  // namespace

TEST(ReferenceDatabase, HoldsTextsExactlyUnderTheUsedIdentifiers)
{
    int texts = 0;
    std::string buffer;
    for (std::uint32_t id = 0; id <= kHighestId; ++id) {
        const auto key = static_cast<std::uint16_t>(id);
        const bool inUse = id >= 101 && id <= 5554 && !isListedWithoutText(key);
        ASSERT_EQ(loadStringById(key, buffer), inUse) << "identifier " << id;
        if (inUse) {
            ++texts;
            EXPECT_FALSE(buffer.empty()) << "identifier " << id;
        }
    }
    EXPECT_EQ(texts, 5382);
}

TEST(ReferenceDatabase, TextsArePrintableAsciiWithTrailingBlanksKept)
{
    std::size_t longest = 0;
    int endingInBlank = 0;
    std::string text;
    for (std::uint16_t id = 101; id <= 5554; ++id) {
        if (!loadStringById(id, text))
            continue;
        longest = std::max(longest, text.size());
        endingInBlank += text.back() == ' ' ? 1 : 0;
        EXPECT_TRUE(std::all_of(text.begin(), text.end(),
                                [](char c) { return c >= 0x20 && c < 0x7F; }))
            << "identifier " << id;
    }
    EXPECT_EQ(longest, 82u);
    EXPECT_EQ(endingInBlank, 527);
}

TEST(ReferenceDatabase, LoadsIndividualTexts)
{
    const std::vector<std::pair<std::uint16_t, std::string_view>> samples = {
        {101, "&About QUARN..."},
        {102, "Level 01- Syndicate Warehouse =============================="},
        {103, "20 20"},
        {185, "101 TwoForkLift01"},
        {4248, "keys_pause"},
        {4521, "KonBipedBox02 "},
        {4912, "w0_sec"},
        {4926, "w14_muro"},
    };
    for (const auto& [id, expected] : samples) {
        std::string buffer = "previous";
        EXPECT_TRUE(loadStringById(id, buffer)) << "identifier " << id;
        EXPECT_EQ(buffer, expected) << "identifier " << id;
    }
}

TEST(ReferenceDatabase, MissingTextLeavesTheBufferAsItWas)
{
    for (const std::uint16_t id : {0, 1, 100, 326, 336, 1226, 2364, 5555, 61440, 65535}) {
        std::string buffer = "keys_pause";
        EXPECT_FALSE(loadStringById(static_cast<std::uint16_t>(id), buffer)) << "identifier " << id;
        EXPECT_EQ(buffer, "keys_pause") << "identifier " << id;
    }
}

TEST(ReferenceDatabase, RangesAppendInIdentifierOrder)
{
    const std::vector<std::string> keys = loadRange(4248, 4256);
    ASSERT_EQ(keys.size(), 9u);
    EXPECT_EQ(keys.front(), "keys_pause");
    EXPECT_EQ(keys.back(), "keys_reload");

    const std::vector<std::string> characters = loadRange(337, 1225);
    ASSERT_EQ(characters.size(), 889u);
    EXPECT_EQ(characters[0], "Level 00- TCTF Training ==============================");
    EXPECT_EQ(characters[1], "demo1");

    std::vector<std::string> list = {"kept"};
    addStringRange(list, 4248, 4248);
    addStringRange(list, 4256, 4256);
    EXPECT_EQ(list, (std::vector<std::string>{"kept", "keys_pause", "keys_reload"}));
}

// Identifiers without text add nothing, rather than a copy of the entry before them.
TEST(ReferenceDatabase, RangesSkipIdentifiersWithoutText)
{
    const std::vector<std::string> volumes = loadRange(2301, 2365);
    EXPECT_EQ(volumes.size(), 65u - 24u);
    EXPECT_EQ(loadRange(3057, 3156).size(), 100u - 17u);
    EXPECT_EQ(loadRange(1442, 1447).size(), 4u);
    EXPECT_EQ(loadRange(1487, 1495).size(), 8u);
    EXPECT_TRUE(loadRange(326, 336).empty());
    EXPECT_TRUE(std::none_of(volumes.begin(), volumes.end(),
                             [](const std::string& text) { return text.empty(); }));
}

TEST(ReferenceDatabase, RangesAtTheEdgesOfTheIdentifierSpace)
{
    EXPECT_TRUE(loadRange(4256, 4248).empty());
    EXPECT_TRUE(loadRange(65535, 65535).empty());
    EXPECT_TRUE(loadRange(0, 100).empty());
    EXPECT_EQ(loadRange(0, 101), (std::vector<std::string>{"&About QUARN..."}));
    EXPECT_EQ(loadRange(5553, 65535).size(), 2u);
    EXPECT_EQ(loadRange(0, 65535).size(), 5382u);
}

TEST(ReferenceDatabase, SectionMarkersStandWhereExpected)
{
    const std::vector<SectionMarker> expected = expectedSectionMarkers();
    ASSERT_EQ(expected.size(), 36u);
    std::vector<SectionMarker> found;
    std::string text;
    for (std::uint16_t id = 101; id <= 5554; ++id) {
        if (loadStringById(id, text) && isSectionMarker(text))
            found.push_back({id, text});
    }
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(found[i].id, expected[i].id);
        EXPECT_EQ(found[i].text, expected[i].text);
    }
}

TEST(ReferenceDatabase, LoadedRangesMatchTheirSections)
{
    for (const LoadedRange& range : kLoadedRanges) {
        SCOPED_TRACE(testing::Message() << "range " << range.first << " to " << range.last);
        EXPECT_EQ(range.last - range.first + 1, range.identifiers);

        std::string before;
        const auto idBefore = static_cast<std::uint16_t>(range.first - 1);
        const bool hasTextBefore = loadStringById(idBefore, before);
        if (range.markerBefore == 0) {
            EXPECT_FALSE(hasTextBefore && isSectionMarker(before)) << before;
        } else {
            EXPECT_EQ(range.markerBefore, idBefore);
            EXPECT_TRUE(hasTextBefore && isSectionMarker(before)) << before;
        }

        std::string first;
        EXPECT_TRUE(loadStringById(range.first, first));

        const std::vector<std::string> entries = loadRange(range.first, range.last);
        EXPECT_EQ(static_cast<int>(entries.size()),
                  range.identifiers - range.identifiersWithoutText);
        EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                                [](const std::string& text) { return isLevelHeading(text); }),
                  range.levelHeadings);
        EXPECT_TRUE(std::none_of(entries.begin(), entries.end(),
                                 [](const std::string& text) { return isSectionMarker(text); }));
    }
}

TEST(ReferenceDatabase, SoundSlicesHoldOnlySoundNames)
{
    int identifiers = 0;
    std::size_t entries = 0;
    for (const SoundSlice& slice : kSoundSlices) {
        SCOPED_TRACE(testing::Message() << "slice " << slice.first << " to " << slice.last);
        std::string first;
        EXPECT_TRUE(loadStringById(slice.first, first));
        const std::vector<std::string> sounds = loadRange(slice.first, slice.last);
        EXPECT_TRUE(std::none_of(sounds.begin(), sounds.end(), [](const std::string& text) {
            return isLevelHeading(text) || isSectionMarker(text);
        }));
        identifiers += slice.last - slice.first + 1;
        entries += sounds.size();
    }
    EXPECT_EQ(identifiers, 603);
    EXPECT_EQ(entries, 600u);
}
