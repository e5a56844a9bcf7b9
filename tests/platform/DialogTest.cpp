#include "platform/ComboBox.h"
#include "platform/Dialog.h"
#include "platform/Exception.h"
#include "platform/ProgramName.h"
#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int IDC_NAME = 10;
constexpr int IDC_LIST = 11;
constexpr int IDC_GO = 12;
constexpr int IDC_LABEL = 13;
constexpr UINT_PTR IDT_TICK = 7;

using enum ControlStyle;

constexpr ControlTemplate kControls[] = {
    {IDC_NAME, "IDC_NAME", ControlKind::Edit, TabStop | Border | AutoHScroll, "start", {5, 5, 100, 12}},
    {IDC_LIST, "IDC_LIST", ControlKind::ComboBox, TabStop | VScroll, "", {5, 20, 100, 12}},
    {IDC_GO, "IDC_GO", ControlKind::PushButton, TabStop, "Go", {5, 35, 50, 14}},
    {IDC_LABEL, "IDC_LABEL", ControlKind::Label, Notify | SunkenEdge | CenterText, "OPEN", {60, 35, 40, 10}},
};

constexpr DialogTemplate kTemplate = {500, "Test", "Tahoma", 8, 120, 60,
                                      DialogStyle::Caption | DialogStyle::SystemMenu, kControls};

constexpr ControlTemplate kOkControls[] = {
    {IDC_NAME, "IDC_NAME", ControlKind::Edit, TabStop | Border, "", {5, 5, 100, 12}},
    {IDOK, "IDOK", ControlKind::PushButton, TabStop | DefaultButton, "OK", {5, 35, 50, 14}},
};

constexpr DialogTemplate kOkTemplate = {501, "OK", "MS Shell Dlg", 8, 120, 60,
                                        DialogStyle::Caption | DialogStyle::SystemMenu, kOkControls};

class HandlerError : public CException {
public:
    std::string GetErrorMessage() const override { return "C:\\missing.bsl was not found."; }
};

class TestDialog : public CDialog {
public:
    explicit TestDialog(const DialogTemplate& dialogTemplate = kTemplate) : CDialog(dialogTemplate) {}

    std::vector<std::string> calls;
    std::vector<MSG> offered;
    bool allowClose = true;
    bool failOnGo = false;
    UINT swallowedMessage = 0;

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        offered.push_back(*pMsg);
        return pMsg->message == swallowedMessage;
    }

    bool WasOffered(const QWidget* target, UINT message) const
    {
        return std::any_of(offered.begin(), offered.end(),
                           [&](const MSG& msg) { return msg.hwnd == target && msg.message == message; });
    }

protected:
    const MessageMap& GetMessageMap() const override
    {
        using namespace message_map;
        static const MessageMap kMap = {
            Clicked(IDC_GO, &TestDialog::OnGo),
            SelChange(IDC_LIST, &TestDialog::OnSelchangeList),
            Clicked(IDC_LABEL, &TestDialog::OnLabel),
            Timer(&TestDialog::OnTimer),
        };
        return kMap;
    }

    bool CanClose() override { return allowClose; }

private:
    void OnGo()
    {
        calls.push_back("go");
        if (failOnGo)
            throw HandlerError();
        calls.push_back("go finished");
    }
    void OnSelchangeList() { calls.push_back("list"); }
    void OnLabel() { calls.push_back("label"); }
    void OnTimer(UINT_PTR id) { calls.push_back("timer " + std::to_string(id)); }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.Create();
        dialog.GetSafeHwnd()->show();
    }

    FakeDesktopServices desktop;
    TestDialog dialog;
};

TEST_F(DialogTest, RoutesClicksAndUserSelectionsThroughItsMessageMap)
{
    auto* button = qobject_cast<QPushButton*>(dialog.GetDlgItem(IDC_GO));
    button->click();
    input::LeftClick(dialog.GetDlgItem(IDC_LABEL), {5, 5});

    CComboBox list;
    ASSERT_TRUE(list.SubclassDlgItem(IDC_LIST, &dialog));
    list.AddString("one");
    list.AddString("two");
    list.SetCurSel(0);
    qobject_cast<QComboBox*>(dialog.GetDlgItem(IDC_LIST))->setCurrentIndex(1);

    EXPECT_EQ(dialog.calls, (std::vector<std::string>{"go", "go finished", "label", "list"}));
}

TEST_F(DialogTest, ReportsAHandlersErrorWithAStopIconAndGoesOn)
{
    dialog.failOnGo = true;
    qobject_cast<QPushButton*>(dialog.GetDlgItem(IDC_GO))->click();

    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "C:\\missing.bsl was not found.");
    EXPECT_EQ(desktop.messageBoxes[0].caption, kProgramName);
    EXPECT_EQ(desktop.messageBoxes[0].icon, DesktopServices::Icon::Stop);
    EXPECT_EQ(desktop.messageBoxes[0].owner, dialog.GetSafeHwnd());
    EXPECT_EQ(dialog.calls, std::vector<std::string>{"go"});
    EXPECT_TRUE(dialog.GetSafeHwnd()->isVisible());

    dialog.failOnGo = false;
    qobject_cast<QPushButton*>(dialog.GetDlgItem(IDC_GO))->click();
    EXPECT_EQ(dialog.calls.back(), "go finished");
}

TEST_F(DialogTest, SetsAndReadsControlTextsByIdentifier)
{
    dialog.SetDlgItemText(IDC_NAME, "caf\xE9");
    EXPECT_EQ(qobject_cast<QLineEdit*>(dialog.GetDlgItem(IDC_NAME))->text(), QStringLiteral("caf\u00E9"));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_NAME), "caf\xE9");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_LABEL), "OPEN");
    EXPECT_EQ(dialog.GetDlgItemText(99), "");
}

TEST_F(DialogTest, AsksCanCloseBeforeTheCloseBoxEndsIt)
{
    QWidget* window = dialog.GetSafeHwnd();
    dialog.allowClose = false;
    window->close();
    EXPECT_TRUE(window->isVisible());

    dialog.allowClose = true;
    window->close();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(DialogTest, EnterWithoutADefaultButtonEndsNothing)
{
    input::Key(dialog.GetDlgItem(IDC_NAME), Qt::Key_Return);
    input::Key(dialog.GetDlgItem(IDC_LIST), Qt::Key_Enter, Qt::KeypadModifier);

    EXPECT_TRUE(dialog.GetSafeHwnd()->isVisible());
    EXPECT_TRUE(dialog.calls.empty());
}

TEST_F(DialogTest, EnterOnAFocusedPushButtonClicksIt)
{
    input::Key(dialog.GetDlgItem(IDC_GO), Qt::Key_Return);
    EXPECT_EQ(dialog.calls.front(), "go");
}

TEST_F(DialogTest, OffersInputOfItsControlsAndOfAnOpenListToPreTranslateMessage)
{
    auto* list = qobject_cast<QComboBox*>(dialog.GetDlgItem(IDC_LIST));
    list->addItems({"one", "two"});
    list->showPopup();
    ASSERT_TRUE(list->view()->isVisible());

    input::Key(dialog.GetDlgItem(IDC_NAME), Qt::Key_A);
    input::Key(list->view(), Qt::Key_Escape);
    input::MousePress(dialog.GetDlgItem(IDC_GO), Qt::RightButton, {2, 2});
    list->hidePopup();

    ASSERT_GE(dialog.offered.size(), 3u);
    EXPECT_TRUE(dialog.WasOffered(dialog.GetDlgItem(IDC_NAME), WM_KEYDOWN));
    EXPECT_EQ(dialog.offered.front().wParam, WPARAM('A'));
    EXPECT_TRUE(dialog.WasOffered(list->view(), WM_KEYDOWN));
    EXPECT_TRUE(dialog.WasOffered(dialog.GetDlgItem(IDC_GO), WM_RBUTTONDOWN));
    const auto press = std::find_if(dialog.offered.begin(), dialog.offered.end(),
                                    [](const MSG& msg) { return msg.message == WM_RBUTTONDOWN; });
    EXPECT_EQ(press->pt, dialog.GetDlgItem(IDC_GO)->mapToGlobal(QPoint(2, 2)));
}

TEST_F(DialogTest, LeavesInputOfOtherWindowsAlone)
{
    QLineEdit elsewhere;
    elsewhere.show();
    input::Key(&elsewhere, Qt::Key_A);
    EXPECT_TRUE(dialog.offered.empty());
}

TEST_F(DialogTest, SwallowsAKeyPreTranslateMessageTakes)
{
    dialog.swallowedMessage = WM_KEYDOWN;
    input::Key(dialog.GetDlgItem(IDC_NAME), Qt::Key_B);
    EXPECT_EQ(qobject_cast<QLineEdit*>(dialog.GetDlgItem(IDC_NAME))->text(), QStringLiteral("start"));
}

// The toolkit follows a right-button press with a context-menu event of its own; a press that
// PreTranslateMessage took must not reach the control that way.
TEST_F(DialogTest, SwallowsTheContextMenuOfATakenRightClick)
{
    class ContextMenuCounter : public QObject {
    public:
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::ContextMenu;
            return event->type() == QEvent::ContextMenu;
        }
    } counter;
    QWidget* edit = dialog.GetDlgItem(IDC_NAME);
    edit->installEventFilter(&counter);

    dialog.swallowedMessage = WM_RBUTTONDOWN;
    input::RightClick(edit, {3, 3});
    EXPECT_EQ(counter.count, 0);

    dialog.swallowedMessage = 0;
    input::RightClick(edit, {3, 3});
    EXPECT_EQ(counter.count, 1);
}

TEST_F(DialogTest, DeliversTheTicksOfItsTimer)
{
    dialog.SetTimer(IDT_TICK, 1);
    QElapsedTimer waited;
    waited.start();
    while (dialog.calls.empty() && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_FALSE(dialog.calls.empty());
    EXPECT_EQ(dialog.calls.front(), "timer 7");
}

TEST_F(DialogTest, GivesTheFocusToTheFirstTabStop)
{
    EXPECT_EQ(dialog.GetSafeHwnd()->focusWidget(), dialog.GetDlgItem(IDC_NAME));
}

TEST(DialogRun, EndsWithCancelOnTheCloseBox)
{
    TestDialog dialog;
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST(DialogRun, EndsWithOkWhenEnterClicksTheDefaultButton)
{
    TestDialog dialog(kOkTemplate);
    QTimer::singleShot(0, [&] { input::Key(dialog.GetDlgItem(IDC_NAME), Qt::Key_Return); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(DialogRun, EndsWithCancelOnEscape)
{
    TestDialog dialog(kOkTemplate);
    QTimer::singleShot(0, [&] { input::Key(dialog.GetDlgItem(IDC_NAME), Qt::Key_Escape); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

} // namespace
