#include "app/Resource.h"

#include <QIcon>

namespace {

using enum ControlStyle;

constexpr ControlStyles kDropDownList = TabStop | VScroll;
constexpr ControlStyles kClickLabel = Notify | SunkenEdge | CenterText;
constexpr ControlStyles kLinkButton = TabStop | Flat;

constexpr ControlTemplate kMainDialogControls[] = {
    {IDC_CREDITS, "IDC_CREDITS", ControlKind::Label, {}, "Programmed by Ravok - Ideas by PLXN", {6, 255, 256, 9}},
    {IDC_OPEN_LABEL, "IDC_OPEN_LABEL", ControlKind::Label, kClickLabel, "OPEN", {325, 255, 50, 9}},
    {IDC_SAVE_LABEL, "IDC_SAVE_LABEL", ControlKind::Label, kClickLabel, "SAVE ", {381, 255, 50, 9}},
    {IDC_SCRIPT_EDIT, "IDC_SCRIPT_EDIT", ControlKind::RichEdit,
     TabStop | MultiLine | VScroll | HScroll | AutoVScroll | AutoHScroll | NoHideSelection, "", {0, 0, 431, 254}},
    {IDC_LINK_CHARS, "IDC_LINK_CHARS", ControlKind::PushButton, kLinkButton, "Visit VESK Chars", {433, 2, 141, 13}},
    {IDC_LINK_SHOTS, "IDC_LINK_SHOTS", ControlKind::PushButton, kLinkButton, "Visit VESK Shots", {433, 17, 141, 13}},
    {IDC_LINK_CENTRAL, "IDC_LINK_CENTRAL", ControlKind::PushButton, kLinkButton, "Visit VESK Central",
     {433, 31, 141, 13}},
    {IDC_CUSTOM_EDIT, "IDC_CUSTOM_EDIT", ControlKind::Edit, TabStop | Border | AutoHScroll, "", {433, 164, 141, 12}},
    {IDC_CATEGORY_COMBO, "IDC_CATEGORY_COMBO", ControlKind::ComboBox, kDropDownList, "", {433, 54, 141, 12}},
    {IDC_PARAM1_COMBO, "IDC_PARAM1_COMBO", ControlKind::ComboBox, kDropDownList, "", {433, 119, 141, 12}},
    {IDC_PARAM2_COMBO, "IDC_PARAM2_COMBO", ControlKind::ComboBox, kDropDownList, "", {433, 134, 141, 12}},
    {IDC_PARAM3_COMBO, "IDC_PARAM3_COMBO", ControlKind::ComboBox, kDropDownList, "", {433, 149, 141, 12}},
    {IDC_HINT_EDIT, "IDC_HINT_EDIT", ControlKind::Edit,
     TabStop | Border | MultiLine | ReadOnly | VScroll | AutoVScroll | UpperCase, "", {433, 180, 141, 57}},
    {IDC_ADD_STATEMENT, "IDC_ADD_STATEMENT", ControlKind::PushButton, kLinkButton, "ADD STATMENT",
     {433, 240, 141, 13}},
    {IDC_CLOCK, "IDC_CLOCK", ControlKind::Label, CenterText | ModalFrameEdge, "", {527, 254, 47, 10}},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, {},
     "-Select the command type from the \n above Combo-Box.\n-Make a correct combination from the\n available "
     "commands and parameters.",
     {433, 68, 140, 31}},
    {IDC_COMMAND_COMBO, "IDC_COMMAND_COMBO", ControlKind::ComboBox, kDropDownList | Sort, "", {433, 104, 141, 12}},
};

constexpr ControlTemplate kAboutDialogControls[] = {
    {IDOK, "IDOK", ControlKind::PushButton, TabStop | Flat | DefaultButton, "Zod Viz", {0, 89, 148, 11}},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, {},
     "QUARN-XP writes level scripts: an editor on the left that colours the script language as you type, "
     "and a command builder on the right that puts whole statements in at the caret.",
     {1, 0, 146, 41}},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, {},
     "Pick a command type, a command and its parameters, then press ADD STATMENT. Right-click anywhere for "
     "copy, cut, paste and delete.",
     {1, 48, 145, 40}},
};

constexpr MenuItemTemplate kEditMenuItems[] = {
    {ID_EDIT_COPY_CMD, "Copy"},
    {ID_EDIT_CUT_CMD, "Cut"},
    {ID_EDIT_PASTE_CMD, "Paste"},
    {ID_EDIT_DELETE_CMD, "Delete"},
};

constexpr PopupTemplate kEditMenuPopups[] = {
    {"MENU", kEditMenuItems},
};

// The icon in the sizes the desktop asks for; Qt picks the nearest.
constexpr const char* kMainIconFiles[] = {
    ":/icons/quarn-xp-16.png", ":/icons/quarn-xp-24.png",  ":/icons/quarn-xp-32.png",
    ":/icons/quarn-xp-48.png", ":/icons/quarn-xp-64.png", ":/icons/quarn-xp-128.png",
    ":/icons/quarn-xp-256.png",
};

} // namespace

const DialogTemplate kMainDialogTemplate = {
    IDD_MAIN_DIALOG,
    "QUARN-XP",
    "Tahoma",
    7,
    575,
    265,
    DialogStyle::Caption | DialogStyle::SystemMenu | DialogStyle::MinimizeBox | DialogStyle::AppWindow,
    kMainDialogControls,
};

const DialogTemplate kAboutDialogTemplate = {
    IDD_ABOUTBOX,
    "About QUARN-XP",
    "MS Shell Dlg",
    8,
    147,
    100,
    DialogStyle::Caption | DialogStyle::SystemMenu,
    kAboutDialogControls,
};

const MenuTemplate kEditMenuTemplate = {IDR_EDIT_MENU, kEditMenuPopups};

QIcon LoadIcon(int iconId)
{
    QIcon icon;
    if (iconId != IDI_MAIN_ICON)
        return icon;
    for (const char* file : kMainIconFiles)
        icon.addFile(QString::fromLatin1(file));
    return icon;
}
