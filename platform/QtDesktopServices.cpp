#include "platform/QtDesktopServices.h"

#include "platform/Cp1252.h"
#include "platform/ProgramName.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>

#include <new>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {

QMessageBox::Icon MessageBoxIcon(DesktopServices::Icon icon)
{
    switch (icon) {
    case DesktopServices::Icon::None:
        return QMessageBox::NoIcon;
    case DesktopServices::Icon::Information:
        return QMessageBox::Information;
    case DesktopServices::Icon::Warning:
        return QMessageBox::Warning;
    case DesktopServices::Icon::Stop:
        return QMessageBox::Critical;
    case DesktopServices::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

struct ButtonAnswer {
    QMessageBox::StandardButton button;
    DesktopServices::Answer answer;
};

constexpr ButtonAnswer kButtonAnswers[] = {
    {QMessageBox::Ok, DesktopServices::Answer::Ok},         {QMessageBox::Save, DesktopServices::Answer::Save},
    {QMessageBox::Discard, DesktopServices::Answer::Discard}, {QMessageBox::Cancel, DesktopServices::Answer::Cancel},
    {QMessageBox::Yes, DesktopServices::Answer::Yes},       {QMessageBox::No, DesktopServices::Answer::No},
};

DesktopServices::Answer AnswerFromButton(int button)
{
    for (const ButtonAnswer& entry : kButtonAnswers) {
        if (entry.button == button)
            return entry.answer;
    }
    return DesktopServices::Answer::Cancel;
}

// The description names its pattern already, as in "Script Files (*.bsl)"; Qt reads the pattern
// from the parentheses.
QString NameFilter(const DesktopServices::FileDialogOptions& options)
{
    const QString patternInParentheses = QLatin1Char('(') + options.filterPattern + QLatin1Char(')');
    if (options.filterDescription.contains(patternInParentheses))
        return options.filterDescription;
    return options.filterDescription + QLatin1Char(' ') + patternInParentheses;
}

std::optional<QString> RunFileDialog(QWidget* owner, const DesktopServices::FileDialogOptions& options,
                                     QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(owner, QString(), options.initialFolder, NameFilter(options));
    dialog.setAcceptMode(mode);
    // A typed name of a file that does not exist is accepted on open too; opening it reports the error.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (mode == QFileDialog::AcceptSave)
        dialog.setDefaultSuffix(options.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

DesktopServices::Answer QtDesktopServices::messageBox(QWidget* owner, const QString& text, const QString& caption,
                                                       Icon icon, Buttons buttons)
{
    const QString title = caption.isEmpty() ? programName()
                                            : caption;
    QMessageBox box(MessageBoxIcon(icon), title, text, QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::SaveDiscardCancel:
        box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    case Buttons::RecoverDiscard: {
        QPushButton* recover = box.addButton(QStringLiteral("Recover"), QMessageBox::AcceptRole);
        box.addButton(QMessageBox::Discard);
        box.setDefaultButton(recover);
        box.exec();
        return box.clickedButton() == recover ? Answer::Recover : Answer::Discard;
    }
    }
    return AnswerFromButton(box.exec());
}

std::optional<QString> QtDesktopServices::getOpenFileName(QWidget* owner, const FileDialogOptions& options)
{
    return RunFileDialog(owner, options, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDesktopServices::getSaveFileName(QWidget* owner, const FileDialogOptions& options)
{
    return RunFileDialog(owner, options, QFileDialog::AcceptSave);
}

std::optional<QString> QtDesktopServices::getText(QWidget* owner, const QString& title, const QString& label,
                                                 const QString& text)
{
    QInputDialog dialog(owner);
    dialog.setWindowTitle(title.isEmpty() ? programName()
                                          : title);
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

DesktopServices::ClipboardWrite QtDesktopServices::setClipboardText(const std::string& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return ClipboardWrite::Unavailable;
    try {
        clipboard->setText(cp1252::decode(text));
    } catch (const std::bad_alloc&) {
        return ClipboardWrite::OutOfMemory;
    }
    return ClipboardWrite::Written;
}

bool QtDesktopServices::openUrl(const QString& url)
{
    return QDesktopServices::openUrl(QUrl(url));
}

void QtDesktopServices::beginWaitCursor()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtDesktopServices::endWaitCursor()
{
    QGuiApplication::restoreOverrideCursor();
}

QDateTime QtDesktopServices::currentDateTime()
{
    return QDateTime::currentDateTime();
}
