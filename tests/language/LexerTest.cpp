#include "language/Lexer.h"
#include "language/ScriptReader.h"
#include "language/Tokenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct SeenLexeme {
    Lex kind;
    std::string text;

    friend bool operator==(const SeenLexeme&, const SeenLexeme&) = default;
};

std::vector<SeenLexeme> lexemesOf(std::string_view text, Quotes quotes)
{
    std::vector<SeenLexeme> seen;
    Lexer lexer(text, quotes);
    for (Lexeme lexeme = lexer.next(); lexeme.kind != Lex::End; lexeme = lexer.next())
        seen.push_back({lexeme.kind, std::string(text.substr(lexeme.begin, lexeme.end - lexeme.begin))});
    return seen;
}

TEST(Lexer, QuotesAreTheOnePlaceColouringAndReadingPart)
{
    constexpr std::string_view text = "say \"ai2_spawn #x\" 1";
    EXPECT_EQ(lexemesOf(text, Quotes::Honoured),
              (std::vector<SeenLexeme>{{Lex::Word, "say"}, {Lex::String, "\"ai2_spawn #x\""}, {Lex::Number, "1"}}));
    // Ignored, the quote is punctuation and what follows reads as code, up to the comment.
    EXPECT_EQ(lexemesOf(text, Quotes::Ignored),
              (std::vector<SeenLexeme>{{Lex::Word, "say"}, {Lex::Punct, "\""}, {Lex::Word, "ai2_spawn"},
                                 {Lex::Comment, "#x\" 1"}}));
}

TEST(Lexer, AnOpenStringEndsWithItsLine)
{
    EXPECT_EQ(lexemesOf("\"open\r\nx", Quotes::Honoured),
              (std::vector<SeenLexeme>{{Lex::String, "\"open"}, {Lex::LineEnd, "\r\n"}, {Lex::Word, "x"}}));
}

TEST(Lexer, NumbersFollowTheSameRuleWithEitherOption)
{
    for (const Quotes quotes : {Quotes::Ignored, Quotes::Honoured}) {
        EXPECT_EQ(lexemesOf(".75 1.5.3 3d2 12e", quotes),
                  (std::vector<SeenLexeme>{{Lex::Punct, "."}, {Lex::Number, "75"}, {Lex::Number, "1.5"}, {Lex::Punct, "."},
                                     {Lex::Number, "3"}, {Lex::Number, "3d2"}, {Lex::Number, "12"}, {Lex::Word, "e"}}));
    }
}

TEST(Lexer, CountsLinesOverEveryKindOfLineEnd)
{
    Lexer lexer("a\r\nb\rc\nd", Quotes::Honoured);
    std::vector<std::uint32_t> lines;
    std::vector<std::uint32_t> columns;
    for (Lexeme lexeme = lexer.next(); lexeme.kind != Lex::End; lexeme = lexer.next()) {
        if (lexeme.kind == Lex::Word) {
            lines.push_back(lexeme.line);
            columns.push_back(lexeme.column());
        }
    }
    EXPECT_EQ(lines, (std::vector<std::uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(columns, (std::vector<std::uint32_t>{0, 0, 0, 0}));
}

TEST(Lexer, ControlsAreBlanksAndUpperBytesArePunctuation)
{
    Lexer lexer(std::string_view("a\0\tb\xE9", 5), Quotes::Honoured);
    const Lexeme a = lexer.next();
    const Lexeme b = lexer.next();
    const Lexeme upper = lexer.next();
    EXPECT_FALSE(a.blankBefore);
    EXPECT_TRUE(b.blankBefore);
    EXPECT_EQ(b.begin, 3u);
    EXPECT_EQ(upper.kind, Lex::Punct);
    EXPECT_EQ(lexer.next().kind, Lex::End);
}

TEST(Lexer, ColouringAndReadingAgreeOnWhatIsAName)
{
    // The reader sees the words the colouring sees, apart from what stands inside quotes.
    constexpr std::string_view text = "func void f(int a1_x)\r\n{\r\n\tai2_spawn Muro # x\r\n\tx = .5; y = \"q\"\r\n}\r\n";
    std::vector<std::string> coloured;
    Tokenizer tokenizer(text, ScriptVocabulary{});
    Lexer lexer(text, Quotes::Ignored);
    for (Lexeme lexeme = lexer.next(); lexeme.kind != Lex::End; lexeme = lexer.next()) {
        if (lexeme.kind == Lex::Word)
            coloured.emplace_back(text.substr(lexeme.begin, lexeme.end - lexeme.begin));
    }
    std::vector<std::string> read;
    for (const NameUse& use : readScript(text).names)
        read.emplace_back(nameText(text, use));
    coloured.erase(std::remove(coloured.begin(), coloured.end(), "q"), coloured.end());
    for (const std::string_view keyword : {"func", "void", "int"})
        coloured.erase(std::remove(coloured.begin(), coloured.end(), keyword), coloured.end());
    EXPECT_EQ(read, coloured);
}

} // namespace
