#include "platform/Wnd.h"

#include "platform/ControlText.h"
#include "platform/Cp1252.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

int CWnd::GetDlgCtrlID() const
{
    if (!m_hWnd)
        return 0;
    return m_hWnd->property(kControlIdProperty).toInt();
}

QWidget* CWnd::FindDlgItem(const QWidget* parent, int id)
{
    if (!parent)
        return nullptr;
    const auto children = parent->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const QVariant value = child->property(kControlIdProperty);
        if (value.isValid() && value.toInt() == id)
            return child;
    }
    return nullptr;
}

bool CWnd::SubclassDlgItem(int id, CWnd* parent)
{
    return parent && SubclassDlgItem(id, parent->GetSafeHwnd());
}

bool CWnd::SubclassDlgItem(int id, QWidget* parent)
{
    QWidget* widget = FindDlgItem(parent, id);
    return widget && Attach(widget);
}

bool CWnd::Attach(QWidget* widget)
{
    m_hWnd = widget;
    return true;
}

void CWnd::SetWindowText(const std::string& text)
{
    if (!m_hWnd)
        return;
    const QString unicode = cp1252::decode(text);
    if (auto* custom = dynamic_cast<ControlText*>(m_hWnd.data()))
        custom->setControlText(unicode);
    else if (auto* label = qobject_cast<QLabel*>(m_hWnd))
        label->setText(unicode);
    else if (auto* button = qobject_cast<QAbstractButton*>(m_hWnd))
        button->setText(unicode);
    else if (auto* line = qobject_cast<QLineEdit*>(m_hWnd))
        line->setText(unicode);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(m_hWnd))
        plain->setPlainText(unicode);
    else if (auto* combo = qobject_cast<QComboBox*>(m_hWnd))
        combo->setCurrentText(unicode);
    else
        m_hWnd->setWindowTitle(unicode);
}

std::string CWnd::GetWindowText() const
{
    if (!m_hWnd)
        return {};
    QString unicode;
    if (const auto* custom = dynamic_cast<const ControlText*>(m_hWnd.data()))
        unicode = custom->controlText();
    else if (auto* label = qobject_cast<QLabel*>(m_hWnd))
        unicode = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(m_hWnd))
        unicode = button->text();
    else if (auto* line = qobject_cast<QLineEdit*>(m_hWnd))
        unicode = line->text();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(m_hWnd))
        unicode = plain->toPlainText();
    else if (auto* combo = qobject_cast<QComboBox*>(m_hWnd))
        unicode = combo->currentText();
    else
        unicode = m_hWnd->windowTitle();
    return cp1252::encode(unicode);
}
