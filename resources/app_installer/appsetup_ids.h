// Resource and control ids of appsetup.exe, shared by the .rc scripts and the program.
#pragma once

// Each language has its own set of dialogs: base + page.
#define IDD_BASE_ENGLISH 100
#define IDD_BASE_JAPANESE 200
#define IDD_BASE_CHINESE 300
#define IDD_PAGE_DESTINATION 0
#define IDD_PAGE_OPTIONS 1
#define IDD_PAGE_COPYING 2
#define IDD_PAGE_ABOUT 3
#define IDD_PAGE_UNINSTALL 4  // the relay's uninstall window

#define IDI_APPSETUP 10

// Destination page.
#define IDC_PROMPT 1001
#define IDC_FOLDER 1002
#define IDC_BROWSE 1003
#define IDC_ABOUT 1004
#define IDC_CAUTION_LABEL 1005
#define IDC_CAUTION 1006
#define IDC_PAGE_ICON 1007
// Options page.
#define IDC_START_MENU 1101
#define IDC_DESKTOP 1102
#define IDC_MENU_LIST 1103
// Copying page.
#define IDC_STATUS 1201
#define IDC_PROGRESS 1202
#define IDC_COPY_NOTE 1203
#define IDC_NEXT_STEP 1290  // posted command: run the next copying step
// About box.
#define IDC_PRODUCT 1301
#define IDC_LEGAL 1302
#define IDC_COMMENTS 1303
// Uninstall window (its Finish button is IDOK).
#define IDC_UNINSTALL_STATUS 1401

// Version resource texts.
#define APPSETUP_PRODUCT_NAME "Emplacer"
#define APPSETUP_PRODUCT_VERSION "1.0"
#define APPSETUP_FILE_VERSION "1.0.0.1"
#define APPSETUP_FILE_VERSION_NUM 1, 0, 0, 1
#define APPSETUP_SPECIAL_BUILD "1"
