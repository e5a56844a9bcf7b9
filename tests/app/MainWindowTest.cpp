#include "app/Resource.h"
#include "platform/DropDownList.h"
#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"
#include "support/ScriptToolDlgTestAccess.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Access = ScriptToolDlgTestAccess;

// The widget a mouse event over the editor lands on.
QWidget* EditorSurface(QWidget* editor)
{
    auto* area = qobject_cast<QAbstractScrollArea*>(editor);
    return area ? area->viewport() : editor;
}

struct MenuSeen {
    bool opened = false;
    QPoint position;
    std::vector<QString> entries;  // a separator is an empty entry
};

// Once the context menu is open, notes what it shows and chooses `entry`, or closes it when
// `entry` is empty.
void WhenMenuOpens(MenuSeen& seen, const QString& entry)
{
    QTimer::singleShot(0, [&seen, entry] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        seen.opened = true;
        seen.position = menu->pos();
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            seen.entries.push_back(action->isSeparator() ? QString() : action->text());
            if (!entry.isEmpty() && action->text() == entry)
                chosen = action;
        }
        if (!chosen) {
            menu->close();
            return;
        }
        menu->setActiveAction(chosen);
        input::Key(menu, Qt::Key_Return);
    });
}

class MainWindow : public ::testing::Test {
protected:
    MainWindow() { QGuiApplication::clipboard()->clear(); }

    CRichEdiT& Editor() { return Access::Editor(main.dlg); }

    void SetEditorText(const std::string& text, long selStart, long selEnd)
    {
        Editor().SetWindowText(text);
        Editor().SetSel(selStart, selEnd);
    }

    std::string EditorText() const { return main.dlg.GetDlgItemText(IDC_SCRIPT_EDIT); }

    CHARRANGE EditorSelection()
    {
        CHARRANGE range;
        Editor().GetSel(range);
        return range;
    }

    // A right-click over `target`, with the menu handled as WhenMenuOpens says; then the chosen
    // command runs.
    MenuSeen RightClickAndChoose(QWidget* target, QPoint local, const QString& entry)
    {
        MenuSeen seen;
        WhenMenuOpens(seen, entry);
        input::RightClick(target, local);
        QApplication::processEvents();
        return seen;
    }

    FakeDesktopServices desktop;
    MainWindowUnderTest main;
};

TEST_F(MainWindow, StartsWithTheFocusInTheEditor)
{
    QWidget* focus = main.window()->focusWidget();
    QWidget* editor = main.control(IDC_SCRIPT_EDIT);
    EXPECT_TRUE(focus == editor || editor->isAncestorOf(focus));
}

TEST_F(MainWindow, StartsWithTheCommandBuilderAtRest)
{
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_CATEGORY_COMBO), "Select a Command Type");
    EXPECT_EQ(Access::Category(main.dlg).GetCount(), 11);
    EXPECT_EQ(Access::Command(main.dlg).GetCount(), 0);
    EXPECT_EQ(Access::Param1(main.dlg).GetCount(), 0);
    EXPECT_EQ(Access::Param2(main.dlg).GetCount(), 0);
    EXPECT_EQ(Access::Param3(main.dlg).GetCount(), 0);
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_CUSTOM_EDIT), std::string(50, '='));
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_HINT_EDIT),
              "-> 'CTRL+ENTER' = NEW LINE.\r\n\r\n-> 'CTRL+TAB'     = TAB.\r\n\r\n-> EDITING KEY ARE ENABLED.");
}

TEST_F(MainWindow, StartsWithSingleBlankCreditsAndABlankClock)
{
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_CREDITS), "Programmed by Ravok - Ideas by PLXN");
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_CLOCK), "");
    EXPECT_EQ(EditorText(), "");
}

TEST_F(MainWindow, StartsWithItsMembersSet)
{
    EXPECT_EQ(Access::LastFolder(main.dlg), QDir::homePath().toStdString() + "/");
    EXPECT_EQ(Access::UseDefaultLayout(main.dlg), 1);
    EXPECT_EQ(Access::StopCount(main.dlg), 1);
    EXPECT_EQ(Editor().GetSafeHwnd(), main.control(IDC_SCRIPT_EDIT));
    EXPECT_EQ(Access::Custom(main.dlg).GetSafeHwnd(), main.control(IDC_CUSTOM_EDIT));
    EXPECT_EQ(Access::Category(main.dlg).GetSafeHwnd(), main.control(IDC_CATEGORY_COMBO));
    EXPECT_EQ(Access::Command(main.dlg).GetSafeHwnd(), main.control(IDC_COMMAND_COMBO));
    EXPECT_EQ(Access::Param3(main.dlg).GetSafeHwnd(), main.control(IDC_PARAM3_COMBO));
    ASSERT_FALSE(Access::Icon(main.dlg).isNull());
    EXPECT_FALSE(Access::Icon(main.dlg).pixmap(16).isNull());
    EXPECT_FALSE(Access::Icon(main.dlg).pixmap(48).isNull());
    EXPECT_FALSE(main.window()->windowIcon().isNull());
}

TEST_F(MainWindow, RoutesItsEventsInTheOrderOfItsTable)
{
    struct Route {
        DialogEvent event;
        int id;
    };
    const std::vector<Route> expected = {
        {DialogEvent::SysCommand, 0},
        {DialogEvent::Clicked, IDC_OPEN_LABEL},
        {DialogEvent::Clicked, IDC_SAVE_LABEL},
        {DialogEvent::Timer, 0},
        {DialogEvent::SelChange, IDC_CATEGORY_COMBO},
        {DialogEvent::SelChange, IDC_COMMAND_COMBO},
        {DialogEvent::Clicked, IDC_ADD_STATEMENT},
        {DialogEvent::Command, ID_EDIT_COPY_CMD},
        {DialogEvent::Command, ID_EDIT_CUT_CMD},
        {DialogEvent::Command, ID_EDIT_PASTE_CMD},
        {DialogEvent::Command, ID_EDIT_DELETE_CMD},
        {DialogEvent::Clicked, IDC_LINK_CHARS},
        {DialogEvent::Clicked, IDC_LINK_SHOTS},
        {DialogEvent::Clicked, IDC_LINK_CENTRAL},
    };
    const MessageMap& map = Access::GetMessageMap(main.dlg);
    ASSERT_EQ(map.size(), expected.size());
    for (std::size_t i = 0; i < map.size(); ++i) {
        EXPECT_EQ(map[i].event, expected[i].event) << "entry " << i;
        EXPECT_EQ(map[i].id, expected[i].id) << "entry " << i;
    }
}

struct ClockCase {
    QTime time;
    std::string shown;
};

void PrintTo(const ClockCase& clockCase, std::ostream* out)
{
    *out << clockCase.shown;
}

class MainWindowClock : public MainWindow, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(MainWindowClock, ShowsTheLocalTimeOnTwentyFourHoursWithLeadingZeros)
{
    desktop.now = QDateTime(QDate(2024, 3, 9), GetParam().time);
    Access::OnTimer(main.dlg, IDT_CLOCK);
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_CLOCK), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Times, MainWindowClock,
                         ::testing::Values(ClockCase{QTime(0, 0, 7), "00:00:07"}, ClockCase{QTime(9, 5, 3), "09:05:03"},
                                           ClockCase{QTime(13, 0, 0), "13:00:00"},
                                           ClockCase{QTime(23, 59, 59), "23:59:59"}),
                         [](const ::testing::TestParamInfo<ClockCase>& info) {
                             std::string name = "At" + info.param.shown;
                             std::erase(name, ':');
                             return name;
                         });

TEST_F(MainWindow, ClockIsBlankForATimeThatCannotBeRead)
{
    Access::OnTimer(main.dlg, IDT_CLOCK);
    ASSERT_FALSE(main.dlg.GetDlgItemText(IDC_CLOCK).empty());
    desktop.now = QDateTime();
    Access::OnTimer(main.dlg, IDT_CLOCK);
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_CLOCK), "");
}

TEST_F(MainWindow, ClockIgnoresOtherTimers)
{
    Access::OnTimer(main.dlg, IDT_CLOCK + 1);
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_CLOCK), "");
}

TEST_F(MainWindow, EscapeDoesNothingAnywhere)
{
    SetEditorText("func main", 0, 4);
    for (int id : {IDC_SCRIPT_EDIT, IDC_CUSTOM_EDIT, IDC_CATEGORY_COMBO, IDC_HINT_EDIT, IDC_LINK_CHARS,
                   IDC_COMMAND_COMBO}) {
        input::Key(main.control(id), Qt::Key_Escape);
        EXPECT_TRUE(main.window()->isVisible()) << id;
    }
    EXPECT_EQ(EditorText(), "func main");
    EXPECT_TRUE(desktop.openedUrls.empty());
}

TEST_F(MainWindow, EscapeLeavesAnOpenListOpen)
{
    auto* list = main.control<DropDownList>(IDC_CATEGORY_COMBO);
    list->showPopup();
    ASSERT_TRUE(list->view()->isVisible());

    input::Key(list->view(), Qt::Key_Escape);

    EXPECT_TRUE(list->view()->isVisible());
    EXPECT_EQ(main.dlg.GetDlgItemText(IDC_CATEGORY_COMBO), "Select a Command Type");
    list->hidePopup();
    EXPECT_TRUE(main.window()->isVisible());
}

// Enter outside the editor would end the program and lose the script; it does nothing.
TEST_F(MainWindow, EnterOutsideTheEditorDoesNotEndTheProgram)
{
    SetEditorText("sleep 10", 0, 0);
    for (int id : {IDC_CATEGORY_COMBO, IDC_COMMAND_COMBO, IDC_PARAM1_COMBO, IDC_CUSTOM_EDIT, IDC_HINT_EDIT}) {
        input::Key(main.control(id), Qt::Key_Return);
        input::Key(main.control(id), Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_TRUE(main.window()->isVisible()) << id;
    }
    EXPECT_EQ(EditorText(), "sleep 10");
    EXPECT_TRUE(desktop.openedUrls.empty());
}

TEST_F(MainWindow, EnterOnAFocusedLinkButtonClicksIt)
{
    input::Key(main.control(IDC_LINK_SHOTS), Qt::Key_Return);
    EXPECT_EQ(desktop.openedUrls, std::vector<QString>{QStringLiteral("https://vesk.example.org/shots")});
}

TEST(MainWindowRun, EndsOnTheCloseBox)
{
    FakeDesktopServices desktop;
    CScriptToolDlg dlg;
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(MainWindow, LinkButtonsOpenTheirPages)
{
    for (int id : {IDC_LINK_CHARS, IDC_LINK_SHOTS, IDC_LINK_CENTRAL})
        main.control<QPushButton>(id)->click();
    EXPECT_EQ(desktop.openedUrls,
              (std::vector<QString>{QStringLiteral("https://vesk.example.org/chars"),
                                    QStringLiteral("https://vesk.example.org/shots"),
                                    QStringLiteral("https://vesk.example.org/central")}));
}

TEST_F(MainWindow, ALinkThatCannotOpenChangesNothing)
{
    desktop.openUrlSucceeds = false;
    main.control<QPushButton>(IDC_LINK_CENTRAL)->click();
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_TRUE(main.window()->isVisible());
}

TEST_F(MainWindow, RightClickOverAListOpensTheMenuAndCopyTakesTheEditorsSelection)
{
    SetEditorText("chr_teleport bob", 0, 12);
    auto* list = main.control<DropDownList>(IDC_CATEGORY_COMBO);

    const MenuSeen seen = RightClickAndChoose(list, {5, 5}, QStringLiteral("Copy"));

    ASSERT_TRUE(seen.opened);
    EXPECT_FALSE(list->view()->isVisible());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("chr_teleport"));
    EXPECT_EQ(EditorText(), "chr_teleport bob");
}

TEST_F(MainWindow, ContextMenuHoldsTheEditingEntriesThenTheAboutEntry)
{
    const MenuSeen seen = RightClickAndChoose(main.control(IDC_ADD_STATEMENT), {4, 4}, QString());
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.entries, (std::vector<QString>{QStringLiteral("Copy"), QStringLiteral("Cut"),
                                                  QStringLiteral("Paste"), QStringLiteral("Delete"), QString(),
                                                  QStringLiteral("&About QUARN...")}));
}

TEST_F(MainWindow, RightClickInTheEditorOpensTheMenuAtTheMouseAndKeepsCaretAndSelection)
{
    SetEditorText("func main\r\n{\r\n\tsleep 10\r\n}\r\n", 2, 7);
    QWidget* surface = EditorSurface(main.control(IDC_SCRIPT_EDIT));
    const QPoint local(40, 60);

    const MenuSeen seen = RightClickAndChoose(surface, local, QString());

    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.position, surface->mapToGlobal(local));
    const CHARRANGE selection = EditorSelection();
    EXPECT_EQ(selection.cpMin, 2);
    EXPECT_EQ(selection.cpMax, 7);
}

TEST_F(MainWindow, ContextMenuEntriesActOnTheEditor)
{
    SetEditorText("door_open 12", 0, 9);
    RightClickAndChoose(main.control(IDC_CUSTOM_EDIT), {3, 3}, QStringLiteral("Cut"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("door_open"));
    EXPECT_EQ(EditorText(), " 12");

    Editor().SetSel(3, 3);
    RightClickAndChoose(main.control(IDC_PARAM2_COMBO), {3, 3}, QStringLiteral("Paste"));
    EXPECT_EQ(EditorText(), " 12door_open");

    Editor().SetSel(0, 3);
    RightClickAndChoose(main.control(IDC_HINT_EDIT), {3, 3}, QStringLiteral("Delete"));
    EXPECT_EQ(EditorText(), "door_open");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("door_open"));
}

TEST_F(MainWindow, DeleteWithoutSelectionAndPasteWithAnEmptyClipboardChangeNothing)
{
    SetEditorText("win", 1, 1);
    RightClickAndChoose(main.control(IDC_CLOCK), {2, 2}, QStringLiteral("Delete"));
    RightClickAndChoose(main.control(IDC_CREDITS), {2, 2}, QStringLiteral("Paste"));
    EXPECT_EQ(EditorText(), "win");
}

TEST_F(MainWindow, AboutEntryShowsTheAboutBoxAndReturnsUnchanged)
{
    SetEditorText("lose", 1, 3);
    QString caption;
    QString buttonText;
    int labels = 0;
    bool closed = false;

    MenuSeen seen;
    WhenMenuOpens(seen, QStringLiteral("&About QUARN..."));
    input::RightClick(main.control(IDC_LINK_CHARS), {3, 3});
    QTimer::singleShot(0, [&] {
        QWidget* about = QApplication::activeModalWidget();
        if (!about || about == main.window())
            return;
        caption = about->windowTitle();
        auto* button = about->findChild<QPushButton*>();
        buttonText = button ? button->text() : QString();
        labels = int(about->findChildren<QLabel*>().size());
        if (button)
            button->click();
        closed = !about->isVisible();
    });
    QApplication::processEvents();

    EXPECT_EQ(caption, QStringLiteral("About QUARN-XP"));
    EXPECT_EQ(buttonText, QStringLiteral("Zod Viz"));
    EXPECT_EQ(labels, 2);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(main.window()->isVisible());
    EXPECT_EQ(EditorText(), "lose");
}

TEST_F(MainWindow, EscapeClosesTheAboutBox)
{
    bool closed = false;
    QTimer::singleShot(0, [&] {
        QWidget* about = QApplication::activeModalWidget();
        if (!about || about == main.window())
            return;
        input::Key(about->findChild<QPushButton*>(), Qt::Key_Escape);
        closed = !about->isVisible();
    });
    Access::OnSysCommand(main.dlg, IDM_ABOUTBOX);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(main.window()->isVisible());
}

} // namespace
