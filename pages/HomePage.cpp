#include "pages/HomePage.h"

#include "framework/Gdi.h"
#include "resources/resource.h"
#include "shell/HLMMainDlg.h"
#include "shell/MessageText.h"
#include "shell/OsVersion.h"
#include "shell/controls/Drawing.h"
#include "shell/outside/Bios.h"
#include "sysinfo/TavDLL.h"

namespace {

constexpr DWORD kMsgTroubleshooting = 0x20002719;
constexpr DWORD kMsgUtilities = 0x2000271A;
constexpr DWORD kMsgSystemInfo = 0x2000271B;
constexpr DWORD kMsgIntro = 0x2000271C;
constexpr DWORD kMsgTroubleshootingText = 0x2000271D;
constexpr DWORD kMsgUtilitiesText = 0x2000271E;

constexpr RECT kSheetRect = {50, 233, 520, 510};
constexpr UINT kSheetIcon = 174;
constexpr UINT_PTR kClockDoneTimer = 1;
constexpr UINT kClockDoneMs = 100;

constexpr COLORREF kHeadingColour = RGB(28, 156, 193);
constexpr COLORREF kLabelColour = RGB(138, 138, 138);
constexpr COLORREF kValueColour = RGB(79, 79, 79);
constexpr COLORREF kAreaTextColour = RGB(111, 113, 115);
constexpr COLORREF kBoxPen = RGB(203, 203, 203);
constexpr COLORREF kBoxFill = RGB(244, 244, 244);

// The summary's four facts start at these lines, labels at x 110, values at x 160.
constexpr int kFactLines[4] = {455, 468, 481, 494};
constexpr int kFactLabelX = 110;
constexpr int kFactValueX = 160;

void Place(HWND control, int x, int y, int width, int height)
{
    SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Show(HWND control, bool shown)
{
    ::ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

void TextAt(HDC dc, int x, int y, const wchar_t* text, COLORREF colour)
{
    SetTextColor(dc, colour);
    TextOutW(dc, x, y, text, lstrlenW(text));
}

// A value that may be long (a processor's full name): cut with an ellipsis before the page's
// right edge instead of running into it.
void ValueAt(HDC dc, int x, int y, int right, const wchar_t* text, COLORREF colour)
{
    SetTextColor(dc, colour);
    RECT place = {x, y, right, y + 16};
    DrawTextW(dc, text, -1, &place,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

} // namespace

// ---- the sheet -----------------------------------------------------------------------------

void CYViewSysInfo::OnInitialUpdate()
{
    // Nothing to show before the page gives the sheet its canvas.
    SetScrollSizes({10, 10});
}

void CYViewSysInfo::CreateCanvas(int height)
{
    if (canvas_.IsValid())
        return;
    if (canvas_.Create(m_hWnd, home::kSheetCanvasWidth, height))
        SetScrollSizes({home::kSheetScrollWidth, height});
}

void CYViewSysInfo::GrowCanvas(int height)
{
    if (!canvas_.IsValid() || height <= canvas_.Height())
        return;
    if (canvas_.Grow(m_hWnd, height))
        SetScrollSizes({home::kSheetScrollWidth, height});
}

void CYViewSysInfo::OnDraw(HDC dc)
{
    if (canvas_.IsValid())
        BitBlt(dc, 0, 0, canvas_.Width(), canvas_.Height(), canvas_.dc(), 0, 0, SRCCOPY);
}

bool CYViewSysInfo::OnEraseBkgnd(HDC dc)
{
    // The canvas covers the view once it exists; before that, and beside it, the sheet's grey.
    const RECT client = GetClientRect();
    const POINT at = GetScrollPosition();
    const int right = canvas_.IsValid() ? canvas_.Width() - at.x : 0;
    const int bottom = canvas_.IsValid() ? canvas_.Height() - at.y : 0;
    if (right < client.right)
        FillSolidRect(dc, {right, 0, client.right, client.bottom}, kBoxFill);
    if (bottom < client.bottom)
        FillSolidRect(dc, {0, bottom, client.right, client.bottom}, kBoxFill);
    return true;
}

void CYViewSysInfo::OnDestroy()
{
    canvas_.Release();
    fw::CScrollView::OnDestroy();
}

// ---- the page ------------------------------------------------------------------------------

CDlgSubMainHome::CDlgSubMainHome(CHLMMainDlg& mainDialog)
    : CPage(IDD_PAGE_HOME, mainDialog, IDB_MAIN_BACKGROUND, CHLMMainDlg::kBandWidth, 0, 0)
{
}

bool CDlgSubMainHome::OnInitDialog()
{
    CPage::OnInitDialog();
    osGeneration_ = GetOSGeneration();
    ReadModelClass();
    SetUpTexts();
    CollectFacts();
    CreateSheet();
    SetUpButtons();
    clock_.Create(m_hWnd);
    clock_.LoadFrames();
    return true;
}

void CDlgSubMainHome::ReadModelClass()
{
    // A library that is missing or fails reads as an empty name: class 0, so the wireless
    // sections are shown rather than hidden on a machine that may have them.
    CBiosSession bios(osGeneration_);
    wchar_t name[kPaviModelNameCapacity] = {};
    bios.ReadModelName(name);
    modelClass_ = home::ModelClassOf(name);
}

void CDlgSubMainHome::SetUpTexts()
{
    struct Static {
        int id;
        DWORD message;
        RECT place; // x, y, width, height
    };
    const Static statics[] = {
        {IDC_HOME_INTRO, kMsgIntro, {110, 137, 415, 45}},
        {IDC_HOME_TROUBLESHOOT_TEXT, kMsgTroubleshootingText, {110, 244, 415, 50}},
        {IDC_HOME_UTILITIES_TEXT, kMsgUtilitiesText, {110, 344, 415, 45}},
    };
    for (const Static& s : statics) {
        SetStaticText(s.id, s.message, main_.TextFont());
        Place(GetDlgItem(s.id), s.place.left, s.place.top, s.place.right, s.place.bottom);
    }
}

void CDlgSubMainHome::CollectFacts()
{
    const LANGID language = main_.MessageLanguage();
    // The order the library expects: every collector first, then the WMI connection closed,
    // then the getters. Returned texts last only until their collector runs again: copy them.
    DLLSetUserDate();
    DLLSetSerialNumber();
    DLLSetHddInfo();
    DLLSetRamInfo();
    DLLSetBiosInfo();
    processor_ = DLLSetCpuInfo();
    const fw::CSharedString opticalDrive = DLLSetODDInfo();
    operatingSystem_ = DLLSetOSInfo();
    const fw::CSharedString graphics = DLLSetGFXInfo();
    CleanUpWMI();

    graphics_ = home::TextOrNothing(graphics.c_str(), language);
    if (const BIOSINFO* bios = DLLGetBiosInfo())
        bios_.Format(L"%s, %s", bios->manufacturer, bios->version);
    if (const MODELInfo* model = DLLGetModelInfo())
        serialNumber_ = model->serialNumber;
    if (const MODELInfo* model = DLLGetUserDate())
        purchaseDate_ = home::PurchaseDateText(model->userDate, language);
    disks_ = home::DiskListText(DLLGetHddInfo());
    memory_ = home::MemoryText(DLLGetRamInfo(), language);
    opticalDrive_ = home::TextOrNothing(opticalDrive.c_str(), language);
}

void CDlgSubMainHome::CreateSheet()
{
    if (!sheet_.Create(m_hWnd, kSheetRect, IDC_HOME_SHEET, WS_VISIBLE | WS_VSCROLL | WS_HSCROLL))
        return;
    const int height = home::BaseCanvasHeight(modelClass_);
    sheet_.CreateCanvas(height);
    home::DrawSheetGround(sheet_.CanvasDC(), height, Content(), main_.MessageLanguage(),
                          main_.TextFont());
    sheet_.ShowWindow(SW_HIDE);
}

void CDlgSubMainHome::SetUpButtons()
{
    detailButton_.SubclassDlgItem(IDC_HOME_DETAIL, *this);
    detailButton_.SetFaceImages(219, 221, 220, 220, 219, 219);
    Place(detailButton_, 539, 426, detailButton_.Width(), detailButton_.Height());
    closeButton_.SubclassDlgItem(IDC_HOME_CLOSE, *this);
    closeButton_.SetFaceImages(222, 224, 223, 223, 222, 222);
    Place(closeButton_, 539, 202, closeButton_.Width(), closeButton_.Height());
    closeButton_.ShowWindow(SW_HIDE);
}

home::SheetContent CDlgSubMainHome::Content() const
{
    home::SheetContent content;
    content.purchaseDate = purchaseDate_.c_str();
    content.processor = processor_.c_str();
    content.bios = bios_.c_str();
    content.serialNumber = serialNumber_.c_str();
    content.memory = memory_.c_str();
    content.disks = disks_.c_str();
    content.opticalDrive = opticalDrive_.c_str();
    content.operatingSystem = operatingSystem_.c_str();
    content.graphics = graphics_.c_str();
    content.video = video_;
    content.sound = sound_;
    content.soundCount = soundCount_;
    content.network = network_;
    content.wireless = wireless_;
    content.bluetooth = bluetooth_;
    content.modelClass = modelClass_;
    return content;
}

bool CDlgSubMainHome::OnCommand(WORD id, WORD code, HWND control)
{
    switch (id) {
    case IDC_HOME_DETAIL:
        OpenDetail();
        return true;
    case IDC_HOME_CLOSE:
        CloseDetail();
        return true;
    default:
        return CPage::OnCommand(id, code, control);
    }
}

void CDlgSubMainHome::OpenDetail()
{
    detail_ = true;
    if (!driversCollected_) {
        driversCollected_ = true;
        StartClock();
        CollectDrivers();
        SetTimer(kClockDoneTimer, kClockDoneMs);
    }
    DrawSheet();
    sheet_.ShowWindow(SW_SHOW);
    closeButton_.ShowWindow(SW_SHOW);
    detailButton_.ShowWindow(SW_HIDE);
    Show(GetDlgItem(IDC_HOME_TROUBLESHOOT_TEXT), false);
    Show(GetDlgItem(IDC_HOME_UTILITIES_TEXT), false);
    Repaint();
}

void CDlgSubMainHome::CloseDetail()
{
    if (!m_hWnd)
        return;
    detail_ = false;
    sheet_.ShowWindow(SW_HIDE);
    closeButton_.ShowWindow(SW_HIDE);
    detailButton_.ShowWindow(SW_SHOW);
    Show(GetDlgItem(IDC_HOME_TROUBLESHOOT_TEXT), true);
    Show(GetDlgItem(IDC_HOME_UTILITIES_TEXT), true);
    Repaint();
}

void CDlgSubMainHome::StartClock()
{
    if (!clock_.FramesLoaded())
        return;
    const RECT client = GetClientRect();
    clock_.x = client.right / 2 - clock_.FrameWidth() / 2;
    clock_.y = client.bottom / 2 - clock_.FrameHeight() / 2;
    clock_.alpha = 180;
    clock_.frameIndex = 0;
    clock_.animating = true;
    clock_.ShowAt();
    // The collection below holds this thread, so the clock stands on its first frame until
    // it ends; the timer turns it for the moment before timer 1 takes it away.
    clock_.SetTimer(CYWaitingClock::kTimerId, CYWaitingClock::kTimerMs);
}

void CDlgSubMainHome::CollectDrivers()
{
    const fw::CSharedString nothing = LoadMessageText(main_.MessageLanguage(), home::kMsgNothing);
    DLLDriverInfo();
    video_ = DLLGetVDriverInfo();
    soundList_ = DLLGetADriverInfo();
    network_ = DLLGetNDriverInfo();
    wireless_ = DLLGetWDriverInfo();
    bluetooth_ = DLLGetBTDriverInfo();
    soundCount_ = home::CopySoundDrivers(soundList_, sound_, nothing.c_str());
    for (DRIVERINFO* record : {video_, network_, wireless_, bluetooth_}) {
        if (record)
            home::FillMissingFields(*record, nothing.c_str());
    }
}

void CDlgSubMainHome::DrawSheet()
{
    // Many sound devices make the sheet taller than its canvas: the canvas grows with it
    // rather than losing the rows below.
    sheet_.GrowCanvas(home::CanvasHeightFor(soundCount_, modelClass_));
    // The ground is laid over the whole canvas. Below the sheet's own height it is the grey
    // the canvas was made with, so that changes nothing, and a grown canvas gets it too.
    home::DrawSheet(sheet_.CanvasDC(), sheet_.CanvasHeight(), Content(), main_.MessageLanguage(),
                    main_.TextFont());
    sheet_.Invalidate(false);
}

void CDlgSubMainHome::OnTimer(UINT_PTR id)
{
    if (id != kClockDoneTimer) {
        CPage::OnTimer(id);
        return;
    }
    clock_.animating = false;
    clock_.KillTimer(CYWaitingClock::kTimerId);
    clock_.RestoreBackground();
    KillTimer(kClockDoneTimer);
    Repaint();
}

void CDlgSubMainHome::Repaint() const
{
    // The sheet and the buttons too: the clock was drawn over them straight onto the page.
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

COLORREF CDlgSubMainHome::StaticTextColour(int controlId) const
{
    if (controlId == IDC_HOME_TROUBLESHOOT_TEXT || controlId == IDC_HOME_UTILITIES_TEXT)
        return kAreaTextColour;
    return kValueColour;
}

void CDlgSubMainHome::DrawBackground(HDC dc)
{
    CPage::DrawBackground(dc);
    if (!detail_)
        return;
    DrawBox(dc, kBoxPen, kBoxFill, 5, 195, 565, 515);
    DrawBitmapAt(dc, 50, 202, kSheetIcon);
    const RECT& s = kSheetRect;
    DrawBox(dc, kBoxPen, kBoxFill, s.left - 1, s.top - 1, s.right + 1, s.bottom + 1);
}

void CDlgSubMainHome::OnPaint()
{
    fw::PaintDC paint(m_hWnd);
    HDC dc = paint.get();
    if (!dc)
        return;
    SetBkMode(dc, TRANSPARENT);
    if (detail_) {
        fw::SelectGuard font(dc, main_.BoldFont());
        TextAt(dc, 88, 207, Text(kMsgSystemInfo).c_str(), RGB(0, 0, 0));
        return;
    }
    DrawSummaryTexts(dc);
}

void CDlgSubMainHome::DrawSummaryTexts(HDC dc) const
{
    {
        fw::SelectGuard font(dc, main_.BoldFont());
        TextAt(dc, 110, 222, Text(kMsgTroubleshooting).c_str(), kHeadingColour);
        TextAt(dc, 110, 322, Text(kMsgUtilities).c_str(), kHeadingColour);
        TextAt(dc, 110, 432, Text(kMsgSystemInfo).c_str(), RGB(0, 0, 0));
    }
    fw::SelectGuard font(dc, main_.TextFont());
    const wchar_t* const labels[4] = {L"S/N", L"CPU", L"Memory", L"Graphic"};
    const wchar_t* const values[4] = {serialNumber_.c_str(), processor_.c_str(), memory_.c_str(),
                                      graphics_.c_str()};
    const int right = GetClientRect().right - 5;
    for (int i = 0; i < 4; ++i) {
        TextAt(dc, kFactLabelX, kFactLines[i], labels[i], kLabelColour);
        ValueAt(dc, kFactValueX, kFactLines[i], right, values[i], kValueColour);
    }
}
