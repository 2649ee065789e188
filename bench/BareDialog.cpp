// The baseline of the start-time benchmark: the least a dialog program of HLMMain's window
// size does to show itself. One template, its own class derived from the standard dialog
// class, a client area of exactly 781 x 520 pixels, and nothing else (no common controls
// manifest, no pictures, no libraries of ours).
#include <windows.h>

#include "bench/BareDialog.h"

namespace {

void SetClientSize(HWND dialog)
{
    // Dialog units depend on the font, so the client area is set in pixels, as HLMMain does.
    RECT frame = {0, 0, BARE_DIALOG_CLIENT_WIDTH, BARE_DIALOG_CLIENT_HEIGHT};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetClientSize(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(nullptr, L"#32770", &wc))
        return 1;
    wc.hInstance = instance;
    wc.lpszClassName = BARE_DIALOG_CLASS;
    if (!RegisterClassExW(&wc))
        return 1;
    const INT_PTR result =
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_BARE_DIALOG), nullptr, DialogProc, 0);
    return result == -1 ? 1 : 0;
}
