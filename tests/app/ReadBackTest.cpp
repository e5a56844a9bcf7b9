#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"
#include "support/MainWindowHarness.h"

#include "catalogue/CommandTable.h"
#include "catalogue/LevelHeadings.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace {

class ReadBack : public ::testing::Test {
protected:
    ReadBack() { MakeActive(&main.window); }

    QComboBox* Combo(const char* name) const { return main.control<QComboBox>(name); }
    std::string Category() const { return Combo("IDC_CATEGORY_COMBO")->currentText().toStdString(); }
    std::string Command() const { return Combo("IDC_COMMAND_COMBO")->currentText().toStdString(); }
    std::string Param(int list) const
    {
        const char* names[] = {"IDC_PARAM1_COMBO", "IDC_PARAM2_COMBO", "IDC_PARAM3_COMBO"};
        return Combo(names[list])->currentText().toStdString();
    }
    std::string Custom() const { return main.control<QLineEdit>("IDC_CUSTOM_EDIT")->text().toStdString(); }
    std::string Description() const
    {
        return main.control<QPlainTextEdit>("IDC_HINT_EDIT")->toPlainText().toStdString();
    }

    // The script `text` with the caret at the first `caretAt` in it.
    void Script(std::string_view text, std::string_view caretAt)
    {
        const std::size_t at = text.find(caretAt);
        ASSERT_NE(at, std::string_view::npos);
        main.setEditorText(text, long(at), long(at));
    }

    void PressF4()
    {
        MakeActive(&main.window);
        main.editor()->setFocus();
        input::Key(main.editor(), Qt::Key_F4);
    }

    QAction* MenuEntry(const QString& start) const
    {
        auto* menu = main.window.findChild<QMenu*>();
        for (QAction* entry : menu ? menu->actions() : QList<QAction*>()) {
            if (entry->text().startsWith(start))
                return entry;
        }
        return nullptr;
    }

    static std::string Label(int category) { return std::string(findCommandCategory(category)->label); }
    static std::string Capitals(std::string_view text)
    {
        std::string capitals(text);
        for (char& c : capitals)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        return capitals;
    }

    FakeDesktopServices desktop;
    MainWindowUnderTest main;
};

// The category a command is listed under, by its number.
int CategoryOf(std::string_view name)
{
    for (int number = 1; number <= kCategoryCount; ++number) {
        for (const ScriptCommand& command : findCommandCategory(number)->commands) {
            if (command.name == name)
                return number;
        }
    }
    return 0;
}

TEST_F(ReadBack, F4ChoosesTheCommandAndEachListsEntry)
{
    Script("func void main(void)\r\n{\r\n\tai2_attack Muro griffin\r\n}\r\n", "attack");
    PressF4();
    EXPECT_EQ(Combo("IDC_CATEGORY_COMBO")->currentIndex(), CategoryOf("ai2_attack"));
    EXPECT_EQ(Command(), "ai2_attack");
    EXPECT_EQ(Param(0), "Muro");
    EXPECT_EQ(Param(1), "griffin");
    EXPECT_EQ(Combo("IDC_PARAM3_COMBO")->currentIndex(), -1);
    EXPECT_EQ(Custom(), kCustomValueFiller);
    EXPECT_EQ(Description(), Capitals(findCommand("ai2_attack")->description));
    // The editor keeps the keyboard and its text.
    EXPECT_TRUE(main.editor()->hasFocus());

    // ADD STATMENT composes the line again.
    main.select(0, 0);
    main.control<QPushButton>("IDC_ADD_STATEMENT")->click();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("ai2_attack Muro griffin")));
}

TEST_F(ReadBack, TheMenuEntryReadsTheParenthesisedFormAndKeepsAboutLast)
{
    Script("\tchr_poison (Muro, 5, 30, 30);\r\n", ";");
    QAction* read = MenuEntry(QStringLiteral("Read into builder"));
    ASSERT_NE(read, nullptr);
    const QList<QAction*> entries = main.window.findChild<QMenu*>()->actions();
    EXPECT_LT(entries.indexOf(read), entries.size() - 1);
    EXPECT_TRUE(entries.last()->text().contains(QStringLiteral("About"), Qt::CaseInsensitive));

    read->trigger();
    EXPECT_EQ(Category(), Label(CategoryOf("chr_poison")));
    EXPECT_EQ(Command(), "chr_poison");
    EXPECT_EQ(Param(0), "Muro");
    EXPECT_EQ(Custom(), "5 30 30");
}

TEST_F(ReadBack, AValueInPlaceOfAPlaceholderGoesToTheCustomBox)
{
    Script("\tchr_wait_health Muro 20\r\n", "Muro");
    PressF4();
    EXPECT_EQ(Command(), "chr_wait_health");
    EXPECT_EQ(Param(0), "Muro");
    EXPECT_EQ(Custom(), "20");

    // A command the builder writes as an `if` block: the call inside the condition is read, and
    // the number compared with, outside the call, leaves the placeholder in place.
    const ScriptCommand& count = *findCommand("trigvolume_count");
    std::vector<std::string> volumes;
    fillParameterList(count.list1, volumes);
    const auto volume = std::find_if(volumes.begin(), volumes.end(),
                                     [](const std::string& entry) { return !isLevelHeading(entry); });
    ASSERT_NE(volume, volumes.end());
    const std::string line = "\tif(trigvolume_count(" + *volume + ") eq 5)\r\n";
    Script(line, "count(");
    PressF4();
    EXPECT_EQ(Command(), "trigvolume_count");
    EXPECT_EQ(Param(0), *volume);
    ASSERT_TRUE(count.placeholder);
    EXPECT_EQ(Custom(), *count.placeholder);
}

TEST_F(ReadBack, ALineCallingNoBuilderCommandSaysSoAndLeavesTheChoice)
{
    Script("\tai2_attack Muro griffin\r\n\tlevel_start\r\n# ai2_spawn Muro\r\n", "attack");
    PressF4();
    Script("\tai2_attack Muro griffin\r\n\tlevel_start\r\n# ai2_spawn Muro\r\n", "level_start");
    PressF4();
    EXPECT_EQ(Description(), "'LEVEL_START' IS NOT A COMMAND THE BUILDER KNOWS.");
    EXPECT_EQ(Command(), "ai2_attack");
    EXPECT_EQ(Param(0), "Muro");

    Script("\tai2_attack Muro griffin\r\n\tlevel_start\r\n# ai2_spawn Muro\r\n", "# ai2");
    PressF4();
    EXPECT_EQ(Description(), "NOTHING ON THIS LINE CALLS A COMMAND.");
}

TEST_F(ReadBack, AnArgumentNoListHoldsIsKeptInTheCustomBox)
{
    Script("\tai2_attack Nobody_at_all Muro\r\n", "Nobody");
    PressF4();
    EXPECT_EQ(Command(), "ai2_attack");
    EXPECT_EQ(Combo("IDC_PARAM1_COMBO")->currentIndex(), -1);
    EXPECT_EQ(Param(1), "Muro");
    EXPECT_EQ(Custom(), "Nobody_at_all");
    EXPECT_EQ(Description().rfind("NO LIST HOLDS 'NOBODY_AT_ALL'; IT IS IN THE CUSTOM BOX.", 0), 0U) << Description();
}

TEST_F(ReadBack, ReadingTheSameCommandAgainChoosesAfresh)
{
    Script("\tai2_attack Muro griffin\r\n\tai2_attack Griffin\r\n", "griffin");
    PressF4();
    Script("\tai2_attack Muro griffin\r\n\tai2_attack Griffin\r\n", "Griffin");
    PressF4();
    EXPECT_EQ(Param(0), "Griffin");
    EXPECT_EQ(Combo("IDC_PARAM2_COMBO")->currentIndex(), -1);

    // Picking by hand still works as before: a new command empties the lists.
    Combo("IDC_COMMAND_COMBO")->setCurrentIndex(Combo("IDC_COMMAND_COMBO")->findText("ai2_spawn"));
    EXPECT_EQ(Combo("IDC_PARAM1_COMBO")->currentIndex(), -1);
    EXPECT_EQ(Command(), "ai2_spawn");
}

} // namespace
