#include "language/LineCuts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string joined(const std::vector<std::string_view>& parts)
{
    std::string text;
    for (const std::string_view part : parts)
        text += part;
    return text;
}

TEST(LineCuts, CutOnlyLinesLongerThanTheReachAtACharacterStart)
{
    LineCuts cuts;
    const std::string atReach(kLineReach, 'a');
    EXPECT_FALSE(cuts.cutLongLines(atReach + "\r\n" + atReach));

    // "é" takes two bytes and would be split at the reach: the cut comes in front of it.
    const std::string line = std::string(kLineReach - 1, 'b') + "\xC3\xA9" + "cd";
    const std::string text = "x\r\n" + line + "\r\n" + atReach + "e";
    std::vector<std::size_t> marks;
    const std::string shown = cuts.cutLongLines(text, &marks).value();
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0], 3 + kLineReach - 1);
    EXPECT_TRUE(LineCuts::isMarkAt(shown, marks[0]));
    EXPECT_EQ(shown.substr(marks[0] + LineCuts::kMarkBytes, 2), "\r\n");
    EXPECT_EQ(cuts.restOf(std::string_view(shown).substr(marks[0])), "\xC3\xA9" "cd");
    EXPECT_EQ(cuts.restOf(std::string_view(shown).substr(marks[1])), "e");
    EXPECT_EQ(cuts.expanded(shown), text);
}

TEST(LineCuts, MapPlacesAcrossSeveralMarksAndReassembleTheScript)
{
    LineCuts cuts;
    const std::string first = std::string(kLineReach, 'a') + "REST1";
    const std::string second = std::string(kLineReach, 'b') + "LONGER REST 2";
    const std::string text = first + "\r\nmid\r\n" + second + "\r\nend";
    std::vector<std::size_t> marks;
    const std::string shown = cuts.cutLongLines(text, &marks).value();
    cuts.setMarks(shown, marks);

    const std::size_t mid = text.find("mid");
    EXPECT_EQ(cuts.shownPosition(mid), shown.find("mid"));
    EXPECT_EQ(cuts.scriptOffset(shown.find("mid")), mid);
    EXPECT_EQ(cuts.scriptOffset(shown.find("end")), text.find("end"));
    bool inRest = false;
    EXPECT_EQ(cuts.shownPosition(text.find("REST 2"), &inRest), marks[1]);
    EXPECT_TRUE(inRest);
    EXPECT_EQ(cuts.shownPosition(kLineReach - 1, &inRest), kLineReach - 1);
    EXPECT_FALSE(inRest);

    // However the editor's text is split in two, the parts make the script.
    for (const std::size_t split : {std::size_t(0), marks[0] + 2, shown.find("mid"), shown.size()})
        EXPECT_EQ(joined(cuts.scriptParts(std::string_view(shown).substr(0, split), std::string_view(shown).substr(split))), text);
}

TEST(LineCuts, FollowTheirMarksThroughEdits)
{
    LineCuts cuts;
    std::vector<std::size_t> marks;
    std::string shown = cuts.cutLongLines("x\r\n" + std::string(kLineReach + 3, 'r'), &marks).value();
    cuts.setMarks(shown, marks);
    const std::string mark = shown.substr(marks[0], LineCuts::kMarkBytes);

    shown.insert(0, "ab");
    cuts.moveForInsertion(0, 2);
    EXPECT_TRUE(cuts.isMarkAt(marks[0] + 2));

    // A copy of the mark pasted at the start brings a second mark for the same rest.
    shown.insert(0, mark);
    cuts.moveForInsertion(0, mark.size());
    cuts.findMarks(0, mark);
    EXPECT_TRUE(cuts.isMarkAt(0));
    EXPECT_EQ(cuts.scriptOffset(shown.size()), shown.size() + 2 * (kLineReach + 3 - kLineReach - LineCuts::kMarkBytes));

    shown.erase(0, 6);
    cuts.removeRange(0, 6);
    EXPECT_FALSE(cuts.isMarkAt(0));
    EXPECT_EQ(joined(cuts.scriptParts(shown, {})), "x\r\n" + std::string(kLineReach + 3, 'r'));

    const std::string shorter = cuts.markForPart(mark, 1, 3);
    EXPECT_EQ(cuts.restOf(shorter), "rr");
    EXPECT_EQ(cuts.restOf(mark), "rrr");

    // A line cut at 10 and ending at 25: places up to the cut stay, those in the rest go to the
    // mark's front, and those from the line's end on move back by what the mark saves.
    EXPECT_EQ(LineCuts::placeAfterCut(10, 10, 25), 10u);
    EXPECT_EQ(LineCuts::placeAfterCut(11, 10, 25), 10u);
    EXPECT_EQ(LineCuts::placeAfterCut(24, 10, 25), 10u);
    EXPECT_EQ(LineCuts::placeAfterCut(25, 10, 25), 10 + LineCuts::kMarkBytes);
    EXPECT_EQ(LineCuts::placeAfterCut(30, 10, 25), 15 + LineCuts::kMarkBytes);
}

TEST(LineCuts, LoseTheirRestsACharacterAtATimeFromEitherEnd)
{
    LineCuts cuts;
    std::vector<std::size_t> marks;
    const std::string shown = cuts.cutLongLines(std::string(kLineReach, 'a') + "\xC3\xA9x\xE2\x82\xAC", &marks).value();
    const std::string mark = shown.substr(marks[0], LineCuts::kMarkBytes);

    // A character of several bytes goes whole.
    const std::string withoutFirst = cuts.markWithoutCharacter(mark, true).value();
    EXPECT_EQ(cuts.restOf(withoutFirst), "x\xE2\x82\xAC");
    const std::string withoutLast = cuts.markWithoutCharacter(mark, false).value();
    EXPECT_EQ(cuts.restOf(withoutLast), "\xC3\xA9x");
    EXPECT_EQ(cuts.restOf(mark), "\xC3\xA9x\xE2\x82\xAC");

    const std::string single = cuts.markWithoutCharacter(withoutLast, true).value();
    EXPECT_EQ(cuts.restOf(single), "x");
    EXPECT_EQ(cuts.markWithoutCharacter(single, false), std::string());
    EXPECT_EQ(cuts.markWithoutCharacter(single, true), std::string());
}

} // namespace
