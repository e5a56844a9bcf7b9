#include "app/ScriptToolDlg.h"

#include "app/Resource.h"
#include "platform/DesktopServices.h"
#include "platform/File.h"
#include "platform/ProgramName.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

// Paths travel in 8-bit strings as the file system's own bytes, so that any file the dialogs
// offer can be opened, whatever characters its name holds.

namespace {

constexpr char kFilterDescription[] = "VESK Level Script Files (*.bsl)";
constexpr char kFilterPattern[] = "*.bsl";
constexpr char kScriptSuffix[] = "bsl";
constexpr char kLoadingText[] = "Loading, Please wait a few seconds...";
constexpr char kCreditsText[] = "Programmed by Ravok  -  Ideas by PLXN";
constexpr char kSaveChangesQuestion[] = "Save changes to the script?";

std::string FileSystemPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString DisplayPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

DesktopServices::FileDialogOptions ScriptFileDialog(const std::string& folder, const QString& defaultSuffix)
{
    return {DisplayPath(folder), QString::fromLatin1(kFilterDescription), QString::fromLatin1(kFilterPattern),
            defaultSuffix};
}

// The path up to and including its last separator.
std::string FolderOf(const std::string& path)
{
    const std::size_t separator = path.rfind('/');
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// The save dialog appends the suffix itself; a name that arrives without one still gets it, so
// that a script is always saved as one.
QString WithScriptSuffix(const QString& path)
{
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + QLatin1String(kScriptSuffix);
}

// The stream callbacks hand the editor the cause of a failed transfer, which it keeps in the
// stream's error field; a stream-out the callback stopped without a cause is a generic failure.
void RaiseStreamError(const EDITSTREAM& stream, const QString& path)
{
    if (stream.dwError == 0)
        return;
    const auto cause = stream.dwError == kStreamStalled ? CFileException::genericException
                                                        : static_cast<CFileException::Cause>(stream.dwError);
    throw CFileException(cause, path);
}

// Shows the loading text while it lives, then the credits, also when the load fails.
class LoadingCredits {
public:
    explicit LoadingCredits(CDialog& dlg) : m_dlg(dlg) { m_dlg.SetDlgItemText(IDC_CREDITS, kLoadingText); }
    ~LoadingCredits() { m_dlg.SetDlgItemText(IDC_CREDITS, kCreditsText); }
    LoadingCredits(const LoadingCredits&) = delete;
    LoadingCredits& operator=(const LoadingCredits&) = delete;

private:
    CDialog& m_dlg;
};

} // namespace

void CScriptToolDlg::OnOpenScript()
{
    if (!SaveModified())
        return;
    const std::optional<QString> chosen =
        DesktopServices::instance().getOpenFileName(GetSafeHwnd(), ScriptFileDialog(m_strLastFolder, QString()));
    if (!chosen)
        return;
    const std::string path = FileSystemPath(*chosen);
    CWaitCursor wait;
    LoadingCredits credits(*this);
    LoadScriptFile(path);
    m_strLastFolder = FolderOf(path);
}

void CScriptToolDlg::OnSaveScript()
{
    const std::optional<QString> chosen = DesktopServices::instance().getSaveFileName(
        GetSafeHwnd(), ScriptFileDialog(m_strLastFolder, QString::fromLatin1(kScriptSuffix)));
    if (!chosen)
        return;
    const std::string path = FileSystemPath(WithScriptSuffix(*chosen));
    SaveScriptFile(path);
    m_strLastFolder = FolderOf(path);
}

void CScriptToolDlg::LoadScriptFile(std::string path)
{
    CFile file(DisplayPath(path), CFile::Mode::Read);
    m_editStream.dwCookie = reinterpret_cast<std::uintptr_t>(&file);
    m_editStream.pfnCallback = StreamInCallback;
    // The editor recolours the whole text when the stream has replaced it.
    m_editor.StreamIn(SF_TEXT, m_editStream);
    RaiseStreamError(m_editStream, file.GetFilePath());
    file.Close();
    m_editor.SetModify(FALSE);
}

void CScriptToolDlg::SaveScriptFile(std::string path)
{
    CFile file(DisplayPath(path), CFile::Mode::CreateOrReplace);
    m_editStream.dwCookie = reinterpret_cast<std::uintptr_t>(&file);
    m_editStream.pfnCallback = StreamOutCallback;
    m_editor.StreamOut(SF_TEXT, m_editStream);
    RaiseStreamError(m_editStream, file.GetFilePath());
    file.Close();
    m_editor.SetModify(FALSE);
}

std::uint32_t CScriptToolDlg::StreamInCallback(std::uintptr_t dwCookie, std::uint8_t* pbBuff, long cb, long* pcb)
{
    auto& file = *reinterpret_cast<CFile*>(dwCookie);
    *pcb = 0;
    try {
        *pcb = static_cast<long>(file.Read(pbBuff, static_cast<std::size_t>(cb)));
    } catch (const CFileException& error) {
        return error.GetCause();
    }
    return 0;
}

std::uint32_t CScriptToolDlg::StreamOutCallback(std::uintptr_t dwCookie, std::uint8_t* pbBuff, long cb, long* pcb)
{
    auto& file = *reinterpret_cast<CFile*>(dwCookie);
    *pcb = 0;
    try {
        file.Write(pbBuff, static_cast<std::size_t>(cb));
    } catch (const CFileException& error) {
        return error.GetCause();
    }
    *pcb = cb;
    return 0;
}

bool CScriptToolDlg::SaveModified()
{
    if (!m_editor.GetModify())
        return true;
    switch (DesktopServices::instance().messageBox(GetSafeHwnd(), kSaveChangesQuestion, std::string(kProgramName),
                                                   DesktopServices::Icon::Question,
                                                   DesktopServices::Buttons::SaveDiscardCancel)) {
    case DesktopServices::Answer::Save:
        OnSaveScript();
        return !m_editor.GetModify();
    case DesktopServices::Answer::Discard:
        return true;
    default:
        return false;
    }
}

bool CScriptToolDlg::CanClose()
{
    // Closing runs outside the event table, whose dispatch reports a handler's file error, so a
    // failed save is reported here and the window stays.
    try {
        return SaveModified();
    } catch (const CException& error) {
        ReportError(error);
        return false;
    }
}
