#include "app/Resource.h"
#include "platform/ClickLabel.h"
#include "platform/Cp1252.h"
#include "platform/DropDownList.h"
#include "platform/MultiLineEdit.h"
#include "platform/PushButton.h"
#include "support/FakeDesktopServices.h"
#include "support/ScriptToolDlgTestAccess.h"

#include <QAbstractScrollArea>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum class Kind { Label, ClickLabel, FlatButton, SingleLineEdit, MultiLineEdit, DropDownList, RichEdit };

struct ExpectedControl {
    int id;
    const char* name;
    Kind kind;
    std::string text;
    DialogRect rect;
};

const std::vector<ExpectedControl> kExpectedControls = {
    {6019, "IDC_CREDITS", Kind::Label, "Programmed by Ravok - Ideas by PLXN", {6, 255, 256, 9}},
    {6018, "IDC_OPEN_LABEL", Kind::ClickLabel, "OPEN", {325, 255, 50, 9}},
    {6017, "IDC_SAVE_LABEL", Kind::ClickLabel, "SAVE ", {381, 255, 50, 9}},
    {6010, "IDC_SCRIPT_EDIT", Kind::RichEdit, "", {0, 0, 431, 254}},
    {1000, "IDC_LINK_CHARS", Kind::FlatButton, "Visit VESK Chars", {433, 2, 141, 13}},
    {1001, "IDC_LINK_SHOTS", Kind::FlatButton, "Visit VESK Shots", {433, 17, 141, 13}},
    {1002, "IDC_LINK_CENTRAL", Kind::FlatButton, "Visit VESK Central", {433, 31, 141, 13}},
    {6021, "IDC_CUSTOM_EDIT", Kind::SingleLineEdit, std::string(50, '='), {433, 164, 141, 12}},
    {6012, "IDC_CATEGORY_COMBO", Kind::DropDownList, "Select a Command Type", {433, 54, 141, 12}},
    {6013, "IDC_PARAM1_COMBO", Kind::DropDownList, "", {433, 119, 141, 12}},
    {6014, "IDC_PARAM2_COMBO", Kind::DropDownList, "", {433, 134, 141, 12}},
    {6015, "IDC_PARAM3_COMBO", Kind::DropDownList, "", {433, 149, 141, 12}},
    {6020, "IDC_HINT_EDIT", Kind::MultiLineEdit,
     "-> 'CTRL+ENTER' = NEW LINE.\r\n\r\n-> 'CTRL+TAB'     = TAB.\r\n\r\n-> EDITING KEY ARE ENABLED.",
     {433, 180, 141, 57}},
    {6022, "IDC_ADD_STATEMENT", Kind::FlatButton, "ADD STATMENT", {433, 240, 141, 13}},
    {6016, "IDC_CLOCK", Kind::Label, "", {527, 254, 47, 10}},
    {-1, "IDC_STATIC", Kind::Label,
     "-Select the command type from the \n above Combo-Box.\n-Make a correct combination from the\n available "
     "commands and parameters.",
     {433, 68, 140, 31}},
    {6011, "IDC_COMMAND_COMBO", Kind::DropDownList, "", {433, 104, 141, 12}},
};

bool IsKind(QWidget* widget, Kind kind)
{
    switch (kind) {
    case Kind::Label:
        return qobject_cast<QLabel*>(widget) && !qobject_cast<ClickLabel*>(widget);
    case Kind::ClickLabel:
        return qobject_cast<ClickLabel*>(widget) != nullptr;
    case Kind::FlatButton:
        return dynamic_cast<PushButton*>(widget) && static_cast<PushButton*>(widget)->isFlat();
    case Kind::SingleLineEdit:
        return qobject_cast<QLineEdit*>(widget) != nullptr;
    case Kind::MultiLineEdit:
        return dynamic_cast<MultiLineEdit*>(widget) != nullptr;
    case Kind::DropDownList:
        return qobject_cast<DropDownList*>(widget) && !static_cast<QComboBox*>(widget)->isEditable();
    case Kind::RichEdit:
        return qobject_cast<QAbstractScrollArea*>(widget) && !dynamic_cast<MultiLineEdit*>(widget);
    }
    return false;
}

// The window's controls in the order they were created.
std::vector<QWidget*> ControlsInCreationOrder(QWidget* window)
{
    std::vector<QWidget*> controls;
    for (QObject* child : window->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget->property(CWnd::kControlIdProperty).isValid())
            controls.push_back(widget);
    }
    return controls;
}

class MainWindowTemplate : public ::testing::Test {
protected:
    FakeDesktopServices desktop;
    MainWindowUnderTest main;
};

TEST_F(MainWindowTemplate, HasTheSeventeenControlsInCreationOrder)
{
    const std::vector<QWidget*> controls = ControlsInCreationOrder(main.window());
    ASSERT_EQ(controls.size(), kExpectedControls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ExpectedControl& expected = kExpectedControls[i];
        QWidget* control = controls[i];
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(control->objectName(), QString::fromLatin1(expected.name));
        EXPECT_EQ(control->property(CWnd::kControlIdProperty).toInt(), expected.id);
        EXPECT_TRUE(IsKind(control, expected.kind));
        CWnd wnd;
        ASSERT_TRUE(wnd.SubclassDlgItem(expected.id, main.window()));
        EXPECT_EQ(wnd.GetWindowText(), expected.text);
        EXPECT_EQ(control->geometry(), main.dlg.GetDialogUnits().ToPixels(expected.rect));
    }
}

TEST_F(MainWindowTemplate, FindsEveryControlByItsIdentifier)
{
    for (const ExpectedControl& expected : kExpectedControls) {
        QWidget* control = main.dlg.GetDlgItem(expected.id);
        ASSERT_NE(control, nullptr) << expected.name;
        EXPECT_EQ(control->objectName(), QString::fromLatin1(expected.name));
    }
}

TEST_F(MainWindowTemplate, TabsThroughTheControlsInCreationOrder)
{
    const std::vector<int> expected = {IDC_SCRIPT_EDIT, IDC_LINK_CHARS,   IDC_LINK_SHOTS,   IDC_LINK_CENTRAL,
                                       IDC_CUSTOM_EDIT, IDC_CATEGORY_COMBO, IDC_PARAM1_COMBO, IDC_PARAM2_COMBO,
                                       IDC_PARAM3_COMBO, IDC_HINT_EDIT,   IDC_ADD_STATEMENT, IDC_COMMAND_COMBO};
    QWidget* first = main.control(IDC_SCRIPT_EDIT);
    std::vector<int> order;
    QWidget* widget = first;
    do {
        const QVariant id = widget->property(CWnd::kControlIdProperty);
        if (id.isValid() && (widget->focusPolicy() & Qt::TabFocus))
            order.push_back(id.toInt());
        widget = widget->nextInFocusChain();
    } while (widget != first && order.size() <= expected.size());
    EXPECT_EQ(order, expected);
}

TEST_F(MainWindowTemplate, LabelsTakeNoFocus)
{
    for (int id : {IDC_CREDITS, IDC_OPEN_LABEL, IDC_SAVE_LABEL, IDC_CLOCK})
        EXPECT_EQ(main.control(id)->focusPolicy(), Qt::NoFocus) << id;
}

TEST_F(MainWindowTemplate, LabelsAreAlignedAndFramedAsTheirStyleSays)
{
    for (int id : {IDC_OPEN_LABEL, IDC_SAVE_LABEL}) {
        auto* label = main.control<QLabel>(id);
        EXPECT_EQ(label->alignment(), Qt::AlignCenter);
        EXPECT_EQ(label->frameShadow(), QFrame::Sunken);
    }
    auto* clock = main.control<QLabel>(IDC_CLOCK);
    EXPECT_EQ(clock->alignment(), Qt::AlignCenter);
    EXPECT_EQ(clock->frameShadow(), QFrame::Raised);
    EXPECT_EQ(clock->frameWidth(), 2);
    auto* credits = main.control<QLabel>(IDC_CREDITS);
    EXPECT_TRUE(credits->alignment() & Qt::AlignLeft);
    EXPECT_EQ(credits->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(credits->textFormat(), Qt::PlainText);
}

TEST_F(MainWindowTemplate, NoButtonIsTheDefault)
{
    for (int id : {IDC_LINK_CHARS, IDC_LINK_SHOTS, IDC_LINK_CENTRAL, IDC_ADD_STATEMENT}) {
        auto* button = main.control<QPushButton>(id);
        EXPECT_FALSE(button->isDefault()) << id;
        EXPECT_FALSE(button->autoDefault()) << id;
    }
}

TEST_F(MainWindowTemplate, OnlyTheCommandListIsSorted)
{
    EXPECT_TRUE(main.control<DropDownList>(IDC_COMMAND_COMBO)->isSorted());
    for (int id : {IDC_CATEGORY_COMBO, IDC_PARAM1_COMBO, IDC_PARAM2_COMBO, IDC_PARAM3_COMBO})
        EXPECT_FALSE(main.control<DropDownList>(id)->isSorted()) << id;
}

TEST_F(MainWindowTemplate, DescriptionBoxIsReadOnlyUpperCaseAndWrapsWithAScrollBar)
{
    auto* hint = main.control<MultiLineEdit>(IDC_HINT_EDIT);
    EXPECT_TRUE(hint->isReadOnly());
    EXPECT_TRUE(hint->isUpperCase());
    EXPECT_EQ(hint->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(hint->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(hint->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_TRUE(hint->focusPolicy() & Qt::TabFocus);
}

TEST_F(MainWindowTemplate, CustomValueBoxHasABorderAndShowsItsTextFromTheStart)
{
    auto* custom = main.control<QLineEdit>(IDC_CUSTOM_EDIT);
    EXPECT_TRUE(custom->hasFrame());
    EXPECT_FALSE(custom->isReadOnly());
    main.dlg.SetDlgItemText(IDC_CUSTOM_EDIT, "< REPLACE WITH A NUMBER OF YOUR CHOICE \"INT\" >");
    EXPECT_EQ(custom->cursorPosition(), 0);
}

TEST_F(MainWindowTemplate, EditorKeepsItsSelectionVisibleWithoutFocus)
{
    const QPalette palette = main.control(IDC_SCRIPT_EDIT)->palette();
    EXPECT_EQ(palette.color(QPalette::Inactive, QPalette::Highlight),
              palette.color(QPalette::Active, QPalette::Highlight));
}

TEST_F(MainWindowTemplate, IsAFixedSizeWindowWithMinimiseBoxAndTaskBarButton)
{
    QWidget* window = main.window();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("QUARN-XP"));
    EXPECT_EQ(window->size(), main.dlg.GetDialogUnits().ToPixels(575, 265));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainWindowTemplate, UsesTheDialogFontOrTheClosestSansSerif)
{
    const QFont font = main.window()->font();
    const int dpi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY());
    EXPECT_EQ(font.pixelSize(), MulDiv(7, dpi, 72));
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma")))
        EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Tahoma"));
    else
        EXPECT_FALSE(QFontInfo(font).fixedPitch());
}

} // namespace
