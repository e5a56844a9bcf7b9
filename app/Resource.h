#pragma once

#include "platform/DialogTemplate.h"
#include "platform/Menu.h"
#include "platform/Messages.h"

class QIcon;

// Dialog templates.
constexpr int IDD_MAIN_DIALOG = 99;
constexpr int IDD_ABOUTBOX = 100;

// The program's icon.
constexpr int IDI_MAIN_ICON = 98;

// Strings, looked up with LoadStringById.
constexpr int IDS_ABOUTBOX = 101;

// The system command of the About entry.
constexpr UINT IDM_ABOUTBOX = 16;

// The editor's context menu and its commands.
constexpr int IDR_EDIT_MENU = 129;
constexpr int ID_EDIT_COPY_CMD = 6000;
constexpr int ID_EDIT_CUT_CMD = 6001;
constexpr int ID_EDIT_PASTE_CMD = 6002;
constexpr int ID_EDIT_DELETE_CMD = 6003;

// Controls of the main window and of the About box.
constexpr int IDC_STATIC = -1;
constexpr int IDC_LINK_CHARS = 1000;
constexpr int IDC_LINK_SHOTS = 1001;
constexpr int IDC_LINK_CENTRAL = 1002;
constexpr int IDC_SCRIPT_EDIT = 6010;
constexpr int IDC_COMMAND_COMBO = 6011;
constexpr int IDC_CATEGORY_COMBO = 6012;
constexpr int IDC_PARAM1_COMBO = 6013;
constexpr int IDC_PARAM2_COMBO = 6014;
constexpr int IDC_PARAM3_COMBO = 6015;
constexpr int IDC_CLOCK = 6016;
constexpr int IDC_SAVE_LABEL = 6017;
constexpr int IDC_OPEN_LABEL = 6018;
constexpr int IDC_CREDITS = 6019;
constexpr int IDC_HINT_EDIT = 6020;
constexpr int IDC_CUSTOM_EDIT = 6021;
constexpr int IDC_ADD_STATEMENT = 6022;

// The main window's one-second clock.
constexpr UINT_PTR IDT_CLOCK = 100;

extern const DialogTemplate kMainDialogTemplate;
extern const DialogTemplate kAboutDialogTemplate;
extern const MenuTemplate kEditMenuTemplate;

QIcon LoadIcon(int iconId);
