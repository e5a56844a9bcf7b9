#pragma once

#include "platform/Messages.h"

#include <Qt>

// Negative (high bit set) while the key is down, as of the keyboard event being handled, or of
// the keyboard itself when none is. Only VK_SHIFT, VK_CONTROL and VK_MENU are told; any other
// key reads as up.
short GetKeyState(int nVirtKey);

// Makes GetKeyState answer for the modifiers of the keyboard event that is being handled.
class KeyStateScope {
public:
    explicit KeyStateScope(Qt::KeyboardModifiers modifiers);
    ~KeyStateScope();
    KeyStateScope(const KeyStateScope&) = delete;
    KeyStateScope& operator=(const KeyStateScope&) = delete;

private:
    bool m_wasInKeyEvent;
    Qt::KeyboardModifiers m_previous;
};
