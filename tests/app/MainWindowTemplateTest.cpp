#include "app/ClickLabel.h"
#include "catalogue/CommandTable.h"
#include "editor/ScriptEditor.h"
#include "platform/DialogUnits.h"
#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"
#include "support/MainWindowHarness.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

#include <map>

#include <string>
#include <vector>

namespace {

enum class Kind { Label, ClickLabel, FlatButton, SingleLineEdit, MultiLineEdit, DropDownList, ScriptEditor };

const QString kHintAtRest =
    QStringLiteral("-> 'CTRL+ENTER' = NEW LINE.\n\n-> 'CTRL+TAB'     = TAB.\n\n-> EDITING KEY ARE ENABLED.");

struct ExpectedControl {
    const char* name;
    Kind kind;
    QString text;
    DialogRect rect;
};

const std::vector<ExpectedControl> kExpectedControls = {
    {"IDC_CREDITS", Kind::Label, "Programmed by Ravok - Ideas by PLXN", {6, 255, 256, 9}},
    {"IDC_OPEN_LABEL", Kind::ClickLabel, "OPEN", {325, 255, 50, 9}},
    {"IDC_SAVE_LABEL", Kind::ClickLabel, "SAVE ", {381, 255, 50, 9}},
    {"IDC_SCRIPT_EDIT", Kind::ScriptEditor, "", {0, 0, 431, 254}},
    {"IDC_LINK_CHARS", Kind::FlatButton, "Visit VESK Chars", {433, 2, 141, 13}},
    {"IDC_LINK_SHOTS", Kind::FlatButton, "Visit VESK Shots", {433, 17, 141, 13}},
    {"IDC_LINK_CENTRAL", Kind::FlatButton, "Visit VESK Central", {433, 31, 141, 13}},
    {"IDC_CUSTOM_EDIT", Kind::SingleLineEdit, QString(50, u'='), {433, 164, 141, 12}},
    {"IDC_CATEGORY_COMBO", Kind::DropDownList, "Select a Command Type", {433, 54, 141, 12}},
    {"IDC_PARAM1_COMBO", Kind::DropDownList, "", {433, 119, 141, 12}},
    {"IDC_PARAM2_COMBO", Kind::DropDownList, "", {433, 134, 141, 12}},
    {"IDC_PARAM3_COMBO", Kind::DropDownList, "", {433, 149, 141, 12}},
    {"IDC_HINT_EDIT", Kind::MultiLineEdit, kHintAtRest, {433, 180, 141, 57}},
    {"IDC_ADD_STATEMENT", Kind::FlatButton, "ADD STATMENT", {433, 240, 141, 13}},
    {"IDC_CLOCK", Kind::Label, "", {527, 254, 47, 10}},
    {"IDC_STATIC", Kind::Label,
     "-Select the command type from the \n above Combo-Box.\n-Make a correct combination from the\n available "
     "commands and parameters.",
     {433, 68, 140, 31}},
    {"IDC_COMMAND_COMBO", Kind::DropDownList, "", {433, 104, 141, 12}},
};

bool IsKind(QWidget* widget, Kind kind)
{
    switch (kind) {
    case Kind::Label:
        return qobject_cast<QLabel*>(widget) && !qobject_cast<ClickLabel*>(widget);
    case Kind::ClickLabel:
        return qobject_cast<ClickLabel*>(widget) != nullptr;
    case Kind::FlatButton:
        return qobject_cast<QPushButton*>(widget) && static_cast<QPushButton*>(widget)->isFlat();
    case Kind::SingleLineEdit:
        return qobject_cast<QLineEdit*>(widget) != nullptr;
    case Kind::MultiLineEdit:
        return qobject_cast<QPlainTextEdit*>(widget) != nullptr;
    case Kind::DropDownList:
        return qobject_cast<QComboBox*>(widget) && !static_cast<QComboBox*>(widget)->isEditable();
    case Kind::ScriptEditor:
        return qobject_cast<ScriptEditor*>(widget) != nullptr;
    }
    return false;
}

// What the control shows as its text.
QString TextOf(QWidget* widget)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return button->text();
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        return line->text();
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
        return box->toPlainText();
    if (auto* list = qobject_cast<QComboBox*>(widget))
        return list->currentText();
    if (auto* editor = qobject_cast<ScriptEditor*>(widget))
        return QString::fromStdString(std::string(editor->documentText()));
    return QStringLiteral("<unknown kind>");
}

class MainWindowTemplate : public ::testing::Test {
protected:
    DialogUnits Units() const { return DialogUnits::fromFont(main.window.font()); }

    FakeDesktopServices desktop;
    MainWindowUnderTest main;
};

TEST_F(MainWindowTemplate, HasTheSeventeenControlsWithTheirTextsWhereTheLayoutPutsThem)
{
    const DialogUnits units = Units();
    // The template's places are those of a window at the template's size.
    main.window.resize(units.toPixels(575, 265));
    for (const ExpectedControl& expected : kExpectedControls) {
        SCOPED_TRACE(expected.name);
        QWidget* control = main.control(expected.name);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(IsKind(control, expected.kind));
        EXPECT_EQ(TextOf(control), expected.text);
        // The editor's place holds the tabs and the level panel too; the editor lies inside it.
        QWidget* placed = expected.kind == Kind::ScriptEditor ? main.control("ScriptArea") : control;
        ASSERT_NE(placed, nullptr);
        const auto rectOf = [&](QWidget* widget) { return QRect(widget->mapTo(&main.window, QPoint(0, 0)), widget->size()); };
        EXPECT_EQ(rectOf(placed), units.toPixels(expected.rect));
        EXPECT_TRUE(rectOf(placed).contains(rectOf(control)));
        EXPECT_TRUE(control->isVisible());
    }

    std::vector<QString> named;
    for (QWidget* widget : main.window.findChildren<QWidget*>())
        if (widget->objectName().startsWith(QStringLiteral("IDC_")))
            named.push_back(widget->objectName());
    EXPECT_EQ(named.size(), kExpectedControls.size());
}

TEST_F(MainWindowTemplate, TabsThroughTheControlsInTheirOrder)
{
    const std::vector<std::string> expected = {
        "IDC_SCRIPT_EDIT",  "IDC_LINK_CHARS",   "IDC_LINK_SHOTS",   "IDC_LINK_CENTRAL",
        "IDC_CUSTOM_EDIT",  "IDC_CATEGORY_COMBO", "IDC_PARAM1_COMBO", "IDC_PARAM2_COMBO",
        "IDC_PARAM3_COMBO", "IDC_HINT_EDIT",    "IDC_ADD_STATEMENT", "IDC_COMMAND_COMBO"};

    // Tab in the editor types a tab, so the walk starts at the first link and comes round to the
    // editor.
    main.control("IDC_LINK_CHARS")->setFocus();
    std::vector<std::string> order = {"IDC_LINK_CHARS"};
    for (std::size_t press = 1; press < expected.size(); ++press) {
        input::Key(main.window.focusWidget(), Qt::Key_Tab);
        order.push_back(main.window.focusWidget()->objectName().toStdString());
    }
    std::vector<std::string> walk(expected.begin() + 1, expected.end());
    walk.push_back(expected.front());
    EXPECT_EQ(order, walk);
    EXPECT_EQ(main.editorText(), "");

    input::Key(main.window.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(main.window.focusWidget(), main.editor());
    EXPECT_EQ(main.editorText(), "\t");
}

TEST_F(MainWindowTemplate, LabelsTakeNoFocus)
{
    for (const char* name : {"IDC_CREDITS", "IDC_OPEN_LABEL", "IDC_SAVE_LABEL", "IDC_CLOCK", "IDC_STATIC"})
        EXPECT_EQ(main.control(name)->focusPolicy(), Qt::NoFocus) << name;
}

TEST_F(MainWindowTemplate, LabelsAreAlignedAndFramedAsTheirStyleSays)
{
    for (const char* name : {"IDC_OPEN_LABEL", "IDC_SAVE_LABEL"}) {
        auto* label = main.control<QLabel>(name);
        EXPECT_EQ(label->alignment(), Qt::AlignCenter) << name;
        EXPECT_EQ(label->frameShadow(), QFrame::Sunken) << name;
        EXPECT_NE(label->frameShape(), QFrame::NoFrame) << name;
    }
    auto* clock = main.control<QLabel>("IDC_CLOCK");
    EXPECT_EQ(clock->alignment(), Qt::AlignCenter);
    EXPECT_EQ(clock->frameShadow(), QFrame::Raised);
    EXPECT_EQ(clock->frameWidth(), 2);
    for (const char* name : {"IDC_CREDITS", "IDC_STATIC"}) {
        auto* label = main.control<QLabel>(name);
        EXPECT_TRUE(label->alignment() & Qt::AlignLeft) << name;
        EXPECT_EQ(label->frameShape(), QFrame::NoFrame) << name;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
    }
}

TEST_F(MainWindowTemplate, NoButtonIsTheDefault)
{
    for (const char* name : {"IDC_LINK_CHARS", "IDC_LINK_SHOTS", "IDC_LINK_CENTRAL", "IDC_ADD_STATEMENT"}) {
        auto* button = main.control<QPushButton>(name);
        EXPECT_FALSE(button->isDefault()) << name;
        EXPECT_FALSE(button->autoDefault()) << name;
    }
}

TEST_F(MainWindowTemplate, TheCommandListShowsItsEntriesInAscendingOrderIgnoringCase)
{
    auto* categories = main.control<QComboBox>("IDC_CATEGORY_COMBO");
    auto* commands = main.control<QComboBox>("IDC_COMMAND_COMBO");
    for (int number = 1; number <= kCategoryCount; ++number) {
        categories->setCurrentIndex(number);
        ASSERT_GT(commands->count(), 1) << "category " << number;
        for (int i = 1; i < commands->count(); ++i)
            EXPECT_LE(QString::compare(commands->itemText(i - 1), commands->itemText(i), Qt::CaseInsensitive), 0)
                << "category " << number << ": " << commands->itemText(i - 1).toStdString() << " before "
                << commands->itemText(i).toStdString();
    }
}

TEST_F(MainWindowTemplate, DescriptionBoxIsReadOnlyUpperCaseAndWrapsWithAScrollBar)
{
    auto* hint = main.control<QPlainTextEdit>("IDC_HINT_EDIT");
    EXPECT_TRUE(hint->isReadOnly());
    EXPECT_EQ(hint->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(hint->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(hint->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_TRUE(hint->focusPolicy() & Qt::TabFocus);

    // Typing into it changes nothing.
    hint->setFocus();
    input::Key(hint, Qt::Key_A);
    EXPECT_EQ(hint->toPlainText(), kHintAtRest);

    // A command's description, written in mixed case, shows in capitals.
    main.control<QComboBox>("IDC_CATEGORY_COMBO")->setCurrentIndex(1);
    auto* commands = main.control<QComboBox>("IDC_COMMAND_COMBO");
    commands->setCurrentIndex(commands->findText(QStringLiteral("ai2_blind")));
    const QString description = hint->toPlainText();
    EXPECT_EQ(description, QStringLiteral("TURNS OFF THE AI'S VISUAL SENSING SYSTEM"));
    EXPECT_EQ(description, description.toUpper());
}

TEST_F(MainWindowTemplate, CustomValueBoxHasABorderAndShowsItsTextFromTheStart)
{
    auto* custom = main.control<QLineEdit>("IDC_CUSTOM_EDIT");
    EXPECT_TRUE(custom->hasFrame());
    EXPECT_FALSE(custom->isReadOnly());
    EXPECT_EQ(custom->cursorPosition(), 0);

    // A placeholder far wider than the box still shows its beginning.
    main.control<QComboBox>("IDC_CATEGORY_COMBO")->setCurrentIndex(5);
    auto* commands = main.control<QComboBox>("IDC_COMMAND_COMBO");
    commands->setCurrentIndex(commands->findText(QStringLiteral("trigvolume_count")));
    EXPECT_EQ(custom->text(), QStringLiteral("< REPLACE WITH A NUMBER OF YOUR CHOICE \"INT\" >"));
    EXPECT_EQ(custom->cursorPosition(), 0);
}

// How many pixels of `image` have `colour`.
int PixelsOf(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y).rgb() == colour.rgb();
    return count;
}

TEST_F(MainWindowTemplate, EditorKeepsItsSelectionVisibleWithoutFocus)
{
    ScriptEditor* editor = main.editor();
    const QColor highlight = editor->palette().color(QPalette::Active, QPalette::Highlight);
    main.setEditorText("func main", 0, 4);

    main.control("IDC_CUSTOM_EDIT")->setFocus();
    ASSERT_FALSE(editor->hasFocus());
    const int selected = PixelsOf(editor->viewport()->grab().toImage(), highlight);

    main.select(0, 0);
    const int unselected = PixelsOf(editor->viewport()->grab().toImage(), highlight);
    EXPECT_GT(selected, unselected + 20);
}

TEST_F(MainWindowTemplate, OpensFirstAtTwoThirdsOfTheScreenCentredAndGrowsNoSmallerThanTheTemplate)
{
    QWidget& window = main.window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("QUARN-XP"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window.size(), (screen.size() * 2 / 3).expandedTo(Units().toPixels(575, 265)));
    if (screen.width() >= window.width() && screen.height() >= window.height()) {
        EXPECT_LE((window.geometry().center() - screen.center()).manhattanLength(), 2);
    }
    EXPECT_EQ(window.minimumSize(), Units().toPixels(575, 265));
    EXPECT_GT(window.maximumWidth(), window.minimumWidth());
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);
    ASSERT_FALSE(window.windowIcon().isNull());
    EXPECT_FALSE(window.windowIcon().pixmap(16).isNull());
    EXPECT_FALSE(window.windowIcon().pixmap(48).isNull());
}

TEST_F(MainWindowTemplate, TheEditorTakesTheRoomTheWindowGains)
{
    QWidget& window = main.window;
    const auto geometryOf = [&](const char* name) { return main.control(name)->geometry(); };
    const char* const kRightColumn[] = {"IDC_LINK_CHARS", "IDC_CATEGORY_COMBO", "IDC_ADD_STATEMENT", "IDC_HINT_EDIT"};
    const char* const kBottomRow[] = {"IDC_CREDITS", "IDC_OPEN_LABEL", "IDC_SAVE_LABEL", "IDC_CLOCK"};
    std::map<std::string, QRect> before;
    for (const char* name : {"IDC_SCRIPT_EDIT", "IDC_LINK_CHARS", "IDC_CATEGORY_COMBO", "IDC_ADD_STATEMENT",
                             "IDC_HINT_EDIT", "IDC_CREDITS", "IDC_OPEN_LABEL", "IDC_SAVE_LABEL", "IDC_CLOCK"})
        before[name] = geometryOf(name);
    const QPoint editorOrigin = main.control("IDC_SCRIPT_EDIT")->mapTo(&window, QPoint(0, 0));
    const QPoint addOrigin = main.control("IDC_ADD_STATEMENT")->mapTo(&window, QPoint(0, 0));

    window.resize(window.width() + 200, window.height() + 100);
    QApplication::processEvents();

    EXPECT_EQ(main.control("IDC_SCRIPT_EDIT")->mapTo(&window, QPoint(0, 0)), editorOrigin);
    EXPECT_EQ(geometryOf("IDC_SCRIPT_EDIT").size(), before["IDC_SCRIPT_EDIT"].size() + QSize(200, 100));
    EXPECT_EQ(main.control("IDC_ADD_STATEMENT")->mapTo(&window, QPoint(0, 0)), addOrigin + QPoint(200, 0));
    for (const char* name : kRightColumn)
        EXPECT_EQ(geometryOf(name).size(), before[name].size()) << name;
    EXPECT_EQ(geometryOf("IDC_LINK_CHARS").topLeft(), before["IDC_LINK_CHARS"].topLeft() + QPoint(200, 0));
    EXPECT_EQ(geometryOf("IDC_CREDITS").topLeft(), before["IDC_CREDITS"].topLeft() + QPoint(0, 100));
    for (const char* name : {"IDC_OPEN_LABEL", "IDC_SAVE_LABEL", "IDC_CLOCK"})
        EXPECT_EQ(geometryOf(name).topLeft(), before[name].topLeft() + QPoint(200, 100)) << name;
    for (const char* name : kBottomRow)
        EXPECT_EQ(geometryOf(name).size(), before[name].size()) << name;
}

TEST_F(MainWindowTemplate, UsesTheDialogFontOrTheClosestSansSerif)
{
    const QFont font = main.window.font();
    const int dpi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY());
    EXPECT_EQ(font.pixelSize(), scaleRounded(7, dpi, 72));
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma")))
        EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Tahoma"));
    else
        EXPECT_FALSE(QFontInfo(font).fixedPitch());
    for (const char* name : {"IDC_CREDITS", "IDC_CATEGORY_COMBO", "IDC_ADD_STATEMENT"})
        EXPECT_EQ(main.control(name)->font(), font) << name;
}

} // namespace
