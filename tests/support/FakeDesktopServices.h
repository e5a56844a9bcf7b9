#pragma once

#include "platform/Cp1252.h"
#include "platform/DesktopServices.h"

#include <QClipboard>
#include <QGuiApplication>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Stands in for the desktop while it lives: it records every request and answers from what the
// test set up, so that no test waits for a person. The clipboard is the toolkit's own, so the
// editor's copy and paste see what goes through here; clipboardAnswer makes writing it fail the
// way a clipboard held by another program, or a failed allocation, does.
class FakeDesktopServices : public DesktopServices {
public:
    struct MessageBoxCall {
        QWidget* owner;
        std::string text;     // UTF-8
        std::string caption;  // UTF-8
        Icon icon;
        Buttons buttons;
    };

    struct TextPromptCall {
        QWidget* owner;
        QString title;
        QString label;
        QString text;
    };

    FakeDesktopServices() { DesktopServices::setInstance(this); }
    ~FakeDesktopServices() override { DesktopServices::setInstance(nullptr); }
    FakeDesktopServices(const FakeDesktopServices&) = delete;
    FakeDesktopServices& operator=(const FakeDesktopServices&) = delete;

    // What a box answers once messageBoxAnswers is used up, by its buttons: the safe choice.
    static constexpr Answer kUnansweredAnswers[] = {Answer::Ok, Answer::Cancel, Answer::No, Answer::Discard};

    // What the desktop answers.
    std::deque<Answer> messageBoxAnswers;  // in order; once used up, Ok for an OK box, else Cancel
    std::optional<QString> openFileName;   // the open dialog's choice; nothing: cancelled
    std::optional<QString> saveFileName;   // the save dialog's choice; nothing: cancelled
    std::deque<std::optional<QString>> textAnswers;  // in order; once used up, cancelled
    ClipboardWrite clipboardAnswer = ClipboardWrite::Written;
    bool openUrlSucceeds = true;
    QDateTime now{QDate(2024, 1, 1), QTime(0, 0, 7)};
    // Runs while a message box would be open, after it was recorded.
    std::function<void(const MessageBoxCall&)> whileMessageBoxOpen;

    // What was asked of it.
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<FileDialogOptions> openDialogs;
    std::vector<FileDialogOptions> saveDialogs;
    std::vector<TextPromptCall> textPrompts;
    std::vector<QString> openedUrls;
    int waitCursorDepth = 0;   // begun and not yet ended
    int waitCursorsShown = 0;  // begun in all

    Answer messageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                      Buttons buttons = Buttons::Ok) override
    {
        messageBoxes.push_back({owner, text.toStdString(), caption.toStdString(), icon, buttons});
        if (whileMessageBoxOpen)
            whileMessageBoxOpen(messageBoxes.back());
        if (messageBoxAnswers.empty())
            return kUnansweredAnswers[int(buttons)];
        const Answer answer = messageBoxAnswers.front();
        messageBoxAnswers.pop_front();
        return answer;
    }

    std::optional<QString> getOpenFileName(QWidget*, const FileDialogOptions& options) override
    {
        openDialogs.push_back(options);
        return openFileName;
    }

    std::optional<QString> getSaveFileName(QWidget*, const FileDialogOptions& options) override
    {
        saveDialogs.push_back(options);
        return saveFileName;
    }

    std::optional<QString> getText(QWidget* owner, const QString& title, const QString& label,
                                   const QString& text) override
    {
        textPrompts.push_back({owner, title, label, text});
        if (textAnswers.empty())
            return std::nullopt;
        const std::optional<QString> answer = std::move(textAnswers.front());
        textAnswers.pop_front();
        return answer;
    }

    ClipboardWrite setClipboardText(const std::string& text) override
    {
        if (clipboardAnswer != ClipboardWrite::Written)
            return clipboardAnswer;
        QGuiApplication::clipboard()->setText(cp1252::decode(text));
        return ClipboardWrite::Written;
    }

    bool openUrl(const QString& url) override
    {
        openedUrls.push_back(url);
        return openUrlSucceeds;
    }

    void beginWaitCursor() override
    {
        ++waitCursorDepth;
        ++waitCursorsShown;
    }

    void endWaitCursor() override { --waitCursorDepth; }

    QDateTime currentDateTime() override { return now; }
};
