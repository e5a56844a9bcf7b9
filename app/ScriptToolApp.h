#pragma once

#include "platform/WinApp.h"

// The application: runs the main window once and ends with it.
class CScriptToolApp : public CWinApp {
public:
    BOOL InitInstance() override;
};

extern CScriptToolApp theApp;
