#include "app/ScriptToolApp.h"

// The one application object, constructed before the program starts. It lives here, beside
// main, so that the linker always takes it into the executable and no test binary has one.
CScriptToolApp theApp;

int main(int argc, char** argv)
{
    return AfxWinMain(argc, argv);
}
