#include "app/GoToLineDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

std::optional<int> parseLineNumber(const QString& text, int lineCount)
{
    bool isNumber = false;
    const int line = text.trimmed().toInt(&isNumber);
    if (!isNumber || line < 1 || line > lineCount)
        return std::nullopt;
    return line;
}

GoToLineDialog::GoToLineDialog(int lineCount, int currentLine, QWidget* parent)
    : QDialog(parent), m_lineCount(lineCount), m_line(new QLineEdit(this)), m_message(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Go to Line"));
    setObjectName(QStringLiteral("GoToLineDialog"));
    auto* prompt = new QLabel(QStringLiteral("Line number (1 - %1):").arg(lineCount), this);
    prompt->setBuddy(m_line);
    m_line->setObjectName(QStringLiteral("LineNumber"));
    m_line->setText(QString::number(currentLine));
    m_line->selectAll();
    m_message->setObjectName(QStringLiteral("Refusal"));
    m_message->setWordWrap(true);
    m_message->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &GoToLineDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GoToLineDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_line);
    layout->addWidget(m_message);
    layout->addWidget(buttons);
}

void GoToLineDialog::accept()
{
    const std::optional<int> line = parseLineNumber(m_line->text(), m_lineCount);
    if (!line) {
        m_message->setText(QStringLiteral("There is no line \"%1\". Enter a number from 1 to %2.")
                               .arg(m_line->text(), QString::number(m_lineCount)));
        m_message->show();
        m_line->setFocus();
        m_line->selectAll();
        return;
    }
    emit lineChosen(*line);
    QDialog::accept();
}
