#include "app/ScriptToolDlg.h"

#include "app/Resource.h"
#include "builder/CommandCatalogue.h"

#include <vector>

void CScriptToolDlg::FillCommandTypes()
{
    SetDlgItemText(IDC_HINT_EDIT, std::string(kKeyHelpHint));
    SetDlgItemText(IDC_CUSTOM_EDIT, std::string(kCustomValueFiller));

    m_cbCategory.AddString(std::string(kCategoryPrompt));
    for (const CommandCategory& category : CommandCategories())
        m_cbCategory.AddString(std::string(category.label));
    m_cbCategory.SetCurSel(0);
}

void CScriptToolDlg::OnSelchangeCategoryCombo()
{
    m_cbCommand.ResetContent();
    m_cbParam1.ResetContent();
    m_cbParam2.ResetContent();
    m_cbParam3.ResetContent();
    SetDlgItemText(IDC_CUSTOM_EDIT, std::string(kCustomValueFiller));
    SetDlgItemText(IDC_HINT_EDIT, std::string(kKeyHelpHint));

    // The prompt, or no selection at all, leaves the lists empty and the category as it was.
    const int position = m_cbCategory.GetCurSel();
    const CommandCategory* category = FindCommandCategory(position);
    if (!category)
        return;

    std::vector<std::string> entries;
    entries.reserve(category->commands.size() + 1);
    entries.emplace_back(category->heading);
    for (const std::string_view command : category->commands)
        entries.emplace_back(command);
    m_cbCommand.AddStrings(entries);
    // The heading shows as the current entry; choosing it here is no choice of a command.
    m_cbCommand.SetCurSel(0);
    m_nCommandType = position;
}

void CScriptToolDlg::OnSelchangeCommandCombo()
{
}

void CScriptToolDlg::OnAddStatement()
{
}
