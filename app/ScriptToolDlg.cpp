#include "app/ScriptToolDlg.h"

#include "app/AboutDlg.h"
#include "app/Resource.h"
#include "builder/ReferenceDatabase.h"
#include "editor/WordLists.h"
#include "platform/DesktopServices.h"
#include "platform/Menu.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <ctime>

namespace {

struct WebAddress {
    int linkId;
    const char* url;
};

constexpr WebAddress kWebAddresses[] = {
    {IDC_LINK_CHARS, "https://vesk.example.org/chars"},
    {IDC_LINK_SHOTS, "https://vesk.example.org/shots"},
    {IDC_LINK_CENTRAL, "https://vesk.example.org/central"},
};

constexpr char kClockFormat[] = "%H:%M:%S";
constexpr std::size_t kClockBufferSize = 128;
constexpr UINT kClockPeriodMs = 1000;

constexpr char kCommentChar = '#';
constexpr COLORREF kEditorBackground = RGB(0, 0, 0);

// The low four bits of a system command are the desktop's own.
constexpr UINT kSystemCommandMask = 0xFFF0;

// Empty when the time is not valid or formats to nothing.
std::string FormatClock(const QDateTime& localTime)
{
    if (!localTime.isValid())
        return {};
    const QTime time = localTime.time();
    std::tm fields{};
    fields.tm_hour = time.hour();
    fields.tm_min = time.minute();
    fields.tm_sec = time.second();
    char buffer[kClockBufferSize];
    const std::size_t length = std::strftime(buffer, sizeof buffer, kClockFormat, &fields);
    return std::string(buffer, length);
}

} // namespace

CScriptToolDlg::CScriptToolDlg(CWnd* pParent) : CDialog(kMainDialogTemplate, pParent)
{
    m_hIcon = LoadIcon(IDI_MAIN_ICON);
    // The file dialogs start at home until a script was opened or saved; paths are held in the
    // file system's own bytes.
    m_strLastFolder = QFile::encodeName(QDir::homePath() + QLatin1Char('/')).toStdString();
    m_bUseDefaultLayout = 1;
    m_nStopCount = 1;
}

CScriptToolDlg::~CScriptToolDlg()
{
    // The controls go before the objects bound to them.
    DestroyWindow();
}

const MessageMap& CScriptToolDlg::GetMessageMap() const
{
    using namespace message_map;
    static const MessageMap kMessageMap = {
        SysCommand(&CScriptToolDlg::OnSysCommand),
        Clicked(IDC_OPEN_LABEL, &CScriptToolDlg::OnOpenScript),
        Clicked(IDC_SAVE_LABEL, &CScriptToolDlg::OnSaveScript),
        Timer(&CScriptToolDlg::OnTimer),
        SelChange(IDC_CATEGORY_COMBO, &CScriptToolDlg::OnSelchangeCategoryCombo),
        SelChange(IDC_COMMAND_COMBO, &CScriptToolDlg::OnSelchangeCommandCombo),
        Clicked(IDC_ADD_STATEMENT, &CScriptToolDlg::OnAddStatement),
        Command(ID_EDIT_COPY_CMD, &CScriptToolDlg::OnEditCopy),
        Command(ID_EDIT_CUT_CMD, &CScriptToolDlg::OnEditCut),
        Command(ID_EDIT_PASTE_CMD, &CScriptToolDlg::OnEditPaste),
        Command(ID_EDIT_DELETE_CMD, &CScriptToolDlg::OnEditDelete),
        Clicked(IDC_LINK_CHARS, &CScriptToolDlg::OnLinkChars),
        Clicked(IDC_LINK_SHOTS, &CScriptToolDlg::OnLinkShots),
        Clicked(IDC_LINK_CENTRAL, &CScriptToolDlg::OnLinkCentral),
    };
    return kMessageMap;
}

void CScriptToolDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CATEGORY_COMBO, m_cbCategory);
    DDX_Control(pDX, IDC_COMMAND_COMBO, m_cbCommand);
    DDX_Control(pDX, IDC_PARAM1_COMBO, m_cbParam1);
    DDX_Control(pDX, IDC_PARAM2_COMBO, m_cbParam2);
    DDX_Control(pDX, IDC_PARAM3_COMBO, m_cbParam3);
    DDX_Control(pDX, IDC_CUSTOM_EDIT, m_editCustom);
}

BOOL CScriptToolDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_editor.SubclassDlgItem(IDC_SCRIPT_EDIT, this);
    m_editor.InitFormat();
    m_editor.SetCommentChar(kCommentChar);
    m_editor.AddKeywords(kKeywordList);
    m_editor.AddCommands(kCommandList);
    m_editor.AddCharacterNames(CharacterNameList());
    m_editor.SetBackgroundColor(FALSE, kEditorBackground);

    SetTimer(IDT_CLOCK, kClockPeriodMs);

    FillCommandTypes();

    return TRUE;
}

BOOL CScriptToolDlg::PreTranslateMessage(MSG* pMsg)
{
    // Escape would end the window; it does nothing anywhere in it, an open list included.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE)
        return TRUE;

    // The click opens the menu and goes no further, so the editor's caret and selection stay.
    if (pMsg->message == WM_RBUTTONDOWN) {
        TrackEditMenu(pMsg->pt);
        return TRUE;
    }

    return CDialog::PreTranslateMessage(pMsg);
}

void CScriptToolDlg::TrackEditMenu(const QPoint& screenPos)
{
    CMenu menu;
    menu.LoadMenu(kEditMenuTemplate);
    CMenu* popup = menu.GetSubMenu(0);

    // The window manager's menu is out of the program's reach, so the About entry that belongs
    // there ends this menu instead.
    std::string aboutText;
    LoadStringById(IDS_ABOUTBOX, aboutText);
    if (!aboutText.empty()) {
        popup->AppendMenu(MF_SEPARATOR);
        popup->AppendMenu(MF_STRING | MF_SYSMENU, IDM_ABOUTBOX, aboutText);
    }

    popup->TrackPopupMenu(screenPos, this);
}

void CScriptToolDlg::OnSysCommand(UINT nID, LPARAM)
{
    // Moving, minimising, restoring and closing stay with the window manager; only the About
    // entry reaches the program.
    if ((nID & kSystemCommandMask) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout(this);
        dlgAbout.DoModal();
    }
}

void CScriptToolDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == IDT_CLOCK)
        SetDlgItemText(IDC_CLOCK, FormatClock(DesktopServices::instance().currentDateTime()));
}

void CScriptToolDlg::OnEditCopy()
{
    m_editor.Copy();
}

void CScriptToolDlg::OnEditCut()
{
    m_editor.Cut();
}

void CScriptToolDlg::OnEditPaste()
{
    m_editor.Paste();
}

void CScriptToolDlg::OnEditDelete()
{
    m_editor.Clear();
}

void CScriptToolDlg::OnLinkChars()
{
    OpenWebAddress(IDC_LINK_CHARS);
}

void CScriptToolDlg::OnLinkShots()
{
    OpenWebAddress(IDC_LINK_SHOTS);
}

void CScriptToolDlg::OnLinkCentral()
{
    OpenWebAddress(IDC_LINK_CENTRAL);
}

void CScriptToolDlg::OpenWebAddress(int linkId)
{
    const auto* address = std::find_if(std::begin(kWebAddresses), std::end(kWebAddresses),
                                       [linkId](const WebAddress& entry) { return entry.linkId == linkId; });
    // A page the desktop cannot open is not reported.
    if (address != std::end(kWebAddresses))
        DesktopServices::instance().openUrl(QString::fromLatin1(address->url));
}
