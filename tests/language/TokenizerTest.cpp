#include "language/LineCuts.h"
#include "support/TokenRuns.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

namespace {

using probe::runs;

struct SeenToken {
    std::size_t begin;
    std::size_t end;
    TokenKind kind;
    std::string spelling;

    friend bool operator==(const SeenToken&, const SeenToken&) = default;
    friend void PrintTo(const SeenToken& seen, std::ostream* out)
    {
        *out << '[' << seen.begin << ',' << seen.end << ") kind " << int(seen.kind) << " '" << seen.spelling << "'";
    }
};

std::vector<SeenToken> tokensOf(std::string_view text, const ScriptVocabulary& vocabulary = ScriptVocabulary::standard())
{
    std::vector<SeenToken> seen;
    Tokenizer tokenizer(text, vocabulary);
    while (const std::optional<Token> token = tokenizer.next())
        seen.push_back({token->begin, token->end, token->kind, std::string(token->spelling)});
    return seen;
}

TEST(Tokenizer, ReadsEachKindOfToken)
{
    EXPECT_EQ(tokensOf("func ai2_spawn Barabus 12 = # note"),
              (std::vector<SeenToken>{{0, 4, kKeyword, "func"},
                                 {5, 14, kCommand, "ai2_spawn"},
                                 {15, 22, kCharacter, ""},
                                 {23, 25, kNumber, ""},
                                 {26, 27, kKeyword, ""},
                                 {28, 34, kComment, ""}}));
}

TEST(Tokenizer, EmptyOrPlainTextHasNoTokens)
{
    EXPECT_TRUE(tokensOf("").empty());
    EXPECT_TRUE(tokensOf(" \t\r\n;,.+-*/<>!\"'[]").empty());
    EXPECT_TRUE(tokensOf("main x abc").empty());
}

TEST(Tokenizer, EachOperatorIsAKeywordTokenOfItsOwn)
{
    EXPECT_EQ(tokensOf("(){}="), (std::vector<SeenToken>{{0, 1, kKeyword, ""},
                                                     {1, 2, kKeyword, ""},
                                                     {2, 3, kKeyword, ""},
                                                     {3, 4, kKeyword, ""},
                                                     {4, 5, kKeyword, ""}}));
    for (int c = 0x21; c < 0x7F; ++c) {
        const char ch = char(c);
        if (std::string_view("(){}=#").find(ch) != std::string_view::npos || std::isalnum(c) || ch == '_')
            continue;
        EXPECT_TRUE(tokensOf(std::string(1, ch)).empty()) << ch;
    }
}

TEST(Tokenizer, NumbersTakeWhatStringToDoubleTakesFromADigitOn)
{
    const auto number = [](std::size_t begin, std::size_t end) { return SeenToken{begin, end, kNumber, ""}; };
    EXPECT_EQ(tokensOf("1.5.3"), (std::vector<SeenToken>{number(0, 3), number(4, 5)}));
    EXPECT_EQ(tokensOf("3d2"), (std::vector<SeenToken>{number(0, 3)}));
    EXPECT_EQ(tokensOf("1.5e3"), (std::vector<SeenToken>{number(0, 5)}));
    EXPECT_EQ(tokensOf("2E-7 1e+5 4D2"), (std::vector<SeenToken>{number(0, 4), number(5, 9), number(10, 13)}));
    // An exponent letter without digits after it is no part of the number.
    EXPECT_EQ(tokensOf("12e"), (std::vector<SeenToken>{number(0, 2)}));
    EXPECT_EQ(tokensOf("4e+"), (std::vector<SeenToken>{number(0, 1)}));
    EXPECT_EQ(tokensOf("4e-x"), (std::vector<SeenToken>{number(0, 1)}));
    // No sign, and no leading point.
    EXPECT_EQ(tokensOf("-4"), (std::vector<SeenToken>{number(1, 2)}));
    EXPECT_EQ(tokensOf("+6"), (std::vector<SeenToken>{number(1, 2)}));
    EXPECT_EQ(tokensOf(".75"), (std::vector<SeenToken>{number(1, 3)}));
    EXPECT_EQ(tokensOf("7."), (std::vector<SeenToken>{number(0, 2)}));
    EXPECT_EQ(tokensOf("007"), (std::vector<SeenToken>{number(0, 3)}));
    // Letters after a number are a word of their own.
    EXPECT_EQ(tokensOf("12abc"), (std::vector<SeenToken>{number(0, 2)}));
    EXPECT_EQ(tokensOf("0x1F"), (std::vector<SeenToken>{number(0, 1)}));
    EXPECT_EQ(tokensOf("12if"), (std::vector<SeenToken>{number(0, 2), {2, 4, kKeyword, "if"}}));
}

TEST(Tokenizer, WordsMayHoldDigitsButNotStartWithThem)
{
    EXPECT_EQ(tokensOf("ai2_spawn"), (std::vector<SeenToken>{{0, 9, kCommand, "ai2_spawn"}}));
    EXPECT_TRUE(tokensOf("_9lives if2 a1 _if if_").empty());
}

TEST(Tokenizer, CommentRunsToTheNextLineEnd)
{
    EXPECT_EQ(tokensOf("# a\rif"), (std::vector<SeenToken>{{0, 3, kComment, ""}, {4, 6, kKeyword, "if"}}));
    EXPECT_EQ(tokensOf("# a\nif"), (std::vector<SeenToken>{{0, 3, kComment, ""}, {4, 6, kKeyword, "if"}}));
    EXPECT_EQ(tokensOf("# a\r\nif"), (std::vector<SeenToken>{{0, 3, kComment, ""}, {5, 7, kKeyword, "if"}}));
    EXPECT_EQ(tokensOf("x = 1 # to the end"), (std::vector<SeenToken>{{2, 3, kKeyword, ""}, {4, 5, kNumber, ""},
                                                                  {6, 18, kComment, ""}}));
    EXPECT_EQ(tokensOf("#"), (std::vector<SeenToken>{{0, 1, kComment, ""}}));
    EXPECT_EQ(tokensOf("##"), (std::vector<SeenToken>{{0, 2, kComment, ""}}));
    // Quotes and braces in a comment are comment.
    EXPECT_EQ(tokensOf("# \"a\" { if ( } = 5"), (std::vector<SeenToken>{{0, 18, kComment, ""}}));
    EXPECT_EQ(tokensOf("\"#\" if"), (std::vector<SeenToken>{{1, 6, kComment, ""}}));
}

TEST(Tokenizer, ZeroByteIsGapEverywhere)
{
    using namespace std::string_literals;
    EXPECT_EQ(tokensOf("if\0if"s), (std::vector<SeenToken>{{0, 2, kKeyword, "if"}, {3, 5, kKeyword, "if"}}));
    EXPECT_TRUE(tokensOf("fu\0nc"s).empty());
    EXPECT_EQ(tokensOf("1\0"s "2"), (std::vector<SeenToken>{{0, 1, kNumber, ""}, {2, 3, kNumber, ""}}));
    // A comment goes on past it to the line end.
    EXPECT_EQ(tokensOf("# a\0b\r\nif"s), (std::vector<SeenToken>{{0, 5, kComment, ""}, {7, 9, kKeyword, "if"}}));
}

TEST(Tokenizer, BytesFromTheUpperHalfAreGapAndEndAWord)
{
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const std::string text = "if" + std::string(1, char(byte)) + "if";
        EXPECT_EQ(tokensOf(text), (std::vector<SeenToken>{{0, 2, kKeyword, "if"}, {3, 5, kKeyword, "if"}})) << byte;
        EXPECT_EQ(tokensOf(std::string(1, char(byte)) + "5"), (std::vector<SeenToken>{{1, 2, kNumber, ""}})) << byte;
    }
    // As the editor holds them, UTF-8 sequences.
    EXPECT_EQ(tokensOf("func\xC3\xA9if \xE2\x82\xAC" "FORK"),
              (std::vector<SeenToken>{{0, 4, kKeyword, "func"}, {6, 8, kKeyword, "if"}, {12, 16, kKeyword, "fork"}}));
    EXPECT_EQ(probe::kindsOf("caf\xC3\xA9 1"), runs({{6, kGap}, {1, kNumber}}));
}

TEST(Tokenizer, KeywordsAndCommandsCarryTheirListsSpelling)
{
    const std::string text = "FUNC func Func PLXN plxn RAVOK AI2_SPAWN ai2_debug_showsettingids";
    const std::vector<SeenToken> seen = tokensOf(text);
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen[0].spelling, "func");
    EXPECT_EQ(seen[1].spelling, "func");
    EXPECT_EQ(seen[2].spelling, "func");
    EXPECT_EQ(seen[3].spelling, "PLXN");
    EXPECT_EQ(seen[4].spelling, "PLXN");
    EXPECT_EQ(seen[5].spelling, "Ravok");
    EXPECT_EQ(seen[6], (SeenToken{31, 40, kCommand, "ai2_spawn"}));
    EXPECT_EQ(seen[7].spelling, "ai2_debug_showsettingIDs");

    Tokenizer tokenizer(text);
    std::vector<bool> corrections;
    while (const std::optional<Token> token = tokenizer.next())
        corrections.push_back(needsCaseCorrection(text, *token));
    EXPECT_EQ(corrections, (std::vector<bool>{true, false, true, false, true, true, true, true}));
}

TEST(Tokenizer, CaseCorrectionsAreTheKeywordsAndCommandsSpelledOtherwise)
{
    // Character names are never corrected, in whatever case they come.
    const std::string text = "FUNC func barabus Ai2_Spawn x";
    std::vector<SeenToken> seen;
    for (const Token& token : caseCorrections(text))
        seen.push_back({token.begin, token.end, token.kind, std::string(token.spelling)});
    EXPECT_EQ(seen, (std::vector<SeenToken>{{0, 4, kKeyword, "func"}, {18, 27, kCommand, "ai2_spawn"}}));
    EXPECT_TRUE(caseCorrections("func x if").empty());
}

TEST(Tokenizer, TextStylesGiveEachByteItsTokensKindAndEachMarkItsOwn)
{
    const auto style = [](TokenKind kind, std::size_t count) { return std::string(count, char(kind)); };
    EXPECT_EQ(textStyles("if x # y", 'M'), style(kKeyword, 2) + style(TokenKind::Gap, 3) + style(kComment, 3));

    LineCuts cuts;
    std::vector<std::size_t> marks;
    const std::string shown = cuts.cutLongLines(std::string(kLineReach - 2, ' ') + "if rest", &marks).value();
    const std::string styles = textStyles(shown, 'M');
    EXPECT_EQ(styles.substr(marks[0] - 2), style(kKeyword, 2) + std::string(LineCuts::kMarkBytes, 'M'));
    EXPECT_EQ(textStyles("", 'M'), "");
}

TEST(Tokenizer, CharacterNamesMatchOnlyInTheirOwnCase)
{
    const std::string text = "Barabus BARABUS barabus Griffin";
    const std::vector<SeenToken> seen = tokensOf(text);
    // "barabus" is an entry of its own; "BARABUS" is none.
    EXPECT_EQ(seen, (std::vector<SeenToken>{{0, 7, kCharacter, ""}, {16, 23, kCharacter, ""}, {24, 31, kCharacter, ""}}));

    Tokenizer tokenizer(text);
    while (const std::optional<Token> token = tokenizer.next())
        EXPECT_FALSE(needsCaseCorrection(text, *token));
}

TEST(Tokenizer, WordsLongerThanEveryEntryAreGap)
{
    EXPECT_TRUE(tokensOf("ai2_debug_showsettingIDsX").empty());
    for (const std::size_t length : {255u, 256u, 257u, 4096u}) {
        EXPECT_TRUE(tokensOf(std::string(length, 'a')).empty()) << length;
        EXPECT_EQ(tokensOf(std::string(length, 'F') + " if").size(), 1u) << length;
    }
}

TEST(Tokenizer, AKeywordWinsOverACommandAndACommandOverACharacterName)
{
    const ScriptVocabulary vocabulary{{" Both ", WordList::Matching::IgnoreCase},
                                      {" BOTH Twice ", WordList::Matching::IgnoreCase},
                                      {" Both Twice Name ", WordList::Matching::ExactCase}};
    EXPECT_EQ(tokensOf("both twice Twice Name name", vocabulary),
              (std::vector<SeenToken>{{0, 4, kKeyword, "Both"},
                                 {5, 10, kCommand, "Twice"},
                                 {11, 16, kCommand, "Twice"},
                                 {17, 21, kCharacter, ""}}));
}

TEST(Tokenizer, CorrectCaseRewritesKeywordsAndCommandsOnly)
{
    std::string text = "FUNC x AI2_SPAWN(Barabus, BARABUS) # IF\r\nELSE 3D2";
    const std::size_t length = text.size();
    correctCase(text);
    EXPECT_EQ(text, "func x ai2_spawn(Barabus, BARABUS) # IF\r\nelse 3D2");
    EXPECT_EQ(text.size(), length);
}

// A long text is corrected in parts; every line is corrected all the same, the one where the
// parts meet too, and a line longer than the reach only as far as the reach.
TEST(Tokenizer, ALongTextIsCorrectedThroughoutAndLongLinesUpToTheirReach)
{
    std::string lines;
    while (lines.size() < (9 << 20))
        lines += "FUNC x IF\r\n";
    std::string text = lines;
    correctCase(text);
    std::string expected;
    while (expected.size() < lines.size())
        expected += "func x if\r\n";
    EXPECT_EQ(text, expected);

    std::string line;
    while (line.size() < (9 << 20))
        line += "IF ";
    std::string corrected = line;
    correctCase(corrected);
    EXPECT_EQ(corrected.substr(0, 9), "if if if ");
    EXPECT_EQ(corrected.substr(kLineReach - 1, 4), line.substr(kLineReach - 1, 4));
    EXPECT_EQ(corrected.substr(corrected.size() / 2, 9), line.substr(line.size() / 2, 9));
    EXPECT_EQ(corrected.size(), line.size());
}

} // namespace
