#pragma once
// What the window tests share: a plain top-level window to own or hold the windows under
// test, and a dialog base that cannot hang the test run.

#include "framework/Dialog.h"

#include <windows.h>

#include <string>

namespace fwtest {

// A shown top-level window of our own class. It has no caption and is not activated: Wine
// then leaves it to itself rather than to a window manager, and hiding it does not wait 2 s
// for a manager the virtual display does not have.
class HostWindow : public fw::CWnd {
  public:
    ~HostWindow() override { DestroyWindow(); }
    bool Create(int width = 480, int height = 360);
};

// What a run that nobody ended returns.
constexpr INT_PTR kWatchdogResult = -2;

// A dialog whose modal run ends by itself after 5 s and fails the test: a loop that does not
// see EndDialog must fail, not hang the test program. Counts PostNcDestroy.
class GuardedDialog : public fw::CDialog {
  public:
    using fw::CDialog::CDialog;

    int ncDestroyed = 0;

  protected:
    static constexpr UINT_PTR kWatchdogTimer = 0x7D06;

    bool OnInitDialog() override;
    void OnTimer(UINT_PTR id) override;
    void PostNcDestroy() override { ++ncDestroyed; }
};

// The text of a window or control.
std::wstring WindowText(HWND hwnd);

} // namespace fwtest
