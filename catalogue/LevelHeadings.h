#pragma once

#include <array>
#include <string_view>

// A blank and thirty equals signs: what ends a heading of the lists and of the reference
// database's sections.
inline constexpr std::string_view kHeadingRuler = " ==============================";

// Level headings open one level's group of entries in a parameter list. They are selectable
// entries, but only the fifteen standard forms below are refused as parameter values.
inline constexpr std::array<std::string_view, 15> kStandardLevelHeadings = {
    "Level 00- TCTF Training ==============================",
    "Level 01- Syndicate Warehouse ==============================",
    "Level 02- Manufacturing Plant ==============================",
    "Level 03- Bio-Research Lab. ==============================",
    "Level 04- Airport Assault ==============================",
    "Level 05- Airport Cargo Hangers ==============================",
    "Level 06- TCTF Regional HQ. ==============================",
    "Level 07- Atmosphere Conversion Cent. (Ext.) ==============================",
    "Level 08- Atmosphere Conversion Cent. (Int.) ==============================",
    "Level 09- Regional State Building ==============================",
    "Level 10- Rooftops ==============================",
    "Level 11- Dr.Hasegawa's Lab. ==============================",
    "Level 12- TCTF Science Prison ==============================",
    "Level 13- TCTF Regional HQ. (Redux) ==============================",
    "Level 14- Mountain Compound ==============================",
};

// True for a level heading in any of the forms the lists show, standard or not: an optional
// "Level " or "level ", a level number 00 to 14, "- " (or a bare blank after the word Level),
// a level name beginning with a letter or digit, and an optional ruler of a blank and thirty
// equals signs. A heading needs the word Level or the ruler, so that entries such as
// "10 motorcycle05" are never taken for one.
bool isLevelHeading(std::string_view text);
