#include "LevelFolder.h"

#include "language/LevelWorkspace.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<QString> fileNames(const Level& level)
{
    std::vector<QString> names;
    for (const LevelScript& script : level.scripts())
        names.push_back(QFileInfo(script.path).fileName());
    return names;
}

std::vector<std::string> messages(const LevelScript& script)
{
    std::vector<std::string> texts;
    for (const Finding& finding : *script.findings)
        texts.push_back(finding.message);
    return texts;
}

std::shared_ptr<const std::string> text(std::string_view content)
{
    return std::make_shared<const std::string>(content);
}

TEST(LevelWorkspace, ReadsTheFolderAsOneLevelInFileNameOrder)
{
    LevelFolder folder;
    folder.write("B_start.bsl", "func void level_start(void)\n{\n\tcounter = 1\n}\n");
    folder.write("a_main.BSL", "var int counter;\nfunc void main(void)\n{\n\tlevel_start\n\tundeclared_thing\n}\n");
    folder.write("c_caf\xC3\xA9.bsl", "# Caf\xE9\n");
    folder.write("notes.txt", "func void not_a_script(void)\n");
    ASSERT_TRUE(QDir(folder.path()).mkdir("damaged.bsl"));

    LevelWorkspace workspace;
    const std::shared_ptr<const Level> level = workspace.levelOfFolder(folder.path());
    EXPECT_EQ(level->folder(), levelPath(folder.path()));
    EXPECT_EQ(fileNames(*level), (std::vector<QString>{"a_main.BSL", "B_start.bsl", "c_caf\u00e9.bsl", "damaged.bsl"}));

    // Each script is checked with what the others declare, and read as the editor reads a file.
    EXPECT_EQ(messages(level->script(0)), (std::vector<std::string>{"'undeclared_thing' is not defined here"}));
    EXPECT_TRUE(level->script(1).findings->empty());
    EXPECT_EQ(level->script(2).text(), "# Caf\xC3\xA9\r\n");
    EXPECT_FALSE(level->script(0).open);

    // A script that cannot be read stays in the level, empty, saying why.
    const LevelScript& damaged = level->script(3);
    ASSERT_TRUE(damaged.readError);
    EXPECT_TRUE(damaged.readError->message().contains("damaged.bsl")) << damaged.readError->message().toStdString();
    EXPECT_TRUE(damaged.text().empty());
    EXPECT_TRUE(damaged.findings->empty());
    EXPECT_FALSE(level->script(0).readError);

    EXPECT_EQ(level->indexOf(folder.path() + "/./B_start.bsl"), std::optional<std::size_t>(1));
    EXPECT_EQ(workspace.levelOf(folder.file("a_main.BSL")), level) << "nothing changed, so the same snapshot";
}

// A pause in typing asks again and again: only what changed is read or checked again.
TEST(LevelWorkspace, ReadsAndChecksAgainOnlyWhatChanged)
{
    LevelFolder folder;
    folder.write("a.bsl", "func void main(void)\n{\n\thelper\n}\n");
    folder.write("b.bsl", "func void other(void)\n{\n}\n");
    folder.write("c.bsl", "func void unrelated(void)\n{\n\tdmsg \"hi\"\n}\n");
    LevelWorkspace workspace;
    const auto first = workspace.levelOfFolder(folder.path());
    ASSERT_EQ(first->size(), 3u);
    EXPECT_EQ(messages(first->script(0)), (std::vector<std::string>{"'helper' is not defined here"}));

    // A body changed on disk: that file alone is read and checked again.
    folder.write("c.bsl", "func void unrelated(void)\n{\n\tdmsg \"hello\"\n}\n");
    const auto second = workspace.levelOfFolder(folder.path());
    EXPECT_EQ(second->script(0).analysis, first->script(0).analysis);
    EXPECT_EQ(second->script(0).findings, first->script(0).findings);
    EXPECT_EQ(second->script(1).analysis, first->script(1).analysis);
    EXPECT_NE(second->script(2).analysis, first->script(2).analysis);

    // A declaration that a sibling names appears: that sibling is checked again, no other.
    folder.write("b.bsl", "func void other(void)\n{\n}\nfunc void helper(void)\n{\n}\n");
    const auto third = workspace.levelOfFolder(folder.path());
    EXPECT_TRUE(third->script(0).findings->empty());
    EXPECT_EQ(third->script(0).analysis, first->script(0).analysis);
    EXPECT_EQ(third->script(2).findings, second->script(2).findings);

    // Gone from disk, gone from the level, and its declarations with it.
    ASSERT_TRUE(QFile::remove(folder.file("b.bsl")));
    const auto fourth = workspace.levelOfFolder(folder.path());
    EXPECT_EQ(fileNames(*fourth), (std::vector<QString>{"a.bsl", "c.bsl"}));
    EXPECT_EQ(messages(fourth->script(0)), (std::vector<std::string>{"'helper' is not defined here"}));
}

// A script typed into alone is checked against what its siblings declare as they are now:
// after a sibling changed its declarations, and in the same pass as a sibling went away.
TEST(LevelWorkspace, AScriptReadAgainAloneIsCheckedAgainstItsSiblingsAsTheyAre)
{
    LevelFolder folder;
    const QString a = folder.write("a.bsl", "func void main(void)\n{\n\thelper\n}\n");
    folder.write("b.bsl", "func void helper(void)\n{\n}\n");
    LevelWorkspace workspace;
    workspace.setDocument(a, 1, text("func void main(void)\n{\n\thelper\n\tmissing\n}\n"));
    EXPECT_EQ(messages(workspace.levelOf(a)->script(0)), (std::vector<std::string>{"'missing' is not defined here"}));
    EXPECT_TRUE(workspace.namesBeside(a)->contains("helper"));

    workspace.setDocument(a, 2, text("func void main(void)\n{\n\thelper\n}\n"));
    EXPECT_TRUE(workspace.levelOf(a)->script(0).findings->empty());

    folder.write("b.bsl", "func void missing(void)\n{\n}\n");
    workspace.setDocument(a, 3, text("func void main(void)\n{\n\tmissing\n}\n"));
    EXPECT_TRUE(workspace.levelOf(a)->script(0).findings->empty());
    workspace.setDocument(a, 4, text("func void main(void)\n{\n\thelper\n\tmissing\n}\n"));
    EXPECT_EQ(messages(workspace.levelOf(a)->script(0)), (std::vector<std::string>{"'helper' is not defined here"}));

    ASSERT_TRUE(QFile::remove(folder.file("b.bsl")));
    workspace.setDocument(a, 5, text("func void main(void)\n{\n\tmissing\n}\n"));
    const auto level = workspace.levelOf(a);
    ASSERT_EQ(level->size(), 1u);
    EXPECT_EQ(messages(level->script(0)), (std::vector<std::string>{"'missing' is not defined here"}));
}

TEST(LevelWorkspace, AnOpenDocumentStandsInForItsFile)
{
    LevelFolder folder;
    const QString a = folder.write("a.bsl", "func void main(void)\n{\n\tgate_open\n}\n");
    const QString b = folder.write("b.bsl", "func void gate_open(void)\n{\n}\n");
    LevelWorkspace workspace;

    // The editor renamed the function and has not saved: the level goes by the editor's text.
    workspace.setDocument(b, 3, text("func void gate_close(void)\r\n{\r\n}\r\n"));
    auto level = workspace.levelOf(a);
    EXPECT_TRUE(level->script(1).open);
    EXPECT_EQ(level->script(1).revision, 3u);
    EXPECT_EQ(messages(level->script(0)), (std::vector<std::string>{"'gate_open' is not defined here"}));
    EXPECT_FALSE(workspace.namesBeside(a)->contains("gate_open"));
    EXPECT_TRUE(workspace.namesBeside(a)->contains("gate_close"));

    // An older revision arriving late changes nothing; the same revision is not read again.
    workspace.setDocument(b, 2, text("func void gate_open(void)\r\n"));
    workspace.setDocument(b, 3, text("something else entirely"));
    const auto again = workspace.levelOf(a);
    EXPECT_EQ(again, level);
    EXPECT_EQ(again->script(1).text(), "func void gate_close(void)\r\n{\r\n}\r\n");

    // A document not saved yet belongs to its folder's level too.
    const QString fresh = folder.file("c.bsl");
    workspace.setDocument(fresh, 1, text("func void gate_open(void)\r\n{\r\n}\r\n"));
    level = workspace.levelOf(a);
    EXPECT_EQ(fileNames(*level), (std::vector<QString>{"a.bsl", "b.bsl", "c.bsl"}));
    EXPECT_TRUE(level->script(0).findings->empty());

    // Closed, the documents give way to the files.
    workspace.closeDocument(b);
    workspace.closeDocument(fresh);
    level = workspace.levelOf(a);
    EXPECT_EQ(fileNames(*level), (std::vector<QString>{"a.bsl", "b.bsl"}));
    EXPECT_FALSE(level->script(1).open);
    EXPECT_TRUE(level->script(0).findings->empty());
}

TEST(LevelWorkspace, NamesBesideAScriptKeepTheirIdentityUntilTheyChange)
{
    LevelFolder folder;
    const QString a = folder.write("a.bsl", "func void main(void)\n{\n}\n");
    folder.write("b.bsl", "# Opens the gate.\nfunc void gate_open(int speed)\n{\n}\nvar int gates;\n");
    LevelWorkspace workspace;
    workspace.setDocument(a, 1, text("func void main(void)\r\n{\r\n}\r\n"));
    workspace.levelOf(a);
    const auto names = workspace.namesBeside(a);
    ASSERT_NE(names->find("GATE_OPEN"), nullptr);
    EXPECT_EQ(names->find("gate_open")->comment, "# Opens the gate.");
    EXPECT_EQ(names->find("gate_open")->detail, "(int speed)");
    EXPECT_TRUE(names->contains("gates"));
    EXPECT_FALSE(names->contains("main")) << "a script's own names are not beside it";

    // Typing in the script itself leaves what lies beside it as it was.
    workspace.setDocument(a, 2, text("func void main2(void)\r\n{\r\n}\r\n"));
    workspace.levelOf(a);
    EXPECT_EQ(workspace.namesBeside(a), names);

    folder.write("b.bsl", "func void gate_open(int speed, int delay)\n{\n}\n");
    workspace.levelOf(a);
    EXPECT_NE(workspace.namesBeside(a), names);
    EXPECT_EQ(workspace.namesBeside(a)->find("gate_open")->detail, "(int speed, int delay)");
    EXPECT_TRUE(workspace.namesBeside(QString())->entries().empty());
}

// A language server reads the document it is asked about before the rest of its level, and
// answers for several documents of one level at once.
TEST(LevelWorkspace, ReadsADocumentAheadOfItsLevel)
{
    LevelFolder folder;
    const QString a = folder.write("a.bsl", "FUNC VOID main(void)\n{\n\tAI2_SPAWN Muro\n}\n");
    const QString b = folder.write("b.bsl", "");
    LevelWorkspace workspace;
    workspace.setDocument(b, 1, text("func void gate_open(void)\n{\n\tmain\n}\n"));
    const auto ahead = workspace.documentAnalysis(b);
    ASSERT_TRUE(ahead);
    EXPECT_FALSE(workspace.documentAnalysis(a)) << "not open";

    const auto level = workspace.levelOf(b);
    EXPECT_EQ(level->script(1).analysis, ahead) << "read once";
    EXPECT_TRUE(level->script(1).findings->empty());
    EXPECT_EQ(level->script(0).text(), "func void main(void)\r\n{\r\n\tai2_spawn Muro\r\n}\r\n")
        << "a file reads as the editor opens it";

    const auto besideA = workspace.namesBeside(a);
    const auto besideB = workspace.namesBeside(b);
    EXPECT_TRUE(besideA->contains("gate_open"));
    EXPECT_TRUE(besideB->contains("main"));
    EXPECT_EQ(workspace.namesBeside(a), besideA);
    EXPECT_EQ(workspace.namesBeside(b), besideB);
}

TEST(LevelWorkspace, EachScriptNeverSavedIsALevelOfItsOwn)
{
    LevelWorkspace workspace;
    const auto level = workspace.unsavedLevel(1, 4, text("func void main(void)\r\n{\r\n\tlevel_start\r\n}\r\n"));
    ASSERT_EQ(level->size(), 1u);
    EXPECT_TRUE(level->folder().isEmpty());
    EXPECT_TRUE(level->script(0).path.isEmpty());
    EXPECT_TRUE(level->script(0).open);
    EXPECT_EQ(messages(level->script(0)), (std::vector<std::string>{"'level_start' is not defined here"}));
    EXPECT_EQ(workspace.unsavedLevel(1, 4, text("ignored: the same revision")), level);

    // Another unsaved script knows nothing of the first, and asking about it keeps the first.
    const auto other = workspace.unsavedLevel(2, 4, text("func void level_start(void)\r\n{\r\n}\r\n"));
    EXPECT_NE(other, level);
    EXPECT_TRUE(messages(other->script(0)).empty());
    EXPECT_EQ(workspace.unsavedLevel(1), level);

    workspace.closeUnsaved(1);
    EXPECT_EQ(workspace.unsavedLevel(1)->size(), 0u);
    EXPECT_EQ(workspace.unsavedLevel(2), other);
}

} // namespace
