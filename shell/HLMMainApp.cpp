#include "shell/HLMMainApp.h"

#include <commctrl.h>
#include <gdiplus.h>

#include "shell/HLMMainDlg.h"

namespace {

// The main dialog template names this class, so that a second copy of the program (and
// anyone else) can find the window by class as well as by title.
bool RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(instance, L"#32770", &wc))
        return false;
    wc.hInstance = instance;
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&wc) != 0;
}

} // namespace

bool CHLMMainApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);

    Gdiplus::GdiplusStartupInput gdiplus;
    Gdiplus::GdiplusStartup(&gdiplusToken_, &gdiplus, nullptr);

    RegisterMainWindowClass(Instance());

    CHLMMainDlg dialog;
    mainWindow = &dialog;
    dialog.DoModal();
    mainWindow = nullptr;
    return false;
}

int CHLMMainApp::ExitInstance()
{
    if (gdiplusToken_)
        Gdiplus::GdiplusShutdown(gdiplusToken_);
    return fw::CApp::ExitInstance();
}
