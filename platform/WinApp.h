#pragma once

#include "platform/WinTypes.h"

// The application object. The one object of a class derived from it exists before start-up;
// AfxWinMain starts the toolkit and calls its InitInstance.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Return FALSE to end the program as soon as it returns, TRUE to run the toolkit's event loop
    // until the last window closes.
    virtual BOOL InitInstance();
};

CWinApp* AfxGetApp();

// The program's entry: starts the toolkit, runs the application object and returns the exit code.
int AfxWinMain(int argc, char** argv);
