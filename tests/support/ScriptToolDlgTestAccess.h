#pragma once

#include "app/ScriptToolDlg.h"

#include <QWidget>

// Reaches the main window's members and handlers from tests, as the window's own code does.
class ScriptToolDlgTestAccess {
public:
    static std::string& LastFolder(CScriptToolDlg& dlg) { return dlg.m_strLastFolder; }
    static EDITSTREAM& EditStream(CScriptToolDlg& dlg) { return dlg.m_editStream; }
    static CRichEdiT& Editor(CScriptToolDlg& dlg) { return dlg.m_editor; }
    static int& UseDefaultLayout(CScriptToolDlg& dlg) { return dlg.m_bUseDefaultLayout; }
    static int& CommandType(CScriptToolDlg& dlg) { return dlg.m_nCommandType; }
    static int& StopCount(CScriptToolDlg& dlg) { return dlg.m_nStopCount; }
    static const QIcon& Icon(CScriptToolDlg& dlg) { return dlg.m_hIcon; }
    static CComboBox& Category(CScriptToolDlg& dlg) { return dlg.m_cbCategory; }
    static CComboBox& Command(CScriptToolDlg& dlg) { return dlg.m_cbCommand; }
    static CComboBox& Param1(CScriptToolDlg& dlg) { return dlg.m_cbParam1; }
    static CComboBox& Param2(CScriptToolDlg& dlg) { return dlg.m_cbParam2; }
    static CComboBox& Param3(CScriptToolDlg& dlg) { return dlg.m_cbParam3; }
    static CEdit& Custom(CScriptToolDlg& dlg) { return dlg.m_editCustom; }

    static const MessageMap& GetMessageMap(const CScriptToolDlg& dlg) { return dlg.GetMessageMap(); }

    static void OnSysCommand(CScriptToolDlg& dlg, UINT nID, LPARAM lParam = 0) { dlg.OnSysCommand(nID, lParam); }
    static void OnTimer(CScriptToolDlg& dlg, UINT_PTR nIDEvent) { dlg.OnTimer(nIDEvent); }
    static void OnOpenScript(CScriptToolDlg& dlg) { dlg.OnOpenScript(); }
    static void OnSaveScript(CScriptToolDlg& dlg) { dlg.OnSaveScript(); }
    static void LoadScriptFile(CScriptToolDlg& dlg, std::string path) { dlg.LoadScriptFile(std::move(path)); }
    static void SaveScriptFile(CScriptToolDlg& dlg, std::string path) { dlg.SaveScriptFile(std::move(path)); }
    static void FillCommandTypes(CScriptToolDlg& dlg) { dlg.FillCommandTypes(); }
    static void OnSelchangeCategoryCombo(CScriptToolDlg& dlg) { dlg.OnSelchangeCategoryCombo(); }
    static void OnSelchangeCommandCombo(CScriptToolDlg& dlg) { dlg.OnSelchangeCommandCombo(); }
    static void OnAddStatement(CScriptToolDlg& dlg) { dlg.OnAddStatement(); }
};

// The main window as it stands after start-up: created, initialised and shown, without a modal
// loop of its own, so a test drives it with events and then looks at it.
class MainWindowUnderTest {
public:
    MainWindowUnderTest()
    {
        dlg.Create();
        window()->show();
    }

    QWidget* window() const { return dlg.GetSafeHwnd(); }

    template <class Widget = QWidget>
    Widget* control(int id) const
    {
        return dynamic_cast<Widget*>(dlg.GetDlgItem(id));
    }

    CScriptToolDlg dlg;
};
