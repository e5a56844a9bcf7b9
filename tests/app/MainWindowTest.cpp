#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"
#include "support/MainWindowHarness.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

const QString kAboutEntry = QStringLiteral("&About QUARN...");

// The widget a mouse event over `control` lands on.
QWidget* Surface(QWidget* control)
{
    auto* area = qobject_cast<QAbstractScrollArea*>(control);
    return area ? area->viewport() : control;
}

// The pop-up menu on show, if any.
QMenu* OpenMenu()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* menu = qobject_cast<QMenu*>(widget); menu && menu->isVisible())
            return menu;
    return nullptr;
}

struct MenuSeen {
    bool opened = false;
    QRect geometry;
    QRect screen;  // the part of the screen a menu may cover
    std::vector<QString> entries;  // a separator is an empty entry
};

// The menu opens with its corner at the mouse, unless that would take it off the screen.
void ExpectAtTheMouse(const MenuSeen& seen, QPoint mouse)
{
    const QPoint corner(std::min(mouse.x(), seen.screen.right() + 1 - seen.geometry.width()),
                        std::min(mouse.y(), seen.screen.bottom() + 1 - seen.geometry.height()));
    EXPECT_EQ(seen.geometry.topLeft(), corner) << "mouse at " << mouse.x() << ", " << mouse.y();
}

// Runs `check` once the About box is up, whatever runs it modally.
void WhenAboutBoxOpens(std::function<void(QWidget*)> check)
{
    QTimer::singleShot(0, [check = std::move(check)] {
        if (QWidget* about = QApplication::activeModalWidget())
            check(about);
    });
}

class TheMainWindow : public ::testing::Test {
protected:
    TheMainWindow() { QGuiApplication::clipboard()->clear(); }

    // A right click over `control`, then `entry` chosen from the menu it opens, or the menu
    // closed when `entry` is empty.
    MenuSeen RightClickAndChoose(QWidget* control, QPoint local, const QString& entry)
    {
        QWidget* surface = Surface(control);
        input::RightClick(surface, local);
        MenuSeen seen;
        QMenu* menu = OpenMenu();
        if (!menu)
            return seen;
        seen.opened = true;
        seen.geometry = menu->geometry();
        seen.screen = menu->screen()->availableGeometry();
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            seen.entries.push_back(action->isSeparator() ? QString() : action->text());
            if (!entry.isEmpty() && action->text() == entry)
                chosen = action;
        }
        if (!chosen) {
            menu->close();
        } else {
            menu->setActiveAction(chosen);
            input::Key(menu, Qt::Key_Return);
        }
        EXPECT_FALSE(menu->isVisible());
        return seen;
    }

    QString ClockText() const { return main.control<QLabel>("IDC_CLOCK")->text(); }

    // What the clock's timer does each second, without waiting the second.
    void Tick()
    {
        auto* timer = main.window.findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_NE(timer, nullptr);
        ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
    }

    FakeDesktopServices desktop;
    MainWindowUnderTest main;
};

TEST_F(TheMainWindow, StartsWithTheFocusInTheEditor)
{
    EXPECT_EQ(main.window.focusWidget(), main.editor());
}

TEST_F(TheMainWindow, StartsWithTheCommandBuilderAtRest)
{
    auto* categories = main.control<QComboBox>("IDC_CATEGORY_COMBO");
    EXPECT_EQ(categories->currentText(), QStringLiteral("Select a Command Type"));
    EXPECT_EQ(categories->count(), 11);
    for (const char* name : {"IDC_COMMAND_COMBO", "IDC_PARAM1_COMBO", "IDC_PARAM2_COMBO", "IDC_PARAM3_COMBO"})
        EXPECT_EQ(main.control<QComboBox>(name)->count(), 0) << name;
    EXPECT_EQ(main.control<QLineEdit>("IDC_CUSTOM_EDIT")->text(), QString(50, u'='));
    EXPECT_EQ(main.control<QPlainTextEdit>("IDC_HINT_EDIT")->toPlainText(),
              QStringLiteral("-> 'CTRL+ENTER' = NEW LINE.\n\n-> 'CTRL+TAB'     = TAB.\n\n-> EDITING KEY ARE ENABLED."));
}

TEST_F(TheMainWindow, StartsWithSingleBlankCreditsAndABlankClock)
{
    EXPECT_EQ(main.control<QLabel>("IDC_CREDITS")->text(), QStringLiteral("Programmed by Ravok - Ideas by PLXN"));
    EXPECT_EQ(ClockText(), QString());
    EXPECT_EQ(main.editorText(), "");
    EXPECT_FALSE(main.editor()->isModified());
}

TEST_F(TheMainWindow, ClockTicksEverySecond)
{
    auto* timer = main.window.findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);

    QEventLoop loop;
    QObject::connect(timer, &QTimer::timeout, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer::singleShot(1500, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(ClockText(), QStringLiteral("00:00:07"));
}

struct ClockCase {
    QTime time;
    std::string shown;
};

void PrintTo(const ClockCase& clockCase, std::ostream* out)
{
    *out << clockCase.shown;
}

class MainWindowClock : public TheMainWindow, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(MainWindowClock, ShowsTheLocalTimeOnTwentyFourHoursWithLeadingZeros)
{
    desktop.now = QDateTime(QDate(2024, 3, 9), GetParam().time);
    Tick();
    EXPECT_EQ(ClockText().toStdString(), GetParam().shown);
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

TEST_F(TheMainWindow, ClockIsBlankForATimeThatCannotBeRead)
{
    Tick();
    ASSERT_FALSE(ClockText().isEmpty());
    desktop.now = QDateTime();
    Tick();
    EXPECT_EQ(ClockText(), QString());
}

TEST_F(TheMainWindow, EscapeDoesNothingAnywhere)
{
    main.setEditorText("func main", 0, 4);
    for (const char* name : {"IDC_SCRIPT_EDIT", "IDC_CUSTOM_EDIT", "IDC_CATEGORY_COMBO", "IDC_HINT_EDIT",
                             "IDC_LINK_CHARS", "IDC_ADD_STATEMENT", "IDC_COMMAND_COMBO"}) {
        main.control(name)->setFocus();
        input::Key(main.control(name), Qt::Key_Escape);
        EXPECT_TRUE(main.window.isVisible()) << name;
    }
    EXPECT_EQ(main.editorText(), "func main");
    EXPECT_EQ(main.control<QLineEdit>("IDC_CUSTOM_EDIT")->text(), QString(50, u'='));
    EXPECT_TRUE(desktop.openedUrls.empty());
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(TheMainWindow, EscapeLeavesAnOpenListOpen)
{
    auto* list = main.control<QComboBox>("IDC_CATEGORY_COMBO");
    list->showPopup();
    ASSERT_TRUE(list->view()->isVisible());

    input::Key(list->view(), Qt::Key_Escape);

    EXPECT_TRUE(list->view()->isVisible());
    EXPECT_EQ(list->currentText(), QStringLiteral("Select a Command Type"));
    list->hidePopup();
    EXPECT_TRUE(main.window.isVisible());
}

// Enter outside the editor must not end the program and lose the script.
TEST_F(TheMainWindow, EnterOutsideTheEditorDoesNotCloseTheWindow)
{
    main.setEditorText("sleep 10", 0, 0);
    for (const char* name :
         {"IDC_CATEGORY_COMBO", "IDC_COMMAND_COMBO", "IDC_PARAM1_COMBO", "IDC_CUSTOM_EDIT", "IDC_HINT_EDIT"}) {
        main.control(name)->setFocus();
        input::Key(main.control(name), Qt::Key_Return);
        input::Key(main.control(name), Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_TRUE(main.window.isVisible()) << name;
    }
    EXPECT_EQ(main.editorText(), "sleep 10");
    EXPECT_TRUE(desktop.openedUrls.empty());
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(TheMainWindow, EnterOnAFocusedLinkButtonClicksIt)
{
    main.control("IDC_LINK_SHOTS")->setFocus();
    input::Key(main.control("IDC_LINK_SHOTS"), Qt::Key_Return);
    EXPECT_EQ(desktop.openedUrls, std::vector<QString>{QStringLiteral("https://vesk.example.org/shots")});
    input::Key(main.control("IDC_LINK_CENTRAL"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(desktop.openedUrls.size(), 2u);
}

TEST_F(TheMainWindow, ClosesOnClose)
{
    EXPECT_TRUE(main.window.close());
    EXPECT_FALSE(main.window.isVisible());
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(TheMainWindow, LinkButtonsOpenTheirPages)
{
    for (const char* name : {"IDC_LINK_CHARS", "IDC_LINK_SHOTS", "IDC_LINK_CENTRAL"})
        input::LeftClick(main.control(name), {5, 5});
    EXPECT_EQ(desktop.openedUrls,
              (std::vector<QString>{QStringLiteral("https://vesk.example.org/chars"),
                                    QStringLiteral("https://vesk.example.org/shots"),
                                    QStringLiteral("https://vesk.example.org/central")}));
}

TEST_F(TheMainWindow, ALinkThatCannotOpenChangesNothing)
{
    desktop.openUrlSucceeds = false;
    main.control<QPushButton>("IDC_LINK_CENTRAL")->click();
    EXPECT_EQ(desktop.openedUrls.size(), 1u);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_TRUE(main.window.isVisible());
}

TEST_F(TheMainWindow, RightClickOverAListOpensTheMenuAndCopyTakesTheEditorsSelection)
{
    main.setEditorText("chr_teleport bob", 0, 12);
    auto* list = main.control<QComboBox>("IDC_CATEGORY_COMBO");

    const MenuSeen seen = RightClickAndChoose(list, {5, 5}, QStringLiteral("Copy"));

    ASSERT_TRUE(seen.opened);
    EXPECT_FALSE(list->view()->isVisible());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("chr_teleport"));
    EXPECT_EQ(main.editorText(), "chr_teleport bob");
}

TEST_F(TheMainWindow, EveryControlOpensTheMenuAtTheMouse)
{
    for (const char* name :
         {"IDC_CREDITS", "IDC_OPEN_LABEL", "IDC_SAVE_LABEL", "IDC_SCRIPT_EDIT", "IDC_LINK_CHARS", "IDC_LINK_SHOTS",
          "IDC_LINK_CENTRAL", "IDC_CUSTOM_EDIT", "IDC_CATEGORY_COMBO", "IDC_PARAM1_COMBO", "IDC_PARAM2_COMBO",
          "IDC_PARAM3_COMBO", "IDC_HINT_EDIT", "IDC_ADD_STATEMENT", "IDC_CLOCK", "IDC_STATIC", "IDC_COMMAND_COMBO"}) {
        SCOPED_TRACE(name);
        QWidget* surface = Surface(main.control(name));
        const QPoint local(3, 3);
        const MenuSeen seen = RightClickAndChoose(surface, local, QString());
        ASSERT_TRUE(seen.opened);
        ExpectAtTheMouse(seen, surface->mapToGlobal(local));
    }
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(TheMainWindow, MenuHoldsTheEditingEntriesThenTheLevelsThenTheRecentScriptsThenTheAboutEntry)
{
    const MenuSeen seen = RightClickAndChoose(main.control("IDC_ADD_STATEMENT"), {4, 4}, QString());
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.entries, (std::vector<QString>{QStringLiteral("Copy"), QStringLiteral("Cut"),
                                                  QStringLiteral("Paste"), QStringLiteral("Delete"), QString(),
                                                  QStringLiteral("Read into builder\tF4"), QString(),
                                                  QStringLiteral("Go to definition\tF12"),
                                                  QStringLiteral("Find references\tShift+F12"),
                                                  QStringLiteral("Rename\tF2"),
                                                  QStringLiteral("Find in level\tCtrl+Shift+F"),
                                                  QStringLiteral("Level panel\tCtrl+Shift+E"), QString(),
                                                  QStringLiteral("Recent scripts"), QString(), kAboutEntry}));
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(TheMainWindow, RightClickInTheEditorOpensTheMenuAtTheMouseAndKeepsCaretAndSelection)
{
    main.setEditorText("func main\r\n{\r\n\tsleep 10\r\n}\r\n", 2, 7);
    QWidget* surface = Surface(main.editor());
    const QPoint local(40, 60);

    const MenuSeen seen = RightClickAndChoose(surface, local, QString());

    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.geometry.topLeft(), surface->mapToGlobal(local));
    EXPECT_EQ(main.editorSelection(), (std::pair<long, long>{2, 7}));
    EXPECT_EQ(main.editor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 7);
}

TEST_F(TheMainWindow, MenuEntriesActOnTheEditor)
{
    main.setEditorText("door_open 12", 0, 9);
    RightClickAndChoose(main.control("IDC_CUSTOM_EDIT"), {3, 3}, QStringLiteral("Cut"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("door_open"));
    EXPECT_EQ(main.editorText(), " 12");

    main.select(3, 3);
    RightClickAndChoose(main.control("IDC_PARAM2_COMBO"), {3, 3}, QStringLiteral("Paste"));
    EXPECT_EQ(main.editorText(), " 12door_open");

    main.select(0, 3);
    RightClickAndChoose(main.control("IDC_HINT_EDIT"), {3, 3}, QStringLiteral("Delete"));
    EXPECT_EQ(main.editorText(), "door_open");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("door_open"));
}

TEST_F(TheMainWindow, DeleteWithoutSelectionAndPasteWithAnEmptyClipboardChangeNothing)
{
    main.setEditorText("win", 1, 1);
    RightClickAndChoose(main.control("IDC_CLOCK"), {2, 2}, QStringLiteral("Delete"));
    RightClickAndChoose(main.control("IDC_CREDITS"), {2, 2}, QStringLiteral("Paste"));
    EXPECT_EQ(main.editorText(), "win");
    EXPECT_EQ(main.editorSelection(), (std::pair<long, long>{1, 1}));
}

TEST_F(TheMainWindow, AboutEntryShowsTheAboutBoxAndReturnsUnchanged)
{
    main.setEditorText("lose", 1, 3);
    QString caption;
    QString buttonText;
    int labels = 0;
    bool closed = false;
    WhenAboutBoxOpens([&](QWidget* about) {
        caption = about->windowTitle();
        auto* button = about->findChild<QPushButton*>();
        buttonText = button ? button->text() : QString();
        labels = int(about->findChildren<QLabel*>().size());
        if (button)
            input::LeftClick(button, {5, 5});
        closed = !about->isVisible();
    });

    const MenuSeen seen = RightClickAndChoose(main.control("IDC_LINK_CHARS"), {3, 3}, kAboutEntry);

    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(caption, QStringLiteral("About QUARN-XP"));
    EXPECT_EQ(buttonText, QStringLiteral("Zod Viz"));
    EXPECT_EQ(labels, 2);
    EXPECT_TRUE(closed);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(main.window.isVisible());
    EXPECT_EQ(main.editorText(), "lose");
    EXPECT_EQ(main.editorSelection(), (std::pair<long, long>{1, 3}));
    EXPECT_TRUE(desktop.openedUrls.empty());
}

TEST_F(TheMainWindow, EscapeClosesTheAboutBox)
{
    bool opened = false;
    bool closed = false;
    WhenAboutBoxOpens([&](QWidget* about) {
        opened = true;
        input::Key(about->findChild<QPushButton*>(), Qt::Key_Escape);
        closed = !about->isVisible();
    });

    RightClickAndChoose(main.control("IDC_SCRIPT_EDIT"), {3, 3}, kAboutEntry);

    EXPECT_TRUE(opened);
    EXPECT_TRUE(closed);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(main.window.isVisible());
}

} // namespace
