#include "catalogue/CommandTable.h"
#include "catalogue/LevelHeadings.h"
#include "catalogue/ReferenceDatabase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

namespace {

// Every heading form the database stores besides the fifteen standard ones, misspellings,
// wrong numbers and missing rulers included.
const std::set<std::string, std::less<>> kStoredVariantHeadings = {
    "Level 12- TCTF Science Prison #112 ==============================",
    "Level 12- TCTF Science  Prison #112 ==============================",
    "Level 13- TCTF HQ. (Redux) ==============================",
    "Level 13- TCTF Regioanl HQ. (Redux) ==============================",
    "Level 07- Atmospheric Conversion Cent. (Ext.) ==============================",
    "Level 08- Atmospheric Conversion Cent. (Int.) ==============================",
    "Level 07- Atmospheric Conversion Cent. (EXT.) ==============================",
    "Level 08- Atmospheric Conversion Cent. (INT.) ==============================",
    "Level 07- Atmosphere Conversion Cent. (ext.) ==============================",
    "Level 08- Atmosphere Conversion Cent (Int.) ==============================",
    "Level 08 Atmosphere Conversion Cent. (Int). ==============================",
    "Level 05- Airport Cargo Hanger ==============================",
    "Level 11- Dr.Hasegawa'a Lab. ==============================",
    "Level 03- Bior-Research Lab. ==============================",
    "Level 03- Bio-Reseach Lab. ==============================",
    "Level 01- Syndicate Wareouse ==============================",
    "Level 14- Moutain Compound ==============================",
    "Level 06- Airport Assault ==============================",
    "Level 03- Manufacturing Plant ==============================",
    "Level 06- Atmosphere Conversion Cent. (Ext.) ==============================",
    "Level 09- Regional State Building",
    "Level 10- Rooftops",
    "Level 07- Atmosphere Conversion Cent. (Ext.)",
    "Level 08- Atmosphere Conversion Cent. (Int.)",
    "01- Syndicate Warehouse ==============================",
    "level 03- Bio-Research Lab. ==============================",
};

bool isKnownHeading(std::string_view text)
{
    for (std::string_view standard : kStandardLevelHeadings) {
        if (text == standard)
            return true;
    }
    return kStoredVariantHeadings.contains(text);
}

}  // namespace

TEST(LevelHeadings, StandardHeadingsAreNumberedZeroToFourteen)
{
    for (std::size_t level = 0; level < kStandardLevelHeadings.size(); ++level) {
        const std::string_view heading = kStandardLevelHeadings[level];
        const char prefix[] = {'L', 'e', 'v', 'e', 'l', ' ', static_cast<char>('0' + level / 10),
                               static_cast<char>('0' + level % 10), '-', ' ', '\0'};
        EXPECT_TRUE(heading.starts_with(prefix)) << heading;
        EXPECT_TRUE(heading.ends_with(" ==============================")) << heading;
        EXPECT_TRUE(isLevelHeading(heading)) << heading;
    }
}

// The rule must find exactly the headings the database holds, and nothing else in it.
TEST(LevelHeadings, RecognisesEveryStoredHeadingAndNoOtherEntry)
{
    int headings = 0;
    std::set<std::string, std::less<>> formsSeen;
    std::string text;
    for (std::uint16_t id = 101; id <= 5554; ++id) {
        if (!loadStringById(id, text))
            continue;
        EXPECT_EQ(isLevelHeading(text), isKnownHeading(text))
            << "identifier " << id << ": " << text;
        if (isLevelHeading(text)) {
            ++headings;
            formsSeen.insert(text);
        }
    }
    EXPECT_EQ(headings, 369);
    EXPECT_EQ(formsSeen.size(), kStandardLevelHeadings.size() + kStoredVariantHeadings.size());
}

TEST(LevelHeadings, RecognisesTheHeadingsOfTheSoundLists)
{
    for (std::string_view heading : {
             "01- Syndicate Warehouse ==============================",
             "02- Manufacturing Plant ==============================",
             "03- Bio-Research Lab. ==============================",
             "04- Airport Assault ==============================",
             "05- Airport Cargo Hangers ==============================",
             "06- TCTF Regional HQ. ==============================",
             "07- Atmosphere Conversion Cent. (Ext.) ==============================",
             "08- Atmosphere Conversion Cent. (Int.) ==============================",
             "09- Regional State Building ==============================",
             "10- Rooftops ==============================",
             "11- Dr.Hasegawa's Lab. ==============================",
             "12- TCTF Science Prison #112 ==============================",
             "13- TCTF Regional HQ. (Redux) ==============================",
             "14- Mountain Compound ==============================",
             "Level 12- TCTF Science Prison #112 ==============================",
             "Level 12- TCTF Science Prison ==============================",
         }) {
        EXPECT_TRUE(isLevelHeading(heading)) << heading;
    }
}

TEST(LevelHeadings, RejectsLookalikes)
{
    for (std::string_view text : {
             "",
             "Level",
             "Level 01-",
             "Level 01- ",
             "Level 01- ==============================",
             "Level 01-  ==============================",
             "Level 15- Nowhere ==============================",
             "Level 1- Syndicate Warehouse ==============================",
             "LEVEL 01- Syndicate Warehouse ==============================",
             "01 Syndicate Warehouse ==============================",
             "01- Syndicate Warehouse",
             "10 motorcycle05",
             "12 hubs_rear05",
             "101 109",
             "level_1c",
             "Level 01- Syndicate Warehouse ",
             " ==============================door_****** ==============================",
         }) {
        EXPECT_FALSE(isLevelHeading(text)) << '"' << text << '"';
    }
    for (const CommandCategory& category : commandCategories())
        EXPECT_FALSE(isLevelHeading(category.heading)) << category.heading;
    EXPECT_FALSE(isLevelHeading(kCustomValueFiller));
}
