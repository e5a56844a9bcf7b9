#include "platform/DesktopServices.h"

#include "platform/QtDesktopServices.h"

namespace {

DesktopServices* g_installed = nullptr;

} // namespace

DesktopServices& DesktopServices::instance()
{
    static QtDesktopServices qtServices;
    return g_installed ? *g_installed : qtServices;
}

void DesktopServices::setInstance(DesktopServices* services)
{
    g_installed = services;
}
