#pragma once

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

// Input the way the window system delivers it to a widget, without a display.
namespace input {

inline bool Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    const bool delivered = QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &release);
    return delivered;
}

inline void MousePress(QWidget* target, Qt::MouseButton button, QPoint local)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), QPointF(target->mapToGlobal(local)), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

inline void MouseRelease(QWidget* target, Qt::MouseButton button, QPoint local)
{
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(local), QPointF(target->mapToGlobal(local)), button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

inline void LeftClick(QWidget* target, QPoint local)
{
    MousePress(target, Qt::LeftButton, local);
    MouseRelease(target, Qt::LeftButton, local);
}

// A right-button press followed by the context-menu event the toolkit derives from it on this
// platform, then the release.
inline void RightClick(QWidget* target, QPoint local)
{
    MousePress(target, Qt::RightButton, local);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, local, target->mapToGlobal(local));
    QApplication::sendEvent(target, &menu);
    MouseRelease(target, Qt::RightButton, local);
}

} // namespace input
