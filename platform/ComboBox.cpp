#include "platform/ComboBox.h"

#include "platform/Cp1252.h"
#include "platform/DropDownList.h"

DropDownList* CComboBox::List() const
{
    return static_cast<DropDownList*>(m_hWnd.data());
}

bool CComboBox::Attach(QWidget* widget)
{
    return qobject_cast<DropDownList*>(widget) && CWnd::Attach(widget);
}

int CComboBox::AddString(const std::string& text)
{
    DropDownList* list = List();
    return list ? list->addString(cp1252::decode(text)) : CB_ERR;
}

void CComboBox::AddStrings(const std::vector<std::string>& texts)
{
    DropDownList* list = List();
    if (!list)
        return;
    QStringList unicode;
    unicode.reserve(qsizetype(texts.size()));
    for (const std::string& text : texts)
        unicode.append(cp1252::decode(text));
    list->addStrings(unicode);
}

void CComboBox::ResetContent()
{
    if (DropDownList* list = List())
        list->resetContent();
}

int CComboBox::GetCount() const
{
    const DropDownList* list = List();
    return list ? list->count() : 0;
}

int CComboBox::GetCurSel() const
{
    const DropDownList* list = List();
    return list ? list->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int index)
{
    DropDownList* list = List();
    if (!list)
        return CB_ERR;
    const bool inRange = index >= 0 && index < list->count();
    list->selectSilently(inRange ? index : -1);
    return inRange ? index : CB_ERR;
}

std::string CComboBox::GetLBText(int index) const
{
    const DropDownList* list = List();
    if (!list || index < 0 || index >= list->count())
        return {};
    return cp1252::encode(list->itemText(index));
}
