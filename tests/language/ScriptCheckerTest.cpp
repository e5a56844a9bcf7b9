#include "language/DeclaredNames.h"
#include "language/ScriptChecker.h"
#include "support/LineEnds.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

// A level's folder as the game loads it: several .bsl files that call into each other.
class Level {
public:
    explicit Level(std::map<std::string, std::string> files) : m_files(std::move(files))
    {
        for (auto& [name, text] : m_files)
            text = crlf(text);
    }

    const std::string& text(const std::string& file) const { return m_files.at(file); }

    // What the folder's other files declare: what the window hands the check of `file`.
    DeclaredNames siblingsOf(const std::string& file) const
    {
        DeclaredNames names;
        for (const auto& [name, text] : m_files) {
            if (name != file)
                names.addScript(text);
        }
        return names;
    }

    std::vector<Finding> check(const std::string& file) const { return checkScript(text(file), siblingsOf(file)); }

    // The level with one file's `from` replaced by `to`, which must occur exactly once.
    Level with(const std::string& file, std::string_view from, std::string_view to) const
    {
        Level changed = *this;
        std::string& text = changed.m_files.at(file);
        const std::string plainFrom = crlf(from);
        const std::size_t at = text.find(plainFrom);
        EXPECT_NE(at, std::string::npos) << from;
        EXPECT_EQ(text.find(plainFrom, at + 1), std::string::npos) << from;
        text.replace(at, plainFrom.size(), crlf(to));
        return changed;
    }

    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : m_files)
            names.push_back(entry.first);
        return names;
    }

private:
    std::map<std::string, std::string> m_files;
};

std::string describe(const std::vector<Finding>& findings)
{
    std::string text;
    for (const Finding& finding : findings) {
        text += "line " + std::to_string(finding.place.line) + ":" + std::to_string(finding.place.column) + " " +
                (finding.severity == Severity::Error ? "error " : "warning ") + finding.message + "\n";
    }
    return text;
}

// A warehouse level in the style of the game's own scripts: main in one file calls level_start
// in the next, both call forms mixed, tabs and blanks, `;` here and there, comments holding
// quotes and braces, globals set from another file, built-in variables assigned.
Level warehouse()
{
    return Level({
        {"level1_main.bsl",
         "# Syndicate Warehouse\n"
         "# main is what the game runs first: \"main\" {always}\n"
         "\n"
         "var int counter = 3;\n"
         "var int tcount=17;\n"
         "var bool met_griffin;\n"
         "\n"
         "func void main(void)\n"
         "{\n"
         "\tgl_fog_start=.99\n"
         "\tgl_fog_end = 1.0;\n"
         "\tlevel_start\n"
         "\tfork intro_music(1)\n"
         "\tsleep 60\n"
         "\tAI2_Spawn Muro\n"
         "\tai2_spawn\tA1_intro01\t\t# tabs between { and ( in a comment\n"
         "  \tif (chr_has_lsi(0)) {\n"
         "\t\tdmsg \"found the LSI # not a comment {\"\n"
         "\t} else {\n"
         "\t\tchr_neutral Konoko 1\n"
         "\t}\n"
         "\ttarget_set(1095, 30.0)\n"
         "\tcinematic_start(intro_pic, 180, 180, 15, 15, 15, true)\n"
         "\tcinematic_stop(intro_pic, 15, 15)\n"
         "}\n"
         "\n"
         "func void\n"
         "intro_music(\n"
         "int volume)\n"
         "{\n"
         "\tsound_music_start mus_wh 0.75\n"
         "\tif(volume ne 0)\n"
         "\t{\n"
         "\t\tsound_music_volume mus_wh .5\n"
         "\t}\n"
         "}\n"
         "\n"
         "# Leaves the warehouse.\n"
         "func void sayonara\n"
         "{\n"
         "\tplayback_block Konoko cut_end interp\n"
         "\tsound_dialog_play_pause\n"
         "\tcounter = counter - 1\n"
         "\tcm_reset;\n"
         "\treturn\n"
         "}\n"},
        {"level1_start.bsl",
         "func void level_start(void)\n"
         "{\n"
         "\t# set up the first room\n"
         "\ttrigvolume_enable door_trig 0\n"
         "\tdoor_lock 12;\n"
         "\tplayback Konoko intro_film fromhere\n"
         "\tvar int x = trigvolume_count(7);\n"
         "\tif (trigvolume_count(7) eq 0)\n"
         "\t{\n"
         "\t\tsayonara\n"
         "\t}\n"
         "\telse if (x ne 1)\n"
         "\t{\n"
         "\t\tfork check_death(Muro)\n"
         "\t}\n"
         "\tfork spawn_wave();\n"
         "\tmet_griffin = 1\n"
         "\tchr_poison (Muro, 5, 30, 30);\n"
         "\tchr_unkillable Konoko = 1\n"
         "\tui_suppress_prompt = 1\n"
         "}\n"
         "\n"
         "func check_death(string ai_name)\n"
         "{\n"
         "\tchr_wait_health ai_name 0\n"
         "\tcounter = counter + 1\n"
         "\tvar int left = counter;\n"
         "\tif (left eq 0) { win } else { lose }\n"
         "}\n"},
        {"level1_waves.bsl",
         "var int wave = 0;\n"
         "\n"
         "func void spawn_wave(void)\n"
         "{\n"
         "\twave = wave + 1\n"
         "\tai2_spawn\tB1_s_blue05\n"
         "\tai2_attack(B1_s_blue05, Konoko)\n"
         "\tchr_teleport B1_s_blue05 1073;\n"
         "\tsleep 120\n"
         "\tif (chr_is_player(0) eq 1) {\n"
         "\t\tfork spawn_wave\n"
         "\t}\n"
         "}\n"},
    });
}

TEST(ScriptChecker, ARealisticLevelChecksClean)
{
    const Level level = warehouse();
    for (const std::string& file : level.files())
        EXPECT_EQ(describe(level.check(file)), "") << file;
}

TEST(ScriptChecker, ALevelScriptWithLineFeedsAloneChecksCleanToo)
{
    const Level level = warehouse();
    for (const std::string& file : level.files()) {
        std::string text = level.text(file);
        std::erase(text, '\r');
        EXPECT_EQ(describe(checkScript(text, level.siblingsOf(file))), "") << file;
    }
}

TEST(ScriptChecker, NamesFromTheOtherFilesAreUnknownWithoutThem)
{
    // Checked alone, the main file calls what the others declare.
    const std::vector<Finding> findings = checkScript(warehouse().text("level1_main.bsl"));
    EXPECT_EQ(describe(findings), "line 12:1 warning 'level_start' is not defined here\n");
}

struct Fault {
    std::string file;
    std::string_view from;
    std::string_view to;
    int line;
    Severity severity;
    std::string message;
    // False when the fault takes away a name the other files call.
    bool othersStayClean = true;
};

// Each fault seeded into the clean level is found alone, on its line.
TEST(ScriptChecker, FindsEachSeededFaultOnItsLine)
{
    const std::string main = "level1_main.bsl";
    const std::string start = "level1_start.bsl";
    const std::string waves = "level1_waves.bsl";
    const std::vector<Fault> faults = {
        {main, "\tsleep 60\n", "\tsleep60\n", 14, Severity::Warning, "'sleep60' is not defined here"},
        {waves, "\tsleep 120\n", "\tsleep120\n", 9, Severity::Warning, "'sleep120' is not defined here"},
        {main, "\tAI2_Spawn Muro\n", "\tAI2_Spwan Muro\n", 15, Severity::Warning, "'AI2_Spwan' is not defined here"},
        {start, "\t\tsayonara\n", "\t\tsayonarra\n", 10, Severity::Warning, "'sayonarra' is not defined here"},
        {start, "\tfork spawn_wave();", "\tfork spawn_waves();", 16, Severity::Warning,
         "'spawn_waves' is not defined here"},
        {start, "\tif (trigvolume_count(7) eq 0)", "\tif (trigvolume_cont(7) eq 0)", 8, Severity::Warning,
         "'trigvolume_cont' is not defined here"},
        {main, "\tcounter = counter - 1\n", "\tcountr = counter - 1\n", 43, Severity::Warning,
         "'countr' is not defined here"},
        {start, "\tmet_griffin = 1\n", "\tmet_griffen = 1\n", 17, Severity::Warning,
         "'met_griffen' is not defined here"},
        {start, "\tui_suppress_prompt = 1\n", "\tai2_spawn = 1\n", 20, Severity::Warning, "'ai2_spawn' is not a variable"},
        {main, "\t\tsound_music_volume mus_wh .5\n\t}\n", "\t\tsound_music_volume mus_wh .5\n", 33, Severity::Error,
         "'{' is never closed"},
        {waves, "\t\tfork spawn_wave\n\t}\n}\n", "\t\tfork spawn_wave\n\t}\n", 4, Severity::Error,
         "'{' is never closed"},
        {main, "\ttarget_set(1095, 30.0)\n", "\ttarget_set(1095, 30.0))\n", 22, Severity::Error, "')' closes nothing"},
        {start, "\tchr_poison (Muro, 5, 30, 30);\n", "\tchr_poison (Muro, 5, 30, 30;\n", 18, Severity::Error,
         "'(' is never closed"},
        {main, "\tsleep 60\n", "\tsleep 60\n\t}\n", 15, Severity::Error, "'}' closes nothing"},
        {main, "\ttarget_set(1095, 30.0)\n", "\telse\n\ttarget_set(1095, 30.0)\n", 22, Severity::Error,
         "'else' without 'if'"},
        {main, "func void sayonara\n", "func void intro_music\n", 39, Severity::Error,
         "function 'intro_music' is declared twice (first on line 28)", false},
        {main, "var int tcount=17;\n", "var int Counter=17;\n", 5, Severity::Error,
         "variable 'Counter' is declared twice (first on line 4)"},
        {start, "\tvar int left = counter;\n", "\tvar int left = counter;\n\tvar int left = 1;\n", 28, Severity::Error,
         "variable 'left' is declared twice (first on line 27)"},
    };
    const Level clean = warehouse();
    for (const Fault& fault : faults) {
        const Level level = clean.with(fault.file, fault.from, fault.to);
        const std::vector<Finding> findings = level.check(fault.file);
        ASSERT_EQ(findings.size(), 1u) << fault.to << "\n" << describe(findings);
        EXPECT_EQ(findings[0].place.line, fault.line) << fault.to;
        EXPECT_EQ(findings[0].severity, fault.severity) << fault.to;
        EXPECT_EQ(findings[0].message, fault.message) << fault.to;
        // The underline covers the name or bracket, where it stands.
        const std::string& text = level.text(fault.file);
        const std::string_view marked = std::string_view(text).substr(findings[0].place.offset, findings[0].length);
        EXPECT_NE(fault.message.find(std::string(1, '\'').append(marked).append("'")), std::string::npos) << fault.to;
        const std::size_t lineStart = findings[0].place.offset - std::size_t(findings[0].place.column);
        EXPECT_TRUE(lineStart == 0 || text[lineStart - 1] == '\n') << fault.to;
        // The other files are not disturbed by it.
        for (const std::string& other : level.files()) {
            if (other != fault.file && fault.othersStayClean) {
                EXPECT_EQ(describe(level.check(other)), "") << other << " after " << fault.to;
            }
        }
    }
}

TEST(ScriptChecker, RemovingADeclarationWarnsWhereverItWasUsed)
{
    const Level level = warehouse().with("level1_waves.bsl", "var int wave = 0;\n", "\n");
    EXPECT_EQ(describe(level.check("level1_waves.bsl")), "line 5:1 warning 'wave' is not defined here\n");
    const Level moved = warehouse().with("level1_main.bsl", "func void sayonara\n", "func void farewell\n");
    EXPECT_EQ(describe(moved.check("level1_start.bsl")), "line 10:2 warning 'sayonara' is not defined here\n");
}

TEST(ScriptChecker, NamesIgnoreLetterCaseAcrossFiles)
{
    const Level level = warehouse()
                            .with("level1_main.bsl", "\tlevel_start\n", "\tLEVEL_START\n")
                            .with("level1_start.bsl", "\tmet_griffin = 1\n", "\tMet_Griffin = 1\n");
    for (const std::string& file : level.files())
        EXPECT_EQ(describe(level.check(file)), "") << file;
}

TEST(ScriptChecker, ParametersAndLocalsBelongToTheirFunctionOnly)
{
    const std::string text = crlf("func void a(string ai_name)\n"
                                  "{\n"
                                  "\tvar int hits = 0;\n"
                                  "\thits = hits + 1\n"
                                  "\tai_name = Muro\n"
                                  "}\n"
                                  "func void b(void)\n"
                                  "{\n"
                                  "\thits = 2\n"
                                  "\tai_name = Muro\n"
                                  "}\n");
    EXPECT_EQ(describe(checkScript(text)), "line 9:1 warning 'hits' is not defined here\n"
                                           "line 10:1 warning 'ai_name' is not defined here\n");
}

TEST(ScriptChecker, LocalsOfOneNameInSeparateBlocksAreAllowed)
{
    const std::string text = "func void a(void)\n"
                             "{\n"
                             "\tif (x eq 1) { var int n = 1; }\n"
                             "\telse { var int n = 2; }\n"
                             "}\n"
                             "func void b(void)\n"
                             "{\n"
                             "\tvar int n = 3;\n"
                             "}\n";
    EXPECT_EQ(describe(checkScript(text, [] {
                  DeclaredNames names;
                  names.add({"x", NameRole::Global, "var int x", {}});
                  return names;
              }())),
              "");
}

TEST(ScriptChecker, ArgumentCountsAreNotChecked)
{
    // Declared `(void)` but passed words, and fewer than declared, as the shipped scripts do.
    const std::string text = "func void main(void)\n"
                             "{\n"
                             "\tparticle lab_smoke do start\n"
                             "\tcutscene_sync mark\n"
                             "\tlock_keys keys_walk\n"
                             "\tsound_music_start mus_wh 0.5\n"
                             "\tai2_movetoflag Muro\n"
                             "\tmain(1, 2, 3)\n"
                             "}\n";
    EXPECT_EQ(describe(checkScript(text)), "");
}

TEST(ScriptChecker, AStatementMayNameAnythingBuiltIn)
{
    const std::string text = "func void main(void)\n"
                             "{\n"
                             "\tplayback Konoko film\n"
                             "\tplayback_block Konoko film\n"
                             "\tchr_neutral Konoko 1\n"
                             "\tsound_dialog_play_pause\n"
                             "\tai2_showgrids 1\n"
                             "\tchr_big_head = 1\n"
                             "\tDMSG \"case does not matter\"\n"
                             "}\n";
    EXPECT_EQ(describe(checkScript(text)), "");
}

TEST(ScriptChecker, AnUnderlineCoversAtLeastOneCharacterOfTheText)
{
    EXPECT_EQ(underlinedRange(2, 3, 10), (TextRange{2, 5}));
    EXPECT_EQ(underlinedRange(2, 0, 10), (TextRange{2, 3}));
    EXPECT_EQ(underlinedRange(8, 5, 10), (TextRange{8, 10}));
    EXPECT_EQ(underlinedRange(10, 0, 10), (TextRange{9, 10}));
    EXPECT_EQ(underlinedRange(12, 4, 10), (TextRange{9, 10}));
    EXPECT_EQ(underlinedRange(0, 1, 0), std::nullopt);
}

TEST(ScriptChecker, FindingsComeInTextOrder)
{
    const std::string text = "func void a\n"
                             "{\n"
                             "\tfoo\n"
                             "\telse\n"
                             "\tbar)\n"
                             "}\n"
                             "func void a\n"
                             "{\n"
                             "}\n";
    EXPECT_EQ(describe(checkScript(text)), "line 3:1 warning 'foo' is not defined here\n"
                                           "line 4:1 error 'else' without 'if'\n"
                                           "line 5:1 warning 'bar' is not defined here\n"
                                           "line 5:4 error ')' closes nothing\n"
                                           "line 7:10 error function 'a' is declared twice (first on line 1)\n");
}

// A long script's uses are checked in parts at once, and its locals beside them: every finding
// still comes once, in text order, whichever part found it.
TEST(ScriptChecker, ALongScriptChecksInPartsAsItWouldWhole)
{
    constexpr int kFunctions = 60000;  // five names each: enough to be checked in parts
    std::string text;
    std::string expected;
    for (int n = 0; n < kFunctions; ++n) {
        const int line = n * 7 + 1;
        const std::string number = std::to_string(n);
        text += "func void f" + number + "(void)\n{\n\tvar int a;\n\tvar int A;\n\tmissing_" + number +
                "\n\tf" + std::to_string(n + 1) + "\n}\n";
        expected += "line " + std::to_string(line + 3) + ":9 error variable 'A' is declared twice (first on line " +
                    std::to_string(line + 2) + ")\n";
        expected += "line " + std::to_string(line + 4) + ":1 warning 'missing_" + number + "' is not defined here\n";
    }
    expected += "line " + std::to_string(kFunctions * 7 - 1) + ":1 warning 'f" + std::to_string(kFunctions) +
                "' is not defined here\n";
    EXPECT_EQ(describe(checkScript(text)), expected);
}

} // namespace
