#pragma once

#include "app/Resource.h"
#include "builder/CommandCatalogue.h"
#include "platform/DropDownList.h"
#include "support/ScriptToolDlgTestAccess.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

// Drives the command builder of a window under test the way a user picks entries.
class BuilderDriver {
public:
    explicit BuilderDriver(MainWindowUnderTest& main) : m_main(main) {}

    void ChooseCategory(int number) { List(IDC_CATEGORY_COMBO)->setCurrentIndex(number); }

    void ChoosePosition(int position) { List(IDC_COMMAND_COMBO)->setCurrentIndex(position); }

    // Picks the category that holds `command`, then the command.
    void ChooseCommand(std::string_view command)
    {
        for (int number = 1; number <= kCategoryCount; ++number) {
            const auto commands = FindCommandCategory(number)->commands;
            for (std::size_t i = 0; i < commands.size(); ++i) {
                if (commands[i] == command) {
                    ChooseCategory(number);
                    ChoosePosition(int(i) + 1);
                    return;
                }
            }
        }
        ADD_FAILURE() << "no such command: " << command;
    }

    // Picks the first entry of parameter list `list` (1 to 3) that reads `text`.
    void ChooseParam(int list, const std::string& text)
    {
        DropDownList* combo = List(IDC_PARAM1_COMBO + list - 1);
        const int index = combo->findText(QString::fromLatin1(text.data(), qsizetype(text.size())));
        ASSERT_GE(index, 0) << "no entry " << text << " in list " << list;
        combo->setCurrentIndex(index);
    }

    std::vector<std::string> Entries(int list) const
    {
        CComboBox& combo = Param(list);
        std::vector<std::string> entries;
        for (int i = 0; i < combo.GetCount(); ++i)
            entries.push_back(combo.GetLBText(i));
        return entries;
    }

    CComboBox& Param(int list) const
    {
        switch (list) {
        case 1: return ScriptToolDlgTestAccess::Param1(m_main.dlg);
        case 2: return ScriptToolDlgTestAccess::Param2(m_main.dlg);
        default: return ScriptToolDlgTestAccess::Param3(m_main.dlg);
        }
    }

    std::string Custom() const { return m_main.dlg.GetDlgItemText(IDC_CUSTOM_EDIT); }
    std::string Hint() const { return m_main.dlg.GetDlgItemText(IDC_HINT_EDIT); }

private:
    DropDownList* List(int id) const { return m_main.control<DropDownList>(id); }

    MainWindowUnderTest& m_main;
};
