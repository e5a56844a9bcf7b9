#include "platform/WinApp.h"

#include "platform/ProgramName.h"

#include <QApplication>

namespace {

CWinApp* g_application = nullptr;

} // namespace

CWinApp::CWinApp()
{
    g_application = this;
}

CWinApp::~CWinApp()
{
    if (g_application == this)
        g_application = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

CWinApp* AfxGetApp()
{
    return g_application;
}

int AfxWinMain(int argc, char** argv)
{
    QApplication toolkit(argc, argv);
    // Lets the desktop match the window with the installed .desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kProgramName.data(), qsizetype(kProgramName.size())));
    CWinApp* application = AfxGetApp();
    if (!application || !application->InitInstance())
        return 0;
    return QApplication::exec();
}
