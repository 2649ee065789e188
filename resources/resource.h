#pragma once
// Resource ids of HLMMain, grouped by the window that uses them.

// Program
#define IDR_MAINFRAME 128
#define IDS_ABOUTBOX 101

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
