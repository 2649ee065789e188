#include "tests/framework/windows/WindowTestSupport.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace fwtest {

namespace {

// The program registers the common controls before its first window; so do the tests.
class CommonControls : public testing::Environment {
  public:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                         ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&controls));
    }
};

[[maybe_unused]] testing::Environment* const kCommonControls =
    testing::AddGlobalTestEnvironment(new CommonControls);

} // namespace

bool HostWindow::Create(int width, int height)
{
    const RECT rect = {40, 40, 40 + width, 40 + height};
    if (!CreateEx(0, L"fwtest.Host", L"Host", WS_POPUP | WS_BORDER | WS_CLIPCHILDREN, rect, nullptr,
                  0))
        return false;
    ShowWindow(SW_SHOWNOACTIVATE);
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

std::wstring WindowText(HWND hwnd)
{
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

} // namespace fwtest
