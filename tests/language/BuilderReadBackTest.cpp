#include "language/BuilderReadBack.h"
#include "language/ScriptReader.h"

#include "catalogue/CommandTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

BuilderReading readBack(std::string_view line)
{
    return readIntoBuilder(statementAt(line, line.size()));
}

// The entry a list shows at `index`, as the builder fills it.
std::string entryAt(const ScriptCommand& command, std::size_t list, int index)
{
    std::vector<std::string> entries;
    fillParameterList(command.parameterLists()[list], entries);
    return index >= 0 && std::size_t(index) < entries.size() ? entries[std::size_t(index)] : std::string();
}

TEST(BuilderReadBack, ChoosesTheCommandAndTheEntryOfEachListInEitherCallForm)
{
    for (const std::string_view line : {"\tai2_dopath Muro patrol_01 1", "ai2_dopath(Muro, patrol_01, 1);"}) {
        const BuilderReading reading = readBack(line);
        ASSERT_NE(reading.command, nullptr) << line;
        EXPECT_EQ(reading.command->name, "ai2_dopath");
        EXPECT_EQ(findCommandCategory(reading.category), &commandCategories()[0]);
        EXPECT_EQ(entryAt(*reading.command, 0, reading.selected[0]), "Muro") << line;
        EXPECT_EQ(entryAt(*reading.command, 2, reading.selected[2]), "1") << line;
        EXPECT_EQ(reading.custom, "");
    }
}

TEST(BuilderReadBack, ReadsWhatTheBuilderWrites)
{
    // `= 1` is one entry; the fixed word of "cm_anim both" is no list's value; an argument
    // without a list goes to the custom box.
    BuilderReading reading = readBack("chr_unkillable Muro = 1");
    EXPECT_EQ(entryAt(*reading.command, 1, reading.selected[1]), "= 1");
    reading = readBack("cm_anim both Cam4");
    EXPECT_EQ(reading.command->name, "cm_anim both");
    EXPECT_EQ(entryAt(*reading.command, 0, reading.selected[0]), "Cam4");
    reading = readBack("chr_wait_health Muro 20");
    EXPECT_EQ(entryAt(*reading.command, 0, reading.selected[0]), "Muro");
    EXPECT_EQ(reading.custom, "20");
    EXPECT_TRUE(reading.unmatched.empty());
    // An empty first list takes no argument: the builder leaves no word for it.
    reading = readBack("ai2_skill_save 1");
    EXPECT_EQ(reading.selected[0], -1);
    EXPECT_EQ(entryAt(*reading.command, 1, reading.selected[1]), "1");
}

TEST(BuilderReadBack, LeavesWhatItCannotMatch)
{
    BuilderReading reading = readBack("ai2_attack Nobody_at_all Muro");
    ASSERT_NE(reading.command, nullptr);
    EXPECT_EQ(reading.selected[0], -1);
    EXPECT_EQ(entryAt(*reading.command, 1, reading.selected[1]), "Muro");
    EXPECT_EQ(reading.unmatched, std::vector<std::string_view>{"Nobody_at_all"});
    // Letter case decides only between entries that differ in nothing else.
    reading = readBack("ai2_attack MURO");
    EXPECT_NE(reading.selected[0], -1);
    EXPECT_EQ(readBack("level_start").command, nullptr);
    EXPECT_EQ(readBack("counter = 1").command, nullptr);
    EXPECT_EQ(readBack("# ai2_attack Muro").command, nullptr);
}

} // namespace
