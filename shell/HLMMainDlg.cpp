#include "shell/HLMMainDlg.h"

#include "resources/resource.h"
#include "sysinfo/TavDLL.h"

CHLMMainDlg::CHLMMainDlg() : fw::CDialog(IDD_HLMMAIN_DIALOG)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // Shared icons from LoadImage(LR_SHARED) are owned by the system, not by us.
    icon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                          LR_SHARED));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

bool CHLMMainDlg::OnInitDialog()
{
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    SetClientSize();
    return true;
}

void CHLMMainDlg::SetClientSize()
{
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + ((work.right - work.left) - width) / 2;
    const int y = work.top + ((work.bottom - work.top) - height) / 2;
    SetWindowPos(m_hWnd, nullptr, x < work.left ? work.left : x, y < work.top ? work.top : y, width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHLMMainDlg::OnDestroy()
{
    // The system-information library may still hold its WMI connection; it goes with us.
    CleanUpWMI();
}
