#pragma once

#include "platform/DesktopServices.h"

// The desktop services of a running program, through Qt.
class QtDesktopServices : public DesktopServices {
public:
    Answer messageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                      Buttons buttons = Buttons::Ok) override;
    std::optional<QString> getOpenFileName(QWidget* owner, const FileDialogOptions& options) override;
    std::optional<QString> getSaveFileName(QWidget* owner, const FileDialogOptions& options) override;
    std::optional<QString> getText(QWidget* owner, const QString& title, const QString& label,
                                   const QString& text) override;
    ClipboardWrite setClipboardText(const std::string& text) override;
    bool openUrl(const QString& url) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    QDateTime currentDateTime() override;
};
