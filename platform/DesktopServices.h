#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <string>

class QWidget;

// Everything the program asks of the desktop that a test must be able to answer instead of a
// person: modal boxes and file dialogs, the clipboard, the browser, the cursor and the clock.
class DesktopServices {
public:
    enum class Icon { None, Information, Warning, Stop, Question };
    enum class Buttons { Ok, SaveDiscardCancel, YesNo, RecoverDiscard };
    enum class Answer { Ok, Save, Discard, Cancel, Yes, No, Recover };

    struct FileDialogOptions {
        QString initialFolder;
        QString filterDescription;  // e.g. "VESK Level Script Files (*.bsl)"
        QString filterPattern;      // e.g. "*.bsl"
        QString defaultSuffix;      // appended on save when the typed name has none; empty on open
    };

    virtual ~DesktopServices() = default;

    // An empty caption shows the program's name.
    virtual Answer messageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                              Buttons buttons = Buttons::Ok) = 0;

    // The chosen file's full path, or nothing when the user cancels. The save dialog asks before
    // overwriting an existing file.
    virtual std::optional<QString> getOpenFileName(QWidget* owner, const FileDialogOptions& options) = 0;
    virtual std::optional<QString> getSaveFileName(QWidget* owner, const FileDialogOptions& options) = 0;

    // A line the user types into a box titled `title`, asked for by `label`, with `text` offered
    // and selected; nothing when the user cancels.
    virtual std::optional<QString> getText(QWidget* owner, const QString& title, const QString& label,
                                           const QString& text) = 0;

    enum class ClipboardWrite { Written, Unavailable, OutOfMemory };

    // Plain 8-bit text. Unavailable: another program holds the clipboard; OutOfMemory: the text
    // could not be allocated. Either way the clipboard keeps what it held.
    virtual ClipboardWrite setClipboardText(const std::string& text) = 0;

    virtual bool openUrl(const QString& url) = 0;

    virtual void beginWaitCursor() = 0;
    virtual void endWaitCursor() = 0;

    virtual QDateTime currentDateTime() = 0;

    // The services the program runs with; tests install a double with setInstance.
    static DesktopServices& instance();
    static void setInstance(DesktopServices* services);  // nullptr restores the Qt implementation
};

// Shows the wait cursor for its lifetime, also when a handler ends by an error.
class WaitCursor {
public:
    WaitCursor() { DesktopServices::instance().beginWaitCursor(); }
    ~WaitCursor() { DesktopServices::instance().endWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
