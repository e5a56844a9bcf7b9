#include "platform/Menu.h"

#include "platform/Cp1252.h"
#include "platform/Dialog.h"

#include <QMenu>

CMenu::CMenu() = default;

CMenu::CMenu(const PopupTemplate& popup) : m_menu(new QMenu(cp1252::decode(popup.title)))
{
    for (const MenuItemTemplate& item : popup.items)
        AppendMenu(MF_STRING, UINT_PTR(item.id), std::string(item.text));
}

CMenu::~CMenu()
{
    delete m_menu.data();
}

BOOL CMenu::LoadMenu(const MenuTemplate& menuTemplate)
{
    m_popups.clear();
    for (const PopupTemplate& popup : menuTemplate.popups)
        m_popups.push_back(std::unique_ptr<CMenu>(new CMenu(popup)));
    return TRUE;
}

CMenu* CMenu::GetSubMenu(int position) const
{
    if (position < 0 || std::size_t(position) >= m_popups.size())
        return nullptr;
    return m_popups[std::size_t(position)].get();
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const std::string& text)
{
    if (!m_menu)
        return FALSE;
    if (flags & MF_SEPARATOR) {
        m_menu->addSeparator();
        return TRUE;
    }
    const QAction* action = m_menu->addAction(cp1252::decode(text));
    const DialogEvent event = (flags & MF_SYSMENU) ? DialogEvent::SysCommand : DialogEvent::Command;
    m_entries[action] = DialogMessage{event, int(id)};
    return TRUE;
}

BOOL CMenu::TrackPopupMenu(const QPoint& screenPos, CDialog* owner)
{
    if (!m_menu || !owner || !owner->GetSafeHwnd())
        return FALSE;
    // Owned by the dialog's window, so that it stacks above it and the dialog's modality lets it in.
    m_menu->setParent(owner->GetSafeHwnd(), m_menu->windowFlags());
    const QAction* chosen = m_menu->exec(screenPos);
    const auto entry = m_entries.find(chosen);
    if (entry == m_entries.end())
        return FALSE;
    owner->PostMessage(entry->second);
    return TRUE;
}
