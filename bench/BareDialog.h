#pragma once
// The baseline program of the start-time benchmark: its template, class and title. Shared by
// the program, its .rc and the benchmark that starts it.

#define IDD_BARE_DIALOG 100
#define IDC_BARE_FIRST_BUTTON 1000 // six page buttons, 1000-1005, as in HLMMain's left band
#define IDC_BARE_HOME 1010
#define IDC_BARE_HELP 1011
#define IDC_BARE_LABEL 1012

#define BARE_DIALOG_CLASS L"HLMBenchBareDialog"
#define BARE_DIALOG_TITLE L"Bare dialog"
#define BARE_DIALOG_CLIENT_WIDTH 781
#define BARE_DIALOG_CLIENT_HEIGHT 520
