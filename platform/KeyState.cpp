#include "platform/KeyState.h"

#include <QGuiApplication>

namespace {

bool g_inKeyEvent = false;
Qt::KeyboardModifiers g_eventModifiers;

Qt::KeyboardModifier modifierOf(int nVirtKey)
{
    switch (nVirtKey) {
    case VK_SHIFT:
        return Qt::ShiftModifier;
    case VK_CONTROL:
        return Qt::ControlModifier;
    case VK_MENU:
        return Qt::AltModifier;
    default:
        return Qt::NoModifier;
    }
}

} // namespace

short GetKeyState(int nVirtKey)
{
    const Qt::KeyboardModifier modifier = modifierOf(nVirtKey);
    if (modifier == Qt::NoModifier)
        return 0;
    const Qt::KeyboardModifiers down = g_inKeyEvent ? g_eventModifiers : QGuiApplication::queryKeyboardModifiers();
    return down.testFlag(modifier) ? static_cast<short>(0x8000) : 0;
}

KeyStateScope::KeyStateScope(Qt::KeyboardModifiers modifiers)
    : m_wasInKeyEvent(g_inKeyEvent)
    , m_previous(g_eventModifiers)
{
    g_inKeyEvent = true;
    g_eventModifiers = modifiers;
}

KeyStateScope::~KeyStateScope()
{
    g_inKeyEvent = m_wasInKeyEvent;
    g_eventModifiers = m_previous;
}
