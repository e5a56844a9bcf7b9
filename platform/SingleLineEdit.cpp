#include "platform/SingleLineEdit.h"

void SingleLineEdit::setControlText(const QString& text)
{
    setText(text);
    setCursorPosition(0);
}
