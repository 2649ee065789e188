#pragma once
// Resource ids of HLMMain, grouped by the window that uses them.

// Program
#define IDR_MAINFRAME 128
#define IDS_ABOUTBOX 101
#define IDM_ABOUTBOX 0x0010
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// About box (template 100)
#define IDD_ABOUTBOX 100

// Main window (template 102)
#define IDD_HLMMAIN_DIALOG 102
#define IDC_MAIN_TROUBLESHOOT 1000
#define IDC_MAIN_UTILITIES 1001
#define IDC_MAIN_INTERNET 1002
#define IDC_MAIN_UPDATE 1003
#define IDC_MAIN_RESTORE 1004
#define IDC_MAIN_HOME 1005
#define IDC_MAIN_HELP 1006
#define IDC_MAIN_BUILD_LABEL 1007
#define IDC_MAIN_USER_GUIDE 1300
#define IDB_MAIN_BACKGROUND 129

// Pages (templates 139-144) and their backgrounds and titles
#define IDD_PAGE_HOME 139
#define IDD_PAGE_TROUBLESHOOT 140
#define IDD_PAGE_UTILITIES 141
#define IDD_PAGE_INTERNET 142
#define IDD_PAGE_UPDATE 143
#define IDD_PAGE_RESTORE 144
#define IDB_PAGE_RESTORE 145
#define IDB_PAGE_INTERNET 146
#define IDB_PAGE_TROUBLESHOOT 147
#define IDB_PAGE_UPDATE 148
#define IDB_PAGE_UTILITIES 149
#define IDC_SOL_TITLE 1034
#define IDC_NTA_TITLE 1050
#define IDC_UTIL_TITLE 1060
#define IDC_PTW_TITLE 1083
#define IDC_RESTORE_TITLE 1100

// Diagnosis progress popup (template 157) and cancel confirmation (template 158)
#define IDD_POPUP_DIAG_PROCESS 157
#define IDD_POPUP_DIAG_CANCEL 158
#define IDC_DIAG_PROCESS_TITLE 1150
#define IDC_DIAG_PROCESS_BAR 1151
#define IDC_DIAG_CANCEL_TEXT 1152

// Check Disk / temporary files confirmation (template 156)
#define IDD_POPUP_HDD_DIAG 156
#define IDC_HDD_DIAG_TITLE 1140
#define IDC_HDD_DIAG_QUESTION 1141
#define IDC_HDD_DIAG_TEXT1 1142
#define IDC_HDD_DIAG_TEXT2 1143
#define IDC_HDD_DIAG_TEXT3 1144
#define IDC_HDD_DIAG_TEXT4 1145
