#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QString>
#include <QWidget>
#include <QWindow>

#include <functional>

// The toolkit's way in for a key from the keyboard: the active window's shortcuts first, then the
// focused control. Its test library declares it; this suite does not link that library.
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
                                    const QString& text, bool autorepeat, ushort count);

// Drives a whole window the way a person at the keyboard does, for the tests of what keeps the
// user's work safe.
namespace driving {

// Processes events until `done` holds, for at most `withinMs`.
inline bool WaitFor(const std::function<bool()>& done, int withinMs = 1000)
{
    const QDeadlineTimer deadline(withinMs);
    while (!done() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Makes `window` the active window, as a click on it would.
inline bool Activate(QWidget& window)
{
    window.activateWindow();
    return WaitFor([&] { return QApplication::activeWindow() == &window; });
}

// The user goes to another program and comes back to `window`.
inline bool ComeBackTo(QWidget& window)
{
    QWidget elsewhere;
    elsewhere.setWindowTitle(QStringLiteral("another program"));
    elsewhere.show();
    if (!Activate(elsewhere))
        return false;
    return Activate(window);
}

// A key pressed and released on the keyboard while `window` is active. Ctrl with a letter carries
// the control character a keyboard gives.
inline void PressKey(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                     QString text = QString())
{
    if (text.isEmpty() && (modifiers & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        text = QChar(key - Qt::Key_A + 1);
    QWindow* handle = window.window()->windowHandle();
    qt_handleKeyEvent(handle, QEvent::KeyPress, key, modifiers, text, false, 1);
    qt_handleKeyEvent(handle, QEvent::KeyRelease, key, modifiers, text, false, 1);
}

// Characters typed on the keyboard while `window` is active.
inline void TypeKeys(QWidget& window, const QString& text)
{
    for (const QChar c : text)
        PressKey(window, c.isDigit() ? Qt::Key_0 + c.digitValue() : c.toUpper().unicode(), Qt::NoModifier, c);
}

} // namespace driving
