#include "ScriptEditorHarness.h"

#include "catalogue/CommandTable.h"
#include "language/Completion.h"
#include "language/DeclaredNames.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// The editor in a shown window, as the user types into it.
class Typing : public ::testing::Test {
protected:
    Typing() : harness(ScriptEditorHarness::Options{.show = true}) {}

    ~Typing() override { QToolTip::hideText(); }

    ScriptEditor& editor() { return harness.editor(); }

    // Loads `text` and puts the caret at its end.
    void loadAtEnd(std::string_view text)
    {
        harness.load(text);
        harness.caretAt(long(harness.text().size()));
    }

    QListView* list() { return editor().findChild<QListView*>(QStringLiteral("completionList")); }

    bool listShown()
    {
        QListView* view = list();
        return view && view->isVisible();
    }

    std::vector<std::string> rows()
    {
        std::vector<std::string> texts;
        const QAbstractItemModel* model = list()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts.push_back(model->index(row, 0).data().toString().toStdString());
        return texts;
    }

    bool rowEnabled(int row) { return list()->model()->flags(list()->model()->index(row, 0)) & Qt::ItemIsEnabled; }

    std::string currentRow() { return list()->currentIndex().data().toString().toStdString(); }

    std::string tip() { return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string(); }

    ScriptEditorHarness harness;
};

bool startsWithIgnoringCase(std::string_view name, std::string_view part)
{
    return name.size() >= part.size() && std::equal(part.begin(), part.end(), name.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

std::vector<std::string> candidateTexts(std::string_view text)
{
    std::vector<std::string> texts;
    for (const Candidate& candidate : completeAt(text, text.size()).candidates)
        texts.push_back(candidate.text);
    return texts;
}

TEST_F(Typing, TheSecondLetterOfANameOpensTheListWithPrefixMatchesFirst)
{
    loadAtEnd("");
    harness.typeText(QStringLiteral("a"));
    EXPECT_FALSE(listShown()) << "one letter is not enough";
    harness.typeText(QStringLiteral("i"));
    ASSERT_TRUE(listShown());
    const std::vector<std::string> shown = rows();
    ASSERT_GT(shown.size(), 1u);
    EXPECT_EQ(shown, candidateTexts("ai"));
    const auto firstInner =
        std::find_if(shown.begin(), shown.end(), [](const std::string& name) { return !startsWithIgnoringCase(name, "ai"); });
    EXPECT_NE(firstInner, shown.begin());
    EXPECT_TRUE(std::none_of(firstInner, shown.end(), [](const std::string& name) { return startsWithIgnoringCase(name, "ai"); }));
    EXPECT_EQ(currentRow(), shown.front());
    EXPECT_EQ(harness.text(), "ai");

    // A number is no name.
    loadAtEnd("x = ");
    harness.typeText(QStringLiteral("12"));
    EXPECT_FALSE(listShown());
}

TEST_F(Typing, CtrlSpaceOpensTheListWhereverTheCaretIs)
{
    loadAtEnd("chr_");
    EXPECT_FALSE(listShown());
    harness.key(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(listShown());
    EXPECT_EQ(harness.text(), "chr_") << "the key types nothing";
    for (const std::string& name : rows())
        EXPECT_NE(name.find("chr_"), std::string::npos) << name;

    // In a comment there is nothing to offer.
    loadAtEnd("# chr_");
    harness.key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_FALSE(listShown());
}

TEST_F(Typing, EnterOrTabInsertsTheListsSpellingAsOneUndoStep)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Tab}) {
        loadAtEnd("");
        harness.typeText(QStringLiteral("AI2_ATTA"));
        ASSERT_TRUE(listShown());
        ASSERT_EQ(currentRow(), "ai2_attack");
        harness.key(key);
        EXPECT_FALSE(listShown());
        EXPECT_EQ(harness.text(), "ai2_attack") << "no line end, no tab";
        EXPECT_EQ(harness.caret(), 10);
        harness.key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(harness.text(), "AI2_ATTA");
    }

    // Down moves to the next candidate; that one goes in.
    loadAtEnd("");
    harness.typeText(QStringLiteral("chr_"));
    ASSERT_TRUE(listShown());
    const std::vector<std::string> shown = rows();
    ASSERT_GT(shown.size(), 2u);
    harness.key(Qt::Key_Down);
    harness.key(Qt::Key_Down);
    harness.key(Qt::Key_Up);
    EXPECT_EQ(currentRow(), shown[1]);
    harness.key(Qt::Key_Tab);
    EXPECT_EQ(harness.text(), shown[1]);
}

TEST_F(Typing, ClickingAnEntryInsertsIt)
{
    loadAtEnd("");
    harness.typeText(QStringLiteral("ai2_att"));
    ASSERT_TRUE(listShown());
    const std::vector<std::string> shown = rows();
    const auto at = std::find(shown.begin(), shown.end(), "ai2_attack");
    ASSERT_NE(at, shown.end());
    QListView* view = list();
    const QRect entry = view->visualRect(view->model()->index(int(at - shown.begin()), 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, entry.center());
    EXPECT_EQ(harness.text(), "ai2_attack");
    EXPECT_FALSE(listShown());
}

TEST_F(Typing, EscapeClosesTheListAndNothingElse)
{
    loadAtEnd("");
    harness.typeText(QStringLiteral("ai"));
    ASSERT_TRUE(listShown());
    ASSERT_TRUE(editor().hasFocus());
    harness.key(Qt::Key_Escape);
    EXPECT_FALSE(listShown());
    EXPECT_EQ(harness.text(), "ai");
    EXPECT_EQ(harness.caret(), 2);
    EXPECT_TRUE(editor().hasFocus());
    EXPECT_TRUE(harness.window()->isVisible());
    EXPECT_TRUE(editor().isUndoAvailable());

    // Closed, the list stays closed as the name goes on.
    harness.typeText(QStringLiteral("2_"));
    EXPECT_FALSE(listShown());
}

TEST_F(Typing, TypingNarrowsTheListUntilNothingOrNoNameIsLeft)
{
    loadAtEnd("");
    harness.typeText(QStringLiteral("ch"));
    ASSERT_TRUE(listShown());
    const std::size_t wide = rows().size();
    harness.typeText(QStringLiteral("r_t"));
    ASSERT_TRUE(listShown());
    const std::vector<std::string> narrow = rows();
    EXPECT_LT(narrow.size(), wide);
    EXPECT_EQ(narrow, candidateTexts("chr_t"));
    harness.key(Qt::Key_Backspace);
    ASSERT_TRUE(listShown());
    EXPECT_EQ(rows(), candidateTexts("chr_"));
    harness.typeText(QStringLiteral("qqqq"));
    EXPECT_FALSE(listShown()) << "no name matches";
    EXPECT_EQ(harness.text(), "chr_qqqq");

    // A blank ends the name, and the caret leaving it closes the list.
    loadAtEnd("");
    harness.typeText(QStringLiteral("ai"));
    harness.typeText(QStringLiteral(" "));
    EXPECT_FALSE(listShown());
    harness.typeText(QStringLiteral("ch"));
    ASSERT_TRUE(listShown());
    harness.key(Qt::Key_Left);
    harness.key(Qt::Key_Left);
    harness.key(Qt::Key_Left);
    EXPECT_FALSE(listShown());
}

TEST_F(Typing, ABuilderCommandsArgumentOffersItsList)
{
    struct Case {
        const char* typed;
        const char* command;
    };
    for (const Case& c : {Case{"ai2_attack ", "ai2_attack"}, Case{"trigvolume_enable ", "trigvolume_enable"},
                          Case{"sound_music_start ", "sound_music_start"}, Case{"ai2_attack(", "ai2_attack"}}) {
        loadAtEnd("");
        harness.typeText(QString::fromLatin1(c.typed));
        ASSERT_TRUE(listShown()) << c.typed;
        std::vector<std::string> entries;
        fillParameterList(findCommand(c.command)->list1, entries);
        EXPECT_EQ(rows(), entries) << c.typed;
        // The headings show, but only the entries can be chosen.
        ASSERT_GT(rows().size(), 1u);
        EXPECT_FALSE(rowEnabled(0)) << rows()[0];
        EXPECT_TRUE(rowEnabled(1));
        EXPECT_EQ(currentRow(), rows()[1]);
        QToolTip::hideText();
    }
    const std::vector<std::string> characters = rows();
    EXPECT_NE(std::find(characters.begin(), characters.end(), "Muro"), characters.end());

    // Enter on a heading inserts nothing; on an entry, the entry.
    loadAtEnd("");
    harness.typeText(QStringLiteral("sound_music_start "));
    ASSERT_TRUE(listShown());
    const std::vector<std::string> music = rows();
    EXPECT_NE(std::find(music.begin(), music.end(), "mus_chase"), music.end());
    // Up from the first entry stays on it rather than on the heading above.
    harness.key(Qt::Key_Up);
    EXPECT_EQ(currentRow(), music[1]);
    // The keys never rest on a heading; should the list be put on one, Enter is a no-op.
    list()->selectionModel()->setCurrentIndex(list()->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
    ASSERT_EQ(currentRow(), music[0]);
    harness.key(Qt::Key_Return);
    EXPECT_EQ(harness.text(), "sound_music_start ");
    EXPECT_TRUE(listShown());
    harness.key(Qt::Key_Down);
    harness.key(Qt::Key_Return);
    EXPECT_EQ(harness.text(), "sound_music_start " + music[1]);

    // A comma moves on to the next argument's list.
    loadAtEnd("");
    harness.typeText(QStringLiteral("trigvolume_enable(tv1, 1,"));
    ASSERT_TRUE(listShown());
    EXPECT_EQ(rows(), (std::vector<std::string>{"all", "entry", "inside", "exit"}));

    // An ordinary blank opens nothing.
    loadAtEnd("");
    harness.typeText(QStringLiteral("if x "));
    EXPECT_FALSE(listShown());
}

TEST_F(Typing, TheLevelHintPutsThatLevelsGroupFirst)
{
    editor().setScriptContext(nullptr, QStringLiteral("level03_lab"));
    EXPECT_EQ(editor().levelHint(), QStringLiteral("level03_lab"));
    loadAtEnd("");
    harness.typeText(QStringLiteral("ai2_attack "));
    ASSERT_TRUE(listShown());
    EXPECT_EQ(rows().front(), "Level 03- Bio-Research Lab. ==============================");
}

TEST_F(Typing, TheFoldersOtherFilesNamesAreOffered)
{
    auto siblings = std::make_shared<DeclaredNames>();
    siblings->addScript("# Opens the gate.\r\nfunc void gate_open(int speed)\r\n{\r\n}\r\n");
    editor().setScriptContext(siblings, {});
    EXPECT_TRUE(editor().siblings().contains("GATE_OPEN"));
    loadAtEnd("");
    harness.typeText(QStringLiteral("gate_o"));
    ASSERT_TRUE(listShown());
    EXPECT_EQ(currentRow(), "gate_open");
    harness.typeText(QStringLiteral("pen("));
    EXPECT_EQ(tip(), "# Opens the gate.\nfunc void gate_open(int speed)\nreturns void");
}

TEST_F(Typing, ABlankOrParenthesisAfterAFunctionShowsItsDeclaration)
{
    const std::string declaration =
        "ai2_attack([ai_name:string | script_id:int], [target_name:string | target_script_id:int])";
    for (const char* typed : {"ai2_attack(", "ai2_attack "}) {
        loadAtEnd("");
        harness.typeText(QString::fromLatin1(typed));
        EXPECT_EQ(tip(), declaration + "\nreturns void\nforces an AI to attack another character") << typed;
        // Typing on past it takes the tip away.
        harness.key(Qt::Key_Escape);
        harness.typeText(QStringLiteral("K"));
        QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), 2000);
    }

    loadAtEnd("# Spawns the second wave.\r\n"
              "func int spawn_wave(string ai_name)\r\n"
              "{\r\n"
              "\treturn 1\r\n"
              "}\r\n"
              "func main()\r\n"
              "{\r\n"
              "\t");
    harness.typeText(QStringLiteral("spawn_wave("));
    EXPECT_EQ(tip(), "# Spawns the second wave.\nfunc int spawn_wave(string ai_name)\nreturns int");
}

TEST_F(Typing, RestingTheMouseOnANameShowsItsHint)
{
    loadAtEnd("ai2_attack Konoko\r\n");
    const long position = 3;
    const QPoint at(int(editor().SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, position)),
                    int(editor().SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, position)) + 4);
    editor().SendScintilla(QsciScintillaBase::SCI_SETMOUSEDWELLTIME, 20);
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(editor().viewport()->mapToGlobal(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(editor().viewport(), &move);
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 2000);
    EXPECT_EQ(tip(), "ai2_attack([ai_name:string | script_id:int], [target_name:string | target_script_id:int])\n"
                     "returns void\nforces an AI to attack another character");

    emit editor().SCN_DWELLEND(int(position), at.x(), at.y());
    QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), 2000);
}

} // namespace
