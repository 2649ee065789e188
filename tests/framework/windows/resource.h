#pragma once
// Resource ids of the framework window tests, grouped by template.

// A popup dialog: an edit, a label, an owner-drawn button, OK and Cancel.
#define IDD_TEST_POPUP 100
#define IDC_POPUP_EDIT 1000
#define IDC_POPUP_LABEL 1001
#define IDC_POPUP_DRAWN 1002

// A page: a child dialog placed inside another window.
#define IDD_TEST_PAGE 101
#define IDC_PAGE_BUTTON 1100
#define IDC_PAGE_LABEL 1101
