#include "app/AboutDlg.h"

#include "app/Resource.h"

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(kAboutDialogTemplate, pParent)
{
}
