#pragma once

#include "app/MainWindow.h"
#include "editor/ScriptEditor.h"

#include <QApplication>
#include <QSettings>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

// The main window as it stands after start-up, shown, so a test drives it with events and then
// looks at it. Controls are found by their object names.
// Makes `window` the active window at once, as the window system would on a click.
inline void MakeActive(QWidget* window)
{
    QApplication::setActiveWindow(window);
    ASSERT_EQ(QApplication::activeWindow(), window);
}

class MainWindowUnderTest {
public:
    MainWindowUnderTest() { window.show(); }

    template <class Widget = QWidget>
    Widget* control(const char* objectName) const
    {
        return window.findChild<Widget*>(QString::fromLatin1(objectName));
    }

    ScriptEditor* editor() const { return window.editor(); }

    // The editor's text as it holds it: UTF-8, CR LF line ends.
    std::string editorText() const { return std::string(editor()->documentText()); }

    // Puts `text` into the editor as it stands, then selects from `anchor` to `caret` (byte
    // positions).
    void setEditorText(std::string_view text, long anchor, long caret) const
    {
        editor()->setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
        select(anchor, caret);
    }

    void select(long anchor, long caret) const
    {
        editor()->SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(anchor), caret);
    }

    // The selection's start and end, in byte positions.
    std::pair<long, long> editorSelection() const
    {
        return {editor()->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART),
                editor()->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND)};
    }

private:
    // Every window under test starts from what a first run remembers: nothing.
    struct FreshSettings {
        FreshSettings() { QSettings(QSettings::NativeFormat, QSettings::UserScope, "quarn-xp", "quarn-xp").clear(); }
    } m_freshSettings;

public:
    MainWindow window;
};
