#include "console/DiagProcessPopup.h"

#include <commctrl.h>

#include "framework/Gdi.h"
#include "resources/resource.h"
#include "shell/MessageText.h"
#include "shell/controls/Drawing.h"

namespace {

constexpr int kViewId = 1234;
constexpr RECT kViewRect = {20, 75, 556, 355};
constexpr UINT kHeaderBitmap = 180;
constexpr COLORREF kListText = RGB(79, 79, 79);
constexpr COLORREF kDoneText = RGB(176, 176, 176);
constexpr COLORREF kRunningText = RGB(224, 0, 0);
constexpr COLORREF kFrame = RGB(211, 211, 211);

fw::CSharedString Text(const ConsoleUi* ui, DWORD messageId)
{
    return LoadMessageText(ui ? ui->language : 0, messageId);
}

HFONT FontOf(const ConsoleUi* ui, HFONT ConsoleUi::*font)
{
    return ui ? ui->*font : nullptr;
}

// The popups' buttons: faces 210-212, the caption centred in 100 x 30.
void SetUpPopupButton(CYBitmapBtn& button, const ConsoleUi* ui, DWORD captionId)
{
    button.SetFaceImages(210, 212, 211, 211, 210, 210);
    button.SetCaption(Text(ui, captionId).c_str(), FW_NORMAL, 0, 100, 30, 13,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE, false, false);
}

void Place(const CYBitmapBtn& button, int x, int y)
{
    SetWindowPos(button, nullptr, x, y, button.Width(), button.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window size for a client area of `width` x `height`, the place kept.
void SetClientArea(HWND window, int width, int height)
{
    RECT rect = {0, 0, width, height};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

// ---- the list of rows --------------------------------------------------------------------------

void CYViewDiagProcess::OnInitialUpdate()
{
    SetScrollSizes({100, 100});
}

void CYViewDiagProcess::SetRows(const DiagRowList& rows)
{
    for (int c = 0; c < kDiagCategories; ++c) {
        // The row tables hold 11 rows a category; a larger count would run past them.
        int count = rows.rowCount[c];
        rows_.rowCount[c] = count < 0 ? 0 : (count > kDiagMaxRows ? kDiagMaxRows : count);
        lstrcpynW(rows_.categoryTitle[c], rows.categoryTitle[c], kDiagTitleChars);
        for (int r = 0; r < kDiagMaxRows; ++r)
            lstrcpynW(rows_.rowTitle[c][r], rows.rowTitle[c][r], kDiagTitleChars);
    }
}

void CYViewDiagProcess::BuildCanvas(const int32_t selection[kDiagCategories])
{
    if (canvas_.IsValid())
        return;
    int height = 0;
    for (int c = 0; c < kDiagCategories; ++c) {
        rows_.selection[c] = selection[c];
        if (selection[c])
            height += rows_.rowCount[c] * kRowHeight + kRowHeight;
    }
    canvasHeight_ = height < kMinHeight ? kMinHeight : height;
    SetScrollSizes({kCanvasWidth - 20, canvasHeight_});
    canvas_.Create(m_hWnd, kCanvasWidth, canvasHeight_);
}

bool CYViewDiagProcess::Shows(int category, int row) const
{
    return category >= 0 && category < kDiagCategories && rows_.selection[category] && row >= 0 &&
           row < rows_.rowCount[category];
}

int CYViewDiagProcess::RowTop(int category, int row) const
{
    return Shows(category, row) && canvas_.IsValid() ? rowTop_[category][row] : -1;
}

int CYViewDiagProcess::RowMark(int category, int row) const
{
    return Shows(category, row) && canvas_.IsValid() ? rowMark_[category][row] : -1;
}

void CYViewDiagProcess::DrawRows()
{
    HDC dc = canvas_.dc();
    if (!dc)
        return;
    const RECT all = {0, 0, canvas_.Width(), canvas_.Height()};
    FillSolidRect(dc, all, RGB(255, 255, 255));
    fw::SelectGuard font(dc, FontOf(ui_, &ConsoleUi::textFont));
    SetTextColor(dc, kListText);
    SetBkMode(dc, TRANSPARENT);
    RECT band = {0, 0, kCanvasWidth, kRowHeight};
    for (int c = 0; c < kDiagCategories; ++c) {
        if (!rows_.selection[c])
            continue;
        DrawLabelBox(dc, rows_.categoryTitle[c], 10, band);
        OffsetRect(&band, 0, kRowHeight);
        for (int r = 0; r < rows_.rowCount[c]; ++r) {
            rowTop_[c][r] = band.top;
            rowMark_[c][r] = 0;
            TextOutW(dc, 35, band.top + 7, L">", 1);
            DrawWrappedTextCentred(dc, rows_.rowTitle[c][r], 50, band, 25, DT_LEFT);
            OffsetRect(&band, 0, kRowHeight);
        }
    }
    SetBkMode(dc, OPAQUE);
    Invalidate(false);
}

void CYViewDiagProcess::MarkRow(int row, int category, int done)
{
    HDC dc = canvas_.dc();
    if (!dc || !Shows(category, row))
        return;
    const int y = rowTop_[category][row];
    rowMark_[category][row] = done ? 2 : 1;
    {
        fw::SelectGuard font(dc, FontOf(ui_, done ? &ConsoleUi::textFont : &ConsoleUi::boldFont));
        SetTextColor(dc, done ? kDoneText : kRunningText);
        SetBkMode(dc, TRANSPARENT);
        const RECT band = {0, y, kCanvasWidth, y + kRowHeight};
        FillSolidRect(dc, band, RGB(255, 255, 255));
        TextOutW(dc, 35, y + 7, L">", 1);
        DrawWrappedTextCentred(dc, rows_.rowTitle[category][row], 50, band, 5, DT_LEFT);
        const fw::CSharedString status = Text(ui_, done ? 0x200028d8 : 0x200028d7);
        RECT statusArea = {80, y, kCanvasWidth - 25, y + kRowHeight};
        DrawTextW(dc, status.c_str(), -1, &statusArea, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        SetBkMode(dc, OPAQUE);
    }
    Invalidate(false);

    // Keep the row in sight: its lower edge 10 pixels above the visible bottom.
    const POINT at = GetScrollPosition();
    const RECT client = GetClientRect();
    if (client.bottom + at.y - client.top - 10 < y + kRowHeight)
        ScrollToPosition({at.x, y + kRowHeight + client.top - client.bottom + 10});
}

void CYViewDiagProcess::OnDraw(HDC dc)
{
    if (canvas_.IsValid())
        BitBlt(dc, 0, 0, canvas_.Width(), canvas_.Height(), canvas_.dc(), 0, 0, SRCCOPY);
}

bool CYViewDiagProcess::OnEraseBkgnd(HDC dc)
{
    // The canvas covers the view; only a view without one is cleared here.
    if (!canvas_.IsValid()) {
        const RECT client = GetClientRect();
        FillSolidRect(dc, client, RGB(255, 255, 255));
    }
    return true;
}

void CYViewDiagProcess::OnDestroy()
{
    // The popup makes a new view window for every run, possibly with other categories.
    canvas_.Release();
    canvasHeight_ = 0;
    fw::CScrollView::OnDestroy();
}

// ---- the cancel confirmation -------------------------------------------------------------------

CDlgPopupDiagCancel::CDlgPopupDiagCancel() : fw::CDialog(IDD_POPUP_DIAG_CANCEL) {}

INT_PTR CDlgPopupDiagCancel::Run(HWND owner)
{
    parent_ = owner;
    const INT_PTR result = DoModal();
    return result == 1 ? 1 : 2;
}

void CDlgPopupDiagCancel::End(INT_PTR result)
{
    if (m_hWnd)
        EndDialog(result);
}

bool CDlgPopupDiagCancel::OnInitDialog()
{
    SetWindowText(Text(ui_, 0x200028d9).c_str());
    SetClientArea(m_hWnd, 380, 140);
    HWND text = GetDlgItem(IDC_DIAG_CANCEL_TEXT);
    ::SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(ui_, &ConsoleUi::textFont)),
                   FALSE);
    ::SetWindowTextW(text, Text(ui_, 0x200028da).c_str());
    ::MoveWindow(text, 30, 30, 340, 30, FALSE);

    yesButton_.SubclassDlgItem(IDOK, *this);
    SetUpPopupButton(yesButton_, ui_, 0x200028db);
    Place(yesButton_, 90, 100);
    noButton_.SubclassDlgItem(IDCANCEL, *this);
    SetUpPopupButton(noButton_, ui_, 0x200028dc);
    Place(noButton_, 210, 100);
    return true;
}

bool CDlgPopupDiagCancel::OnCommand(WORD id, WORD, HWND)
{
    if (id == IDOK) {
        EndDialog(1);
        return true;
    }
    if (id == IDCANCEL) {
        EndDialog(2);
        return true;
    }
    return false;
}

bool CDlgPopupDiagCancel::OnEraseBkgnd(HDC dc)
{
    const RECT client = GetClientRect();
    fw::DoubleBuffer buffer(dc, client);
    FillSolidRect(buffer.get(), client, RGB(255, 255, 255));
    FillSolidRect(buffer.get(), {0, 90, client.right, client.bottom}, RGB(242, 242, 242));
    DrawLine(buffer.get(), RGB(228, 228, 228), 2, 0, 90, client.right, 90);
    buffer.Flush();
    return true;
}

HBRUSH CDlgPopupDiagCancel::OnCtlColor(HDC dc, HWND, UINT message)
{
    if (message != WM_CTLCOLORSTATIC)
        return nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(111, 112, 115));
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

// ---- the progress popup ------------------------------------------------------------------------

CDlgPopupDiagProcess::CDlgPopupDiagProcess() : fw::CDialog(IDD_POPUP_DIAG_PROCESS) {}

void CDlgPopupDiagProcess::Prepare(const ConsoleUi* ui, HWND pageWindow, const DiagRowList& rows)
{
    ui_ = ui;
    pageWindow_ = pageWindow;
    rows_ = rows;
    for (int& count : rows_.rowCount)
        count = count < 0 ? 0 : (count > kDiagMaxRows ? kDiagMaxRows : count);
}

INT_PTR CDlgPopupDiagProcess::Run()
{
    parent_ = pageWindow_;
    return DoModal();
}

void CDlgPopupDiagProcess::TellPage(WPARAM code, LPARAM lp) const
{
    if (pageWindow_)
        ::SendMessageW(pageWindow_, WM_DIAG_NOTIFY, code, lp);
}

bool CDlgPopupDiagProcess::OnInitDialog()
{
    SetClientArea(m_hWnd, 580, 450);

    HWND title = GetDlgItem(IDC_DIAG_PROCESS_TITLE);
    ::SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(ui_, &ConsoleUi::titleFont)),
                   FALSE);
    ::SetWindowTextW(title, Text(ui_, 0x200028d5).c_str());
    ::MoveWindow(title, 24, 17, 520, 30, FALSE);

    cancelButton_.SubclassDlgItem(IDCANCEL, *this);
    SetUpPopupButton(cancelButton_, ui_, 0x200028d6);
    Place(cancelButton_, 450, 405);
    cancelButton_.EnableWindow(cancelAllowed_ != 0);

    totalRows_ = 0;
    for (int c = 0; c < kDiagCategories; ++c) {
        if (rows_.selection[c])
            totalRows_ += rows_.rowCount[c];
    }
    progressBar_ = GetDlgItem(IDC_DIAG_PROCESS_BAR);
    ::MoveWindow(progressBar_, 20, 370, 536, 15, FALSE);
    ::SendMessageW(progressBar_, PBM_SETRANGE32, 0, totalRows_);
    ::SendMessageW(progressBar_, PBM_SETPOS, 0, 0);

    // A new list for every run: the view of the last run went with its window.
    progressView_.Create(m_hWnd, kViewRect, kViewId);
    progressView_.SetUi(ui_);
    progressView_.SetRows(rows_);
    progressView_.BuildCanvas(rows_.selection);
    progressView_.DrawRows();

    for (int c = 0; c < kDiagCategories; ++c) {
        if (rows_.selection[c] && rows_.rowCount[c] > 0) {
            progressView_.MarkRow(0, c, 0);
            break;
        }
    }
    return true;
}

void CDlgPopupDiagProcess::ReportRow(int category, int row, int done)
{
    if (category < 0 || category >= kDiagCategories || !rows_.selection[category] || row < 0 ||
        row >= rows_.rowCount[category])
        return;
    progressView_.MarkRow(row, category, done);
    if (!done)
        return;
    int before = 0;
    for (int c = 0; c < category; ++c) {
        if (rows_.selection[c])
            before += rows_.rowCount[c];
    }
    if (progressBar_)
        ::SendMessageW(progressBar_, PBM_SETPOS, before + row + 1, 0);
}

void CDlgPopupDiagProcess::SetCancelAllowed(bool allowed)
{
    cancelAllowed_ = allowed ? 1 : 0;
    if (cancelButton_.GetSafeHwnd())
        cancelButton_.EnableWindow(allowed);
}

void CDlgPopupDiagProcess::Finish()
{
    // An open confirmation counts as Yes: OnCancel carries on from its Run and ends this
    // popup with 2, which is then what the page receives.
    cancelPopup_.End(1);
    if (m_hWnd)
        EndDialog(1);
}

void CDlgPopupDiagProcess::OnCancel()
{
    // No cancel while a sample plays, and no second confirmation over an open one.
    if (!cancelAllowed_ || cancelPopup_.IsOpen())
        return;
    TellPage(DIAG_PAUSE_WORKER, 0);
    cancelPopup_.SetUi(ui_);
    const INT_PTR answer = cancelPopup_.Run(m_hWnd);
    TellPage(DIAG_PAUSE_WORKER, 1);
    if (answer == 1) {
        TellPage(DIAG_CANCEL_CONFIRMED, 0);
        EndDialog(2);
    }
}

bool CDlgPopupDiagProcess::OnEraseBkgnd(HDC dc)
{
    const RECT client = GetClientRect();
    fw::DoubleBuffer buffer(dc, client);
    FillSolidRect(buffer.get(), client, RGB(255, 255, 255));
    DrawBitmapAt(buffer.get(), 0, 0, kHeaderBitmap);
    const RECT frame = {kViewRect.left - 1, kViewRect.top - 1, kViewRect.right + 1,
                        kViewRect.bottom + 1};
    fw::UniqueBrush pen(CreateSolidBrush(kFrame));
    FrameRect(buffer.get(), &frame, pen.get());
    buffer.Flush();
    return true;
}

HBRUSH CDlgPopupDiagProcess::OnCtlColor(HDC dc, HWND control, UINT message)
{
    if (message != WM_CTLCOLORSTATIC || control == progressBar_)
        return nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

// ---- the Check Disk / temporary files confirmation ------------------------------------------

namespace {

struct HddDiagText {
    int controlId;
    DWORD checkDisk;      // mode 1; 0 for none
    RECT checkDiskPlace;  // left, top, width, height
    DWORD temporaryFiles; // mode 3; 0 for none
    RECT temporaryFilesPlace;
};

const HddDiagText kHddDiagTexts[] = {
    {IDC_HDD_DIAG_TITLE, 0x200028c6, {24, 17, 520, 30}, 0x200028ce, {24, 17, 520, 30}},
    {IDC_HDD_DIAG_QUESTION, 0x200028c7, {30, 75, 520, 30}, 0x200028cf, {30, 75, 520, 30}},
    {IDC_HDD_DIAG_TEXT1, 0x200028c8, {30, 112, 520, 30}, 0x200028d0, {30, 112, 520, 45}},
    {IDC_HDD_DIAG_TEXT2, 0x200028c9, {30, 140, 520, 30}, 0x200028d1, {30, 160, 520, 60}},
    {IDC_HDD_DIAG_TEXT3, 0x200028ca, {30, 174, 520, 30}, 0x200028d2, {30, 220, 520, 30}},
    {IDC_HDD_DIAG_TEXT4, 0x200028cb, {30, 210, 520, 30}, 0, {30, 210, 520, 30}},
};

constexpr int kHddFooterTop = 400;

} // namespace

CDlgPopupHDDDiag::CDlgPopupHDDDiag(int mode, const ConsoleUi* ui)
    : fw::CDialog(IDD_POPUP_HDD_DIAG), mode_(mode), ui_(ui)
{
}

INT_PTR CDlgPopupHDDDiag::Run(HWND owner)
{
    parent_ = owner;
    return DoModal() == 1 ? 1 : 2;
}

bool CDlgPopupHDDDiag::OnInitDialog()
{
    SetClientArea(m_hWnd, 580, 450);
    const bool checkDisk = mode_ != kDeleteTemporaryFiles;
    for (const HddDiagText& entry : kHddDiagTexts) {
        HWND control = GetDlgItem(entry.controlId);
        const DWORD message = checkDisk ? entry.checkDisk : entry.temporaryFiles;
        const RECT& place = checkDisk ? entry.checkDiskPlace : entry.temporaryFilesPlace;
        HFONT font = entry.controlId == IDC_HDD_DIAG_TITLE ? FontOf(ui_, &ConsoleUi::titleFont)
                                                           : FontOf(ui_, &ConsoleUi::textFont);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ::SetWindowTextW(control, message ? Text(ui_, message).c_str() : L"");
        ::MoveWindow(control, place.left, place.top, place.right, place.bottom, FALSE);
        ::ShowWindow(control, message ? SW_SHOW : SW_HIDE);
    }
    runButton_.SubclassDlgItem(IDOK, *this);
    SetUpPopupButton(runButton_, ui_, 0x200028cc);
    Place(runButton_, 330, 410);
    cancelButton_.SubclassDlgItem(IDCANCEL, *this);
    SetUpPopupButton(cancelButton_, ui_, 0x200028cd);
    Place(cancelButton_, 450, 410);
    return true;
}

bool CDlgPopupHDDDiag::OnCommand(WORD id, WORD, HWND)
{
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(id == IDOK ? 1 : 2);
        return true;
    }
    return false;
}

bool CDlgPopupHDDDiag::OnEraseBkgnd(HDC dc)
{
    const RECT client = GetClientRect();
    fw::DoubleBuffer buffer(dc, client);
    FillSolidRect(buffer.get(), client, RGB(255, 255, 255));
    FillSolidRect(buffer.get(), {0, kHddFooterTop, client.right, client.bottom}, RGB(242, 242, 242));
    DrawLine(buffer.get(), RGB(228, 228, 228), 2, 0, kHddFooterTop, client.right, kHddFooterTop);
    DrawBitmapAt(buffer.get(), 0, 0, kHeaderBitmap);
    buffer.Flush();
    return true;
}

HBRUSH CDlgPopupHDDDiag::OnCtlColor(HDC dc, HWND control, UINT message)
{
    if (message != WM_CTLCOLORSTATIC)
        return nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetDlgCtrlID(control) == IDC_HDD_DIAG_TITLE ? RGB(255, 255, 255)
                                                                 : RGB(111, 112, 115));
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}
