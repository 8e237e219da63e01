// Resource numbers of the setup wizard; dialog and control numbers are fixed so test robots find them.
#pragma once

// Pages.
#define IDD_IWZ_GUIDE 1102
#define IDD_UWZ_GUIDE 1203

// Controls.
#define IDC_LOGO 2001
#define IDC_IWZ_CONTINUE 2105
#define IDC_IWZ_GUIDE_MAIN 2106
#define IDC_IWZ_GUIDE_DETAIL 2107
#define IDC_UWZ_GUIDE_MAIN 2206
#define IDC_UWZ_CONTINUE 2207

// Pictures.
#define IDB_LOGO 3001

// Version of the wizard module.
#define WIZARD_VERSION 1, 2, 0, 0
#define WIZARD_VERSION_TEXT "1.2.0.0"
