#include "catalogue/Builtins.h"
#include "language/DeclaredNames.h"
#include "language/Lexer.h"
#include "language/ScriptReader.h"

#include "catalogue/CommandTable.h"
#include "support/LineEnds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct SeenName {
    std::string name;
    NameRole role;
    CallForm form;
    int line;

    friend bool operator==(const SeenName&, const SeenName&) = default;
    friend void PrintTo(const SeenName& seen, std::ostream* out)
    {
        *out << '"' << seen.name << "\" role " << int(seen.role) << " form " << int(seen.form) << " line "
             << seen.line;
    }
};

// The names a script's reading found, other than plain words, in text order.
std::vector<SeenName> namesOf(std::string_view text)
{
    std::vector<SeenName> seen;
    for (const NameUse& use : readScript(text).names) {
        if (use.role != NameRole::Word)
            seen.push_back({std::string(nameText(text, use)), use.role, use.form, int(use.line)});
    }
    return seen;
}

std::vector<std::string> wordsOf(std::string_view text)
{
    std::vector<std::string> words;
    for (const NameUse& use : readScript(text).names) {
        if (use.role == NameRole::Word)
            words.emplace_back(nameText(text, use));
    }
    return words;
}

SeenName call(std::string name, CallForm form, int line)
{
    return {std::move(name), NameRole::Call, form, line};
}

constexpr auto kBare = CallForm::Bare;
constexpr auto kWords = CallForm::Words;
constexpr auto kParenthesised = CallForm::Parenthesised;

// A text with one '|' where the caret stands.
struct TextAtCaret {
    std::string text;
    std::size_t caret;
};

TextAtCaret textAtCaret(std::string_view marked)
{
    const std::size_t caret = marked.find('|');
    std::string text(marked);
    text.erase(caret, 1);
    return {text, caret};
}

// ---- the built-in names ---------------------------------------------------------------------

TEST(Builtins, HoldTheGameTablesTheListsAndTheBuilderCommands)
{
    const Builtins& builtins = Builtins::standard();
    EXPECT_EQ(builtins.functions().size(), 271u);
    EXPECT_EQ(builtins.variables().size(), 234u);

    const BuiltinFunction* attack = builtins.findFunction("ai2_attack");
    ASSERT_NE(attack, nullptr);
    EXPECT_EQ(attack->returnType, "void");
    EXPECT_EQ(attack->declaration(),
              "ai2_attack([ai_name:string | script_id:int], [target_name:string | target_script_id:int])");
    ASSERT_NE(builtins.findVariable("gl_fog_start"), nullptr);
    EXPECT_EQ(builtins.findVariable("gl_fog_start")->type, "float");

    // Every builder command is built in under the first word of its name.
    for (const CommandCategory& category : commandCategories()) {
        for (const ScriptCommand& command : category.commands)
            EXPECT_EQ(builtins.findBuilderCommand(calledNameOf(command)), &command) << command.name;
    }
    EXPECT_EQ(fixedArgumentsOf(*builtins.findBuilderCommand("cm_anim")), std::vector<std::string_view>{"both"});

    // The shipped scripts call these though the function table lacks them.
    for (const std::string_view name : {"playback", "playback_block", "chr_neutral", "sound_dialog_play_pause"})
        EXPECT_NE(builtins.find(name), nullptr) << name;
    for (const std::string_view keyword : {"if", "else", "func", "var", "fork", "sleep", "eq", "ne"})
        EXPECT_TRUE(builtins.isKeyword(keyword)) << keyword;
    // Character names are passed, never called.
    EXPECT_EQ(builtins.find("Konoko"), nullptr);
}

TEST(Builtins, IgnoreLetterCaseAndKeepTheirListsSpelling)
{
    const Builtins& builtins = Builtins::standard();
    const BuiltinName* spawn = builtins.find("AI2_Spawn");
    ASSERT_NE(spawn, nullptr);
    EXPECT_EQ(spawn->spelling, "ai2_spawn");
    EXPECT_TRUE(spawn->commandWord);
    EXPECT_NE(spawn->function, nullptr);
    EXPECT_NE(spawn->builderCommand, nullptr);
    EXPECT_EQ(builtins.find("AI2_DEBUG_SHOWSETTINGIDS")->spelling, "ai2_debug_showsettingIDs");
    EXPECT_TRUE(builtins.isKeyword("ELSE"));
    EXPECT_TRUE(sameName("Level_Start", "level_start"));
    EXPECT_FALSE(sameName("level_start", "level_star"));
    EXPECT_EQ(NameHash()("GL_FOG_START"), NameHash()("gl_fog_start"));
}

// The hash takes eight bytes at a time and lowers their letters together: names that compare
// equal hash equal at every length and with any byte around the letters, and a byte just outside
// A..Z, or one of the code page's own letters, is no letter to lower.
TEST(Builtins, NamesThatCompareEqualHashEqual)
{
    const NameHash hash;
    const std::string bytes = "@AZ[`az{_09\x80\xC3\x89\xC3\xA9\x7F";
    for (std::size_t length = 0; length <= 40; ++length) {
        std::string name;
        for (std::size_t i = 0; i < length; ++i)
            name += bytes[(i * 7 + length) % bytes.size()];
        std::string flipped = name;
        for (char& c : flipped)
            c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : lowered(c);
        ASSERT_TRUE(sameName(name, flipped));
        EXPECT_EQ(hash(name), hash(flipped)) << length;
    }
    EXPECT_NE(hash("@"), hash("`"));
    EXPECT_NE(hash("["), hash("{"));
    EXPECT_NE(hash("\xC3\x89"), hash("\xC3\xA9"));
    EXPECT_NE(hash("ai2_spawn"), hash("ai2_spawn_"));
    EXPECT_NE(hash("a"), hash(std::string_view("a\0", 2)));
}

TEST(Builtins, AssignableNamesAreVariablesAndTheBuildersAssignedCommands)
{
    const Builtins& builtins = Builtins::standard();
    EXPECT_TRUE(builtins.isAssignable("gl_fog_start"));
    EXPECT_TRUE(builtins.isAssignable("ui_suppress_prompt"));
    // The builder writes `chr_invincible = 1` from its "= 1" entry.
    EXPECT_TRUE(builtins.isAssignable("chr_invincible"));
    EXPECT_FALSE(builtins.isAssignable("ai2_spawn"));
    EXPECT_FALSE(builtins.isAssignable("sleep"));
}

TEST(Builtins, SplitDeclaredParameterLists)
{
    EXPECT_TRUE(splitParameters("(void)").empty());
    EXPECT_TRUE(splitParameters("()").empty());
    EXPECT_EQ(splitParameters("([ai_name:string | script_id:int], int flag_id, string setfacing)"),
              (std::vector<std::string_view>{"[ai_name:string | script_id:int]", "int flag_id", "string setfacing"}));
    EXPECT_EQ(splitParameters("(string a,int b)"), (std::vector<std::string_view>{"string a", "int b"}));
}

// ---- declarations ---------------------------------------------------------------------------

TEST(ScriptReader, ReadsFunctionHeadersInEveryShapeTheScriptsUse)
{
    const std::string text = crlf("func void main(void)\n"
                                  "{\n"
                                  "}\n"
                                  "func check_death(string ai_name)\n"
                                  "{\n"
                                  "}\n"
                                  "func void sayonara\n"
                                  "{\n"
                                  "}\n"
                                  "func int\n"
                                  "count_guards(\n"
                                  "\tint first, string team)\n"
                                  "{\n"
                                  "}\n");
    const ScriptOutline outline = readScript(text);
    ASSERT_EQ(outline.functions.size(), 4u);
    EXPECT_TRUE(outline.problems.empty());

    EXPECT_EQ(outline.functions[0].name, "main");
    EXPECT_EQ(outline.functions[0].returnType, "void");
    EXPECT_EQ(outline.functions[0].header, "func void main(void)");
    EXPECT_EQ(outline.functions[0].variableCount, 0u);

    EXPECT_EQ(outline.functions[1].name, "check_death");
    EXPECT_EQ(outline.functions[1].returnType, "");
    EXPECT_EQ(outline.functions[1].place, (ScriptPlace{text.find("check_death"), 4, 5}));

    EXPECT_EQ(outline.functions[2].name, "sayonara");
    EXPECT_EQ(outline.functions[2].header, "func void sayonara");
    EXPECT_EQ(outline.functions[2].bodyBegin, text.find("{", text.find("sayonara")));

    const FunctionDeclaration& split = outline.functions[3];
    EXPECT_EQ(split.name, "count_guards");
    EXPECT_EQ(split.returnType, "int");
    EXPECT_EQ(split.place.line, 11);
    EXPECT_EQ(split.headerPlace.line, 10);
    EXPECT_EQ(headerLine(split.header), "func int count_guards(int first, string team)");
    ASSERT_EQ(split.variableCount, 2u);
    EXPECT_EQ(outline.variables[split.firstVariable].name, "first");
    EXPECT_EQ(outline.variables[split.firstVariable].type, "int");
    EXPECT_EQ(outline.variables[split.firstVariable + 1].name, "team");
    EXPECT_EQ(outline.variables[split.firstVariable + 1].role, NameRole::Parameter);
    EXPECT_EQ(split.bodyEnd, text.size() - 2);
}

TEST(ScriptReader, ReadsVariablesGlobalAndLocal)
{
    const std::string text = crlf("var int counter;\n"
                                  "var int tcount=17;\n"
                                  "var float speed = .75\n"
                                  "func void main(void)\n"
                                  "{\n"
                                  "\tvar int x = trigvolume_count(1);\n"
                                  "\tif (x eq 0) { var bool seen = 1 }\n"
                                  "}\n");
    const ScriptOutline outline = readScript(text);
    struct Variable {
        std::string name;
        std::string type;
        NameRole role;
        int function;
        int line;
        bool operator==(const Variable&) const = default;
    };
    std::vector<Variable> variables;
    for (const VariableDeclaration& v : outline.variables)
        variables.push_back({std::string(v.name), std::string(v.type), v.role, v.function, v.place.line});
    EXPECT_EQ(variables, (std::vector<Variable>{{"counter", "int", NameRole::Global, -1, 1},
                                                {"tcount", "int", NameRole::Global, -1, 2},
                                                {"speed", "float", NameRole::Global, -1, 3},
                                                {"x", "int", NameRole::Local, 0, 6},
                                                {"seen", "bool", NameRole::Local, 0, 7}}));
    EXPECT_NE(outline.variables[3].block, outline.variables[4].block);
    EXPECT_EQ(outline.functions[0].variableCount, 2u);
    EXPECT_TRUE(outline.problems.empty());
}

// ---- calls ----------------------------------------------------------------------------------

TEST(ScriptReader, ReadsBothCallFormsMixedAndTheBareName)
{
    const std::string text = crlf("func void main(void)\n"
                                  "{\n"
                                  "\tai2_spawn Muro\n"
                                  "\ttrigvolume_enable door_trig 0;\n"
                                  "\ttarget_set(1095, 30.0)\n"
                                  "\tchr_poison (ai_name, 5, 30, 30);\n"
                                  "\tlevel_start\n"
                                  "\tcm_reset;\n"
                                  "\tfork intro\n"
                                  "\tfork check_death(Muro)\n"
                                  "\tfork spawn_wave();\n"
                                  "\tsleep 60\n"
                                  "\tsleep7\n"
                                  "}\n");
    EXPECT_EQ(namesOf(text), (std::vector<SeenName>{{"main", NameRole::Function, CallForm::None, 1},
                                                 call("ai2_spawn", kWords, 3),
                                                 call("trigvolume_enable", kWords, 4),
                                                 call("target_set", kParenthesised, 5),
                                                 call("chr_poison", kParenthesised, 6),
                                                 call("level_start", kBare, 7),
                                                 call("cm_reset", kBare, 8),
                                                 call("intro", kBare, 9),
                                                 call("check_death", kParenthesised, 10),
                                                 call("spawn_wave", kParenthesised, 11),
                                                 call("sleep7", kBare, 13)}));
    // What the calls pass are words, never names the script calls.
    EXPECT_EQ(wordsOf(text), (std::vector<std::string>{"Muro", "door_trig", "ai_name", "Muro"}));
}

TEST(ScriptReader, SeparatesWordArgumentsByBlanksOrTabsAlike)
{
    const std::string text = "ai2_spawn\tMuro  \t Barabus\t\t1\n"
                             "ai2_spawn Muro Barabus 1\n";
    EXPECT_EQ(namesOf(text), (std::vector<SeenName>{call("ai2_spawn", kWords, 1), call("ai2_spawn", kWords, 2)}));
    EXPECT_EQ(wordsOf(text), (std::vector<std::string>{"Muro", "Barabus", "Muro", "Barabus"}));
}

TEST(ScriptReader, FindsCallsInsideConditionsAndValues)
{
    const std::string text = crlf("if (chr_has_lsi(0)) { win } else { lose }\n"
                                  "if(trigvolume_count(7) eq 0)\n"
                                  "{\n"
                                  "}\n"
                                  "var int x = some_function(1);\n"
                                  "if (a eq 1 and b ne 2) { }\n");
    EXPECT_EQ(namesOf(text), (std::vector<SeenName>{call("chr_has_lsi", kParenthesised, 1),
                                                 call("win", kBare, 1),
                                                 call("lose", kBare, 1),
                                                 call("trigvolume_count", kParenthesised, 2),
                                                 {"x", NameRole::Global, CallForm::None, 5},
                                                 call("some_function", kParenthesised, 5)}));
    EXPECT_EQ(wordsOf(text), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(readScript(text).problems.empty());
}

TEST(ScriptReader, ReadsAssignmentsWithOrWithoutBlanks)
{
    const std::string text = "counter = counter - 1\n"
                             "gl_fog_start=.99\n"
                             "chr_unkillable Konoko = 1\n";
    EXPECT_EQ(namesOf(text), (std::vector<SeenName>{{"counter", NameRole::Assignment, CallForm::None, 1},
                                                 {"gl_fog_start", NameRole::Assignment, CallForm::None, 2},
                                                 call("chr_unkillable", kWords, 3)}));
}

TEST(ScriptReader, CommentsAndStringsHoldAnything)
{
    const std::string text = crlf("# don't call \"this\" { ( ai2_spawn\n"
                                  "func void main(void) # the entry point }\n"
                                  "{\n"
                                  "\tdmsg \"a # in a string } ) (\" # and then \"a comment\" {\n"
                                  "\tdmsg \"left open { (\n"
                                  "\tcm_reset\n"
                                  "}\n");
    const ScriptOutline outline = readScript(text);
    EXPECT_TRUE(outline.problems.empty());
    EXPECT_EQ(namesOf(text), (std::vector<SeenName>{{"main", NameRole::Function, CallForm::None, 2},
                                                 call("dmsg", kWords, 4),
                                                 call("dmsg", kWords, 5),
                                                 call("cm_reset", kBare, 6)}));
}

TEST(ScriptReader, CountsLinesAndColumnsInBytesWhateverTheLineEnds)
{
    for (const std::string_view lineEnd : {"\r\n", "\n", "\r"}) {
        const std::string text = "# one" + std::string(lineEnd) + std::string(lineEnd) + "\t  ai2_spawn Muro";
        const ScriptOutline outline = readScript(text);
        ASSERT_EQ(outline.names.size(), 2u);
        EXPECT_EQ(outline.names[0].line, 3u);
        EXPECT_EQ(outline.names[0].column, 3u);
        EXPECT_EQ(outline.names[0].offset, text.find("ai2_spawn"));
        EXPECT_EQ(outline.names[0].length, 9u);
    }
}

// ---- structure ------------------------------------------------------------------------------

TEST(ScriptReader, ReportsUnbalancedBracketsWhereTheyStand)
{
    struct Case {
        std::string text;
        StructureFault fault;
        int line;
    };
    const std::vector<Case> cases = {
        {"func void a(void)\n{\n\tif (x eq 1\n\t{\n\t}\n}\n", StructureFault::UnclosedParenthesis, 3},
        {"func void a(void)\n{\n\tcm_reset)\n}\n", StructureFault::StrayParenthesis, 3},
        {"func void a(void)\n{\n\tcm_reset\n\nfunc void b(void)\n{\n}\n", StructureFault::UnclosedBrace, 2},
        {"func void a(void)\n{\n\tcm_reset\n", StructureFault::UnclosedBrace, 2},
        {"func void a(void)\n{\n\tcm_reset\n}\n}\n", StructureFault::StrayBrace, 5},
        {"func void a(void)\n{\n\twin\n\telse\n\t{\n\t}\n}\n", StructureFault::ElseWithoutIf, 4},
    };
    for (const Case& c : cases) {
        const ScriptOutline outline = readScript(c.text);
        ASSERT_EQ(outline.problems.size(), 1u) << c.text;
        EXPECT_EQ(outline.problems[0].fault, c.fault) << c.text;
        EXPECT_EQ(outline.problems[0].place.line, c.line) << c.text;
        EXPECT_EQ(outline.problems[0].length, 1u + 3 * (c.fault == StructureFault::ElseWithoutIf)) << c.text;
    }
}

// What folds: every block that closes, nested ones before the block around them; a block
// left open and braces inside comments or strings are none.
TEST(ScriptReader, KeepsTheBlocksThatClose)
{
    const std::string text = "func void a(void)\r\n{\r\n\tif (x eq 1) { cm_reset }\r\n\t# {\r\n\t"
                             "dmsg \"}\"\r\n}\r\nfunc void b(void)\r\n{\r\n";
    const ScriptOutline outline = readScript(text);
    ASSERT_EQ(outline.blocks.size(), 2u);
    EXPECT_EQ(outline.blocks[0].open, text.find("{ cm_reset"));
    EXPECT_EQ(outline.blocks[0].close, text.find("cm_reset }") + 9);
    EXPECT_EQ(outline.blocks[0].openLine, 3u);
    EXPECT_EQ(outline.blocks[0].closeLine, 3u);
    EXPECT_EQ(outline.blocks[1].open, text.find('{'));
    EXPECT_EQ(outline.blocks[1].close, text.find("}\r\nfunc void b"));
    EXPECT_EQ(outline.blocks[1].openLine, 2u);
    EXPECT_EQ(outline.blocks[1].closeLine, 6u);
}

TEST(ScriptReader, BlamesTheBlockWhoseClosingBraceIsMissingNotTheFunction)
{
    // The if's `}` is missing: the function's own `}` closes the if, and the function stays
    // open. Indentation tells which brace lost its partner.
    const std::string missing = "func void a(void)\n"
                                "{\n"
                                "\tif (x eq 1)\n"
                                "\t{\n"
                                "\t\twin\n"
                                "\tlose\n"
                                "}\n"
                                "func void b(void)\n"
                                "{\n"
                                "}\n";
    ScriptOutline outline = readScript(missing);
    ASSERT_EQ(outline.problems.size(), 1u);
    EXPECT_EQ(outline.problems[0].fault, StructureFault::UnclosedBrace);
    EXPECT_EQ(outline.problems[0].place.line, 4);

    const std::string extra = "func void a(void)\n"
                              "{\n"
                              "\tif (x eq 1)\n"
                              "\t{\n"
                              "\t\twin\n"
                              "\t}\n"
                              "\t}\n"
                              "\tlose\n"
                              "}\n";
    outline = readScript(extra);
    ASSERT_EQ(outline.problems.size(), 1u);
    EXPECT_EQ(outline.problems[0].fault, StructureFault::StrayBrace);
    EXPECT_EQ(outline.problems[0].place.line, 7);
}

TEST(ScriptReader, AcceptsElseAfterAnIfInEveryLayout)
{
    for (const std::string text : {
             "if (a eq 1) { win } else { lose }\n",
             "if (a eq 1)\n{\n\twin\n}\nelse\n{\n\tlose\n}\n",
             "if (a eq 1) {\n\twin\n}\n# between\n\nelse {\n\tlose\n}\n",
             "if (a eq 1) { win } else if (a eq 2) { lose } else { cm_reset }\n",
             "if (a eq 1) win\nelse lose\n",
             "if (a eq 1) and (b ne 0) { win } else { lose }\n",
             "if (chr_has_lsi(0) eq 1) or b { win } else { lose }\n",
         }) {
        EXPECT_TRUE(readScript(text).problems.empty()) << text;
    }
    for (const std::string text : {
             "else { lose }\n",
             "if (a eq 1) { win }\ncm_reset\nelse { lose }\n",
             "if (a eq 1) { win } else { lose } else { cm_reset }\n",
             "func void a\n{\n}\nelse\n{\n}\n",
         }) {
        const ScriptOutline outline = readScript(text);
        ASSERT_EQ(outline.problems.size(), 1u) << text;
        EXPECT_EQ(outline.problems[0].fault, StructureFault::ElseWithoutIf) << text;
    }
}

// A long script is read in parts at once, each from a `func` first on its line. The parts join
// into the one reading only where that `func` starts a function with nothing left open before
// it; elsewhere the reading before it goes on. Either way, the outline is the same.
TEST(ScriptReader, ReadsInPartsWhatItReadsWhole)
{
    const auto function = [](int n) {
        const std::string number = std::to_string(n);
        return "# the door\n"
               "func void open_" + number + "(string ai_name)\n"
               "{\n"
               "\tvar int count = 0;\n"
               "\tif (count eq 1) { ai2_spawn ai_name } else { door_" + number + "(count) }\n"
               "}\n";
    };
    const std::vector<std::string> breaks = {
        "",
        "func void lost(void)\n{\n\tif (x eq 1)\n\t{\n\t\twin\n",  // braces left open
        "dmsg(\"a\",\nfunc void inside(void)\n",                         // func inside parentheses
        "if (a eq 1)\nfunc void after_if(void)\n",                        // an if waiting for its body
        "if (a eq 1)\nfunc\nelse { lose }\n",                              // ... that a nameless func is
        "}\n\t}\n",                                                       // stray braces
        "else\nfunc\nfunc void nameless(void)\n",                         // a func without a name
        "\"func void quoted(void)\nfunc\r\n",                              // an open quote, CR LF
    };
    for (const std::string& broken : breaks) {
        std::string text;
        for (int n = 0; n < 12; ++n) {
            text += function(n);
            if (n % 5 == 2)
                text += broken;
        }
        const ScriptOutline whole = readScript(text, 1);
        for (std::size_t parts = 2; parts <= 7; ++parts)
            EXPECT_EQ(readScript(text, parts), whole) << parts << " parts of\n" << text;
    }
}

// ---- the caret ------------------------------------------------------------------------------

TEST(ScriptReader, TellsWhichArgumentTheCaretIsInForBothCallForms)
{
    struct Case {
        std::string_view marked;
        std::string_view callee;
        int argument;
        std::string_view argumentText;
        CallForm form;
    };
    const std::vector<Case> cases = {
        {"ai2_sp|", "ai2_sp", -1, "ai2_sp", CallForm::Bare},
        {"ai2_attack |", "ai2_attack", 0, "", CallForm::Words},
        {"ai2_attack Mu|", "ai2_attack", 0, "Mu", CallForm::Words},
        {"ai2_attack Muro |", "ai2_attack", 1, "", CallForm::Words},
        {"ai2_attack\tMuro\t\tKon|", "ai2_attack", 1, "Kon", CallForm::Words},
        {"ai2_attack Mu|ro Konoko", "ai2_attack", 0, "Mu", CallForm::Words},
        {"ai2_attack(|", "ai2_attack", 0, "", CallForm::Parenthesised},
        {"ai2_attack (Muro, |", "ai2_attack", 1, "", CallForm::Parenthesised},
        {"ai2_attack(Muro,Kon|", "ai2_attack", 1, "Kon", CallForm::Parenthesised},
        {"ai2_attack(Muro, Konoko)|", "", -1, "", CallForm::None},
        {"\tif (chr_has_lsi(Ko|", "chr_has_lsi", 0, "Ko", CallForm::Parenthesised},
        {"fork check_death(Mu|", "check_death", 0, "Mu", CallForm::Parenthesised},
        {"if (x eq 1) { ai2_spawn M|", "ai2_spawn", 0, "M", CallForm::Words},
        {"target_set(1095,\r\n\t30.|", "target_set", 1, "30.", CallForm::Parenthesised},
        // The builder writes `= 1` and `eq 0` as one entry: they count as one argument.
        {"chr_unkillable Konoko = |", "chr_unkillable", 1, "= ", CallForm::Words},
        {"trigvolume_count 7 eq 0|", "trigvolume_count", 1, "eq 0", CallForm::Words},
        {"trigvolume_count 7 eq 0 |", "trigvolume_count", 2, "", CallForm::Words},
        {"ai2_attack(Muro, chr_x(1, 2), |", "ai2_attack", 2, "", CallForm::Parenthesised},
        {"ai2_spawn Muro\r\n|", "", -1, "", CallForm::None},
        {"counter = |", "", -1, "", CallForm::None},
    };
    for (const Case& c : cases) {
        const TextAtCaret at = textAtCaret(c.marked);
        const CaretContext context = contextAt(at.text, at.caret);
        EXPECT_EQ(context.place, CaretContext::Place::Code) << c.marked;
        EXPECT_EQ(context.inCall, !c.callee.empty()) << c.marked;
        EXPECT_EQ(context.callee, c.callee) << c.marked;
        EXPECT_EQ(context.argument, c.argument) << c.marked;
        EXPECT_EQ(context.form, c.form) << c.marked;
        if (context.inCall) {
            EXPECT_EQ(context.argumentText, c.argumentText) << c.marked;
        }
    }
}

TEST(ScriptReader, GivesThePartialWordBeforeTheCaret)
{
    TextAtCaret at = textAtCaret("\tAI2_Sp|awn Muro");
    CaretContext context = contextAt(at.text, at.caret);
    EXPECT_EQ(context.word, "AI2_Sp");
    EXPECT_EQ(context.wordBegin, 1u);

    at = textAtCaret("ai2_spawn |");
    EXPECT_EQ(contextAt(at.text, at.caret).word, "");
    EXPECT_EQ(contextAt(at.text, at.caret).wordBegin, at.caret);
}

TEST(ScriptReader, KnowsWhenTheCaretIsInACommentOrAString)
{
    for (const std::string_view marked : {"ai2_spawn Muro # note ai2_|", "#|", "# { ( \"|\n", "\t# \"quoted\" |"}) {
        const TextAtCaret at = textAtCaret(marked);
        const CaretContext context = contextAt(at.text, at.caret);
        EXPECT_EQ(context.place, CaretContext::Place::Comment) << marked;
        EXPECT_EQ(context.word, "") << marked;
    }
    for (const std::string_view marked : {"dmsg \"ai2_|\"", "dmsg \"open ai2_|", "dmsg \"|"}) {
        const TextAtCaret at = textAtCaret(marked);
        EXPECT_EQ(contextAt(at.text, at.caret).place, CaretContext::Place::String) << marked;
    }
    for (const std::string_view marked : {"|# note", "dmsg \"x\"|", "dmsg \"x\" ai|", "# a\nai|"}) {
        const TextAtCaret at = textAtCaret(marked);
        EXPECT_EQ(contextAt(at.text, at.caret).place, CaretContext::Place::Code) << marked;
    }
}

TEST(ScriptReader, ReadsBackTheCallOfTheCaretsStatement)
{
    const auto read = [](std::string_view marked) {
        const TextAtCaret at = textAtCaret(marked);
        const CallStatement statement = statementAt(at.text, at.caret);
        std::vector<std::string> words{std::string(statement.callee)};
        for (const CallStatement::Argument& argument : statement.arguments)
            words.emplace_back(argument.text);
        return words;
    };
    using Words = std::vector<std::string>;
    EXPECT_EQ(read("\tai2_attack Muro\tKonoko|"), (Words{"ai2_attack", "Muro", "Konoko"}));
    EXPECT_EQ(read("|ai2_attack Muro Konoko # note"), (Words{"ai2_attack", "Muro", "Konoko"}));
    EXPECT_EQ(read("ai2_attack(Muro, Konoko);|"), (Words{"ai2_attack", "Muro", "Konoko"}));
    EXPECT_EQ(read("chr_poison (ai_name, 5, 30,| 30);"), (Words{"chr_poison", "ai_name", "5", "30", "30"}));
    EXPECT_EQ(read("chr_unkillable Konoko = 1|"), (Words{"chr_unkillable", "Konoko", "= 1"}));
    EXPECT_EQ(read("cm_reset|"), (Words{"cm_reset"}));
    EXPECT_EQ(read("ai2_spawn Muro\r\nai2_kill Bar|abus\r\ncm_reset"), (Words{"ai2_kill", "Barabus"}));
    EXPECT_EQ(read("if (x) { ai2_spawn Muro } else { ai2_kill Muro }|"), (Words{"ai2_kill", "Muro"}));
    EXPECT_EQ(read("counter = 3|"), (Words{""}));
    EXPECT_EQ(read("# ai2_spawn Muro|"), (Words{""}));
    const TextAtCaret at = textAtCaret("ai2_spawn  Muro|");
    const CallStatement statement = statementAt(at.text, at.caret);
    EXPECT_EQ(statement.form, CallForm::Words);
    ASSERT_EQ(statement.arguments.size(), 1u);
    EXPECT_EQ(statement.arguments[0].offset, 11u);
}

// A keystroke reads no further along a line than its reach, however long the line.
TEST(ScriptReader, ReadsACaretsLineNoFurtherThanItsReach)
{
    const std::string longLine = "ai2_spawn " + std::string(2 * kLineReach, 'a');
    const std::string text = "func void f(void)\r\n{\r\n\t" + longLine + "\r\n\tai2_spawn Mu";

    const std::size_t pastReach = text.find(longLine) + kLineReach + 10;
    const CaretContext unread = contextAt(text, pastReach);
    EXPECT_EQ(unread.place, CaretContext::Place::Unread);
    EXPECT_TRUE(unread.word.empty());
    EXPECT_FALSE(unread.inCall);
    EXPECT_TRUE(statementAt(text, pastReach).callee.empty());

    const std::size_t withinReach = text.find(longLine) + 12;
    const CaretContext reached = contextAt(text, withinReach);
    EXPECT_EQ(reached.place, CaretContext::Place::Code);
    EXPECT_EQ(reached.word, "aa");
    EXPECT_EQ(reached.callee, "ai2_spawn");
    EXPECT_EQ(statementAt(text, withinReach).callee, "ai2_spawn");

    // The line below is read as usual.
    const CaretContext below = contextAt(text, text.size());
    EXPECT_EQ(below.word, "Mu");
    EXPECT_EQ(below.callee, "ai2_spawn");
    EXPECT_EQ(below.argument, 0);
}

TEST(ScriptReader, AContextIsReadFromBelowALongLineAbove)
{
    // Read from the long line on, the caret would be inside f's parenthesis.
    const std::string text = "f(" + std::string(2 * kLineReach, 'a') + "\r\nchr_teleport(kon";
    const CaretContext context = contextAt(text, text.size());
    EXPECT_EQ(context.callee, "chr_teleport");
    EXPECT_EQ(context.argument, 0);
    EXPECT_EQ(context.argumentText, "kon");

    // A comment that runs past the reach still holds a caret within it.
    const std::string comment = "# " + std::string(2 * kLineReach, 'b');
    EXPECT_EQ(contextAt(comment, 100).place, CaretContext::Place::Comment);
    EXPECT_EQ(contextAt(comment, kLineReach).place, CaretContext::Place::Comment);
    EXPECT_EQ(contextAt(comment, kLineReach + 1).place, CaretContext::Place::Unread);
}


// ---- several files --------------------------------------------------------------------------

TEST(ScriptReader, CollectsWhatTheOtherFilesOfAFolderDeclare)
{
    DeclaredNames level;
    level.addScript(crlf("# Starts the level.\n"
                         "# Called from main.\n"
                         "func void Level_Start(string ai_name)\n"
                         "{\n"
                         "\tvar int local_only = 1;\n"
                         "}\n"
                         "var int counter = 3;\n"));
    level.addScript("func void spawn_wave\n{\n}\n");
    ASSERT_NE(level.find("level_start"), nullptr);
    EXPECT_EQ(level.find("LEVEL_START")->name, "Level_Start");
    EXPECT_EQ(level.find("level_start")->role, NameRole::Function);
    EXPECT_EQ(level.find("level_start")->declaration, "func void Level_Start(string ai_name)");
    EXPECT_EQ(level.find("level_start")->comment, "# Starts the level.\n# Called from main.");
    EXPECT_EQ(level.find("Counter")->role, NameRole::Global);
    EXPECT_EQ(level.find("counter")->declaration, "var int counter");
    EXPECT_TRUE(level.contains("spawn_wave"));
    // Locals and parameters stay inside their files' functions.
    EXPECT_FALSE(level.contains("local_only"));
    EXPECT_FALSE(level.contains("ai_name"));
}

// A name declared more than once, in any letter case, is entered once, as first declared; a
// function comes before a global of its name wherever the two stand.
TEST(ScriptReader, EntersEachDeclaredNameOnceAsFirstDeclared)
{
    const std::string text = "var int Wave;\n"
                             "func void wave(int n)\n{\n}\n"
                             "func void spawn\n{\n}\n"
                             "func int SPAWN(void)\n{\n}\n"
                             "var float spawn;\n"
                             "var bool ready;\n"
                             "var bool READY;\n";
    std::vector<std::string> entered;
    for (const DeclaredNames::Entry& entry : DeclaredNames::entriesOf(text, readScript(text)))
        entered.push_back(entry.declaration);
    EXPECT_EQ(entered, (std::vector<std::string>{"func void wave(int n)", "func void spawn", "var bool ready"}));
}

TEST(ScriptReader, FindsTheCommentLinesAboveALine)
{
    const std::string text = crlf("cm_reset\n"
                                  "# first\n"
                                  "\t# second \"with\" {\n"
                                  "func void a\n");
    const std::size_t line = text.find("func");
    EXPECT_EQ(commentLinesAbove(text, line), (std::vector<std::string_view>{"# first", "# second \"with\" {"}));
    EXPECT_TRUE(commentLinesAbove(text, 0).empty());
    EXPECT_TRUE(commentLinesAbove("# a\n\nfunc", 5).empty());
}

} // namespace
