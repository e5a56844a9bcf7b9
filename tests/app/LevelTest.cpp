#include "app/LevelCommands.h"
#include "app/LevelFindDialog.h"
#include "app/LevelPanel.h"
#include "app/ReferencesWindow.h"
#include "app/ScriptTab.h"
#include "app/ScriptTabs.h"
#include "app/Settings.h"
#include "editor/ScriptEditor.h"
#include "files/FileFaults.h"
#include "language/LineCuts.h"
#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"
#include "support/LineEnds.h"
#include "support/MainWindowHarness.h"
#include "support/WindowDriving.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolTip>
#include <QTreeView>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

// A level of several scripts through the window: tabs, going to declarations and back, the uses
// of a name, renaming, finding across the scripts, the problems of all of them, the level panel
// and the session.

namespace {

using Answer = DesktopServices::Answer;
using namespace driving;

// main calls what the other scripts declare; comments, a string and a longer name hold the name
// level_start too, and a local hides it in guard_door.
constexpr std::string_view kLevelMain = "# main runs level_start first.\n"
                                   "var int alarm = 0;\n"
                                   "\n"
                                   "func void main(void)\n"
                                   "{\n"
                                   "\tlevel_start\n"
                                   "\tai2_spawn Muro\n"
                                   "\tfork guard_door(12)\n"
                                   "\tdmsg \"level_start\"\n"
                                   "}\n";
constexpr std::string_view kLevelStart = "# Sets up the first room.\n"
                                    "func void level_start(void)\n"
                                    "{\n"
                                    "\tdoor_lock 12\n"
                                    "\tlevel_started\n"
                                    "}\n"
                                    "\n"
                                    "func void level_started(void)\n"
                                    "{\n"
                                    "\talarm = 1\n"
                                    "}\n"
                                    "\n"
                                    "func void guard_door(int door)\n"
                                    "{\n"
                                    "\tvar int level_start = door;\n"
                                    "\tdoor_unlock level_start\n"
                                    "}\n";
constexpr std::string_view kExtra = "func void extra(void)\n"
                                    "{\n"
                                    "\tlevel_start # once more\n"
                                    "}\n";

constexpr int kWithinMs = 10000;

class LevelWindow : public ::testing::Test {
protected:
    LevelWindow()
    {
        EXPECT_TRUE(m_folder.isValid());
        Write("level1_main.bsl", kLevelMain);
        Write("level1_start.bsl", kLevelStart);
        Write("level1_extra.bsl", kExtra);
        main.window.setCheckPause(std::chrono::milliseconds(0));
        EXPECT_TRUE(Activate(main.window));
    }

    QString PathOf(const char* name) const { return m_folder.filePath(QString::fromLatin1(name)); }
    void Write(const char* name, std::string_view text) const
    {
        EXPECT_TRUE(writeFileBytes(PathOf(name), QByteArray::fromStdString(crlf(text))));
    }

    ScriptTabs& Tabs() { return *main.window.tabs(); }
    ScriptTab* Current() { return Tabs().current(); }
    ScriptTab* Tab(const char* name) { return Tabs().find(PathOf(name)); }
    std::string TextOf(const char* name) { return Tab(name) ? std::string(Tab(name)->editor()->documentText()) : "<not open>"; }

    ScriptTab* Open(const char* name)
    {
        EXPECT_TRUE(main.window.openScriptFile(PathOf(name)));
        EXPECT_TRUE(WaitFor([&] { return Current()->isRead(); }, kWithinMs));
        return Current();
    }

    // Puts the caret `into` bytes into the first `text` of the current script.
    void CaretAt(std::string_view text, long into = 1)
    {
        const std::size_t at = main.editorText().find(crlf(text));
        ASSERT_NE(at, std::string::npos) << text;
        main.select(long(at) + into, long(at) + into);
    }
    long Caret() { return main.editor()->SendScintilla(ScriptEditor::SCI_GETCURRENTPOS); }
    std::string Selected() { return main.editor()->selectedText().toStdString(); }

    // Does what asks the worker, and waits for its `answers` to be shown: a rename asks twice,
    // what the name is and then what the new one changes.
    void WaitForAnswers(const std::function<void()>& asking, int answers = 1)
    {
        int answered = 0;
        const auto connection = QObject::connect(main.window.levelCommands(), &LevelCommands::answered,
                                                 [&] { ++answered; });
        asking();
        EXPECT_TRUE(WaitFor([&] { return answered >= answers; }, kWithinMs));
        QObject::disconnect(connection);
    }

    // Presses a key of the level's and waits for the answers.
    void Ask(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int answers = 1)
    {
        ASSERT_TRUE(Activate(main.window));
        WaitForAnswers([&] { PressKey(main.window, key, modifiers); }, answers);
    }

    FakeDesktopServices desktop;
    QTemporaryDir m_folder;
    MainWindowUnderTest main;
};

// --- Tabs --------------------------------------------------------------------------------------

TEST_F(LevelWindow, EachTabKeepsItsOwnTextUndoAndCaret)
{
    ScriptTab* first = Open("level1_main.bsl");
    CaretAt("ai2_spawn", 0);
    TypeKeys(main.window, QStringLiteral("x"));
    ScriptTab* second = Open("level1_start.bsl");
    ASSERT_NE(first, second);
    EXPECT_EQ(main.window.windowTitle(), QStringLiteral("level1_start.bsl - QUARN-XP"));
    main.select(0, 0);
    TypeKeys(main.window, QStringLiteral("x"));
    // Ctrl+Tab is still a tab character, not the next tab.
    PressKey(main.window, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(TextOf("level1_start.bsl").substr(0, 3), "x\t#");

    PressKey(main.window, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(Current(), first);
    EXPECT_EQ(main.window.windowTitle(), QStringLiteral("level1_main.bsl* - QUARN-XP"));
    EXPECT_EQ(Caret(), long(main.editorText().find("xai2_spawn")) + 1);
    // Undo takes back this script's typing alone.
    PressKey(main.window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(main.editorText(), crlf(kLevelMain));
    EXPECT_FALSE(first->isModified());
    EXPECT_TRUE(second->isModified());
    PressKey(main.window, Qt::Key_PageDown, Qt::ControlModifier);
    PressKey(main.window, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(Current(), first) << "round the ends";
}

// --- Going to a declaration and back -------------------------------------------------------------

TEST_F(LevelWindow, F12AndCtrlClickGoToTheDeclarationInAnotherScriptAndAltArrowsComeBack)
{
    ScriptTab* mainTab = Open("level1_main.bsl");
    CaretAt("\tlevel_start\n", 3);
    const long from = Caret();
    Ask(Qt::Key_F12);
    ASSERT_NE(Tab("level1_start.bsl"), nullptr);
    EXPECT_EQ(Current(), Tab("level1_start.bsl"));
    EXPECT_EQ(Selected(), "level_start");
    EXPECT_EQ(main.editorText().rfind("func void level_start", std::size_t(Caret())), std::size_t(Caret()) - 21);

    PressKey(main.window, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(Current(), mainTab);
    EXPECT_EQ(Caret(), from);
    PressKey(main.window, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(Current(), Tab("level1_start.bsl"));
    PressKey(main.window, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(Current(), mainTab);

    // A parameter goes to its function's list, in the same script.
    Open("level1_start.bsl");
    CaretAt("var int level_start = door", 22);
    Ask(Qt::Key_F12);
    EXPECT_EQ(Selected(), "door");
    EXPECT_EQ(main.editorText().substr(std::size_t(Caret()) - 4, 6), "door)\r");

    // A Ctrl+click on a declared name goes there; on a built-in name it is the component's.
    mainTab = Open("level1_main.bsl");
    ASSERT_TRUE(WaitFor([&] { return mainTab->isRead(); }, kWithinMs));
    ScriptEditor* editor = mainTab->editor();
    const auto controlClick = [&](std::string_view on) {
        const long at = long(main.editorText().find(on)) + 2;
        const QPoint point(int(editor->SendScintilla(ScriptEditor::SCI_POINTXFROMPOSITION, 0UL, at)) + 2,
                           int(editor->SendScintilla(ScriptEditor::SCI_POINTYFROMPOSITION, 0UL, at)) + 4);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(point), editor->viewport()->mapToGlobal(QPointF(point)),
                          Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
        QApplication::sendEvent(editor->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(point), editor->viewport()->mapToGlobal(QPointF(point)),
                            Qt::LeftButton, Qt::NoButton, Qt::ControlModifier);
        QApplication::sendEvent(editor->viewport(), &release);
    };
    WaitForAnswers([&] { controlClick("guard_door(12)"); });
    EXPECT_EQ(Current(), Tab("level1_start.bsl"));
    EXPECT_EQ(Selected(), "guard_door");
    Tabs().setCurrent(mainTab);
    controlClick("ai2_spawn");
    QApplication::processEvents();
    EXPECT_EQ(Current(), mainTab);

    // F12 on a built-in name shows what it is instead.
    CaretAt("ai2_spawn", 2);
    Ask(Qt::Key_F12);
    EXPECT_EQ(Current(), mainTab);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("ai2_spawn"))) << QToolTip::text().toStdString();
}

// --- The uses of a name --------------------------------------------------------------------------

TEST_F(LevelWindow, ReferencesAreEveryUseAcrossTheLevelButInCommentsStringsLongerNamesAndWhereALocalHidesIt)
{
    Open("level1_main.bsl");
    CaretAt("\tlevel_start\n", 2);
    Ask(Qt::Key_F12, Qt::ShiftModifier);
    ReferencesWindow* window = main.window.levelCommands()->referencesWindow();
    ASSERT_TRUE(window->isVisible());
    PlaceModel* places = window->list()->places();
    QStringList rows;
    for (int row = 0; row < places->rowCount(); ++row)
        rows.append(QStringLiteral("%1:%2: %3").arg(places->data(places->index(row, 0), Qt::DisplayRole).toString(),
                                                     places->data(places->index(row, 1), Qt::DisplayRole).toString(),
                                                     places->data(places->index(row, 2), Qt::DisplayRole).toString()));
    EXPECT_EQ(rows, (QStringList{QStringLiteral("level1_extra.bsl:3: level_start # once more"),
                                 QStringLiteral("level1_main.bsl:6: level_start"),
                                 QStringLiteral("level1_start.bsl:2: func void level_start(void)")}));
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("ReferenceSummary"))->text(),
              QStringLiteral("'level_start': 3 uses in 3 scripts."));

    // An entry of a script that is not open opens it at the place.
    window->list()->setCurrentIndex(places->index(0, 0));
    window->list()->setFocus();
    input::Key(window->list(), Qt::Key_Return);
    ASSERT_NE(Tab("level1_extra.bsl"), nullptr);
    EXPECT_EQ(Current(), Tab("level1_extra.bsl"));
    EXPECT_EQ(Selected(), "level_start");
    EXPECT_FALSE(Current()->isModified());
}

// --- Renaming ------------------------------------------------------------------------------------

TEST_F(LevelWindow, RenameChangesEveryScriptOpenOrNotAsOneUndoStepEachAndRefusesWhatWouldNotWork)
{
    ScriptTab* mainTab = Open("level1_main.bsl");
    Open("level1_start.bsl");
    Tabs().setCurrent(mainTab);
    CaretAt("\tlevel_start\n", 2);
    const std::string mainBefore = main.editorText();
    const std::string startBefore = TextOf("level1_start.bsl");

    // Each refusal names its reason, and nothing changes.
    for (const char* refused : {"9lives", "sleep", "ai2_spawn", "level_started", "LEVEL STARTS"}) {
        SCOPED_TRACE(refused);
        desktop.messageBoxes.clear();
        desktop.textAnswers = {QString::fromLatin1(refused)};
        Ask(Qt::Key_F2, Qt::NoModifier, 2);
        ASSERT_EQ(desktop.messageBoxes.size(), 1u);
        EXPECT_EQ(desktop.messageBoxes[0].icon, DesktopServices::Icon::Warning);
        if (std::string_view(refused) == "level_started") {
            EXPECT_NE(desktop.messageBoxes[0].text.find("level1_start.bsl, line 8"), std::string::npos)
                << desktop.messageBoxes[0].text;
        }
        EXPECT_EQ(main.editorText(), mainBefore);
        EXPECT_EQ(TextOf("level1_start.bsl"), startBefore);
        EXPECT_EQ(Tab("level1_extra.bsl"), nullptr);
    }
    ASSERT_FALSE(desktop.textPrompts.empty());
    EXPECT_EQ(desktop.textPrompts.back().label, QStringLiteral("New name for the function 'level_start':"));
    EXPECT_EQ(desktop.textPrompts.back().text, QStringLiteral("level_start"));

    desktop.messageBoxes.clear();
    desktop.textAnswers = {QStringLiteral("room_start")};
    Ask(Qt::Key_F2, Qt::NoModifier, 2);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(Current(), mainTab);
    EXPECT_NE(main.editorText().find("\troom_start\r\n"), std::string::npos);
    EXPECT_NE(main.editorText().find("dmsg \"level_start\""), std::string::npos);
    EXPECT_NE(main.editorText().find("# main runs level_start"), std::string::npos);
    EXPECT_NE(TextOf("level1_start.bsl").find("func void room_start(void)"), std::string::npos);
    EXPECT_NE(TextOf("level1_start.bsl").find("\tlevel_started\r\n"), std::string::npos);
    EXPECT_NE(TextOf("level1_start.bsl").find("door_unlock level_start"), std::string::npos);
    EXPECT_EQ(TextOf("level1_extra.bsl"), crlf("func void extra(void)\n{\n\troom_start # once more\n}\n"));
    for (const char* name : {"level1_main.bsl", "level1_start.bsl", "level1_extra.bsl"}) {
        EXPECT_TRUE(Tab(name)->isModified()) << name;
        // On disk until saved.
        EXPECT_EQ(readFileBytes(PathOf(name)).toStdString(),
                  crlf(std::string_view(name) == "level1_main.bsl" ? kLevelMain
                       : std::string_view(name) == "level1_start.bsl" ? kLevelStart
                                                                        : kExtra));
    }
    Tab("level1_start.bsl")->editor()->undo();
    EXPECT_EQ(TextOf("level1_start.bsl"), startBefore);
}

// A name to change in the part of a long line the editor holds aside is refused whole.
TEST_F(LevelWindow, RenameRefusesAPlaceInTheRestOfALongLine)
{
    Write("level1_extra.bsl", "func void extra(void)\n{\n\tdmsg \"" + std::string(kLineReach, 'x') + "\"; level_start\n}\n");
    Open("level1_main.bsl");
    CaretAt("\tlevel_start\n", 2);
    desktop.textAnswers = {QStringLiteral("room_start")};
    Ask(Qt::Key_F2, Qt::NoModifier, 2);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_NE(desktop.messageBoxes[0].text.find("too long to show whole"), std::string::npos) << desktop.messageBoxes[0].text;
    EXPECT_EQ(main.editorText(), crlf(kLevelMain));
    EXPECT_FALSE(Current()->isModified());
}

// --- Finding in the level ------------------------------------------------------------------------

TEST_F(LevelWindow, FindInTheLevelListsEveryScriptsMatchesAndReplacesAsOneStepEach)
{
    Open("level1_main.bsl");
    ASSERT_TRUE(Activate(main.window));
    PressKey(main.window, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    LevelFindDialog* dialog = main.window.levelCommands()->findDialog();
    ASSERT_TRUE(dialog->isVisible());
    dialog->findChild<QLineEdit*>(QStringLiteral("LevelFindText"))->setText(QStringLiteral("DOOR"));
    auto* notice = dialog->findChild<QLabel*>(QStringLiteral("LevelNotice"));
    const auto press = [&](const char* button) {
        WaitForAnswers([&] { dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click(); });
    };

    press("LevelFindAll");
    // In longer words too: guard_door twice, door_lock, door twice, door_unlock.
    EXPECT_EQ(notice->text(), QStringLiteral("6 matches in 2 scripts."));
    dialog->findChild<QCheckBox*>(QStringLiteral("LevelWholeWord"))->setChecked(true);
    press("LevelFindAll");
    EXPECT_EQ(notice->text(), QStringLiteral("2 matches in 1 script."));
    dialog->findChild<QCheckBox*>(QStringLiteral("LevelMatchCase"))->setChecked(true);
    press("LevelFindAll");
    EXPECT_EQ(notice->text(), QStringLiteral("\"DOOR\" was not found in the level."));

    dialog->findChild<QCheckBox*>(QStringLiteral("LevelMatchCase"))->setChecked(false);
    dialog->findChild<QLineEdit*>(QStringLiteral("LevelReplaceText"))->setText(QStringLiteral("gate"));
    press("LevelReplaceAll");
    EXPECT_EQ(notice->text(), QStringLiteral("Replaced 2 occurrences in 1 script."));
    ASSERT_NE(Tab("level1_start.bsl"), nullptr);
    EXPECT_NE(TextOf("level1_start.bsl").find("guard_door(int gate)"), std::string::npos);
    EXPECT_NE(TextOf("level1_start.bsl").find("var int level_start = gate;"), std::string::npos);
    EXPECT_TRUE(Tab("level1_start.bsl")->isModified());
    EXPECT_FALSE(Tab("level1_main.bsl")->isModified());
    Tab("level1_start.bsl")->editor()->undo();
    EXPECT_EQ(TextOf("level1_start.bsl"), crlf(kLevelStart));
}

// --- Problems across the level -------------------------------------------------------------------

TEST_F(LevelWindow, ProblemsListEveryScriptsFindingsTheCurrentOnesFirstAndLeadToTheirPlaces)
{
    Write("level1_extra.bsl", "func void extra(void)\n{\n\tlevel_strat\n}\n");
    Open("level1_main.bsl");
    CaretAt("\tlevel_start\n", 1);
    TypeKeys(main.window, QStringLiteral("x"));
    main.window.showProblems();
    auto* list = main.control<QListWidget>("ProblemList");
    const auto entries = [&] {
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts.append(list->item(row)->text());
        return texts;
    };
    ASSERT_TRUE(WaitFor([&] { return list->count() == 2; }, kWithinMs)) << entries().join('\n').toStdString();
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("level1_main.bsl: Line 6: warning: 'xlevel_start' is not defined here"),
                                      QStringLiteral("level1_extra.bsl: Line 3: warning: 'level_strat' is not defined here")}));
    EXPECT_EQ(main.control<QLabel>("ProblemSummary")->text(), QStringLiteral("2 problems."));

    // Fixed in the editor, its entry goes as the check comes round.
    PressKey(main.window, Qt::Key_Backspace);
    ASSERT_TRUE(WaitFor([&] { return list->count() == 1; }, kWithinMs));
    list->setCurrentRow(0);
    list->setFocus();
    input::Key(list, Qt::Key_Return);
    ASSERT_EQ(Current(), Tab("level1_extra.bsl"));
    EXPECT_EQ(Caret(), long(main.editorText().find("level_strat")));
}

// --- The level panel ------------------------------------------------------------------------------

TEST_F(LevelWindow, ThePanelListsTheScriptsAndWhatTheyDeclareAndFollowsTheDisk)
{
    Open("level1_main.bsl");
    LevelPanel* panel = main.window.levelPanel();
    ASSERT_TRUE(panel->isVisible());
    LevelOutline* outline = panel->outline();
    const auto rows = [&](const QModelIndex& parent) {
        QStringList texts;
        for (int row = 0; row < outline->rowCount(parent); ++row)
            texts.append(outline->index(row, 0, parent).data().toString());
        return texts;
    };
    ASSERT_TRUE(WaitFor([&] { return outline->rowCount() == 3; }, kWithinMs));
    EXPECT_EQ(rows({}), (QStringList{QStringLiteral("level1_extra.bsl"), QStringLiteral("level1_main.bsl"),
                                      QStringLiteral("level1_start.bsl")}));
    const QModelIndex start = outline->index(2, 0);
    EXPECT_EQ(rows(start), (QStringList{QStringLiteral("func level_start(void)"), QStringLiteral("func level_started(void)"),
                                         QStringLiteral("func guard_door(int door)")}));
    EXPECT_EQ(rows(outline->index(1, 0)), (QStringList{QStringLiteral("var int alarm"), QStringLiteral("func main(void)")}));

    // Activating a function opens its script at its func line.
    panel->view()->setCurrentIndex(outline->index(2, 0, start));
    panel->view()->setFocus();
    input::Key(panel->view(), Qt::Key_Return);
    ASSERT_EQ(Current(), Tab("level1_start.bsl"));
    EXPECT_EQ(main.editorText().substr(std::size_t(Caret()), 21), "func void guard_door(");

    // A script written by another program shows up.
    Write("level1_more.bsl", "func void more(void)\n{\n}\n");
    EXPECT_TRUE(WaitFor([&] { return outline->rowCount() == 4; }, kWithinMs));

    // Ctrl+Shift+E takes the keyboard to the panel, and from there hides it; the state stays.
    ASSERT_TRUE(Activate(main.window));
    main.editor()->setFocus();
    PressKey(main.window, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(panel->view()->hasFocus());
    PressKey(main.window, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(Settings().levelPanelShown());
}

// --- The session ----------------------------------------------------------------------------------

TEST_F(LevelWindow, TheNextStartReopensTheScriptsWithTheirCaretsAndDropsAGoneOneWithOneMessage)
{
    Open("level1_main.bsl");
    CaretAt("ai2_spawn", 4);
    const long mainCaret = Caret();
    Open("level1_extra.bsl");
    Open("level1_start.bsl");
    CaretAt("door_lock", 2);
    const long startCaret = Caret();
    Tabs().setCurrent(Tab("level1_main.bsl"));
    ASSERT_TRUE(main.window.close());
    ASSERT_TRUE(QFile::remove(PathOf("level1_extra.bsl")));

    MainWindow next;
    next.show();
    next.restoreSession();
    ASSERT_EQ(next.tabs()->tabs().size(), 2u);
    EXPECT_EQ(next.scriptPath(), PathOf("level1_main.bsl"));
    EXPECT_EQ(next.editor()->SendScintilla(ScriptEditor::SCI_GETCURRENTPOS), mainCaret);
    ScriptTab* start = next.tabs()->find(PathOf("level1_start.bsl"));
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->editor()->SendScintilla(ScriptEditor::SCI_GETCURRENTPOS), startCaret);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_NE(desktop.messageBoxes[0].text.find("level1_extra.bsl"), std::string::npos);

    // Damaged session settings open nothing and ask nothing.
    QSettings stored(QSettings::NativeFormat, QSettings::UserScope, "quarn-xp", "quarn-xp");
    stored.setValue("session/count", "lots");
    stored.setValue("session/current", 77);
    MainWindow damaged;
    damaged.restoreSession();
    EXPECT_EQ(damaged.tabs()->tabs().size(), 1u);
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
}

} // namespace
