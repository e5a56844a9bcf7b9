#pragma once

#include "platform/Wnd.h"

// An edit box control, single-line or multi-line; its text goes through CWnd's window text.
class CEdit : public CWnd {
protected:
    bool Attach(QWidget* widget) override;
};
