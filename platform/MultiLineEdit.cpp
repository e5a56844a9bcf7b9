#include "platform/MultiLineEdit.h"

#include "platform/Cp1252.h"

namespace {

// Letter by letter, and only into capitals the 8-bit code page holds, so that the text keeps its
// length and every character can still be written back as one byte.
QString ToUpperCase(const QString& text)
{
    QString upper = text;
    for (QChar& ch : upper) {
        const QChar capital = ch.toUpper();
        unsigned char byte = 0;
        if (capital != ch && cp1252::fromUnicode(capital, byte))
            ch = capital;
    }
    return upper;
}

} // namespace

MultiLineEdit::MultiLineEdit(bool upperCase, QWidget* parent)
    : QPlainTextEdit(parent), m_upperCase(upperCase)
{
}

void MultiLineEdit::setControlText(const QString& text)
{
    // A carriage return followed by a line feed becomes one line break.
    setPlainText(m_upperCase ? ToUpperCase(text) : text);
}

QString MultiLineEdit::controlText() const
{
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}
