#pragma once

#include "catalogue/CommandTable.h"
#include "platform/Cp1252.h"
#include "support/MainWindowHarness.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

// Drives the command builder of a window under test the way a user picks entries.
// What the builder's custom line and its hint show before the user chooses anything.
inline const std::string kFiller(50, '=');
inline const std::string kHintAsShown =
    "-> 'CTRL+ENTER' = NEW LINE.\r\n\r\n-> 'CTRL+TAB'     = TAB.\r\n\r\n-> EDITING KEY ARE ENABLED.";

class BuilderDriver {
public:
    explicit BuilderDriver(MainWindowUnderTest& main) : m_main(main) {}

    QComboBox* categoryList() const { return m_main.control<QComboBox>("IDC_CATEGORY_COMBO"); }
    QComboBox* commandList() const { return m_main.control<QComboBox>("IDC_COMMAND_COMBO"); }
    QComboBox* paramList(int list) const
    {
        static const char* const kNames[] = {"IDC_PARAM1_COMBO", "IDC_PARAM2_COMBO", "IDC_PARAM3_COMBO"};
        return m_main.control<QComboBox>(kNames[list - 1]);
    }

    void ChooseCategory(int number) { categoryList()->setCurrentIndex(number); }

    void ChoosePosition(int position) { commandList()->setCurrentIndex(position); }

    // Picks the category that holds `command`, then the command by its entry in the command list.
    void ChooseCommand(std::string_view command)
    {
        for (int number = 1; number <= kCategoryCount; ++number) {
            for (const ScriptCommand& candidate : findCommandCategory(number)->commands) {
                if (candidate.name != command)
                    continue;
                ChooseCategory(number);
                const int index =
                    commandList()->findText(cp1252::decode(command), Qt::MatchExactly | Qt::MatchCaseSensitive);
                ASSERT_GT(index, 0) << "no entry " << command << " in the command list";
                commandList()->setCurrentIndex(index);
                return;
            }
        }
        ADD_FAILURE() << "no such command: " << command;
    }

    // Picks the first entry of parameter list `list` (1 to 3) that reads `text`.
    void ChooseParam(int list, const std::string& text)
    {
        QComboBox* combo = paramList(list);
        const int index = combo->findText(cp1252::decode(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
        ASSERT_GE(index, 0) << "no entry " << text << " in list " << list;
        combo->setCurrentIndex(index);
    }

    std::vector<std::string> Entries(int list) const
    {
        QComboBox* combo = paramList(list);
        std::vector<std::string> entries;
        for (int i = 0; i < combo->count(); ++i)
            entries.push_back(cp1252::encode(combo->itemText(i)));
        return entries;
    }

    std::string Custom() const { return cp1252::encode(m_main.control<QLineEdit>("IDC_CUSTOM_EDIT")->text()); }
    // The description box's text, with CR LF between lines.
    std::string Hint() const
    {
        QString text = m_main.control<QPlainTextEdit>("IDC_HINT_EDIT")->toPlainText();
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        return cp1252::encode(text);
    }

private:
    MainWindowUnderTest& m_main;
};
