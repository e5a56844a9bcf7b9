#pragma once

#include "editor/RichEdiT.h"
#include "platform/ComboBox.h"
#include "platform/Dialog.h"
#include "platform/Edit.h"
#include "platform/RichEditCtrl.h"

#include <QIcon>

#include <cstdint>
#include <string>

class QPoint;

// The main window: the script editor on the left, the command builder on the right, the file
// labels, the clock and the web links.
class CScriptToolDlg : public CDialog {
public:
    explicit CScriptToolDlg(CWnd* pParent = nullptr);
    ~CScriptToolDlg() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    const MessageMap& GetMessageMap() const override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnOpenScript();
    void OnSaveScript();
    void OnTimer(UINT_PTR nIDEvent);
    void OnSelchangeCategoryCombo();
    void OnSelchangeCommandCombo();
    void OnAddStatement();
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();
    void OnEditDelete();
    void OnLinkChars();
    void OnLinkShots();
    void OnLinkCentral();

    void LoadScriptFile(std::string path);
    void SaveScriptFile(std::string path);
    static std::uint32_t StreamInCallback(std::uintptr_t dwCookie, std::uint8_t* pbBuff, long cb, long* pcb);
    static std::uint32_t StreamOutCallback(std::uintptr_t dwCookie, std::uint8_t* pbBuff, long cb, long* pcb);
    // Offers to save a text changed since it was opened or saved. False when the user cancels or
    // leaves the save dialog without saving; a failed save raises its file error.
    bool SaveModified();
    bool CanClose() override;

    void FillCommandTypes();

    std::string m_strLastFolder;
    EDITSTREAM m_editStream;
    CRichEdiT m_editor;
    int m_bUseDefaultLayout;
    int m_nCommandType = 0;
    int m_nStopCount;
    QIcon m_hIcon;
    CComboBox m_cbCategory;
    CComboBox m_cbCommand;
    CComboBox m_cbParam1;
    CComboBox m_cbParam2;
    CComboBox m_cbParam3;
    CEdit m_editCustom;

private:
    friend class ScriptToolDlgTestAccess;

    // The context menu, at `screenPos`, of whatever control was right-clicked.
    void TrackEditMenu(const QPoint& screenPos);
    void OpenWebAddress(int linkId);
    // Empties the three parameter lists and puts the custom value's filler and the key help back.
    void ResetParameterChoice();
};
