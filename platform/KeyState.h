#pragma once

#include <Qt>

// Virtual-key codes of the keys whose state GetKeyState can tell.
constexpr int VK_TAB = 0x09;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;

// Negative (high bit set) while the key is down, as of the keyboard event being handled, or of
// the keyboard itself when none is.
short GetKeyState(int nVirtKey);

// Makes GetKeyState answer for the modifiers of the keyboard event that is being handled.
class KeyStateScope {
public:
    explicit KeyStateScope(Qt::KeyboardModifiers modifiers);
    ~KeyStateScope();
    KeyStateScope(const KeyStateScope&) = delete;
    KeyStateScope& operator=(const KeyStateScope&) = delete;

private:
    bool m_hadModifiers;
    Qt::KeyboardModifiers m_previous;
};
