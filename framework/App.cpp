#include "framework/App.h"

#include "framework/Wnd.h"

namespace fw {

CApp* CApp::current_ = nullptr;

CApp::CApp()
{
    current_ = this;
}

CApp::~CApp()
{
    if (current_ == this)
        current_ = nullptr;
}

int CApp::Run(HINSTANCE instance)
{
    instance_ = instance;
    if (InitInstance())
        exitCode_ = RunMessageLoop();
    return ExitInstance();
}

int CApp::RunMessageLoop()
{
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1) {
        bool swallowed = false;
        for (HWND h = msg.hwnd; h && !swallowed; h = GetParent(h)) {
            if (CWnd* wnd = CWnd::FromHandle(h))
                swallowed = wnd->PreTranslateMessage(msg);
        }
        if (swallowed)
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return got == -1 ? -1 : static_cast<int>(msg.wParam);
}

} // namespace fw
