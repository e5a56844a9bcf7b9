#include "language/Completion.h"
#include "language/DeclaredNames.h"
#include "language/ScriptHints.h"

#include "catalogue/CommandTable.h"
#include "catalogue/LevelHeadings.h"
#include "support/LineEnds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

// A text with one '|' where the caret stands.
struct AtCaret {
    std::string text;
    std::size_t caret;
};

AtCaret atCaret(std::string_view marked)
{
    std::string text = crlf(marked);
    const std::size_t caret = text.find('|');
    text.erase(caret, 1);
    return {text, caret};
}

Completion complete(std::string_view marked, const DeclaredNames& siblings = {}, std::string_view levelHint = {})
{
    const AtCaret at = atCaret(marked);
    return completeAt(at.text, at.caret, siblings, levelHint);
}

std::vector<std::string> textsOf(const Completion& completion)
{
    std::vector<std::string> texts;
    for (const Candidate& candidate : completion.candidates)
        texts.push_back(candidate.text);
    return texts;
}

const Candidate* find(const Completion& completion, std::string_view text)
{
    for (const Candidate& candidate : completion.candidates) {
        if (candidate.text == text)
            return &candidate;
    }
    return nullptr;
}

std::ptrdiff_t rankOf(const Completion& completion, std::string_view text)
{
    const auto texts = textsOf(completion);
    return std::find(texts.begin(), texts.end(), text) - texts.begin();
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && sameName(text.substr(0, prefix.size()), prefix);
}

// ---- names ----------------------------------------------------------------------------------

TEST(Completion, OffersEveryKindOfNameWithItsKindAndDetail)
{
    DeclaredNames level;
    // A header over two lines shows as one.
    level.addScript("func void level_start(\n\tstring ai_name)\n{\n}\nvar int level_counter = 1;\n");
    const std::string script = "var int wave = 0;\n"
                               "func void spawn_wave(string ai_name)\n"
                               "{\n"
                               "\tvar int hits = 1;\n"
                               "\t|\n"
                               "}\n";
    struct Expected {
        std::string_view typed;
        std::string_view text;
        NameKind kind;
        std::string_view detail;
    };
    for (const Expected& expected : std::vector<Expected>{
             {"ai2_att", "ai2_attack", NameKind::Function,
              "([ai_name:string | script_id:int], [target_name:string | target_script_id:int])"},
             {"gl_fog_st", "gl_fog_start", NameKind::Variable, "float"},
             {"els", "else", NameKind::Keyword, ""},
             {"playba", "playback", NameKind::BuilderCommand, ""},
             {"sound_dialog_play_pa", "sound_dialog_play_pause", NameKind::Command, ""},
             {"Mur", "Muro", NameKind::CharacterName, ""},
             {"spawn_w", "spawn_wave", NameKind::ScriptFunction, "(string ai_name)"},
             {"wav", "wave", NameKind::ScriptVariable, "int"},
             {"hit", "hits", NameKind::ScriptVariable, "int"},
             {"ai_na", "ai_name", NameKind::ScriptVariable, "string"},
             {"level_st", "level_start", NameKind::LevelFunction, "(string ai_name)"},
             {"level_co", "level_counter", NameKind::LevelVariable, "int"},
         }) {
        std::string marked = script;
        marked.insert(marked.find('|'), expected.typed);
        const Completion completion = complete(marked, level);
        const Candidate* candidate = find(completion, expected.text);
        ASSERT_NE(candidate, nullptr) << expected.typed;
        EXPECT_EQ(candidate->kind, expected.kind) << expected.typed;
        EXPECT_EQ(candidate->detail, expected.detail) << expected.typed;
        EXPECT_EQ(candidate->insertText, expected.text) << expected.typed;
        EXPECT_TRUE(candidate->insertable());
        EXPECT_FALSE(completion.arguments);
        EXPECT_EQ(completion.caret - completion.replaceBegin, expected.typed.size());
        EXPECT_FALSE(kindLabel(candidate->kind).empty());
    }
}

TEST(Completion, MatchesWithoutRegardToCaseAndInsertsTheListsSpelling)
{
    Completion completion = complete("AI2_DEBUG_SHOWS|");
    ASSERT_FALSE(completion.candidates.empty());
    EXPECT_EQ(completion.candidates[0].insertText, "ai2_debug_showsettingIDs");
    completion = complete("MURO|");
    ASSERT_NE(find(completion, "Muro"), nullptr);
    EXPECT_EQ(find(completion, "Muro")->insertText, "Muro");
    // Character names keep their case: both spellings the list holds are offered.
    completion = complete("griffi|");
    EXPECT_NE(find(completion, "griffin"), nullptr);
    EXPECT_NE(find(completion, "Griffin"), nullptr);
}

TEST(Completion, PutsPrefixMatchesBeforeInnerMatches)
{
    const Completion completion = complete("func void spawn_wave\n{\n}\nspawn|");
    const std::vector<std::string> texts = textsOf(completion);
    ASSERT_GT(texts.size(), 3u);
    const auto firstInner = std::find_if(texts.begin(), texts.end(),
                                         [](const std::string& text) { return !startsWithIgnoringCase(text, "spawn"); });
    ASSERT_NE(firstInner, texts.end());
    EXPECT_TRUE(std::none_of(firstInner, texts.end(),
                             [](const std::string& text) { return startsWithIgnoringCase(text, "spawn"); }));
    EXPECT_TRUE(std::all_of(firstInner, texts.end(), [](const std::string& text) {
        std::string lower = text;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return char(std::tolower(c)); });
        return lower.find("spawn") != std::string::npos;
    }));
    EXPECT_NE(find(completion, "ai2_spawn"), nullptr);
    EXPECT_LT(rankOf(completion, "spawn_wave"), rankOf(completion, "ai2_spawn"));
}

TEST(Completion, RanksTheScriptsOwnAndItsFrequentNamesFirst)
{
    // "Frequent" is how often the script names it.
    const std::string script = "func void chr_setup(void)\n"
                               "{\n"
                               "\tchr_teleport Konoko 10\n"
                               "\tchr_teleport Muro 11\n"
                               "\tchr_teleport Barabus 12\n"
                               "\tchr_animate Konoko KONOKOlev1_intro\n"
                               "\tchr_|\n"
                               "}\n";
    const Completion completion = complete(script);
    const std::vector<std::string> texts = textsOf(completion);
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[0], "chr_teleport");
    EXPECT_EQ(texts[1], "chr_animate");
    EXPECT_EQ(texts[2], "chr_setup");
    // The rest follow alphabetically.
    EXPECT_TRUE(std::is_sorted(texts.begin() + 3, texts.begin() + 10, [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) { return std::tolower(x) < std::tolower(y); });
    }));
}

TEST(Completion, OffersEachNameOnceAndOnlyTheLocalsOfTheFunctionAtTheCaret)
{
    const std::string script = "var int counter;\n"
                               "func void a(string first)\n"
                               "{\n"
                               "\tvar int count_a = 1;\n"
                               "}\n"
                               "func void b(string second)\n"
                               "{\n"
                               "\tvar int count_b = 1;\n"
                               "\tcou|\n"
                               "}\n";
    const Completion completion = complete(script);
    const std::vector<std::string> texts = textsOf(completion);
    EXPECT_NE(find(completion, "count_b"), nullptr);
    EXPECT_NE(find(completion, "counter"), nullptr);
    EXPECT_EQ(find(completion, "count_a"), nullptr);
    std::vector<std::string> lowered = texts;
    for (std::string& text : lowered)
        std::transform(text.begin(), text.end(), text.begin(), [](char c) { return char(std::tolower(c)); });
    std::sort(lowered.begin(), lowered.end());
    // Names differing only in case appear once, character names aside.
    for (std::size_t i = 1; i < lowered.size(); ++i) {
        if (lowered[i] == lowered[i - 1]) {
            EXPECT_EQ(find(completion, texts[i])->kind, NameKind::CharacterName) << texts[i];
        }
    }
}

// A name keeps the kind and spelling of its first source, whichever letter case the others use.
TEST(Completion, TheScriptsOwnDeclarationHidesTheSameNameFromElsewhere)
{
    DeclaredNames siblings;
    siblings.addScript("func void Ai2_Spawn_all(void)\n{\n}\nvar int GRIFFIN;\n");
    const std::string script = "var int griffin;\nfunc void AI2_SPAWN_ALL(void)\n{\n\tgri|\n}\n";
    const Completion completion = complete(script, siblings);
    const Candidate* variable = find(completion, "griffin");
    ASSERT_NE(variable, nullptr);
    EXPECT_EQ(variable->kind, NameKind::ScriptVariable);
    EXPECT_EQ(find(completion, "Griffin"), nullptr);
    EXPECT_EQ(find(completion, "GRIFFIN"), nullptr);

    const Completion spawn = complete("func void AI2_SPAWN_ALL(void)\n{\n}\nai2_spawn_a|", siblings);
    ASSERT_EQ(spawn.candidates.size(), 1u);
    EXPECT_EQ(spawn.candidates[0].text, "AI2_SPAWN_ALL");
    EXPECT_EQ(spawn.candidates[0].kind, NameKind::ScriptFunction);
    EXPECT_EQ(spawn.candidates[0].detail, "(void)");
}

// An earlier revision's reading gives what reading the text afresh gives, with the same order.
TEST(Completion, FromAReadingMatchesAFreshRead)
{
    const std::string script = "var int count;\nfunc void counting(int c)\n{\n\tcount = count + 1;\n\tco|\n}\n";
    const AtCaret at = atCaret(script);
    const auto analysis = analyseScript(std::make_shared<const std::string>(at.text));
    const Completion fresh = completeAt(at.text, at.caret);
    const Completion read = completeAt(at.text, at.caret, *analysis);
    ASSERT_GT(fresh.candidates.size(), 10u);
    EXPECT_EQ(textsOf(read), textsOf(fresh));
}

TEST(Completion, OffersNothingInsideCommentsAndStrings)
{
    EXPECT_TRUE(complete("# ai2_|").candidates.empty());
    EXPECT_TRUE(complete("dmsg \"ai2_|\"").candidates.empty());
    // Nor for a number.
    EXPECT_TRUE(complete("dmsg 12|").candidates.empty());
}

TEST(Completion, WithNothingTypedOffersEverything)
{
    const Completion completion = complete("func void main(void)\n{\n\t|\n}\n");
    EXPECT_GT(completion.candidates.size(), 1000u);
    EXPECT_EQ(completion.replaceBegin, completion.caret);
    EXPECT_EQ(completion.candidates[0].text, "main");
}

// ---- arguments ------------------------------------------------------------------------------

std::vector<std::string> headingsOf(const Completion& completion)
{
    std::vector<std::string> headings;
    for (const Candidate& candidate : completion.candidates) {
        if (candidate.kind == NameKind::LevelHeading)
            headings.push_back(candidate.text);
    }
    return headings;
}

TEST(Completion, OffersABuilderCommandsListForTheArgumentInEitherCallForm)
{
    for (const std::string_view marked :
         {"ai2_attack |", "\tai2_attack\t|", "ai2_attack(|", "ai2_attack (Muro, |", "ai2_attack Muro |"}) {
        const Completion completion = complete(marked);
        EXPECT_TRUE(completion.arguments) << marked;
        EXPECT_EQ(completion.command, "ai2_attack") << marked;
        std::vector<std::string> characters;
        fillParameterList(findCommand("ai2_attack")->list1, characters);
        // Every entry of the builder's list is offered, in order, headings included.
        EXPECT_EQ(textsOf(completion), characters) << marked;
        ASSERT_FALSE(completion.candidates.empty());
        EXPECT_EQ(completion.candidates[0].kind, NameKind::LevelHeading);
        EXPECT_FALSE(completion.candidates[0].insertable());
        EXPECT_EQ(completion.candidates[0].insertText, "");
        EXPECT_EQ(completion.candidates[1].kind, NameKind::ListEntry);
        EXPECT_EQ(completion.candidates[1].insertText, completion.candidates[1].text);
    }

    EXPECT_EQ(textsOf(complete("trigvolume_enable tv1 1 |")), (std::vector<std::string>{"all", "entry", "inside", "exit"}));
    EXPECT_EQ(textsOf(complete("trigvolume_enable(tv1, 1, |")),
              (std::vector<std::string>{"all", "entry", "inside", "exit"}));
    EXPECT_EQ(textsOf(complete("cm_anim |")), (std::vector<std::string>{"both"}));
    // The builder leaves no word for an empty list: the first argument takes the next list.
    EXPECT_EQ(textsOf(complete("ai2_skill_save |")), (std::vector<std::string>{"0", "1"}));
    const Completion camera = complete("cm_anim both |");
    ASSERT_FALSE(camera.candidates.empty());
    EXPECT_EQ(camera.candidates[1].text, "Cam4");
    const Completion music = complete("\tsound_music_start |");
    EXPECT_EQ(music.candidates[0].text, "Level 01- Syndicate Warehouse ==============================");
    EXPECT_NE(find(music, "mus_chase"), nullptr);
}

TEST(Completion, TypingNarrowsTheListAndKeepsOnlyTheHeadingsOfWhatIsLeft)
{
    const Completion completion = complete("ai2_attack mur|");
    EXPECT_TRUE(completion.arguments);
    const std::vector<std::string> texts = textsOf(completion);
    ASSERT_FALSE(texts.empty());
    for (const Candidate& candidate : completion.candidates) {
        if (candidate.kind == NameKind::LevelHeading)
            continue;
        std::string lower = candidate.text;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return char(std::tolower(c)); });
        EXPECT_NE(lower.find("mur"), std::string::npos) << candidate.text;
    }
    // A heading is followed by at least one of its entries.
    for (std::size_t i = 0; i < completion.candidates.size(); ++i) {
        if (completion.candidates[i].kind == NameKind::LevelHeading) {
            ASSERT_LT(i + 1, completion.candidates.size());
            EXPECT_EQ(completion.candidates[i + 1].kind, NameKind::ListEntry);
        }
    }
    EXPECT_NE(find(completion, "IntroMuro"), nullptr);
    EXPECT_LT(rankOf(completion, "muro1"), rankOf(completion, "IntroMuro"))
        << "within a level, prefix matches come first";
    EXPECT_EQ(completion.caret - completion.replaceBegin, 3u);

    // `= 1` is one entry and one argument.
    const Completion set = complete("chr_unkillable Konoko = |");
    EXPECT_EQ(textsOf(set), (std::vector<std::string>{"= 0", "= 1"}));
    EXPECT_EQ(set.caret - set.replaceBegin, 2u);
}

TEST(Completion, PutsTheGroupOfTheHintedLevelFirst)
{
    const Completion plain = complete("ai2_attack |");
    const Completion hinted = complete("ai2_attack |", {}, "level03_lab");
    ASSERT_FALSE(hinted.candidates.empty());
    EXPECT_EQ(hinted.candidates[0].text, "Level 03- Bio-Research Lab. ==============================");
    EXPECT_EQ(hinted.candidates.size(), plain.candidates.size());
    EXPECT_EQ(headingsOf(complete("sound_music_start |", {}, "Warehouse"))[0],
              "Level 01- Syndicate Warehouse ==============================");
    EXPECT_EQ(headingsOf(complete("sound_ambient_start |", {}, "level14"))[0],
              "14- Mountain Compound ==============================");
    // A hint naming no level leaves the list's own order.
    EXPECT_EQ(textsOf(complete("ai2_attack |", {}, "notes")), textsOf(plain));
}

TEST(Completion, FallsBackToNamesWhereTheCommandHasNoList)
{
    // chr_poison's second argument has no list; ai2_spawn is no builder command's argument
    // position beyond its lists; dmsg has none at all.
    for (const std::string_view marked : {"chr_poison Muro Bar|", "dmsg Bar|", "level_start Bar|"}) {
        const Completion completion = complete(marked);
        EXPECT_FALSE(completion.arguments) << marked;
        EXPECT_NE(find(completion, "Barabus"), nullptr) << marked;
    }
    // On the called name itself, names are completed.
    EXPECT_FALSE(complete("ai2_atta|").arguments);
}

TEST(Completion, KnowsLevelsByNumberOrByName)
{
    EXPECT_EQ(levelFromHint("level01"), 1);
    EXPECT_EQ(levelFromHint("/home/me/game/GameDataFolder/IGMD/level_3/level3_main.bsl"), 3);
    EXPECT_EQ(levelFromHint("LEVEL 14_final"), 14);
    EXPECT_EQ(levelFromHint("level_1c"), 1);
    EXPECT_EQ(levelFromHint("Warehouse"), 1);
    EXPECT_EQ(levelFromHint("cargo_hangers.bsl"), 5);
    EXPECT_EQ(levelFromHint("rooftops"), 10);
    EXPECT_EQ(levelFromHint("Airport"), std::nullopt);  // two levels share the word
    EXPECT_EQ(levelFromHint("notes"), std::nullopt);
    EXPECT_EQ(levelFromHint(""), std::nullopt);
    for (const std::string_view heading : kStandardLevelHeadings) {
        ASSERT_TRUE(isLevelHeading(heading));
        EXPECT_TRUE(levelOfHeading(heading).has_value()) << heading;
    }
    EXPECT_EQ(levelOfHeading("07- Atmosphere Conversion Cent. (Ext.) =============================="), 7);
}

// ---- hints ----------------------------------------------------------------------------------

TEST(Hints, DescribeABuiltInFunctionAsTheTableDeclaresIt)
{
    const ScriptOutline none;
    const Hint hint = hintFor("AI2_Attack", "", none);
    EXPECT_EQ(hint.name, "ai2_attack");
    EXPECT_EQ(hint.kind, NameKind::Function);
    EXPECT_EQ(hint.declaration,
              "ai2_attack([ai_name:string | script_id:int], [target_name:string | target_script_id:int])");
    EXPECT_EQ(hint.returnType, "void");
    EXPECT_EQ(hint.description, "forces an AI to attack another character");
    ASSERT_EQ(hint.parameters.size(), 2u);
    const auto parameter = [&](std::size_t i) {
        return hint.declaration.substr(hint.parameters[i].first, hint.parameters[i].second - hint.parameters[i].first);
    };
    EXPECT_EQ(parameter(0), "[ai_name:string | script_id:int]");
    EXPECT_EQ(parameter(1), "[target_name:string | target_script_id:int]");
    EXPECT_EQ(hint.text(), hint.declaration + "\nreturns void\nforces an AI to attack another character");

    EXPECT_EQ(hintFor("chr_is_player", "", none).returnType, "bool");
    const Hint variable = hintFor("gl_fog_start", "", none);
    EXPECT_EQ(variable.kind, NameKind::Variable);
    EXPECT_EQ(variable.type, "float");
    const Hint playback = hintFor("playback", "", none);
    EXPECT_EQ(playback.kind, NameKind::BuilderCommand);
    EXPECT_EQ(playback.description, "plays back a film");
    EXPECT_EQ(playback.text(), "playback\nplays back a film");
    EXPECT_TRUE(hintFor("no_such_thing", "", none).empty());
}

TEST(Hints, ShowAScriptFunctionsOwnHeaderAndTheCommentAboveIt)
{
    const std::string text = crlf("cm_reset\n"
                                  "# Spawns the second wave.\n"
                                  "# \"ai_name\" leads it {always}.\n"
                                  "func int\n"
                                  "spawn_wave(\n"
                                  "\tstring ai_name)\n"
                                  "{\n"
                                  "\tvar int hits = 0;\n"
                                  "\treturn 1\n"
                                  "}\n"
                                  "var float speed = .5;\n");
    const ScriptOutline outline = readScript(text);
    const Hint hint = hintFor("Spawn_Wave", text, outline);
    EXPECT_EQ(hint.kind, NameKind::ScriptFunction);
    EXPECT_EQ(hint.declaration, "func int spawn_wave(string ai_name)");
    EXPECT_EQ(hint.returnType, "int");
    EXPECT_EQ(hint.comment, "# Spawns the second wave.\n# \"ai_name\" leads it {always}.");
    EXPECT_EQ(hint.text(), "# Spawns the second wave.\n# \"ai_name\" leads it {always}.\n"
                           "func int spawn_wave(string ai_name)\nreturns int");
    ASSERT_EQ(hint.parameters.size(), 1u);
    EXPECT_EQ(hint.declaration.substr(hint.parameters[0].first), "string ai_name)");

    EXPECT_EQ(hintFor("speed", text, outline).declaration, "var float speed");
    EXPECT_TRUE(hintFor("hits", text, outline).empty());
    EXPECT_EQ(hintFor("hits", text, outline, {}, 0).declaration, "var int hits");
    EXPECT_EQ(hintFor("ai_name", text, outline, {}, 0).declaration, "string ai_name");
}

TEST(Hints, ShowWhatTheOtherFilesOfTheLevelDeclare)
{
    DeclaredNames level;
    level.addScript(crlf("# Starts the level.\nfunc void level_start(string ai_name)\n{\n}\nvar int counter = 3;\n"));
    const ScriptOutline none;
    const Hint function = hintFor("level_start", "", none, level);
    EXPECT_EQ(function.kind, NameKind::LevelFunction);
    EXPECT_EQ(function.text(), "# Starts the level.\nfunc void level_start(string ai_name)\nreturns void");
    ASSERT_EQ(function.parameters.size(), 1u);
    const Hint global = hintFor("counter", "", none, level);
    EXPECT_EQ(global.kind, NameKind::LevelVariable);
    EXPECT_EQ(global.type, "int");
}

TEST(Hints, FollowTheCaretToTheNameOrTheCallItIsIn)
{
    const auto hintOf = [](std::string_view marked) {
        const AtCaret at = atCaret(marked);
        return hintAt(at.text, readScript(at.text), at.caret);
    };
    CaretHint hint = hintOf("\tai2_att|ack Muro Konoko");
    EXPECT_EQ(hint.hint.name, "ai2_attack");
    EXPECT_EQ(hint.argument, -1);
    EXPECT_EQ(hint.nameOffset, 1u);

    hint = hintOf("ai2_attack(|");
    EXPECT_EQ(hint.hint.name, "ai2_attack");
    EXPECT_EQ(hint.argument, 0);
    hint = hintOf("ai2_attack Muro |");
    EXPECT_EQ(hint.hint.name, "ai2_attack");
    EXPECT_EQ(hint.argument, 1);
    hint = hintOf("ai2_attack(Muro, Kon|");
    EXPECT_EQ(hint.hint.name, "ai2_attack");
    EXPECT_EQ(hint.argument, 1);
    EXPECT_EQ(hint.nameOffset, 0u);

    hint = hintOf("if (chr_has_lsi(|)) { }");
    EXPECT_EQ(hint.hint.name, "chr_has_lsi");
    hint = hintOf("gl_fog_start|=.99");
    EXPECT_EQ(hint.hint.kind, NameKind::Variable);

    EXPECT_TRUE(hintOf("# ai2_attack|").hint.empty());
    EXPECT_TRUE(hintOf("dmsg \"ai2_attack|\"").hint.empty());
    EXPECT_TRUE(hintOf("   |").hint.empty());
}

TEST(Hints, ShowAfterTheNameOfACallableWhichTheScriptIsReadForOnlyWhenNeeded)
{
    const std::string text = crlf("func void my_fn(void)\n{\n}\nvar int counter;\n");
    const ScriptOutline outline = readScript(text);
    DeclaredNames level;
    level.addScript(crlf("func void level_start(void)\n{\n}\nvar int total;\n"));
    int readings = 0;
    const auto follows = [&](std::string_view line) {
        return followsCallable(line, level, [&]() -> const ScriptOutline& {
            ++readings;
            return outline;
        });
    };
    EXPECT_TRUE(follows("\tai2_attack"));
    EXPECT_TRUE(follows("if (chr_has_lsi"));
    EXPECT_FALSE(follows("gl_fog_start \t"));
    EXPECT_TRUE(follows("LEVEL_START "));
    EXPECT_FALSE(follows("total"));
    EXPECT_EQ(readings, 0);
    EXPECT_TRUE(follows("My_Fn\t "));
    EXPECT_FALSE(follows("counter"));
    EXPECT_EQ(readings, 2);

    // Nothing before, a number, or a parenthesis in between is no call.
    EXPECT_FALSE(follows(""));
    EXPECT_FALSE(follows("   "));
    EXPECT_FALSE(follows("x = 9my_fn"));
    EXPECT_FALSE(follows("my_fn("));
    EXPECT_FALSE(follows(std::string(200, 'x') + "my_fn"));
}

TEST(Completion, TypingOpensTheListAtASecondLetterOrAfterABuilderCommand)
{
    EXPECT_TRUE(opensNameList("ai"));
    EXPECT_TRUE(opensNameList("\tif (ch"));
    EXPECT_TRUE(opensNameList("x = _a"));
    EXPECT_FALSE(opensNameList(""));
    EXPECT_FALSE(opensNameList("a"));
    EXPECT_FALSE(opensNameList("ai2"));
    EXPECT_FALSE(opensNameList("x = 1a"));
    EXPECT_FALSE(opensNameList("ai "));

    EXPECT_TRUE(followsBuilderCommand("ai2_attack "));
    EXPECT_TRUE(followsBuilderCommand("\tAI2_ATTACK(Muro, "));
    EXPECT_FALSE(followsBuilderCommand("gl_fog_start "));
    EXPECT_FALSE(followsBuilderCommand("xai2_attack "));
    // Far back along a long line, a command no longer counts.
    EXPECT_TRUE(followsBuilderCommand("ai2_attack" + std::string(500, ' ')));
    EXPECT_FALSE(followsBuilderCommand("ai2_attack" + std::string(510, ' ')));
}

TEST(Completion, TheListPassesOverHeadingsAndFinishesOnlyALongerName)
{
    const auto entry = [](std::string name, NameKind kind = NameKind::ListEntry) {
        return Candidate{name, name, kind, {}};
    };
    const Candidate heading{"Level 1", "", NameKind::LevelHeading, {}};
    const std::vector<Candidate> list{heading, entry("a"), entry("b"), heading, entry("c")};
    EXPECT_EQ(insertableRow(list, 0, 0), 1u);
    EXPECT_EQ(insertableRow(list, 1, 1), 2u);
    EXPECT_EQ(insertableRow(list, 2, 1), 4u);
    EXPECT_EQ(insertableRow(list, 4, -1), 2u);
    EXPECT_EQ(insertableRow(list, 1, -1), 1u);
    EXPECT_EQ(insertableRow(list, 4, 1), 4u);
    EXPECT_EQ(insertableRow(list, 1, 12), 4u);
    EXPECT_EQ(insertableRow(list, 4, -12), 1u);
    EXPECT_EQ(insertableRow({heading, heading}, 0, 1), std::nullopt);
    EXPECT_EQ(insertableRow({}, 0, 0), std::nullopt);

    const std::vector<Candidate> names{entry("sleep", NameKind::Command), entry("sleep_long", NameKind::Command),
                                       entry("switch", NameKind::Template)};
    EXPECT_TRUE(finishesTypedName(names, names[0], "SLE"));
    EXPECT_FALSE(finishesTypedName(names, names[0], "sleep"));
    EXPECT_FALSE(finishesTypedName(names, names[0], ""));
    EXPECT_FALSE(finishesTypedName(names, names[0], "slx"));
    // `sleep` is a whole name already, though a longer one starts with it.
    EXPECT_FALSE(finishesTypedName(names, names[1], "sleep"));
    EXPECT_FALSE(finishesTypedName(names, names[2], "sw"));

    EXPECT_EQ(candidateDetail(heading), "");
    EXPECT_EQ(candidateDetail(entry("x", NameKind::Keyword)), std::string(kindLabel(NameKind::Keyword)));
    EXPECT_EQ(candidateDetail(Candidate{"f", "f", NameKind::Function, "(void)"}),
              std::string(kindLabel(NameKind::Function)) + " (void)");
}

} // namespace

namespace {

bool offers(const Completion& completion, std::string_view name)
{
    return std::any_of(completion.candidates.begin(), completion.candidates.end(),
                       [name](const Candidate& candidate) { return candidate.text == name; });
}

// The reading completion and hints get lags behind the text: it was made of an earlier revision.
TEST(EarlierReading, DeclarationsComeFromItAndTheCaretsContextFromTheTextNow)
{
    const std::string before = "func void guard_room(int door)\n{\n\tdoor_unlock door\n}\n";
    const auto analysis = analyseScript(std::make_shared<const std::string>(before));

    // Lines typed since shift every offset of the reading.
    std::string now = "# The guards.\nvar int alarm\n\n" + before + "\nfunc void main(void)\n{\n\tguard_r";
    Completion completion = completeAt(now, now.size(), *analysis);
    EXPECT_TRUE(offers(completion, "guard_room"));
    EXPECT_EQ(completion.replaceBegin, now.size() - 7);

    // A builder command typed since: its argument list comes from the text as it is.
    now += "oom 1\n\tai2_spawn ";
    completion = completeAt(now, now.size(), *analysis);
    EXPECT_TRUE(completion.arguments);
    EXPECT_EQ(completion.command, "ai2_spawn");

    // The hint of a function the reading knows, named where the reading has no text.
    const CaretHint hint = hintAt(now, *analysis, now.rfind("guard_room") + 2);
    EXPECT_EQ(hint.hint.declaration, "func void guard_room(int door)");
}

TEST(EarlierReading, TheCaretsContextIsReadFromNearbyLinesInALongScript)
{
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "\tsleep 60 # a pause (\n";
    // A call whose parentheses span lines, and a comment, close to the caret.
    text += "\tchr_poison (Muro,\n\t\t5, # how much\n\t\t";
    const CaretContext context = contextAt(text, text.size());
    EXPECT_TRUE(context.inCall);
    EXPECT_EQ(context.callee, "chr_poison");
    EXPECT_EQ(context.argument, 2);

    text += "30)\n\t# ai2_";
    EXPECT_EQ(contextAt(text, text.size()).place, CaretContext::Place::Comment);
}

} // namespace
