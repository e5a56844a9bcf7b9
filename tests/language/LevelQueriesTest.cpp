#include "LevelFolder.h"

#include "language/LevelQueries.h"
#include "language/LevelWorkspace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A level whose functions call each other across its files, with the names also in comments,
// strings and longer names, in other letter cases, and hidden by parameters and locals.
constexpr std::string_view kMain = "# main calls level_start, which b_start.bsl declares\n"  // 1
                                   "var int counter = 0;\n"                                 // 2
                                   "func void main(void)\n"                                 // 3
                                   "{\n"                                                    // 4
                                   "\tlevel_start\n"                                        // 5
                                   "\tcounter = counter + 1\n"                              // 6
                                   "\t# level_start in a comment\n"                         // 7
                                   "\tdmsg \"level_start in a string\"\n"                   // 8
                                   "\tlevel_starter\n"                                      // 9
                                   "\tLEVEL_START()\n"                                      // 10
                                   "}\n"                                                    // 11
                                   "func void shadow(int counter)\n"                        // 12
                                   "{\n"                                                    // 13
                                   "\tcounter = 2\n"                                        // 14
                                   "\tvar int level_start = 1;\n"                           // 15
                                   "\tlevel_start = 3\n"                                    // 16
                                   "}\n";                                                   // 17

constexpr std::string_view kStart = "func void level_start(void)\n"  // 1
                                    "{\n"                            // 2
                                    "\tvar int wave = 2;\n"          // 3
                                    "\tcounter = 5\n"                // 4
                                    "\tfork helper\n"                // 5
                                    "}\n"                            // 6
                                    "func int helper(string spawnee)\n"  // 7
                                    "{\n"                            // 8
                                    "\tvar int count = 1;\n"         // 9
                                    "\tai2_spawn spawnee\n"          // 10
                                    "\tcounter = count\n"            // 11
                                    "\treturn count\n"               // 12
                                    "}\n";                           // 13

class LevelQueries : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder.write("a_main.bsl", kMain);
        m_folder.write("b_start.bsl", kStart);
        m_level = m_workspace.levelOfFolder(m_folder.path());
        ASSERT_EQ(m_level->size(), 2u);
    }

    const Level& level() const { return *m_level; }

    // The offset of the `nth` (from 0) occurrence of `text` in script `script`, plus `into`.
    std::size_t offsetOf(std::size_t script, std::string_view text, int nth = 0, std::size_t into = 0) const
    {
        const std::string_view holder = level().script(script).text();
        std::size_t at = holder.find(text);
        for (int i = 0; i < nth && at != std::string_view::npos; ++i)
            at = holder.find(text, at + 1);
        EXPECT_NE(at, std::string_view::npos) << text;
        return at + into;
    }

    std::optional<LevelSymbol> symbol(std::size_t script, std::string_view text, int nth = 0, std::size_t into = 0) const
    {
        return symbolAt(level(), script, offsetOf(script, text, nth, into));
    }

    // "file:line:column" of each reference.
    std::vector<std::string> references(std::size_t script, std::string_view text, int nth = 0) const
    {
        std::vector<std::string> places;
        const std::optional<LevelSymbol> found = symbol(script, text, nth);
        EXPECT_TRUE(found) << text;
        if (!found)
            return places;
        for (const LevelReference& reference : referencesOf(level(), *found))
            places.push_back(QFileInfo(reference.location.path).fileName().toStdString() + ":" +
                             std::to_string(reference.location.place.line) + ":" +
                             std::to_string(reference.location.place.column) + (reference.declaration ? " decl" : ""));
        return places;
    }

    std::string refusal(std::size_t script, std::string_view text, std::string_view newName, int nth = 0) const
    {
        return renameAt(level(), script, offsetOf(script, text, nth), newName).refusal;
    }

    LevelFolder m_folder;
    LevelWorkspace m_workspace;
    std::shared_ptr<const Level> m_level;
};

TEST_F(LevelQueries, ResolvesANameTheWayTheGameDoes)
{
    // A call in one file to a function of another, whatever its letter case, caret at its end too.
    for (const auto& [text, into] : {std::pair{"\tlevel_start\r", 1}, {"\tlevel_start\r", 12}, {"LEVEL_START()", 3}}) {
        const std::optional<LevelSymbol> found = symbol(0, text, 0, std::size_t(into));
        ASSERT_TRUE(found) << text;
        EXPECT_EQ(found->kind, SymbolKind::Function);
        const std::optional<LevelLocation> definition = definitionOf(level(), *found);
        ASSERT_TRUE(definition);
        EXPECT_EQ(definition->script, 1u);
        EXPECT_EQ(definition->path, levelPath(m_folder.file("b_start.bsl")));
        EXPECT_EQ(definition->place, (ScriptPlace{10, 1, 10}));
        EXPECT_EQ(definition->length, 11u);
    }

    // The parameter and local of the function hide the global and the function.
    EXPECT_EQ(symbol(0, "counter = 2")->kind, SymbolKind::Parameter);
    EXPECT_EQ(definitionOf(level(), *symbol(0, "counter = 2"))->place.line, 12);
    EXPECT_EQ(symbol(0, "level_start = 3")->kind, SymbolKind::Local);
    EXPECT_EQ(definitionOf(level(), *symbol(0, "level_start = 3"))->place.line, 15);
    EXPECT_EQ(symbol(0, "counter = counter")->kind, SymbolKind::Global);
    EXPECT_EQ(symbol(1, "counter = 5")->kind, SymbolKind::Global) << "a global of another file";

    // Built-ins and keywords have no place in the level; comments, strings and numbers no name.
    const std::optional<LevelSymbol> builtin = symbol(1, "ai2_spawn");
    ASSERT_TRUE(builtin);
    EXPECT_EQ(builtin->kind, SymbolKind::Builtin);
    EXPECT_NE(builtin->builtin, nullptr);
    EXPECT_FALSE(definitionOf(level(), *builtin));
    EXPECT_EQ(symbol(1, "func int")->kind, SymbolKind::Keyword);
    EXPECT_EQ(symbol(0, "level_starter")->kind, SymbolKind::Unknown);
    EXPECT_FALSE(symbol(0, "level_start in a comment"));
    EXPECT_FALSE(symbol(0, "level_start in a string"));
    EXPECT_FALSE(symbol(1, "= 2", 0, 2));
}

TEST_F(LevelQueries, FindsEveryReferenceAcrossTheLevel)
{
    const std::vector<std::string> function = {"a_main.bsl:5:1", "a_main.bsl:10:1", "b_start.bsl:1:10 decl"};
    EXPECT_EQ(references(0, "level_start\r"), function);
    EXPECT_EQ(references(1, "level_start"), function) << "asked at the declaration";

    EXPECT_EQ(references(0, "counter"), (std::vector<std::string>{"a_main.bsl:2:8 decl", "a_main.bsl:6:1",
                                                                  "a_main.bsl:6:11", "b_start.bsl:4:1",
                                                                  "b_start.bsl:11:1"}));
    EXPECT_EQ(references(0, "counter)"), (std::vector<std::string>{"a_main.bsl:12:21 decl", "a_main.bsl:14:1"}))
        << "a parameter, only in its function";
    EXPECT_EQ(references(1, "count = 1"), (std::vector<std::string>{"b_start.bsl:9:9 decl", "b_start.bsl:11:11",
                                                                    "b_start.bsl:12:8"}));

    const std::optional<LevelSymbol> counter = symbol(0, "counter = counter", 0, 10);
    const std::vector<LevelReference> found = referencesOf(level(), *counter);
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[1].lineText, "\tcounter = counter + 1");
    EXPECT_EQ(found[1].lineText, found[2].lineText);
    EXPECT_EQ(found[4].location.length, 7u);
    EXPECT_TRUE(referencesOf(level(), *symbol(1, "ai2_spawn")).empty());
}

TEST_F(LevelQueries, RenamesADeclarationAndEveryUse)
{
    const LevelEdits edits = renameAt(level(), 0, offsetOf(0, "LEVEL_START"), "begin_level");
    ASSERT_FALSE(edits.refused()) << edits.refusal;
    ASSERT_EQ(edits.scripts.size(), 2u);
    EXPECT_EQ(edits.scripts[0].script, 0u);
    EXPECT_EQ(edits.scripts[0].edits, (std::vector<TextEdit>{{offsetOf(0, "\tlevel_start\r", 0, 1), 11, "begin_level"},
                                                            {offsetOf(0, "LEVEL_START"), 11, "begin_level"}}));
    EXPECT_EQ(edits.scripts[1].path, levelPath(m_folder.file("b_start.bsl")));
    EXPECT_EQ(edits.scripts[1].edits, (std::vector<TextEdit>{{10, 11, "begin_level"}}));

    // A change of letter case alone is allowed, and touches only what is spelt otherwise.
    const LevelEdits cased = renameAt(level(), 1, offsetOf(1, "level_start"), "LEVEL_START");
    ASSERT_FALSE(cased.refused()) << cased.refusal;
    EXPECT_EQ(cased.scripts.size(), 2u);
    EXPECT_EQ(cased.scripts[0].edits.size(), 1u);

    // A local is renamed in its function alone.
    const LevelEdits local = renameAt(level(), 1, offsetOf(1, "count = 1"), "tally");
    ASSERT_EQ(local.scripts.size(), 1u);
    EXPECT_EQ(local.scripts[0].edits.size(), 3u);
}

TEST_F(LevelQueries, RefusesARenameWithAReason)
{
    EXPECT_EQ(refusal(0, "level_start in a comment", "x"), "There is no name here to rename.");
    EXPECT_EQ(refusal(1, "ai2_spawn", "spawn"), "'ai2_spawn' is built into the game and cannot be renamed.");
    EXPECT_EQ(refusal(1, "func int", "x"), "'func' is a keyword and cannot be renamed.");
    EXPECT_EQ(refusal(0, "level_starter", "x"), "'level_starter' is not declared in this level, so there is nothing to rename.");

    // Before a new name is given: what would be renamed, or why nothing can be.
    const RenameTarget target = renameTargetAt(level(), 1, offsetOf(1, "helper"));
    ASSERT_TRUE(target.symbol);
    EXPECT_EQ(target.symbol->name, "helper");
    EXPECT_EQ(renameTargetAt(level(), 1, offsetOf(1, "ai2_spawn")).refusal, refusal(1, "ai2_spawn", "spawn"));
    EXPECT_FALSE(renameTargetAt(level(), 1, offsetOf(1, "ai2_spawn")).symbol);

    EXPECT_EQ(refusal(1, "helper", ""), "The new name is empty.");
    for (const std::string_view bad : {"2nd", "a-b", "caf\xC3\xA9", "two words"}) {
        std::string expected(1, '\'');
        expected.append(bad).append("' is not a name: a name holds letters, digits and '_' and does not start with a digit.");
        EXPECT_EQ(refusal(1, "helper", bad), expected);
    }
    EXPECT_EQ(refusal(1, "helper", "IF"), "'IF' is a keyword.");
    EXPECT_EQ(refusal(1, "helper", "dmsg"), "'dmsg' is built into the game.");

    // Clashes of a function or global: another one of the level, or a name that would hide it.
    EXPECT_EQ(refusal(0, "main(", "Helper"), "'Helper' is already declared: function 'helper' in b_start.bsl, line 7.");
    EXPECT_EQ(refusal(1, "helper", "COUNTER"),
              "'COUNTER' is already declared: global variable 'counter' in a_main.bsl, line 2.");
    EXPECT_EQ(refusal(1, "helper", "wave"), "Function 'level_start' (b_start.bsl, line 1) uses 'helper' and has a "
                                            "local variable 'wave', which would hide it.");

    // Clashes of a parameter or local: another of its function, or a name its function uses.
    EXPECT_EQ(refusal(1, "count = 1", "SPAWNEE"), "'SPAWNEE' is already declared: parameter 'spawnee' of function 'helper'.");
    EXPECT_EQ(refusal(1, "count = 1", "counter"),
              "Function 'helper' uses 'counter' on line 11, which the new name would hide.");
    EXPECT_EQ(refusal(0, "level_start = 3", "main"), "") << "shadow uses no 'main'";
}

TEST_F(LevelQueries, FindsAndReplacesTextAcrossTheLevel)
{
    const std::vector<TextMatch> loose = findInLevel(level(), "level_start", {});
    EXPECT_EQ(loose.size(), 9u) << "comments, strings and longer names included";
    const std::vector<TextMatch> whole = findInLevel(level(), "level_start", {false, true});
    EXPECT_EQ(whole.size(), 8u);
    const std::vector<TextMatch> cased = findInLevel(level(), "LEVEL_START", {true, true});
    ASSERT_EQ(cased.size(), 1u);
    EXPECT_EQ(cased[0].location.script, 0u);
    EXPECT_EQ(cased[0].location.place, (ScriptPlace{offsetOf(0, "LEVEL_START"), 10, 1}));
    EXPECT_EQ(cased[0].lineText, "\tLEVEL_START()");

    const LevelEdits replaced = replaceInLevel(level(), "counter", "tally", {true, true});
    ASSERT_EQ(replaced.scripts.size(), 2u);
    EXPECT_EQ(replaced.scripts[0].edits.size(), 5u);
    EXPECT_EQ(replaced.scripts[1].edits.size(), 2u);
    EXPECT_EQ(replaced.scripts[1].edits[0], (TextEdit{offsetOf(1, "counter"), 7, "tally"}));
}

// The code page's accented letters fold as the editor's find folds them, and stand as word letters.
TEST(LevelSearch, FoldsTheCodePagesLetters)
{
    LevelFolder folder;
    folder.write("a.bsl", "# \xC9T\xC9 caf\xE9\n# caf\xE9s\n");
    LevelWorkspace workspace;
    const auto level = workspace.levelOfFolder(folder.path());
    const std::vector<TextMatch> found = findInLevel(*level, typedText(QStringLiteral("CAF\u00c9")), {false, true});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].location.place, (ScriptPlace{found[0].location.place.offset, 1, 8}));
    EXPECT_EQ(found[0].location.length, 5u);
    EXPECT_EQ(findInLevel(*level, typedText(QStringLiteral("\u00e9t\u00e9")), {}).size(), 1u);
}

TEST_F(LevelQueries, ListsTheOutlineAndTheLevelsSymbols)
{
    const std::vector<OutlineItem> main = outlineOf(*level().script(0).analysis);
    ASSERT_EQ(main.size(), 3u);
    EXPECT_EQ(main[0].name, "counter");
    EXPECT_EQ(main[0].role, NameRole::Global);
    EXPECT_EQ(main[0].detail, "int");
    EXPECT_EQ(main[1].name, "main");
    EXPECT_EQ(main[1].detail, "(void)");
    EXPECT_EQ(main[2].name, "shadow");
    EXPECT_EQ(main[2].detail, "(int counter)");
    EXPECT_EQ(level().script(0).text().substr(main[2].begin, main[2].end - main[2].begin).back(), '}');

    std::vector<std::string> names;
    for (const LevelSymbolItem& symbol : levelSymbols(level(), "E"))
        names.push_back(std::string(symbol.item.name) + "@" + std::to_string(symbol.script));
    EXPECT_EQ(names, (std::vector<std::string>{"counter@0", "level_start@1", "helper@1"}));
    EXPECT_EQ(levelSymbols(level(), "").size(), 5u);
}

} // namespace
