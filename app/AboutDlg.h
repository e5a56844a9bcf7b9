#pragma once

#include "platform/Dialog.h"

// The About box: two blocks of text and a button that closes it.
class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* pParent = nullptr);
};
