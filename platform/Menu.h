#pragma once

#include "platform/MessageMap.h"
#include "platform/Messages.h"
#include "platform/WinTypes.h"

#include <QMenu>
#include <QPoint>
#include <QPointer>

#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CDialog;
class QAction;

// A menu resource as data: popups of plain entries.
struct MenuItemTemplate {
    int id;
    std::string_view text;  // 8-bit text; '&' marks the mnemonic
};

struct PopupTemplate {
    std::string_view title;
    std::span<const MenuItemTemplate> items;
};

struct MenuTemplate {
    int id;
    std::span<const PopupTemplate> popups;
};

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_SEPARATOR = 0x0800;
// The entry belongs to the system menu: choosing it sends a system command, not a command.
constexpr UINT MF_SYSMENU = 0x2000;

// A menu loaded from a template, or one of its popups.
class CMenu {
public:
    CMenu();
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    BOOL LoadMenu(const MenuTemplate& menuTemplate);
    // The popup at `position`; nullptr when there is none.
    CMenu* GetSubMenu(int position) const;

    // Appends a separator (MF_SEPARATOR) or an entry with command `id` and `text` (MF_STRING).
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const std::string& text = {});

    // Shows this popup with its top-left corner at `screenPos` and waits until it closes; either
    // mouse button chooses an entry. The chosen entry reaches `owner` once the current event is
    // done. Returns TRUE when an entry was chosen.
    BOOL TrackPopupMenu(const QPoint& screenPos, CDialog* owner);

private:
    explicit CMenu(const PopupTemplate& popup);

    QPointer<QMenu> m_menu;                         // a popup's own menu
    std::vector<std::unique_ptr<CMenu>> m_popups;   // a loaded menu's popups
    std::map<const QAction*, DialogMessage> m_entries;
};
