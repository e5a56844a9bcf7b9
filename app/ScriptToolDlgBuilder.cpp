#include "app/ScriptToolDlg.h"

#include "app/Resource.h"
#include "builder/CommandCatalogue.h"
#include "builder/ParamSets.h"
#include "builder/StatementComposer.h"
#include "platform/DesktopServices.h"

#include <array>
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

void CScriptToolDlg::ResetParameterChoice()
{
    m_cbParam1.ResetContent();
    m_cbParam2.ResetContent();
    m_cbParam3.ResetContent();
    SetDlgItemText(IDC_CUSTOM_EDIT, std::string(kCustomValueFiller));
    SetDlgItemText(IDC_HINT_EDIT, std::string(kKeyHelpHint));
}

void CScriptToolDlg::OnSelchangeCategoryCombo()
{
    m_cbCommand.ResetContent();
    ResetParameterChoice();

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
    ResetParameterChoice();

    // The heading, no selection or a stale category find no set and leave the reset state.
    const CommandParamSet* paramSet = FindCommandParamSet(m_nCommandType, m_cbCommand.GetCurSel());
    if (!paramSet)
        return;

    const std::array<CComboBox*, 3> lists = {&m_cbParam1, &m_cbParam2, &m_cbParam3};
    const auto sources = paramSet->lists();
    for (std::size_t i = 0; i < lists.size(); ++i) {
        std::vector<std::string> entries;
        FillParamList(sources[i], entries);
        lists[i]->AddStrings(entries);
    }
    if (paramSet->placeholder)
        SetDlgItemText(IDC_CUSTOM_EDIT, std::string(*paramSet->placeholder));
    SetDlgItemText(IDC_HINT_EDIT, std::string(paramSet->description));
}

void CScriptToolDlg::OnAddStatement()
{
    StatementChoice choice{m_cbCommand.GetWindowText(), m_cbParam1.GetWindowText(), m_cbParam2.GetWindowText(),
                           m_cbParam3.GetWindowText(), m_editCustom.GetWindowText()};
    if (choice.custom == kCustomValueFiller)
        choice.custom.clear();

    DesktopServices& desktop = DesktopServices::instance();
    if (IsRefusedCombination(choice)) {
        desktop.messageBox(GetSafeHwnd(), std::string(kRefusalText), std::string(kBuilderBoxCaption),
                           DesktopServices::Icon::None);
        return;
    }

    std::string statement;
    if (const StatementTemplate* statementTemplate = FindStatementTemplate(choice.command)) {
        statement = ComposeFromTemplate(*statementTemplate, choice);
        m_bUseDefaultLayout = 0;
    } else if (choice.command == kStopCommand) {
        if (++m_nStopCount == kStopMessageCount)
            desktop.messageBox(GetSafeHwnd(), std::string(kStopMessage), std::string(kBuilderBoxCaption),
                               DesktopServices::Icon::None);
        m_bUseDefaultLayout = 0;
    }
    if (m_bUseDefaultLayout)
        statement = ComposeDefault(choice);

    // A clipboard held by another program is not written, but the paste still goes ahead and
    // inserts whatever it already holds. A statement that could not be allocated is not
    // pasted at all: the old clipboard text would pose as the statement.
    if (desktop.setClipboardText(statement) != DesktopServices::ClipboardWrite::OutOfMemory)
        m_editor.Paste();

    m_bUseDefaultLayout = 1;
    SetDlgItemText(IDC_HINT_EDIT, std::string(kKeyHelpHint));
}
