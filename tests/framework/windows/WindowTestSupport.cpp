#include "tests/framework/windows/WindowTestSupport.h"

#include <gtest/gtest.h>

namespace fwtest {

bool HostWindow::Create(int width, int height)
{
    const RECT rect = {40, 40, 40 + width, 40 + height};
    if (!CreateEx(0, L"fwtest.Host", L"Host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, rect,
                  nullptr, 0))
        return false;
    ShowWindow(SW_SHOW);
    UpdateWindow();
    return true;
}

bool GuardedDialog::OnInitDialog()
{
    SetTimer(kWatchdogTimer, 5000);
    return true;
}

void GuardedDialog::OnTimer(UINT_PTR id)
{
    if (id != kWatchdogTimer)
        return;
    ADD_FAILURE() << "the modal run of dialog " << TemplateId() << " did not end within 5 s";
    EndDialog(kWatchdogResult);
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ADD_FAILURE() << "unexpected WM_QUIT";
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace fwtest
