#include "platform/Edit.h"

#include "platform/MultiLineEdit.h"
#include "platform/SingleLineEdit.h"

bool CEdit::Attach(QWidget* widget)
{
    const bool isEdit = dynamic_cast<SingleLineEdit*>(widget) || dynamic_cast<MultiLineEdit*>(widget);
    return isEdit && CWnd::Attach(widget);
}
