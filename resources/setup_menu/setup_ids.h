// Resource numbers of setup.exe, shared by the resource script, the program and its tests.
#pragma once

// Dialog templates, one per language, with the same controls.
#define IDD_MENU_ENGLISH 101
#define IDD_MENU_JAPANESE 102
#define IDD_MENU_CHINESE 103

#define IDB_LOGO 120

// Controls. "Next >" and "Exit" are the dialog's OK and Cancel, so Enter and Esc work.
#define IDC_HEADING 1001
#define IDC_LOGO 1002
#define IDC_ACTION_GROUP 1003
#define IDC_INSTALL 1004
#define IDC_INSTALL_DRIVER 1005
#define IDC_INSTALL_MONITOR 1006
#define IDC_UNINSTALL 1007
#define IDC_UNINSTALL_DRIVER 1008
#define IDC_UNINSTALL_MONITOR 1009
#define IDC_CLEAN_UP 1010
#define IDC_LANGUAGE_GROUP 1011
#define IDC_LANGUAGE 1012
#define IDC_USB 1013
#define IDC_ETHERNET 1014
#define IDC_SEPARATOR 1015
#define IDC_DOCUMENTS 1016
#define IDC_NEXT 1  /* IDOK */
#define IDC_EXIT 2  /* IDCANCEL */

// String table.
#define IDS_NO_CONFIGURATION 1
#define IDS_NO_CONFIGURATION_JAPANESE 2
#define IDS_UNSUPPORTED_WINDOWS 3
#define IDS_UNSUPPORTED_WINDOWS_JAPANESE 4
#define IDS_JAPANESE_LANGUAGE_ID 21
#define IDS_CHINESE_LANGUAGE_ID 22
#define IDS_LANGUAGE_NAME_ENGLISH 30  /* then 31 Japanese, 32 Chinese */
