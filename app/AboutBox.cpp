#include "app/AboutBox.h"

#include "app/DialogFont.h"
#include "app/LinkButton.h"
#include "platform/DialogUnits.h"

#include <QLabel>

namespace {

constexpr int kWidth = 147;
constexpr int kHeight = 100;
constexpr DialogRect kCloseButtonRect{0, 89, 148, 11};
constexpr DialogRect kIntroductionRect{1, 0, 146, 41};
constexpr DialogRect kUsageRect{1, 48, 145, 40};

QLabel* textBlock(const QString& text, const DialogRect& rect, const DialogUnits& units, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("IDC_STATIC"));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setGeometry(units.toPixels(rect));
    return label;
}

} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About QUARN-XP"));
    setFont(dialogFont(QStringLiteral("MS Shell Dlg"), 8));
    const DialogUnits units = DialogUnits::fromFont(font());
    setFixedSize(units.toPixels(kWidth, kHeight));

    auto* close = new LinkButton(QStringLiteral("Zod Viz"), this);
    close->setObjectName(QStringLiteral("IDOK"));
    close->setDefault(true);
    close->setGeometry(units.toPixels(kCloseButtonRect));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    textBlock(QStringLiteral("QUARN-XP writes level scripts: an editor on the left that colours the script "
                             "language as you type, and a command builder on the right that puts whole "
                             "statements in at the caret."),
              kIntroductionRect, units, this);
    textBlock(QStringLiteral("Pick a command type, a command and its parameters, then press ADD STATMENT. "
                             "Right-click anywhere for copy, cut, paste and delete."),
              kUsageRect, units, this);
}
