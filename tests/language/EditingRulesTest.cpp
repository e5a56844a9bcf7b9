#include "language/Braces.h"
#include "language/EditedRanges.h"
#include "language/Folding.h"
#include "language/Indentation.h"
#include "language/Occurrences.h"
#include "language/ScriptReader.h"
#include "language/Templates.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<Fold> foldsOfText(std::string text)
{
    return analyseScript(std::make_shared<const std::string>(std::move(text)))->folds;
}

std::string applied(std::string text, const std::vector<TextEdit>& edits)
{
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
        text.replace(edit->offset, edit->length, edit->replacement);
    return text;
}

TEST(Folds, FunctionBodiesBlocksAndCommentRunsNestInHeaderOrder)
{
    const std::string script = "# one\r\n"           // 0
                               "# two\r\n"           // 1
                               "# three\r\n"         // 2
                               "func void main(void)\r\n"  // 3
                               "{\r\n"               // 4
                               "\tif (a eq 1) {\r\n"  // 5
                               "\t\tsleep 1\r\n"      // 6
                               "\t} else {\r\n"       // 7
                               "\t\tsleep 2\r\n"      // 8
                               "\t}\r\n"              // 9
                               "\tif (b eq 1) { fork x }\r\n"  // 10: one line, nothing to fold
                               "\t# a\r\n\t# b\r\n"   // 11, 12: too few comment lines
                               "}\r\n";              // 13
    EXPECT_EQ(foldsOfText(script), (std::vector<Fold>{{0, 2}, {3, 13}, {5, 6}, {7, 9}}));

    // The function's header over several lines folds from `func`; an unclosed block folds nothing.
    EXPECT_EQ(foldsOfText("func void\r\nmain(\r\nvoid)\r\n{\r\n\tx\r\n}\r\nfunc void f(void)\r\n{\r\n\ty\r\n"),
              (std::vector<Fold>{{0, 5}}));
    // `{ {` on one line: the outer block stands for both.
    EXPECT_EQ(foldsOfText("{ {\n a\n }\n}\n"), (std::vector<Fold>{{0, 3}}));
}

TEST(Folds, DepthsTellEachLineHowDeepItLiesAndWhereFoldsStart)
{
    const std::vector<Fold> folds{{0, 4}, {1, 2}, {5, 6}};
    FoldDepths depths(folds);
    std::vector<std::pair<std::uint32_t, bool>> lines;
    for (int line = 0; line < 8; ++line) {
        const FoldDepths::Line next = depths.next();
        lines.emplace_back(next.depth, next.header);
    }
    EXPECT_EQ(lines, (std::vector<std::pair<std::uint32_t, bool>>{
                         {0, true}, {1, true}, {2, false}, {1, false}, {1, false}, {0, true}, {1, false}, {0, false}}));
}

TEST(Indentation, TheUnitIsWhatTheScriptUses)
{
    EXPECT_EQ(indentUnitOf(""), "\t");
    EXPECT_EQ(indentUnitOf("func f\r\n{\r\n\tx\r\n\t\ty\r\n}"), "\t");
    EXPECT_EQ(indentUnitOf("func f\n{\n  x\n  if (a) {\n    y\n  }\n}\n"), "  ");
    // Blanks then tabs, as some of the game's scripts have it, count as tabs.
    EXPECT_EQ(indentUnitOf("{\n  \tx\n  \ty\n    z\n}"), "\t");
}

TEST(Indentation, ALineBreakKeepsTheLineAndStepsInAfterAnOpenedBlock)
{
    EXPECT_EQ(indentationAfterBreak("\tsleep 60", "\t"), "\t");
    EXPECT_EQ(indentationAfterBreak("  \tif (a eq 1) {", "\t"), "  \t\t");
    EXPECT_EQ(indentationAfterBreak("    {", "    "), "        ");
    EXPECT_EQ(indentationAfterBreak("\tif (a) { fork b }", "\t"), "\t");
    EXPECT_EQ(indentationAfterBreak("\tsleep 1 # {", "\t"), "\t");
    EXPECT_EQ(indentationAfterBreak("", "\t"), "");

    // A `}` goes back to the indentation of its `{`'s line, braces in comments and strings aside.
    EXPECT_EQ(closingBraceIndentation("func f\r\n{\r\n\tif (a) {\r\n\t\tx\r\n\t\t"), "\t");
    EXPECT_EQ(closingBraceIndentation("  {\r\n\tif (a) { b }\r\n\t# }\r\n\ty \"}\"\r\n\t"), "  ");
    EXPECT_EQ(closingBraceIndentation("\tx\r\n\t"), std::nullopt);

    // Only a `}` with nothing but blanks before it moves, and only when it stands elsewhere.
    const std::string block = "\tif (a) {\r\n\t\tx\r\n";
    EXPECT_EQ(applied(block + "\t\t ", {closingBraceAlignment(block + "\t\t ").value()}), block + "\t");
    EXPECT_EQ(applied(block, {closingBraceAlignment(block).value()}), block + "\t");
    EXPECT_EQ(closingBraceAlignment(block + "\t"), std::nullopt);
    EXPECT_EQ(closingBraceAlignment(block + "\tx "), std::nullopt);
    EXPECT_EQ(closingBraceAlignment("\tx\r\n  "), std::nullopt);
}

TEST(Indentation, SelectedLinesIndentOutdentAndToggleTheirComments)
{
    const std::string lines = "\tsleep 1\r\n\r\n  x\r\n   \ty";
    EXPECT_EQ(applied(lines, indentLines(lines, "\t")), "\t\tsleep 1\r\n\r\n\t  x\r\n\t   \ty");
    EXPECT_EQ(applied(lines, outdentLines(lines, "\t")), "sleep 1\r\n\r\nx\r\ny");
    EXPECT_EQ(applied(lines, outdentLines(lines, "  ")), "sleep 1\r\n\r\nx\r\n \ty");

    const std::string code = "\tsleep 1\r\n\r\n\t# note\r\n";
    const std::string commented = applied(code, toggleLineComments(code));
    EXPECT_EQ(commented, "\t#sleep 1\r\n\r\n\t## note\r\n");
    EXPECT_EQ(applied(commented, toggleLineComments(commented)), code);
}

TEST(Templates, ExpandIntoTheLinesIndentationWithFieldsInOrder)
{
    const ScriptTemplate* ifElse = templateNamed("IfElse");
    ASSERT_NE(ifElse, nullptr);
    const ExpandedTemplate expanded = expandTemplate(*ifElse, "\r\n", "\t", "\t");
    EXPECT_EQ(expanded.text, "if (condition) {\r\n\t\tbody\r\n\t} else {\r\n\t\tbody\r\n\t}");
    ASSERT_EQ(expanded.fields.size(), 3u);
    EXPECT_EQ(expanded.text.substr(expanded.fields[0].begin, 9), "condition");
    EXPECT_EQ(expanded.fields[1].begin, expanded.text.find("body"));
    EXPECT_EQ(expanded.fields[2].begin, expanded.text.rfind("body"));
    // Put into a text, the fields stand where the template went, and its end is the last stop.
    const TemplateFields placed(expanded, 100);
    EXPECT_EQ(placed.current(), (TextRange{100 + expanded.fields[0].begin, 100 + expanded.fields[0].end}));
    ASSERT_EQ(placed.fields().size(), 4u);
    EXPECT_EQ(placed.fields().back(), (TextRange{100 + expanded.text.size(), 100 + expanded.text.size()}));
    for (const char* name : {"func", "if", "fork", "var"})
        EXPECT_NE(templateNamed(name), nullptr) << name;

    // Typing over the current field grows it; the fields after it move, the end stop too.
    TemplateFields fields({{5, 9}, {12, 16}}, 20);
    fields.removed(5, 4);
    fields.inserted(5, 3);
    EXPECT_EQ(fields.current(), (TextRange{5, 8}));
    EXPECT_EQ(fields.fields()[1], (TextRange{11, 15}));
    ASSERT_TRUE(fields.advance());
    fields.inserted(15, 2);
    EXPECT_EQ(fields.current(), (TextRange{11, 17}));
    ASSERT_TRUE(fields.advance());
    EXPECT_EQ(fields.current(), (TextRange{21, 21}));
    EXPECT_FALSE(fields.advance());
}

TEST(CaretMarks, BracePartnersAndNameOccurrencesAsTheLanguageReadsThem)
{
    const std::string text = "if (a(1)) {\n\t# }\n\tx \"{\"\n}\n{";
    EXPECT_EQ(bracePartner(text, 3, true).partner, 8u);
    EXPECT_EQ(bracePartner(text, 8, true).partner, 3u);
    EXPECT_EQ(bracePartner(text, 10, true).partner, text.rfind('}'));
    EXPECT_EQ(bracePartner(text, text.rfind('}'), true).partner, 10u);
    EXPECT_EQ(bracePartner(text, text.size() - 1, true).state, BracePartner::State::Unmatched);
    // Beyond what was read the partner may yet be.
    EXPECT_EQ(bracePartner(text, text.size() - 1, false).state, BracePartner::State::None);
    EXPECT_EQ(bracePartner(text, text.find("# }") + 2, true).state, BracePartner::State::None);

    const std::string line = "\tai2_spawn Muro # muro";
    EXPECT_EQ(nameAtCaret(line, 13), (TextRange{11, 15}));
    EXPECT_EQ(nameAtCaret(line, 15), (TextRange{11, 15}));
    EXPECT_EQ(nameAtCaret(line, 19), std::nullopt);
    EXPECT_EQ(nameAtCaret("if (x)", 1), std::nullopt);
    EXPECT_EQ(nameOccurrences("muro MURO \"muro\" muros # muro\nMuro", "Muro"),
              (std::vector<TextRange>{{0, 4}, {5, 9}, {30, 34}}));
}

TEST(CaretMarks, EditedRangesFollowChangesAndStayFew)
{
    EditedRanges ranges;
    ranges.inserted(10, 1);
    ranges.inserted(100, 1);
    ranges.inserted(5, 2);
    EXPECT_EQ(ranges.ranges(), (std::vector<TextRange>{{5, 7}, {12, 13}, {102, 103}}));
    ranges.removed(11, 5);
    EXPECT_EQ(ranges.ranges(), (std::vector<TextRange>{{5, 7}, {11, 11}, {97, 98}}));
    for (std::size_t at = 200; at < 1200; at += 10)
        ranges.inserted(at, 1);
    EXPECT_LE(ranges.ranges().size(), 16u);
    EXPECT_EQ(ranges.ranges().front().begin, 5u);
    EXPECT_EQ(ranges.ranges().back().end, 1191u);
}

} // namespace
