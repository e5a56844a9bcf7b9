#include "app/ScriptToolApp.h"

#include "app/ScriptToolDlg.h"

BOOL CScriptToolApp::InitInstance()
{
    CWinApp::InitInstance();

    CScriptToolDlg dlg;
    dlg.DoModal();

    // The window's run was the program's only loop: end now rather than start another.
    return FALSE;
}
