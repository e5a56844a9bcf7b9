#include "app/ScriptToolDlg.h"

void CScriptToolDlg::OnOpenScript()
{
}

void CScriptToolDlg::OnSaveScript()
{
}

void CScriptToolDlg::LoadScriptFile(std::string)
{
}

void CScriptToolDlg::SaveScriptFile(std::string)
{
}

std::uint32_t CScriptToolDlg::StreamInCallback(std::uintptr_t, std::uint8_t*, long, long* pcb)
{
    *pcb = 0;
    return 0;
}

std::uint32_t CScriptToolDlg::StreamOutCallback(std::uintptr_t, std::uint8_t*, long, long* pcb)
{
    *pcb = 0;
    return 0;
}
