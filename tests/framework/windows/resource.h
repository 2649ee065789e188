#pragma once
// Resource ids of the framework window tests, grouped by template.

// A popup run modally: an edit, OK and Cancel.
#define IDD_TEST_POPUP 100
#define IDC_POPUP_EDIT 1000

// A page, a child dialog inside another window, with the controls that draw or colour
// themselves in the program's pages.
#define IDD_TEST_PAGE 101
#define IDC_PAGE_APPLY 1100
#define IDC_PAGE_LABEL 1101
#define IDC_PAGE_DRAWN 1102
#define IDC_PAGE_EDIT 1103
