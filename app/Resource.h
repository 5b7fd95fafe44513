// Resource identifiers shared by the resource script and the program.
#pragma once

#define IDS_APP_TITLE 103
#define IDR_MAINFRAME 109
#define IDD_ABOUTBOX 103
#define IDI_SSO 107
#define IDI_SMALL 108
#define IDC_ABOUT_ICON 2
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDM_RECHECK 32771
#define IDM_UNHANDLED 32772
#define IDM_COPY_REPORT 32773
#define IDM_SAVE_REPORT 32774
#define IDC_STATIC -1
