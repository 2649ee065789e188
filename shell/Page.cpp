#include "shell/Page.h"

#include "framework/Gdi.h"
#include "framework/Handles.h"
#include "shell/HLMMainDlg.h"
#include "shell/MessageText.h"

CPage::CPage(UINT templateId, CHLMMainDlg& mainDialog, UINT backgroundBitmap, int backgroundX,
             int titleId, DWORD titleMessage)
    : fw::CDialog(templateId), main_(mainDialog), backgroundBitmap_(backgroundBitmap),
      backgroundX_(backgroundX), titleId_(titleId), titleMessage_(titleMessage)
{
}

bool CPage::CreatePage()
{
    if (!Create(main_.GetSafeHwnd()))
        return false;
    SetWindowPos(m_hWnd, nullptr, 211, 0, 570, 520, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool CPage::OnInitDialog()
{
    if (titleId_) {
        SetStaticText(titleId_, titleMessage_, main_.TitleFont());
        SetWindowPos(GetDlgItem(titleId_), nullptr, 140, 35, 400, 20,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

fw::CSharedString CPage::Text(DWORD messageId) const
{
    return LoadMessageText(main_.MessageLanguage(), messageId);
}

void CPage::SetStaticText(int controlId, DWORD messageId, HFONT font)
{
    HWND control = GetDlgItem(controlId);
    ::SetWindowTextW(control, Text(messageId).c_str());
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

COLORREF CPage::StaticTextColour(int controlId) const
{
    return controlId == titleId_ ? RGB(0, 0, 0) : RGB(79, 79, 79);
}

void CPage::DrawBackground(HDC dc)
{
    fw::UniqueBitmap picture(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(backgroundBitmap_), IMAGE_BITMAP, 0, 0, 0)));
    const RECT client = GetClientRect();
    if (!picture) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
        return;
    }
    fw::MemoryDC memory(dc);
    fw::SelectGuard select(memory.get(), picture.get());
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), backgroundX_, 0, SRCCOPY);
}

bool CPage::OnEraseBkgnd(HDC dc)
{
    // Composed off screen and copied once, so texts never flash over a half-drawn picture.
    const RECT client = GetClientRect();
    fw::DoubleBuffer buffer(dc, client);
    DrawBackground(buffer.get());
    buffer.Flush();
    return true;
}

HBRUSH CPage::OnCtlColor(HDC dc, HWND control, UINT message)
{
    if (message != WM_CTLCOLORSTATIC)
        return nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, StaticTextColour(GetDlgCtrlID(control)));
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}
