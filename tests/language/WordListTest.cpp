#include "catalogue/CommandTable.h"
#include "catalogue/WordList.h"
#include "catalogue/WordLists.h"
#include "language/Tokenizer.h"
#include "support/TokenRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

using Matching = WordList::Matching;

// The entries of a list, in order, repeats included.
std::vector<std::string_view> entriesOf(std::string_view list)
{
    std::vector<std::string_view> entries;
    std::size_t begin = 0;
    while ((begin = list.find_first_not_of(' ', begin)) != std::string_view::npos) {
        const std::size_t end = list.find(' ', begin);
        entries.push_back(list.substr(begin, end - begin));
        begin = end;
    }
    return entries;
}

TEST(WordList, GivesTheListsOwnSpelling)
{
    const WordList list(" if Else PLXN ", Matching::IgnoreCase);
    EXPECT_EQ(list.spellingOf("IF"), "if");
    EXPECT_EQ(list.spellingOf("else"), "Else");
    EXPECT_EQ(list.spellingOf("plxn"), "PLXN");
    EXPECT_EQ(list.spellingOf("els"), "");
    EXPECT_EQ(list.spellingOf("elsee"), "");
    EXPECT_EQ(list.spellingOf("if Else"), "");
}

TEST(WordList, ExactCaseListsMatchOnlyTheirOwnSpelling)
{
    const WordList names(" Barabus barabus ", Matching::ExactCase);
    EXPECT_EQ(names.spellingOf("Barabus"), "Barabus");
    EXPECT_EQ(names.spellingOf("barabus"), "barabus");
    EXPECT_EQ(names.spellingOf("BARABUS"), "");
}

TEST(WordList, EntriesNeedABlankOnEachSide)
{
    const WordList list("first  second last", Matching::IgnoreCase);
    EXPECT_EQ(list.spellingOf("first"), "");
    EXPECT_EQ(list.spellingOf("second"), "second");
    EXPECT_EQ(list.spellingOf("last"), "");
    // A doubled blank frames no empty entry.
    EXPECT_EQ(list.spellingOf(""), "");
}

TEST(WordList, TheFirstOfRepeatedEntriesWins)
{
    const WordList list(" Else else ELSE else ", Matching::IgnoreCase);
    EXPECT_EQ(list.spellingOf("eLsE"), "Else");
    EXPECT_EQ(list.spellingOf("ELSE"), "Else");
}

TEST(WordList, EmptyListsHoldNothing)
{
    for (const std::string_view source : {"", " ", "   ", "if"}) {
        for (const Matching matching : {Matching::IgnoreCase, Matching::ExactCase}) {
            const WordList list(source, matching);
            EXPECT_EQ(list.spellingOf("if"), "") << '"' << source << '"';
            EXPECT_EQ(list.spellingOf(""), "") << '"' << source << '"';
        }
    }
}

TEST(WordList, KeepsItsOwnCopyOfTheList)
{
    std::string source = " If ";
    const WordList list(source, Matching::IgnoreCase);
    source.assign("xxxx");
    EXPECT_EQ(list.spellingOf("if"), "If");
}

TEST(WordLists, AreTheListsScriptsHaveAlwaysBeenColouredWith)
{
    EXPECT_EQ(kKeywordList.size(), 117u);
    EXPECT_NE(kCommandList.find("chr_freeze  ai2_passive"), std::string_view::npos);
    const std::string_view names = CharacterNameList();
    EXPECT_EQ(names.size(), 9836u);
    EXPECT_TRUE(names.starts_with(" A1_intro01 A1_intro02 B1_s_green01 new_dummy1 "));
    EXPECT_TRUE(names.ends_with(" end_guard_1 end_guard_2 Final_Thug_10 "));
}

TEST(WordLists, TheCommandListIsTheOldOneAndTheFourCommandsTheBuilderInserts)
{
    constexpr std::size_t kOldListSize = 3729;
    ASSERT_GT(kCommandList.size(), kOldListSize);
    EXPECT_TRUE(kCommandList.substr(0, kOldListSize).starts_with(" ai2_debug_showsettingIDs "));
    EXPECT_TRUE(kCommandList.substr(0, kOldListSize).ends_with(" ai2_doalarm "));
    EXPECT_EQ(kCommandList.substr(kOldListSize - 1),
              " ai2_idle chr_has_empty_weapon sound_ambient_volume sound_impulse_play ");

    const std::string_view oldList = kCommandList.substr(0, kOldListSize);
    for (const std::string_view added : {"ai2_idle", "chr_has_empty_weapon", "sound_ambient_volume",
                                         "sound_impulse_play"}) {
        const std::string framed = std::string(1, ' ').append(added).append(1, ' ');
        EXPECT_EQ(oldList.find(framed), std::string_view::npos) << added;
        EXPECT_EQ(probe::kindsOf(added), std::vector<TokenKind>(added.size(), kCommand)) << added;
    }
}

TEST(WordLists, EveryEntryIsColouredAsItsListSays)
{
    const ScriptVocabulary& vocabulary = ScriptVocabulary::standard();
    for (const std::string_view keyword : entriesOf(kKeywordList)) {
        std::string shouted(keyword);
        std::transform(shouted.begin(), shouted.end(), shouted.begin(), [](char c) { return char(std::toupper(c)); });
        Tokenizer tokenizer(shouted);
        const std::optional<Token> token = tokenizer.next();
        ASSERT_TRUE(token) << keyword;
        EXPECT_EQ(token->kind, kKeyword) << keyword;
        EXPECT_EQ(token->spelling, vocabulary.keywords.spellingOf(keyword)) << keyword;
        EXPECT_EQ(token->end, keyword.size()) << keyword;
    }
    for (const std::string_view command : entriesOf(kCommandList)) {
        Tokenizer tokenizer(command);
        const std::optional<Token> token = tokenizer.next();
        ASSERT_TRUE(token) << command;
        EXPECT_EQ(token->kind, kCommand) << command;
        EXPECT_EQ(token->spelling, command) << command;
        EXPECT_EQ(token->end, command.size()) << command;
    }
    for (const std::string_view name : entriesOf(CharacterNameList()))
        EXPECT_EQ(probe::kindsOf(name), std::vector<TokenKind>(name.size(), kCharacter)) << name;
}

TEST(WordLists, EveryBuilderCommandShowsAsACommand)
{
    int commands = 0;
    for (const CommandCategory& category : commandCategories()) {
        for (const ScriptCommand& command : category.commands) {
            // "cm_anim both" inserts the command cm_anim.
            const std::string_view word = command.name.substr(0, command.name.find(' '));
            Tokenizer tokenizer(word);
            const std::optional<Token> token = tokenizer.next();
            ASSERT_TRUE(token) << command.name;
            EXPECT_EQ(token->kind, kCommand) << command.name;
            EXPECT_EQ(token->end, word.size()) << command.name;
            EXPECT_FALSE(needsCaseCorrection(word, *token)) << command.name;
            ++commands;
        }
    }
    EXPECT_GT(commands, 200);
}

} // namespace
