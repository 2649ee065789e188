#include "shell/Page.h"

#include "framework/Gdi.h"
#include "framework/Handles.h"
#include "shell/HLMMainDlg.h"
#include "shell/MessageText.h"
#include "shell/controls/Drawing.h"

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
    SetWindowPos(m_hWnd, nullptr, CHLMMainDlg::kBandWidth, 0,
                 CHLMMainDlg::kClientWidth - CHLMMainDlg::kBandWidth, CHLMMainDlg::kClientHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
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
    const RECT client = GetClientRect();
    if (!DrawBitmapResourcePart(dc, 0, 0, backgroundBitmap_, backgroundX_, client.right,
                                client.bottom))
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
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
